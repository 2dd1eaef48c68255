// The run layer's notes: marigold-notes.txt beside marigold.txt, one line for every contact the
// run skipped or could not write as exported, renamed together with marigold.txt.

#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "form_state.h"
#include "line_converter.h"
#include "platform.h"

namespace conversion {

struct RunOutcome;
enum class Stop;

inline constexpr std::string_view kNotesName = "marigold-notes.txt";
inline constexpr std::string_view kNotesPartialName = "marigold-notes.txt.partial";

// Names what a line of the notes tells of its contact; one line may tell several.
enum Notice : unsigned {
  kNoticeSkipped = 1,      // the line held fewer fields than a record needs
  kNoticePlaceholder = 2,  // the record got the placeholder date or time
  kNoticeBand = 4,         // the band was kept as written
  kNoticeJoined = 8,       // the contact was joined from several lines
  kNoticeBar = 16,         // a bar inside a field was written as a slash
};

// Writes the notes of a run into their temporary file, made only when the
// first contact is noticed, new and never through a link, as marigold.txt's.
// The lines go out a block at a time, so that the notes of a million contacts
// take no more memory than those of one. Values are UTF-8 whatever the
// export's encoding, each shortened and on one line. A failure of the notes
// stops the notes alone: the run goes on, and Publish tells it.
class Notes {
 public:
  static constexpr std::size_t kBlock = 256 * 1024;  // bytes gathered before a write
  // Bytes written before their write-back is started, as the record writer does.
  static constexpr std::uint64_t kWriteBack = 8 * 1024 * 1024;
  static constexpr std::size_t kLineChars = 200;  // characters shown of a skipped line
  static constexpr std::size_t kValueChars = 40;  // characters shown of a call, date, time, band
  // Bytes one line takes at most: a skipped line's number, three values and
  // its text, each character at most 4 bytes.
  static constexpr std::size_t kLineRoom = 4096;

  explicit Notes(const std::string& dir);

  // Makes sure that an earlier marigold-notes.txt could be replaced and removes
  // a temporary file that a killed run left, as ClearOutput does for
  // marigold.txt; returns the stop, with outcome.notesInTheWay set, when
  // either cannot be. Notes the paths in outcome.
  Stop Clear(RunOutcome& outcome);

  // Tells the run whose contacts are noted, which the first line names.
  void Begin(const RunOutcome& outcome, RunContext& run, Host& host);

  // Notes a line that held too few fields, its first line number number.
  void Skipped(std::uint64_t number, std::string_view text);

  // Notes the converted record of the contact from line number on, whose
  // result or join the caller found worth a look; writes nothing when
  // nothing is to be told.
  void Contact(std::uint64_t number, const LineResult& result, bool joined);

  // Writes out the rest and the line of counts, moves the notes onto the
  // device and closes them; removes them after a failure. records is what
  // marigold.txt holds.
  void Finish(std::uint64_t records);

  // Removes an earlier marigold-notes.txt and flushes the folder, before
  // marigold.txt is renamed: the earlier notes belong to the earlier one.
  [[nodiscard]] std::error_code ClearEarlier();

  // Gives the notes written their name once marigold.txt has its own, and
  // tells in outcome what became of them.
  void Publish(RunOutcome& outcome);

  // Removes the temporary notes when marigold.txt keeps the earlier records.
  void Drop();

  // Counts the contacts noted of each kind.
  std::uint64_t skipped = 0, placeholders = 0, bands = 0, joined = 0, bars = 0;

 private:
  // Creates the temporary file and writes the first lines; false after a failure.
  bool Open();
  // Writes out the block; false after a failure, which it keeps.
  bool Flush();
  // Appends text of any length, writing out the block as it fills.
  void PutText(std::string_view text);
  // Writes a value at out as UTF-8, shortened to chars characters, on one line,
  // in 4 * chars + 3 bytes at most; returns the end.
  char* Put(char* out, std::string_view value, std::size_t chars) const;
  // Writes the start of a line at the end of the block: its number, call, date
  // and time; returns the end.
  char* Start(std::uint64_t number, std::string_view call, std::string_view date,
              std::string_view time);
  // Ends the line that ends at out and writes out the block once it is full.
  void End(char* out);

  std::string notes_, partial_;
  std::filesystem::path folder_, notesPath_, partialPath_;
  platform::FileId made_;
  platform::File file_;
  std::vector<char> buffer_;  // kBlock bytes and room behind them for one line
  std::size_t used_ = 0;      // bytes of buffer_ that hold lines
  std::error_code error_;
  const RunOutcome* outcome_ = nullptr;
  RunContext* run_ = nullptr;
  Host* host_ = nullptr;
  LineCopy copy_;
  std::uint64_t written_ = 0;  // bytes in the file
  std::uint64_t started_ = 0;  // bytes whose write-back was started
  std::uint64_t dropped_ = 0;  // bytes dropped from the system's cache
  bool finished_ = false;
};

}  // namespace conversion
