// The run layer's notes: writes marigold-notes.txt.partial as the contacts are noticed and gives
// it its name right after marigold.txt gets its own.

#include "notes_file.h"

#include <algorithm>
#include <cstring>

#include "message_words.h"
#include "output_file.h"
#include "run_outcome.h"

namespace conversion {

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
  buffer_.resize(kBlock + kLineRoom);
  PutText("\xEF\xBB\xBFNoticed contacts of the conversion of " + Quoted(outcome_->inputPath) +
          " at ");
  char* out = Put(buffer_.data() + used_, run_->Moment(host_->Now()), kValueChars);
  used_ = static_cast<std::size_t>(out - buffer_.data());
  PutText(" into " + Quoted(outcome_->outputPath) + ".\r\nLine\tCall\tDate\tTime\tWhat happened");
  End(buffer_.data() + used_);
  return !error_;
}

bool Notes::Flush() {
  if (error_) return false;
  std::size_t done = 0;
  while (done < used_) {
    std::size_t n = 0;
    const std::error_code error = file_.Write(buffer_.data() + done, used_ - done, n);
    done += n;
    if (error && error != std::errc::interrupted) {
      error_ = error;
      break;
    }
  }
  written_ += done;
  used_ = 0;
  // Lets the device write the notes while the run goes on, so that the flush
  // at the end waits for the tail only; hints, as the record writer gives.
  if (!error_ && written_ - started_ >= kWriteBack) {
    file_.StartWriteBack(started_, written_ - started_);
    if (dropped_ < started_) file_.DropWritten(dropped_, started_ - dropped_);
    dropped_ = started_;
    started_ = written_;
  }
  return !error_;
}

void Notes::PutText(std::string_view text) {
  while (!text.empty()) {
    if (used_ >= kBlock && !Flush()) return;
    const std::size_t n = std::min(text.size(), kBlock - used_);
    std::memcpy(buffer_.data() + used_, text.data(), n);
    used_ += n;
    text.remove_prefix(n);
  }
}

void Notes::Finish(std::uint64_t records) {
  if (finished_) return;
  finished_ = true;
  if (!file_.is_open()) return;
  if (!error_) {
    PutText("Counted: " + Plural(skipped, "line", "lines") + " skipped, " +
            Plural(placeholders, "placeholder date or time", "placeholder dates or times") + ", " +
            Plural(bands, "band", "bands") + " kept as written, " +
            Plural(joined, "contact", "contacts") + " joined from several lines, " +
            Plural(bars, "record", "records") + " with a bar turned into /; " +
            Plural(records, "record", "records") + " in marigold.txt.\r\n");
    static_cast<void>(Flush());
  }
  if (!error_) {
    do {
      error_ = file_.Sync();
    } while (error_ == std::errc::interrupted);
  }
  if (!error_ && started_ > 0) file_.DropWritten(dropped_, written_ - dropped_);
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
  // marigold.txt's name goes onto the device first: a power cut between the
  // two renames may otherwise keep the notes' name alone.
  if ((outcome.notesError = platform::SyncFolder(folder_)) ||
      (outcome.notesError = Retried([&] { return platform::Rename(partialPath_, notesPath_); }))) {
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
