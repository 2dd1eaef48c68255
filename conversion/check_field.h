#pragma once

#include <cstdint>
#include <string_view>

namespace conversion {

// Names the checks by the record field each serves.
enum Check : std::int32_t {
  kBaseCallCheck = 2,
  kBandCheck = 7,
  kPrefixCheck = 33,
};

// Returns value after the check numbered check (2, 7 or 33). The result views
// value itself or a constant of the tables, never a temporary.
std::string_view CheckValue(std::int32_t check, std::string_view value);

}  // namespace conversion
