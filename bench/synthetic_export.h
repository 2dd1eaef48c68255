// The benchmark's synthetic export: any number of lines, the same bytes on every machine.

#pragma once

#include <cstdint>
#include <string>

namespace bench {

// Tells what the closing message and marigold-notes.txt have to say of an export.
enum class Notices {
  kAsUsual,      // a band the table lacks on some 13 % of the records, a bar on some 0.2 %
  kNone,         // the same contacts with bands of the table only and no bar: nothing to note
  kEveryRecord,  // the same contacts, each dated with a two-digit year: a placeholder on each
};

// Writes an export of lines lines (the header line included) to path: the same
// bytes for the same count on every machine. Returns false when writing fails.
// With shuffled set, every line holds the same values in another fixed order
// of its columns, which its header line names.
bool WriteSyntheticExport(const std::string& path, std::uint64_t lines, bool shuffled = false,
                          Notices notices = Notices::kAsUsual);

}  // namespace bench
