#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <utility>
#include <vector>

#include "line_converter.h"
#include "line_joiner.h"
#include "line_reader.h"
#include "platform.h"
#include "record_writer.h"
#include "text.h"

namespace conversion {

namespace {

constexpr std::string_view kOutputName = "marigold.txt";
constexpr std::size_t kListedLines = 10;  // line numbers a message lists before "…"

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
  std::vector<std::string> names;
  // A folder that cannot be listed holds no match.
  static_cast<void>(platform::ListFolder(dir, names));
  for (std::string& name : names) {
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
std::string CannotWrite(const WriteResult& written, const std::string& outputPath) {
  std::string text =
      "Cannot write the output file " + Quoted(outputPath) + ": " + Reason(written.error) + ".\n";
  if (written.unsure) {
    return text + "The device did not confirm the records given to it; marigold.txt may be " +
           "incomplete. Convert again before importing it.";
  }
  return text + WholeRecordsWritten(written.records);
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
      if (writer.Finish().error) return {};  // a write failure is the worse news
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
  if (reader.tooLong() && !writer.Finish().error) {
    return "Line " + std::to_string(reader.lineNumber()) + " of the input file " +
           Quoted(inputPath) + " is longer than " + std::to_string(kLongestLine >> 20) +
           " MiB: the file does not look like an export of the log.\n" +
           WholeRecordsWritten(writer.records());
  }
  if (reader.error() && !writer.Finish().error) {
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
    if (!writer.Finish().error) {
      return "There is not enough memory to convert line " +
             std::to_string(reader.lineNumber() + 1) + " of the input file " + Quoted(inputPath) +
             ".\n" + RecordsWritten(writer.records());
    }
  }
  if (!message.empty()) return message;
  if (const WriteResult& written = writer.Finish(); written.error) {
    return CannotWrite(written, outputPath);
  }
  return CompletionMessage(form.xx, notes.skipped, notes.placeholders, notes.unknownBands);
}

// Opens both files and converts; returns the message to show.
std::string Run(FormState& form, const std::string& dir, Host& host) {
  FolderLock lock;
  // A folder that cannot be locked at all is written unguarded.
  if (FolderLock::Take(dir, lock) == std::errc::operation_would_block) {
    return "Another conversion is writing marigold.txt in " + Quoted(dir) +
           " at this moment.\nWait until it has finished, then press START again. "
           "Nothing was changed.";
  }
  const std::string outputPath = dir + platform::kSeparator + std::string(kOutputName);
  std::string inputPath;
  std::string message;
  if (!ResolveInput(dir, form.NomeFile, inputPath, message)) return message;

  // The input is opened first: a mistyped name must not cost the earlier output.
  File input;
  if (const std::error_code error = File::OpenForReading(inputPath, input)) {
    return "Cannot open the input file " + Quoted(inputPath) + ": " + Reason(error) +
           ".\nNo records were written; marigold.txt was not changed.";
  }
  if (input.Is(outputPath)) {
    return "The input file " + Quoted(inputPath) +
           " is marigold.txt itself, the file this conversion writes.\n"
           "Type the name of the exported log instead. Nothing was changed.";
  }

  const bool removed = FileExists(outputPath) && !platform::Remove(outputPath);
  File output;
  if (const std::error_code error = File::Create(outputPath, output)) {
    return "Cannot create the output file " + Quoted(outputPath) + ": " + Reason(error) + ".\n" +
           (error == std::errc::device_or_resource_busy
                ? "Another program has it open: close it there, or let the "
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
  File file;
  return !File::OpenForReading(filename, file);
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
