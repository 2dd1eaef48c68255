#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <utility>
#include <vector>

#include "bytes.h"
#include "line_converter.h"
#include "line_joiner.h"
#include "platform.h"
#include "text.h"

namespace conversion {

namespace {

constexpr std::string_view kOutputName = "marigold.txt";
constexpr std::size_t kEncodingProbe = 64 * 1024;  // bytes that decide the export's encoding
constexpr std::size_t kReadBlock = 1024 * 1024;
constexpr std::size_t kWriteBlock = 1024 * 1024;
constexpr std::size_t kListedLines = 10;  // line numbers a message lists before "…"
// Longer lines come from a file that is no export; stopping there keeps memory bounded.
constexpr std::size_t kLongestLine = 16 * 1024 * 1024;

using platform::File;
using platform::FolderLock;
using platform::Reason;

bool HoldsNonAscii(std::string_view bytes) {
  return std::any_of(bytes.begin(), bytes.end(),
                     [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

std::string Quoted(std::string_view path) {
  std::string quoted(1, '"');
  quoted.append(path).push_back('"');
  return quoted;
}

// Reads a file line by line through one large buffer. CR LF, a lone CR and a
// lone LF each end a line; a UTF-8 byte-order mark at the start is dropped.
class LineReader {
 public:
  explicit LineReader(File& file) : file_(file), buffer_(kReadBlock) {}

  // Returns the first bytes of the file (up to kEncodingProbe), reading them first.
  std::string_view Probe(bool& cut) {
    while (!eof_ && end_ - begin_ < kEncodingProbe + 3 && Fill()) {
    }
    if (!bomChecked_) {
      bomChecked_ = true;
      if (std::string_view(buffer_.data() + begin_, end_ - begin_).starts_with("\xEF\xBB\xBF")) {
        begin_ += 3;
        bom_ = true;
      }
    }
    const std::size_t size = std::min(end_ - begin_, kEncodingProbe);
    cut = size == kEncodingProbe && end_ - begin_ > size;
    return {buffer_.data() + begin_, size};
  }

  // Reads the next line into line; returns false at the end, on an error and
  // at a line longer than kLongestLine.
  bool Next(std::string_view& line) {
    for (;;) {
      if (skipLineFeed_ && begin_ < end_) {
        if (buffer_[begin_] == '\n') ++begin_;
        skipLineFeed_ = false;
      }
      if (lineFeed_ < begin_ || lineFeed_ > end_) lineFeed_ = Find('\n', begin_, end_);
      const std::size_t carriage = Find('\r', begin_, lineFeed_);
      const std::size_t stop = std::min(carriage, lineFeed_);
      if (stop < end_) {
        if (stop - begin_ > kLongestLine) return TooLong();
        line = std::string_view(buffer_.data() + begin_, stop - begin_);
        begin_ = stop + 1;
        skipLineFeed_ = buffer_[stop] == '\r';  // without a CR, carriage equals lineFeed_
        ++lineNumber_;
        return true;
      }
      if (end_ - begin_ > kLongestLine) return TooLong();
      if (eof_) {
        if (begin_ == end_) return false;
        line = std::string_view(buffer_.data() + begin_, end_ - begin_);
        begin_ = end_;
        ++lineNumber_;
        return true;
      }
      if (!Fill()) return false;
    }
  }

  std::uint64_t lineNumber() const { return lineNumber_; }
  // Tells that the file began with a UTF-8 byte-order mark; known after Probe.
  bool bom() const { return bom_; }
  int error() const { return error_; }
  bool tooLong() const { return tooLong_; }

 private:
  bool TooLong() {
    tooLong_ = true;
    ++lineNumber_;
    return false;
  }

  // Returns the index of c in [from, to), or to when it is not there.
  std::size_t Find(char c, std::size_t from, std::size_t to) const {
    const char* const data = buffer_.data();
    return static_cast<std::size_t>(FindByte(data + from, data + to, c) - data);
  }

  // Reads more of the file behind what is left; returns false on an error.
  bool Fill() {
    if (begin_ > 0) {
      std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
      end_ -= begin_;
      begin_ = 0;
    }
    // A long line makes the buffer grow, up to one block past kLongestLine.
    if (end_ == buffer_.size())
      buffer_.resize(std::min(buffer_.size() * 2, kLongestLine + kReadBlock));
    lineFeed_ = std::numeric_limits<std::size_t>::max();
    const std::ptrdiff_t n = file_.Read(buffer_.data() + end_, buffer_.size() - end_, error_);
    if (n < 0) return false;
    end_ += static_cast<std::size_t>(n);
    eof_ = n == 0;
    return true;
  }

  File& file_;
  std::vector<char> buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  std::size_t lineFeed_ = std::numeric_limits<std::size_t>::max();  // next LF at or after begin_
  bool skipLineFeed_ = false;  // the last line ended in CR; an LF right after belongs to it
  bool bomChecked_ = false;
  bool bom_ = false;
  bool eof_ = false;
  bool tooLong_ = false;
  int error_ = 0;
  std::uint64_t lineNumber_ = 0;
};

// Writes records through one large buffer. On a write error the file is cut
// back to the end of the last whole record.
class RecordWriter {
 public:
  explicit RecordWriter(File& file) : file_(file), buffer_(kWriteBlock) {}

  // Adds a record and its CR LF; returns false when writing out the records
  // before it failed.
  bool Append(std::string_view record) {
    const std::size_t size = record.size() + 2;
    if (used_ + size > buffer_.size()) {
      if (!Flush()) return false;
      if (size > buffer_.size()) buffer_.resize(size);  // a record longer than a block
    }
    char* const end = CopyBytes(buffer_.data() + used_, record.data(), record.size());
    end[0] = '\r';
    end[1] = '\n';
    used_ += size;
    ++pending_;
    return true;
  }

  // Writes out the buffer; returns false and keeps the error on failure.
  bool Flush() {
    std::size_t done = 0;
    if (!file_.WriteAll(buffer_.data(), used_, done, error_)) {
      KeepWholeRecords(done);
      return false;
    }
    written_ += done;
    records_ += pending_;
    pending_ = 0;
    used_ = 0;
    return true;
  }

  // Flushes the records onto the device and closes the file; returns false and
  // keeps the error on failure. Only then may a run report them as written.
  bool Finish() {
    if (finished_) return error_ == 0;
    finished_ = true;
    if (error_ != 0 || !Flush()) return false;
    error_ = file_.Sync();
    if (error_ != 0) {
      unsure_ = true;
      file_.Close();
      return false;
    }
    error_ = file_.Close();
    unsure_ = error_ != 0;
    return error_ == 0;
  }

  std::uint64_t records() const { return records_; }
  int error() const { return error_; }
  // Tells that the device refused the records it was given: how many of them it keeps is unknown.
  bool unsure() const { return unsure_; }

 private:
  // Cuts the file after the last record that reached it whole.
  void KeepWholeRecords(std::size_t done) {
    const std::string_view landed(buffer_.data(), done);
    const std::size_t lastEnd = landed.rfind('\n');
    if (lastEnd != std::string_view::npos) {
      records_ += static_cast<std::uint64_t>(std::count(landed.begin(), landed.end(), '\n'));
      written_ += lastEnd + 1;
    }
    if (!file_.Truncate(written_)) {
      // The file keeps a cut record; nothing more can be done about it here.
    }
    pending_ = 0;
    used_ = 0;
  }

  File& file_;
  std::vector<char> buffer_;
  std::size_t used_ = 0;       // bytes of buffer_ that hold records
  std::uint64_t pending_ = 0;  // records in buffer_
  std::uint64_t records_ = 0;  // records in the file
  std::uint64_t written_ = 0;  // bytes in the file
  int error_ = 0;
  bool finished_ = false;
  bool unsure_ = false;
};

// Collects input line numbers for a message: the first few and how many.
class LineList {
 public:
  void Add(std::uint64_t line) {
    if (lines_.size() < kListedLines) lines_.push_back(line);
    ++count_;
  }
  std::uint64_t count() const { return count_; }

  // Returns "line 3" or "lines 3, 7, 12", ending in ", …" when more were counted.
  std::string Text() const {
    std::string text = count_ == 1 ? "line " : "lines ";
    for (const std::uint64_t line : lines_) {
      if (line != lines_.front()) text += ", ";
      text += std::to_string(line);
    }
    if (count_ > lines_.size()) text += ", …";
    return text;
  }

 private:
  std::vector<std::uint64_t> lines_;
  std::uint64_t count_ = 0;
};

// Collects the distinct values of a field for a message: the first few, in
// the order they came, and how many records held one.
class ValueList {
 public:
  void Add(std::string_view value) {
    ++count_;
    if (std::find(values_.begin(), values_.end(), value) != values_.end()) return;
    if (values_.size() < kListedValues) {
      values_.emplace_back(value);
    } else {
      more_ = true;
    }
  }
  std::uint64_t count() const { return count_; }

  // Returns "60m, 4m." or the first values ending in ", …" when more were seen.
  std::string Text() const {
    std::string text;
    for (const std::string& value : values_) {
      if (!text.empty()) text += ", ";
      text += value.size() > kShownBytes ? value.substr(0, kShownBytes) + "…" : value;
    }
    return text + (more_ ? ", …" : ".");
  }

 private:
  static constexpr std::size_t kListedValues = 10;
  static constexpr std::size_t kShownBytes = 24;  // a longer value is no band; its start names it
  std::vector<std::string> values_;
  std::uint64_t count_ = 0;
  bool more_ = false;
};

std::string Plural(std::uint64_t n, std::string_view one, std::string_view many) {
  return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

std::string RecordsWritten(std::uint64_t records) {
  if (records == 0) return "No records were written to marigold.txt.";
  return Plural(records, "record was", "records were") + " written to marigold.txt.";
}

std::string CompletionMessage(std::int32_t xx, const LineList& skipped,
                              const LineList& placeholders, const ValueList& unknownBands) {
  std::string text = "FINISH MARIGOLD.TXT with " + std::to_string(xx) + " DATA in FILE";
  if (skipped.count() > 0) {
    text += "\nSkipped " + Plural(skipped.count(), "line", "lines") +
            " with fewer than 26 fields: " + skipped.Text();
  }
  if (placeholders.count() > 0) {
    text += "\nPlaceholder date 01/01/2050 or time 12:12:12 written for " +
            Plural(placeholders.count(), "record", "records") +
            " whose date or time is in no form that is read: " + placeholders.Text();
  }
  if (unknownBands.count() > 0) {
    text += "\nBand kept as written in field 7 (not in the band table) for " +
            Plural(unknownBands.count(), "record", "records") + ": " + unknownBands.Text();
  }
  return text;
}

// Resolves the typed input name: the name as typed when such a file exists,
// else the one file of the program directory that matches it ignoring case.
// Returns false with a message when several files match.
bool ResolveInput(const std::string& dir, const std::string& typed, std::string& path,
                  std::string& message) {
  path = dir + platform::kSeparator + typed;
  if (!platform::Missing(path) || typed.empty() ||
      typed.find_first_of(std::string{'/', platform::kSeparator}) != std::string::npos) {
    return true;
  }
  const std::u32string wanted = FoldName(typed);
  std::vector<std::string> matches;
  for (std::string& name : platform::ListFolder(dir)) {
    if (FoldName(name) == wanted) matches.push_back(std::move(name));
  }
  if (matches.size() == 1) path = dir + platform::kSeparator + matches.front();
  if (matches.size() <= 1) return true;
  std::sort(matches.begin(), matches.end());
  message = "The name " + Quoted(typed) + " fits several files in " + Quoted(dir) +
            " that differ only in case:";
  for (const std::string& name : matches) message += (name == matches.front() ? " " : ", ") + name;
  message += ".\nRename all but one of them. Nothing was changed.";
  return false;
}

// Returns what the records kept are after a run stopped early, when each is whole.
std::string WholeRecordsWritten(std::uint64_t records) {
  return RecordsWritten(records) + (records > 0 ? " Each of them is whole." : "");
}

// Returns the message for a write failure.
std::string CannotWrite(const RecordWriter& writer, const std::string& outputPath) {
  std::string text =
      "Cannot write the output file " + Quoted(outputPath) + ": " + Reason(writer.error()) + ".\n";
  if (writer.unsure()) {
    return text + "The device did not confirm the records given to it; marigold.txt may be " +
           "incomplete. Convert again before importing it.";
  }
  return text + WholeRecordsWritten(writer.records());
}

// Collects what the completion message lists besides the count.
struct RunNotes {
  LineList skipped;
  LineList placeholders;
  ValueList unknownBands;
};

// Converts line after line; returns the message that ends the run, or nothing
// when every line was read.
std::string ConvertLines(FormState& form, Host& host, RunContext& run, LineReader& reader,
                         RecordWriter& writer, const std::string& inputPath, RunNotes& notes) {
  bool ended = false;  // the reader said it has no more lines; it is not asked again
  const LineJoiner::ReadLine read = [&](std::string_view& line, std::uint64_t& number) {
    ended = ended || !reader.Next(line);
    number = reader.lineNumber();
    return !ended;
  };
  LineJoiner joiner;
  std::string_view line;
  std::uint64_t number = 0;
  while (joiner.TakeAhead(line, number) || read(line, number)) {
    form.Linea.assign(line);
    LineResult result = ConvertLine(form, host, run);
    if (result.status == LineStatus::Skipped && joiner.Join(form.Linea, read)) {
      result = ConvertLine(form, host, run);
    }
    if (result.status == LineStatus::Skipped) {
      notes.skipped.Add(number);
      continue;
    }
    if (result.status == LineStatus::Overflow) {
      form.Linea.clear();
      if (!writer.Finish()) return {};  // a write failure is the worse news
      return "The input file " + Quoted(inputPath) +
             " holds more records than can be counted: line " + std::to_string(number) +
             " would be record " +
             std::to_string(std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) + ".\n" +
             RecordsWritten(writer.records());
    }
    if (result.placeholderDate) notes.placeholders.Add(number);
    if (!run.unknownBand.empty()) notes.unknownBands.Add(run.unknownBand);
    const bool ok = writer.Append(form.Linea1);
    form.Linea1.clear();
    form.Linea.clear();
    if (!ok) return {};
  }
  if (reader.tooLong() && writer.Finish()) {
    return "Line " + std::to_string(reader.lineNumber()) + " of the input file " +
           Quoted(inputPath) + " is longer than " + std::to_string(kLongestLine >> 20) +
           " MiB: the file does not look like an export of the log.\n" +
           WholeRecordsWritten(writer.records());
  }
  if (reader.error() != 0 && writer.Finish()) {
    return "Cannot read the input file " + Quoted(inputPath) + ": " + Reason(reader.error()) +
           ".\n" + RecordsWritten(writer.records());
  }
  return {};
}

// Runs the conversion once both files are open; returns the message to show.
std::string Convert(FormState& form, Host& host, LineReader& reader, RecordWriter& writer,
                    const std::string& inputPath, const std::string& outputPath) {
  RunNotes notes;
  std::string message;
  try {
    RunContext run;
    bool cut = false;
    const std::string_view probe = reader.Probe(cut);
    // An export of ASCII alone is in the 8-bit code page as far as anyone can tell.
    run.eightBit = !reader.bom() && !(HoldsNonAscii(probe) && IsUtf8(probe, cut));
    run.SetOperator(form.NomeUtente);
    message = ConvertLines(form, host, run, reader, writer, inputPath, notes);
  } catch (const std::bad_alloc&) {
    form.Linea.clear();
    form.Linea1.clear();
    if (writer.Finish()) {
      return "There is not enough memory to convert line " +
             std::to_string(reader.lineNumber() + 1) + " of the input file " + Quoted(inputPath) +
             ".\n" + RecordsWritten(writer.records());
    }
  }
  if (!message.empty()) return message;
  if (!writer.Finish()) return CannotWrite(writer, outputPath);
  return CompletionMessage(form.xx, notes.skipped, notes.placeholders, notes.unknownBands);
}

// Opens both files and converts; returns the message to show.
std::string Run(FormState& form, const std::string& dir, Host& host) {
  FolderLock lock;
  if (!FolderLock::Take(dir, lock)) {
    return "Another conversion is writing marigold.txt in " + Quoted(dir) +
           " at this moment.\nWait until it has finished, then press START again. "
           "Nothing was changed.";
  }
  const std::string outputPath = dir + platform::kSeparator + std::string(kOutputName);
  std::string inputPath;
  std::string message;
  if (!ResolveInput(dir, form.NomeFile, inputPath, message)) return message;

  // The input is opened first: a mistyped name must not cost the earlier output.
  int error = 0;
  File input = File::OpenForReading(inputPath, error);
  if (!input.is_open()) {
    return "Cannot open the input file " + Quoted(inputPath) + ": " + Reason(error) +
           ".\nNo records were written; marigold.txt was not changed.";
  }
  if (input.Is(outputPath)) {
    return "The input file " + Quoted(inputPath) +
           " is marigold.txt itself, the file this conversion writes.\n"
           "Type the name of the exported log instead. Nothing was changed.";
  }

  const bool removed = FileExists(outputPath) && platform::Remove(outputPath);
  File output = File::Create(outputPath, error);
  if (!output.is_open()) {
    return "Cannot create the output file " + Quoted(outputPath) + ": " + Reason(error) + ".\n" +
           (platform::InUse(error) ? "Another program has it open: close it there, or let the "
                                     "logbook's import finish, then press START again.\n"
                                   : "") +
           "No records were written" + (removed ? "." : "; marigold.txt was not changed.");
  }

  LineReader reader(input);
  RecordWriter writer(output);
  return Convert(form, host, reader, writer, inputPath, outputPath);
}

}  // namespace

std::time_t Host::Now() { return platform::Now(); }

bool FileExists(const std::string& filename) {
  int error = 0;
  return File::OpenForReading(filename, error).is_open();
}

void ConvertFile(FormState& form, const std::filesystem::path& programDir, Host& host) {
  std::string message;
  try {
    message = Run(form, platform::PathText(programDir), host);
  } catch (const std::bad_alloc&) {
    message = "There is not enough memory to start the conversion. No records were written.";
  }
  host.ShowMessage(message);
}

}  // namespace conversion
