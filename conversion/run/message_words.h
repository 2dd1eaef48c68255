// The run layer's words shared by the closing messages: names as they are shown, quoted, and
// counts with their nouns.

#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "run_outcome.h"
#include "text.h"

namespace conversion {

// Returns a name with each byte that is not UTF-8 shown as U+FFFD.
inline std::string Shown(std::string_view name) {
  std::string shown;
  for (std::size_t i = 0; i < name.size();) {
    const std::size_t n =
        static_cast<unsigned char>(name[i]) < 0x80 ? 1 : Utf8SequenceLength(name, i);
    shown.append(n == 0 ? "\xEF\xBF\xBD" : name.substr(i, n));
    i += n == 0 ? 1 : n;
  }
  return shown;
}

inline std::string Quoted(std::string_view path) { return '"' + Shown(path) + '"'; }

inline std::string Plural(std::uint64_t n, std::string_view one, std::string_view many) {
  return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

// Returns the line naming the entries that differ only in case from the one taken, or nothing.
std::string Twins(const RunOutcome& outcome);

// Returns the completion message of a run that went through: FINISH, then its notices.
std::string Completion(const RunOutcome& outcome);

// Returns the message of a run that stopped before its end.
std::string DescribeStop(const RunOutcome& outcome);

// Returns the line that names marigold-notes.txt, or the one that says why it
// is not there, each after a line break; nothing when no contact was noticed.
std::string NotesLine(const RunOutcome& outcome);

}  // namespace conversion
