// The run layer's notes: writes marigold-notes.txt.partial as the contacts are noticed and gives
// it its name right after marigold.txt gets its own.

#include "notes_file.h"

#include <utility>

#include "message_words.h"
#include "output_file.h"
#include "record_layout.h"
#include "run_outcome.h"
#include "text.h"

namespace conversion {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD
constexpr std::string_view kEllipsis = "\xE2\x80\xA6";     // …

// Returns the fields of marigold.txt, numbered from 1, in which record holds a bar: "12" or
// "12, 30"; empty when none does.
template <std::size_t... V>
std::string BarFields(const Record& record, std::index_sequence<V...> /*unused*/) {
  std::string fields;
  const auto add = [&](std::string_view text, std::size_t field) {
    if (text.find('|') == std::string_view::npos) return;
    fields += (fields.empty() ? "" : ", ") + std::to_string(field);
  };
  (add(Varying<V>(record), kLayout.field[V] + 1), ...);
  return fields;
}

// Returns "; " between two kinds told on one line.
std::string_view Between(const std::string& told) { return told.empty() ? "" : "; "; }

}  // namespace

Notes::Notes(const std::string& dir)
    : notes_(platform::JoinPath(dir, kNotesName)),
      partial_(platform::JoinPath(dir, kNotesPartialName)),
      folder_(platform::SystemPath(dir)),
      notesPath_(platform::SystemPath(notes_)),
      partialPath_(platform::SystemPath(partial_)) {}

Stop Notes::Clear(RunOutcome& outcome) {
  outcome.notesPath = notes_;
  outcome.notesPartialPath = partial_;
  if ((outcome.error = Retried([&] { return platform::Replaceable(notesPath_); }))) {
    outcome.notesInTheWay = true;
    return Stop::kOutputNotRemoved;
  }
  if (platform::Missing(partial_)) return Stop::kNone;
  // A link by the name goes, never the file it leads to.
  outcome.error = Retried([&] { return platform::Remove(partialPath_); });
  if (outcome.error == std::errc::no_such_file_or_directory) outcome.error.clear();
  outcome.notesInTheWay = static_cast<bool>(outcome.error);
  return outcome.error ? Stop::kPartialInTheWay : Stop::kNone;
}

void Notes::Begin(const RunOutcome& outcome, RunContext& run, Host& host) {
  outcome_ = &outcome;
  run_ = &run;
  host_ = &host;
}

bool Notes::Open() {
  if (file_.is_open()) return !error_;
  if (error_ || finished_) return false;
  if ((error_ = platform::File::Create(partial_, file_))) return false;
  if ((error_ = file_.Id(made_))) {
    static_cast<void>(file_.Close());
    static_cast<void>(platform::Remove(partialPath_));
    return false;
  }
  block_.reserve(kBlock + 8 * 1024);
  block_ = "\xEF\xBB\xBF";
  block_ += "Noticed contacts of the conversion of " + Quoted(outcome_->inputPath) + " at ";
  Put(run_->Moment(host_->Now()), kValueChars);
  block_ += " into " + Quoted(outcome_->outputPath) + ".\r\nLine\tCall\tDate\tTime\tWhat happened";
  End();
  return !error_;
}

bool Notes::Flush() {
  if (error_) return false;
  std::size_t done = 0;
  while (done < block_.size()) {
    std::size_t n = 0;
    const std::error_code error = file_.Write(block_.data() + done, block_.size() - done, n);
    done += n;
    if (error && error != std::errc::interrupted) {
      error_ = error;
      break;
    }
  }
  block_.clear();
  return !error_;
}

void Notes::Put(std::string_view value, std::size_t chars) {
  value = TrimSpaces(value);
  // An 8-bit value is converted only as far as it is shown, a byte a character.
  std::string converted;
  bool more = false;
  if (run_ != nullptr && run_->eightBit) {
    more = value.size() > chars;
    converted = platform::FromEightBit(value.substr(0, chars));
    value = converted;
  }
  std::size_t i = 0;
  for (std::size_t shown = 0; i < value.size() && shown < chars; ++shown) {
    const auto byte = static_cast<unsigned char>(value[i]);
    if (byte >= 0x80) {
      const std::size_t n = Utf8SequenceLength(value, i);
      // A C1 control, U+0080 to U+009F, may end a line for some editors.
      const bool control =
          n == 2 && byte == 0xC2 && static_cast<unsigned char>(value[i + 1]) < 0xA0;
      block_.append(n == 0 || control ? kReplacement : value.substr(i, n));
      i += n == 0 ? 1 : n;
      continue;
    }
    // Line breaks and tabs become blanks, every other control U+FFFD.
    if (byte == '\t' || byte == '\r' || byte == '\n') {
      block_.push_back(' ');
    } else if (byte < 0x20 || byte == 0x7F) {
      block_.append(kReplacement);
    } else {
      block_.push_back(static_cast<char>(byte));
    }
    ++i;
  }
  if (i < value.size() || more) block_.append(kEllipsis);
}

