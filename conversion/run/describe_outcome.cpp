// The run layer's closing message: words a run's outcome for the user, naming each file and the
// system's reason for a failure.

#include <limits>
#include <string>
#include <system_error>

#include "message_words.h"
#include "platform.h"
#include "run_outcome.h"

namespace conversion {

namespace {

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
  return Cannot("replace the output file",
                outcome.notesInTheWay ? outcome.notesPath : outcome.outputPath, outcome) +
         "\n" + HeldAdvice(outcome) + "No records were written; marigold.txt was not changed.";
}

std::string OutputNotCreated(const RunOutcome& outcome) {
  return Cannot("create the output file", outcome.partialPath, outcome) + "\n" +
         HeldAdvice(outcome) + "No records were written; marigold.txt was not changed.";
}

std::string InputIsOutput(const RunOutcome& outcome) {
  if (outcome.notesInTheWay) {
    return "The input file " + Quoted(outcome.inputPath) +
           (outcome.inputIsPartial
                ? " is marigold-notes.txt.partial, the file this conversion writes before it "
                  "names it marigold-notes.txt.\n"
                : " is marigold-notes.txt, the list of noticed contacts this conversion writes "
                  "beside marigold.txt.\n") +
           "Type the name of the exported log instead. Nothing was changed.";
  }
  return "The input file " + Quoted(outcome.inputPath) +
         (outcome.inputIsPartial
              ? " is marigold.txt.partial, the file this conversion writes before it names it "
                "marigold.txt.\n"
              : " is marigold.txt itself, the file this conversion writes.\n") +
         "Type the name of the exported log instead. Nothing was changed.";
}

// Returns where the records of a run are that were not renamed to marigold.txt.
std::string RecordsNotRenamed(const RunOutcome& outcome) {
  const std::string records = Plural(outcome.records, "whole record", "whole records");
  return (outcome.outputThere
              ? "marigold.txt is still the earlier one: do not import it as this conversion. "
                "marigold.txt.partial holds the " +
                    records + " of this conversion."
              : "marigold.txt.partial holds the " + records +
                    " written; there is no "
                    "marigold.txt.") +
         " The next START replaces marigold.txt.partial.";
}

std::string NotRenamed(const RunOutcome& outcome) {
  const std::string cannot =
      outcome.notesInTheWay
          ? "Cannot remove " + Quoted(outcome.notesPath) +
                ", the list of noticed contacts of the earlier marigold.txt"
          : "Cannot rename " + Quoted(outcome.partialPath) + " to " + Quoted(outcome.outputPath);
  return cannot + ": " + platform::Reason(outcome.error) + ".\n" + RecordsNotRenamed(outcome);
}

std::string NotFlushed(const RunOutcome& outcome) {
  const std::string cannot = Cannot("write the output file", outcome.outputPath, outcome) + "\n";
  if (outcome.records == 0) return cannot + RecordsWritten(0);
  return cannot +
         "The device did not confirm the records given to it, so marigold.txt.partial was not "
         "renamed.\n" +
         RecordsNotRenamed(outcome);
}

std::string PartialNotRemoved(const RunOutcome& outcome) {
  return "Cannot remove " +
         Quoted(outcome.notesInTheWay ? outcome.notesPartialPath : outcome.partialPath) +
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
  // A stop after which marigold.txt was renamed tells of its notes at the end.
  return outcome.stop == Stop::kNone ? Completion(outcome)
                                     : DescribeStop(outcome) + NotesLine(outcome);
}

std::string DescribeStop(const RunOutcome& outcome) {
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
    case Stop::kNotFlushed:
      return NotFlushed(outcome);
    case Stop::kNoName:
      return "Type the name of the exported log, such as LOG.CSV, then press START. Nothing was "
             "changed.";
  }
  return {};
}

}  // namespace conversion
