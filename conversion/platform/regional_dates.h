// The platform layer's words for how a PC writes dates: the order of day and
// month and the AM and PM words, which the regional settings give.

#pragma once

#include <cstdint>
#include <string>

namespace conversion {

// Names the order of day and month in a date written with the year last.
enum class DateOrder : std::uint8_t { Unknown, DayFirst, MonthFirst };

// Holds how this PC writes dates and times, as far as an export shows them.
struct RegionalDates {
  DateOrder order = DateOrder::Unknown;  // of the short date; unknown when it puts the year first
  std::string am, pm;                    // the words after a morning or afternoon time, UTF-8
};

}  // namespace conversion