void Notes::Start(std::uint64_t number, std::string_view call, std::string_view date,
                  std::string_view time) {
  block_ += "Line " + std::to_string(number) + "\t";
  Put(call, kValueChars);
  block_ += '\t';
  Put(date, kValueChars);
  block_ += '\t';
  Put(time, kValueChars);
  block_ += '\t';
}

void Notes::End() {
  block_ += "\r\n";
  if (block_.size() >= kBlock) static_cast<void>(Flush());
}

void Notes::Skipped(std::uint64_t number, std::string_view text) {
  ++skipped;
  if (!Open()) return;
  // Splits the line again for the columns it holds; a line cut short holds the first ones.
  const Columns& columns = run_->columns;
  std::vector<std::string_view> fields(columns.count + kWord + 1, kBlank);
  bool holdsBar = false;
  const std::size_t found =
      SplitFields(text, copy_, fields.data(), columns.count, holdsBar, run_->separator);
  const auto column = [&](std::size_t c) {
    const std::size_t at = columns.byName ? columns.at[c] : c;
    return at < found ? fields[at] : std::string_view();
  };
  Start(number, column(column::Call), column(column::Date), column(column::Time));
  block_ += "Skipped, fewer than " + std::to_string(columns.count) + " fields: ";
  Put(text, kLineChars);
  End();
}

void Notes::Contact(std::uint64_t number, const LineResult& result, bool joinedLines) {
  const Record& record = run_->record;
  const std::string barFields = record.mayHoldBars
                                    ? BarFields(record, std::make_index_sequence<kVaryingFields>())
                                    : std::string();
  if (!result.placeholderDate && result.unknownBand.empty() && !joinedLines && barFields.empty()) {
    return;
  }
  placeholders += result.placeholderDate ? 1U : 0U;
  bands += result.unknownBand.empty() ? 0U : 1U;
  joined += joinedLines ? 1U : 0U;
  bars += barFields.empty() ? 0U : 1U;
  if (!Open()) return;
  const Fields& dati = record.columns;
  Start(number, dati[column::Call], dati[column::Date], dati[column::Time]);
  std::string told;
  if (result.placeholderDate) {
    block_ += "Placeholder date or time written for ";
    Put(dati[column::Date], kValueChars);
    block_ += ' ';
    Put(dati[column::Time], kValueChars);
    told = "placeholder";
  }
  if (!result.unknownBand.empty()) {
    block_ += Between(told);
    block_ += "Band kept as written in field 7: ";
    Put(result.unknownBand, kValueChars);
    told = "band";
  }
  if (joinedLines) {
    block_ += Between(told);
    block_ += "Joined from several lines";
    told = "joined";
  }
  if (!barFields.empty()) {
    block_ += Between(told);
    block_ += barFields.find(',') == std::string::npos ? "Bar turned into / in field "
                                                       : "Bar turned into / in fields ";
    block_ += barFields;
  }
  End();
}

void Notes::Finish(std::uint64_t records) {
  if (finished_) return;
  finished_ = true;
  if (!file_.is_open()) return;
  if (!error_) {
    block_ += "Counted: " + Plural(skipped, "line", "lines") + " skipped, " +
              Plural(placeholders, "placeholder date or time", "placeholder dates or times") +
              ", " + Plural(bands, "band", "bands") + " kept as written, " +
              Plural(joined, "contact", "contacts") + " joined from several lines, " +
              Plural(bars, "record", "records") + " with a bar turned into /; " +
              Plural(records, "record", "records") + " in marigold.txt.\r\n";
    static_cast<void>(Flush());
  }
  if (!error_) {
    do {
      error_ = file_.Sync();
    } while (error_ == std::errc::interrupted);
  }
  const std::error_code closed = file_.Close();
  if (!error_) error_ = closed;
  // Notes that are not whole are none.
  if (error_ && platform::Leads(partialPath_, made_)) {
    static_cast<void>(Retried([&] { return platform::Remove(partialPath_); }));
  }
}

std::error_code Notes::ClearEarlier() {
  if (platform::Missing(notes_)) return {};
  std::error_code error = Retried([&] { return platform::Remove(notesPath_); });
  if (error == std::errc::no_such_file_or_directory) return {};
  return error ? error : platform::SyncFolder(folder_);
}

void Notes::Publish(RunOutcome& outcome) {
  if (!error_ && made_ == platform::FileId{}) return;  // nothing was noticed
  outcome.notesError = error_;
  if (error_) return;
  // Another file in place of the notes written is neither removed nor renamed.
  if (!platform::Leads(partialPath_, made_)) {
    outcome.notesError = platform::SystemError(std::errc::no_such_file_or_directory);
    return;
  }
  if ((outcome.notesError = Retried([&] { return platform::Rename(partialPath_, notesPath_); }))) {
    static_cast<void>(Retried([&] { return platform::Remove(partialPath_); }));
    return;
  }
  outcome.notesWritten = true;
}

void Notes::Drop() {
  if (made_ == platform::FileId{} || !platform::Leads(partialPath_, made_)) return;
  static_cast<void>(Retried([&] { return platform::Remove(partialPath_); }));
}

}  // namespace conversion
