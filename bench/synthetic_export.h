// The benchmark's synthetic export: any number of lines, the same bytes on every machine.

#pragma once

#include <cstdint>
#include <string>

namespace bench {

// Writes an export of lines lines (the header line included) to path: the same
// bytes for the same count on every machine. Returns false when writing fails.
bool WriteSyntheticExport(const std::string& path, std::uint64_t lines);

}  // namespace bench
