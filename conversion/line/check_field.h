// The line layer's field checks: a call sign's base call, a band's frequency and a DXCC prefix
// as the logbook writes it.

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
// value itself or a constant of the tables, never a temporary; 16 bytes can
// be read from the start of such a constant.
std::string_view CheckValue(std::int32_t check, std::string_view value);

// Reduces a call sign to its base call (check 2).
std::string_view BaseCall(std::string_view call);

// Returns a band's frequency in MHz, or the band as it is when the table lacks it (check 7).
std::string_view BandFrequency(std::string_view band);

// Returns a DXCC prefix as the logbook writes it (check 33).
std::string_view LogbookPrefix(std::string_view prefix);

}  // namespace conversion
