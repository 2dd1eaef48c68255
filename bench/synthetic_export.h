// The benchmark's synthetic export: any number of lines, the same bytes on every machine.

#pragma once

#include <cstdint>
#include <string>

namespace bench {

// Writes an export of lines lines (the header line included) to path: the same
// bytes for the same count on every machine. Returns false when writing fails.
// With shuffled set, every line holds the same values in another fixed order
// of its columns, which its header line names.
bool WriteSyntheticExport(const std::string& path, std::uint64_t lines, bool shuffled = false);

}  // namespace bench
