// The run layer's closing message: words a run's outcome for the user, naming each file and the
// system's reason for a failure.

#include <limits>
#include <string>
#include <system_error>

#include "platform.h"
#include "run_outcome.h"
#include "text.h"

namespace conversion {

namespace {

constexpr std::size_t kShownBytes = 24;  // a longer value is no band; its start names it

// Returns a name with each byte that is not UTF-8 shown as U+FFFD.
std::string Shown(std::string_view name) {
  std::string shown;
  for (std::size_t i = 0; i < name.size();) {
    const std::size_t n =
        static_cast<unsigned char>(name[i]) < 0x80 ? 1 : Utf8SequenceLength(name, i);
    shown.append(n == 0 ? "\xEF\xBF\xBD" : name.substr(i, n));
    i += n == 0 ? 1 : n;
  }
  return shown;
}

std::string Quoted(std::string_view path) { return '"' + Shown(path) + '"'; }

std::string Plural(std::uint64_t n, std::string_view one, std::string_view many) {
  return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

// Returns "line 3" or "lines 3, 7, 12", ending in ", …" when more were counted.
std::string Lines(const LineList& list) {
  std::string text = list.count() == 1 ? "line " : "lines ";
  for (const std::uint64_t line : list.first()) {
    if (line != list.first().front()) text += ", ";
    text += std::to_string(line);
  }
  if (list.count() > list.first().size()) text += ", …";
  return text;
}

// Returns "60m, 4m." or the first values ending in ", …" when more came.
std::string Values(const ValueList& list) {
  std::string text;
  for (const std::string& value : list.first()) {
    if (!text.empty()) text += ", ";
    text += value.size() > kShownBytes ? value.substr(0, kShownBytes) + "…" : value;
  }
  return text + (list.more() ? ", …" : ".");
}

std::string RecordsWritten(std::uint64_t records) {
  if (records == 0) return "No records were written; marigold.txt was not changed.";
  return Plural(records, "record was", "records were") + " written to marigold.txt.";
}

// Returns what the records kept are after a run stopped early, when each is whole.
std::string WholeRecordsWritten(std::uint64_t records) {
  return RecordsWritten(records) + (records > 0 ? " Each of them is whole." : "");
}

// Returns "Cannot <what> "<path>": <the system's reason>." for a failed call.
std::string Cannot(std::string_view what, std::string_view path, const RunOutcome& outcome) {
  return "Cannot " + std::string(what) + " " + Quoted(path) + ": " +
         platform::Reason(outcome.error) + ".";
}

// Says in which order day and month were read, unless the dates showed day first.
std::string DateOrderNotice(const RunOutcome& outcome) {
  const OrderDecision& decision = outcome.dateOrder;
  if (!outcome.datesInOrder || decision.order == DateOrder::Unknown) return {};
  const std::string order = decision.order == DateOrder::MonthFirst ? "month" : "day";
  if (decision.reason == OrderReason::Settings) {
    return "\nDates were read " + order + " first, as this PC's regional settings write them.";
  }
  if (decision.order == DateOrder::MonthFirst) {
    return "\nDates were read month first, as " + decision.example + " shows.";
  }
  return {};
}

// Names the columns that the export's first line lacks and the fields of marigold.txt
// they leave blank, or nothing.
std::string MissingColumns(const RunOutcome& outcome) {
  if (outcome.missingColumns.empty()) return {};
  std::string text =
      "\nColumns the export's first line does not name, their fields of marigold.txt left blank:";
  for (const std::size_t c : outcome.missingColumns) {
    std::vector<std::size_t> shown;
    for (std::size_t k = 0; k < kRecord.size(); ++k) {
      if (Shows(kRecord[k], c)) shown.push_back(k + 1);
    }
    text += (c == outcome.missingColumns.front() ? " " : ", ") + std::string(kColumnList[c]) +
            (shown.size() == 1 ? " (field " : " (fields ");
    for (const std::size_t k : shown) {
      text += (k == shown.front() ? "" : k == shown.back() ? " and " : ", ") + std::to_string(k);
    }
    text += ")";
  }
  return text + ".";
}

// Returns the line naming the entries that differ only in case from the one taken, or nothing.
std::string Twins(const RunOutcome& outcome) {
  if (outcome.twins.empty()) return {};
  std::string others;
  for (const std::string& name : outcome.twins) {
    if (!others.empty()) others += &name == &outcome.twins.back() ? " or " : ", ";
    others += Shown(name);
  }
  return "Used " + Shown(outcome.twinTaken) + " in " + Quoted(outcome.twinFolder) + ", not " +
         others + (outcome.twins.size() == 1 ? ", which differs" : ", which differ") +
         " from it only in case.";
}

std::string Completion(const RunOutcome& outcome) {
  std::string text = "FINISH MARIGOLD.TXT with " + std::to_string(outcome.count) + " DATA in FILE";
  if (outcome.skipped.count() > 0) {
    text += "\nSkipped " + Plural(outcome.skipped.count(), "line", "lines") + " with fewer than " +
            std::to_string(outcome.fields) + " fields: " + Lines(outcome.skipped);
  }
  if (outcome.placeholders.count() > 0) {
    text += "\nPlaceholder date 01/01/2050 or time 12:12:12 written for " +
            Plural(outcome.placeholders.count(), "record", "records") +
            " whose date or time is in no form that is read: " + Lines(outcome.placeholders);
  }
  if (outcome.unknownBands.count() > 0) {
    text += "\nBand kept as written in field 7 (not in the band table) for " +
            Plural(outcome.unknownBands.count(), "record", "records") + ": " +
            Values(outcome.unknownBands);
  }
  if (outcome.columnsMoved) {
    text +=
        "\nColumns were found by the names in the export's first line, which orders them "
        "otherwise than INFO.";
  }
  text += MissingColumns(outcome);
  if (!outcome.headerDifference.empty()) {
    text += "\nThe export's header differs from the expected columns: " + outcome.headerDifference +
            ".";
  }
  const std::string twins = Twins(outcome);
  return text + DateOrderNotice(outcome) + (twins.empty() ? "" : "\n" + twins) + "\nWritten to " +
         Quoted(outcome.outputPath) + ".";
}

std::string SeveralFiles(const RunOutcome& outcome) {
  std::string text = "The name " + Quoted(outcome.typedName) + " fits several files in " +
                     Quoted(outcome.folder) + " that differ only in case:";
  for (const std::string& name : outcome.names) {
    text += (name == outcome.names.front() ? " " : ", ") + name;
  }
  return text + ".\nRename all but one of them. Nothing was changed.";
}

// Returns the advice for a file that another program holds, or nothing.
std::string HeldAdvice(const RunOutcome& outcome) {
  return outcome.error == std::errc::device_or_resource_busy
             ? "Another program has it open: close it there, or let the logbook's import "
               "finish, then press START again.\n"
             : "";
}

std::string OutputNotRemoved(const RunOutcome& outcome) {
  return Cannot("replace the output file", outcome.outputPath, outcome) + "\n" +
         HeldAdvice(outcome) + "No records were written; marigold.txt was not changed.";
}

std::string OutputNotCreated(const RunOutcome& outcome) {
  return Cannot("create the output file", outcome.partialPath, outcome) + "\n" +
         HeldAdvice(outcome) + "No records were written; marigold.txt was not changed.";
}

std::string InputIsOutput(const RunOutcome& outcome) {
  return "The input file " + Quoted(outcome.inputPath) +
         (outcome.inputIsPartial
              ? " is marigold.txt.partial, the file this conversion writes before it names it "
                "marigold.txt.\n"
              : " is marigold.txt itself, the file this conversion writes.\n") +
         "Type the name of the exported log instead. Nothing was changed.";
}

std::string NotRenamed(const RunOutcome& outcome) {
  const std::string records = Plural(outcome.records, "whole record", "whole records");
  return "Cannot rename " + Quoted(outcome.partialPath) + " to " + Quoted(outcome.outputPath) +
         ": " + platform::Reason(outcome.error) +
         (outcome.outputThere
              ? ".\nmarigold.txt is still the earlier one: do not import it as this conversion. "
                "marigold.txt.partial holds the " +
                    records + " of this conversion."
              : ".\nmarigold.txt.partial holds the " + records +
                    " written; there is no "
                    "marigold.txt.") +
         " The next START replaces marigold.txt.partial.";
}

std::string PartialNotRemoved(const RunOutcome& outcome) {
  return "Cannot remove " + Quoted(outcome.partialPath) +
         ", left by an earlier conversion: " + platform::Reason(outcome.error) +
         ".\nRemove it, or start the program from a folder of your own, then press START again. "
         "Nothing was changed.";
}

std::string PartialReplaced(const RunOutcome& outcome) {
  return "The temporary file " + Quoted(outcome.partialPath) +
         " was replaced by another program while this conversion wrote it, so it was not "
         "renamed.\nmarigold.txt was not changed. Press START again.";
}

// Returns the line that says where a missing export belongs, or nothing.
std::string WhereTheExportBelongs(const RunOutcome& outcome) {
  if (outcome.inTempFolder) {
    return "The program runs from inside the zip, in a temporary folder: copy "
           "swisslog-to-marigold.exe into a folder of your own, put the export beside it and "
           "start it there.\n";
  }
  if (outcome.inputAbsent) {
    return "Save the export in " + Quoted(outcome.folder) + ", beside the program.\n";
  }
  return {};
}

// Returns the line that names the first folder missing on the typed path, or nothing.
std::string MissingFolder(const RunOutcome& outcome) {
  if (outcome.missingFolder.empty()) return {};
  return "The folder " + Quoted(outcome.missingFolder) + " does not exist.\n";
}

std::string PartPath(const RunOutcome& outcome) {
  return "The name " + Quoted(outcome.typedName) +
         " leaves out the drive or the folder it starts from.\n"
         "Type the whole path, such as C:\\Exports\\LOG.CSV, or the name of a file beside the "
         "program. Nothing was changed.";
}

std::string SeveralOnTheWay(const RunOutcome& outcome) {
  std::string text = "The name " + Quoted(outcome.step) + " fits several " +
                     (outcome.stepIsFolder ? "folders" : "files") + " in " +
                     Quoted(outcome.stepFolder) + " that differ only in case:";
  for (const std::string& name : outcome.names) {
    text += (name == outcome.names.front() ? " " : ", ") + name;
  }
  return text +
         ".\nPaste the path or drop the file on the window: both keep its case. Nothing was "
         "changed.";
}

std::string NotAFile(const RunOutcome& outcome) {
  return "The input file " + Quoted(outcome.inputPath) +
         " is a device or a pipe, not a file that holds an export.\n"
         "Type the name of the exported log instead. Nothing was changed.";
}

}  // namespace

std::string Describe(const RunOutcome& outcome) {
  switch (outcome.stop) {
    case Stop::kNone:
      return Completion(outcome);
    case Stop::kNoMemoryToStart:
      return "There is not enough memory to start the conversion. No records were written.";
    case Stop::kFolderBusy:
      return "Another conversion is writing marigold.txt in " + Quoted(outcome.folder) +
             " at this moment.\nWait until it has finished, then press START again. "
             "Nothing was changed.";
    case Stop::kSeveralFiles:
      return SeveralFiles(outcome);
    case Stop::kInputNotOpened:
      return Cannot("open the input file", outcome.inputPath, outcome) + "\n" +
             MissingFolder(outcome) + WhereTheExportBelongs(outcome) +
             (outcome.twins.empty() ? "" : Twins(outcome) + "\n") +
             "No records were written; marigold.txt was not changed.";
    case Stop::kInputIsOutput:
      return InputIsOutput(outcome);
    case Stop::kOutputNotRemoved:
      return OutputNotRemoved(outcome);
    case Stop::kOutputNotCreated:
      return OutputNotCreated(outcome);
    case Stop::kReadError:
      return Cannot("read the input file", outcome.inputPath, outcome) + "\n" +
             RecordsWritten(outcome.records);
    case Stop::kWriteError:
      return Cannot("write the output file", outcome.outputPath, outcome) + "\n" +
             WholeRecordsWritten(outcome.records);
    case Stop::kUnconfirmedFlush:
      return Cannot("write the output file", outcome.outputPath, outcome) +
             "\nThe device did not confirm the records given to it; marigold.txt may be "
             "incomplete. Convert again before importing it.";
    case Stop::kLineTooLong:
      return "Line " + std::to_string(outcome.line) + " of the input file " +
             Quoted(outcome.inputPath) + " is longer than " +
             std::to_string(outcome.longestLine >> 20) +
             " MiB: the file does not look like an export of the log.\n" +
             WholeRecordsWritten(outcome.records);
    case Stop::kTooManyRecords:
      return "The input file " + Quoted(outcome.inputPath) +
             " holds more records than can be counted: line " + std::to_string(outcome.line) +
             " would be record " +
             std::to_string(std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) + ".\n" +
             RecordsWritten(outcome.records);
    case Stop::kOutOfMemory:
      return "There is not enough memory to convert line " + std::to_string(outcome.line) +
             " of the input file " + Quoted(outcome.inputPath) + ".\n" +
             RecordsWritten(outcome.records);
    case Stop::kNotRenamed:
      return NotRenamed(outcome);
    case Stop::kPartPath:
      return PartPath(outcome);
    case Stop::kSeveralOnTheWay:
      return SeveralOnTheWay(outcome);
    case Stop::kNotAFile:
      return NotAFile(outcome);
    case Stop::kPartialInTheWay:
      return PartialNotRemoved(outcome);
    case Stop::kPartialReplaced:
      return PartialReplaced(outcome);
    case Stop::kNoProgramFolder:
      return "Cannot find the folder that holds the program, where the export and marigold.txt "
             "belong. Nothing was changed.";
    case Stop::kNoName:
      return "Type the name of the exported log, such as LOG.CSV, then press START. Nothing was "
             "changed.";
  }
  return {};
}

}  // namespace conversion
