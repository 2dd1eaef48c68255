// The platform layer's words for how a PC writes dates: the order of day and
// month and the AM and PM words, which the regional settings give.

#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace conversion {

// Names the order of day and month in a date written with the year last.
enum class DateOrder : std::uint8_t { Unknown, DayFirst, MonthFirst };

// Holds how this PC writes dates and times, as far as an export shows them.
struct RegionalDates {
  DateOrder order = DateOrder::Unknown;  // of the short date; unknown when it puts the year first
  std::string am, pm;                    // the words after a morning or afternoon time, UTF-8
};

// Holds an AM or PM word as some language writes it, in one encoding.
struct DayHalfWord {
  std::string_view text;  // a space in it stands for any blank: U+0020, U+00A0 or U+202F
  bool pm = false;
  bool anyCase = false;  // a word of Latin letters, whose a to z match in either case
};

namespace platform {

// Returns the AM and PM words of every language that CLDR knows, in UTF-8 or,
// when eightBit, in the Windows code page of each language; ordered by their
// first byte with a to z upper-cased. None means AM in one language and PM in
// another.
std::span<const DayHalfWord> DayHalfWords(bool eightBit);

}  // namespace platform

}  // namespace conversion
