// The run layer's conversion of a whole export: opens the input and output, converts line after
// line into marigold.txt and shows the closing message.

#include <algorithm>
#include <limits>
#include <new>
#include <string>

#include "export_head.h"
#include "input_name.h"
#include "line_converter.h"
#include "line_joiner.h"
#include "line_reader.h"
#include "notes_file.h"
#include "output_file.h"
#include "platform.h"
#include "record_writer.h"
#include "run_outcome.h"
#include "text.h"

namespace conversion {

namespace {

using platform::File;
using platform::FolderLock;

bool HoldsNonAscii(std::string_view bytes) {
  return std::any_of(bytes.begin(), bytes.end(),
                     [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// Notes what converting the line numbered number, held in form, gave in
// outcome, and in notes when anything is to be told of its contact: joined
// tells that it was joined from several lines. Returns true when it gave a
// record to write.
bool Note(const LineResult& result, std::uint64_t number, const FormState& form, bool joined,
          const RunContext& run, Notes& notes, RunOutcome& outcome) {
  if (result.status != LineStatus::Converted) [[unlikely]] {
    if (result.status == LineStatus::Skipped) {
      outcome.skipped.Add(number);
      notes.Skipped(number, form.Linea);
    } else {
      outcome.stop = Stop::kTooManyRecords;
      outcome.line = number;
    }
    return false;
  }
  bool noticed = joined || run.record.mayHoldBars;
  if (result.placeholderDate) [[unlikely]] {
    outcome.placeholders.Add(number);
    noticed = true;
  }
  if (!result.unknownBand.empty()) [[unlikely]] {
    outcome.unknownBands.Add(result.unknownBand);
    noticed = true;
  }
  outcome.datesInOrder = outcome.datesInOrder || result.datesInOrder;
  if (noticed) [[unlikely]] {
    notes.Contact(number, result, joined);
  }
  return true;
}

// Converts line after line until the end of the input or a stop, which it
// notes in outcome; a failed write is left for the writer to tell.
void ConvertLines(FormState& form, Host& host, RunContext& run, LineReader& reader,
                  RecordWriter& writer, Notes& notes, RunOutcome& outcome) {
  bool ended = false;  // the reader said it has no more lines; it is not asked again
  const auto next = [&](std::string_view& line, std::uint64_t& number) {
    ended = ended || !reader.Next(line);
    number = reader.lineNumber();
    return !ended;
  };
  const LineJoiner::ReadLine read = next;  // for joins only, which are rare
  LineJoiner joiner(run.separator, run.columns.count);
  std::string_view line;
  std::uint64_t number = 0;
  for (;;) {
    // A line read ahead for a join is a copy, split through a copy of its own.
    const bool ahead = joiner.TakeAhead(line, number);
    if (!ahead && !next(line, number)) break;
    const MarkedText marked = reader.marked();
    form.Linea = line;
    LineResult result = ConvertLine(form, host, run, run.record, ahead ? nullptr : &marked);
    // Goes back for a join only now: a line starts one only when it is
    // skipped, which its split tells.
    bool joined = false;
    if (result.status == LineStatus::Skipped && joiner.Join(form.Linea, read)) {
      result = ConvertLine(form, host, run, run.record);
      joined = result.status == LineStatus::Converted;
    }
    if (!Note(result, number, form, joined, run, notes, outcome)) {
      form.Linea = {};
      if (outcome.stop != Stop::kNone) return;
      continue;
    }
    // Asks the writer for room only now, since the record's size is known
    // once the line is converted; the record is built where it leaves for the
    // file, and Linea1 stays empty.
    char* const room = writer.Room(run.record.size);
    form.Linea = {};
    if (room == nullptr) return;
    writer.Commit(PutRecord(room, run.record));
  }
  if (reader.tooLong()) {
    outcome.stop = Stop::kLineTooLong;
    outcome.line = reader.lineNumber();
    outcome.longestLine = kLongestLine;
  } else if (reader.error()) {
    outcome.stop = Stop::kReadError;
    outcome.error = reader.error();
  }
}

// Converts once both files are open, then finishes the output: a write
// failure is the worse news and takes the place of any other stop.
void Convert(FormState& form, Host& host, LineReader& reader, RecordWriter& writer, Notes& notes,
             RunOutcome& outcome) {
  try {
    RunContext run;
    bool cut = false;
    const std::string_view probe = reader.Probe(cut);
    // An export of ASCII alone is in the 8-bit code page as far as anyone can tell.
    run.eightBit = !reader.bom() && !(HoldsNonAscii(probe) && IsUtf8(probe, cut));
    const ExportLayout layout = LayoutOf(probe, cut);
    run.separator = layout.separator;
    run.SetColumns(layout.columns);
    outcome.fields = layout.columns.count;
    outcome.columnsMoved = layout.reordered;
    outcome.missingColumns = layout.missing;
    if (!layout.columns.byName) outcome.headerDifference = HeaderDifference(probe, run.separator);
    const RegionalDates regional = host.Regional();
    outcome.dateOrder = DecideDateOrder(probe, cut, run.separator, regional.order, layout.columns);
    run.dates.order = outcome.dateOrder.order;
    run.SetDayHalves(regional.am, regional.pm);
    run.SetOperator(form.NomeUtente);
    reader.SetSeparator(run.separator);
    notes.Begin(outcome, run, host);
    ConvertLines(form, host, run, reader, writer, notes, outcome);
  } catch (const std::bad_alloc&) {
    form.Linea = {};
    form.Linea1.clear();
    outcome.stop = Stop::kOutOfMemory;
    outcome.line = reader.lineNumber() + 1;
  }
  const WriteResult& written = writer.Finish();
  outcome.records = written.records;
  notes.Finish(written.records);
  if (written.error) {
    outcome.stop = !written.flushed ? Stop::kNotFlushed
                   : written.unsure ? Stop::kUnconfirmedFlush
                                    : Stop::kWriteError;
    outcome.error = written.error;
  }
  outcome.count = form.xx;
}

}  // namespace

bool FileExists(const std::string& filename) {
  File file;
  return !File::OpenForReading(filename, file);
}

RunOutcome RunConversion(FormState& form, const std::filesystem::path& programDir, Host& host) {
  RunOutcome outcome;
  const std::string dir = platform::PathText(programDir);
  outcome.folder = dir;
  // An empty folder would put every path at the root of the disk.
  if (dir.empty()) {
    outcome.stop = Stop::kNoProgramFolder;
    return outcome;
  }
  FolderLock lock;
  // A folder that cannot be locked at all is written unguarded.
  if (FolderLock::Take(dir, lock) == std::errc::operation_would_block) {
    outcome.stop = Stop::kFolderBusy;
    return outcome;
  }
  OutputPaths paths(dir);
  outcome.outputPath = paths.output;
  outcome.partialPath = paths.partial;
  if ((outcome.stop = ResolveInput(dir, form.NomeFile, outcome)) != Stop::kNone) return outcome;

  // The input is opened first: a mistyped name must not cost the earlier output.
  File input;
  if ((outcome.error = File::OpenForReading(outcome.inputPath, input))) {
    // A device or a pipe that took the name after it was looked at.
    outcome.stop =
        outcome.error == std::errc::no_such_device ? Stop::kNotAFile : Stop::kInputNotOpened;
    outcome.inputAbsent = InputAbsent(form.NomeFile, outcome.error);
    outcome.inTempFolder = outcome.inputAbsent && LiesIn(dir, platform::TempFolder());
    return outcome;
  }
  Notes notes(dir);
  outcome.notesPath = platform::JoinPath(dir, kNotesName);
  outcome.notesPartialPath = platform::JoinPath(dir, kNotesPartialName);
  outcome.notesInTheWay = input.Is(outcome.notesPath) || input.Is(outcome.notesPartialPath);
  outcome.inputIsPartial = input.Is(paths.partial) || input.Is(outcome.notesPartialPath);
  if (outcome.inputIsPartial || outcome.notesInTheWay || input.Is(paths.output)) {
    outcome.stop = Stop::kInputIsOutput;
    return outcome;
  }

  if ((outcome.stop = ClearOutput(paths, outcome)) != Stop::kNone) return outcome;
  if ((outcome.stop = notes.Clear(outcome)) != Stop::kNone) return outcome;
  File output;
  if ((outcome.error = CreateOutput(paths, output))) {
    outcome.stop = Stop::kOutputNotCreated;
    return outcome;
  }

  LineReader reader(input);
  RecordWriter writer(output);
  Convert(form, host, reader, writer, notes, outcome);
  // The lock is held until marigold.txt and its notes have their names.
  PublishOutput(paths, notes, outcome);
  return outcome;
}

void ConvertFile(FormState& form, const std::filesystem::path& programDir, Host& host) {
  std::string message;
  try {
    message = Describe(RunConversion(form, programDir, host));
  } catch (const std::bad_alloc&) {
    RunOutcome outcome;
    outcome.stop = Stop::kNoMemoryToStart;
    message = Describe(outcome);
  }
  host.ShowMessage(message);
}

}  // namespace conversion
