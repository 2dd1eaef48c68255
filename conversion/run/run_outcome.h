// The run layer's outcome: why a run stopped, what it wrote, and the lines and values its closing
// message lists.

#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "export_head.h"

// What a conversion run ends with: why it stopped early, if it did, and what
// it wrote. The run fills it in; Describe words it for the user.
namespace conversion {

// Collects input line numbers for a message: the first few and how many.
class LineList {
 public:
  static constexpr std::size_t kListed = 10;

  void Add(std::uint64_t line) {
    if (lines_.size() < kListed) lines_.push_back(line);
    ++count_;
  }
  std::uint64_t count() const { return count_; }
  const std::vector<std::uint64_t>& first() const { return lines_; }

 private:
  std::vector<std::uint64_t> lines_;
  std::uint64_t count_ = 0;
};

// Collects the distinct values of a field for a message: the first few, in
// the order they came, and how many records held one.
class ValueList {
 public:
  static constexpr std::size_t kListed = 10;

  void Add(std::string_view value) {
    ++count_;
    if (std::find(values_.begin(), values_.end(), value) != values_.end()) return;
    if (values_.size() < kListed) {
      values_.emplace_back(value);
    } else {
      more_ = true;
    }
  }
  std::uint64_t count() const { return count_; }
  const std::vector<std::string>& first() const { return values_; }
  // Tells that more distinct values came than first() holds.
  bool more() const { return more_; }

 private:
  std::vector<std::string> values_;
  std::uint64_t count_ = 0;
  bool more_ = false;
};

// Names what stopped a run before its end.
enum class Stop {
  kNone,              // every line was read and the records are on the device
  kNoMemoryToStart,   // nothing was opened
  kFolderBusy,        // another run writes marigold.txt in the folder
  kSeveralFiles,      // the typed name fits several files that differ in case only
  kInputNotOpened,    // marigold.txt was not touched
  kInputIsOutput,     // the typed name leads to marigold.txt or its temporary file
  kOutputNotRemoved,  // the earlier marigold.txt could not be replaced: held, or a folder
  kOutputNotCreated,  // the temporary file could not be made: nothing was written
  kReadError,         // the records before it are written and flushed
  kWriteError,        // the file holds the whole records that reached it
  kUnconfirmedFlush,  // renamed, but a close, a cut or the folder's flush failed
  kLineTooLong,       // a line longer than the reader holds: no export
  kTooManyRecords,    // the count would pass its 32-bit limit
  kOutOfMemory,       // while converting line
  kNotRenamed,        // the whole records stay in the temporary file; marigold.txt is unchanged
  kPartPath,          // the typed name names a drive or its root, not both
  kSeveralOnTheWay,   // a step of a typed path fits several names that differ in case only
  kNotAFile,          // the input is a device or a pipe
  kPartialInTheWay,   // a temporary file that cannot be removed: nothing changed
  kPartialReplaced,   // the temporary file's name led elsewhere before the rename
  kNoProgramFolder,   // the folder that holds the program is unknown: nothing was opened
  kNoName,            // no input name was typed
  kNotFlushed,        // the device did not confirm the temporary file: not renamed
};

struct RunOutcome {
  Stop stop = Stop::kNone;
  std::string folder;              // the program folder, as the run holds paths
  std::string typedName;           // the input name as typed, without enclosing quotes
  std::vector<std::string> names;  // the files the typed name fits, sorted
  std::string inputPath;
  std::string outputPath;
  std::string partialPath;       // the temporary file that becomes marigold.txt
  std::string notesPath;         // marigold-notes.txt, which lists every noticed contact
  std::string notesPartialPath;  // the temporary file that becomes marigold-notes.txt
  bool notesWritten = false;     // marigold-notes.txt now lists this run's noticed contacts
  std::error_code notesError;    // why the notes of this run's marigold.txt are not there
  // The stop's file is marigold-notes.txt or its temporary file, not marigold.txt's:
  // kOutputNotRemoved, kPartialInTheWay, kNotRenamed (the earlier notes stayed) or
  // kInputIsOutput.
  bool notesInTheWay = false;
  std::error_code error;         // the system's error behind the stop
  std::uint64_t line = 0;        // the input line the run stopped at
  std::uint64_t records = 0;     // whole records in marigold.txt, or in the temporary file
  bool outputThere = false;      // an earlier marigold.txt was there when the run began
  std::int32_t count = 0;        // the records of a finished run, as xx counts them
  std::size_t longestLine = 0;   // the reader's limit, for kLineTooLong
  std::size_t fields = 26;       // the fields a line holds at least
  LineList skipped;              // lines of fewer than that
  LineList placeholders;         // records with the placeholder date or time
  ValueList unknownBands;        // bands kept as written in field 7
  std::string headerDifference;  // how the header line's names differ from the columns expected
  bool columnsMoved = false;     // the header line names columns in another order
  OrderDecision dateOrder;       // how day and month were told apart
  bool datesInOrder = false;     // a date was read in that order
  bool inputIsPartial = false;   // kInputIsOutput: the typed name leads to the temporary file
  bool inputAbsent = false;      // kInputNotOpened: no file of the typed name is in the folder
  bool inTempFolder = false;     // the program runs from the temporary folder, as from a zip
  std::string missingFolder;     // kInputNotOpened: the first folder on the typed path not there
  std::string stepFolder;        // kSeveralOnTheWay: the folder the step's names lie in
  std::string step;              // kSeveralOnTheWay: the step as typed
  bool stepIsFolder = false;     // kSeveralOnTheWay: the step leads on to a further one
  // Columns shown in a record that a header line read by name lacks.
  std::vector<std::size_t> missingColumns;
  std::string twinFolder;  // the folder where the name taken has entries differing in case
  std::string twinTaken;   // the entry of twinFolder the typed name matched exactly
  // The other entries of twinFolder that differ from twinTaken only in case, sorted.
  std::vector<std::string> twins;
};

// Returns the message that tells the user how the run ended.
std::string Describe(const RunOutcome& outcome);

}  // namespace conversion
