// The line layer's date reader: turns the Date and Time columns, in any regional form, into the
// record's dd/mm/yyyy hh:mm:ss, or a placeholder when unsure.

#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "regional_dates.h"
#include "text.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Reads the Date and Time columns as the exporting PC wrote them, in whatever
// regional form, into the record's dd/mm/yyyy hh:mm:ss. What cannot be known
// gets a placeholder that the closing message lists: never a guess.
namespace conversion {

inline constexpr std::string_view kPlaceholderDate = "01/01/2050";
inline constexpr std::string_view kPlaceholderTime = "12:12:12";

// Counts the bytes that the text DateTime builds in is held at, at least.
inline constexpr std::size_t kDateTimeRoom = 35;

// Tells how one run reads dates and times.
struct DateRules {
  DateOrder order = DateOrder::Unknown;  // of dates with the year last and no '.'
  std::string am, pm;                    // the PC's words, in the export's encoding
  bool eightBit = false;                 // the export is in an 8-bit code page, not UTF-8
};

// Holds the numbers of a date as written, in the order written.
struct DateParts {
  unsigned first = 0, second = 0, third = 0;
  bool yearFirst = false;
  bool dotted = false;  // the separator is '.', which only day-first forms use
};

// Reads a date at the start of s: three numbers, a year of four digits first
// or last and one or two digits for each of the others, between two of the
// same separator (any character but a digit), each maybe followed by a blank,
// and maybe a closing '.'. Returns the bytes read, 0 when no date starts there.
// A year of the Buddhist era, 2443 to 2642, is read as its Gregorian one, 543
// less, so that every check that follows sees 1900 to 2099.
std::size_t ReadDate(std::string_view s, DateParts& parts);

// Returns the one order of day and month in which the records' own reader
// reads date, less the spaces around it, as a day of the calendar; Unknown
// when both or neither do, and for a date whose year first or '.' decides.
DateOrder OrderShownBy(std::string_view date);

// Tells what a run learns from its dates besides the record.
struct DateNotes {
  bool placeholder = false;  // a placeholder was written
  bool orderUsed = false;    // a date with the year last and no '.' was read in the run's order
};

// Returns true when the Date column is the header line's.
bool IsHeaderDate(std::string_view date);

// Builds field 20 as DateTime does, for any form. Spaces around the date or
// the time change nothing; the header line's names pass as they stand.
std::string_view DateTimeSlowly(std::string_view date, std::string_view time,
                                const DateRules& rules, std::string& out, DateNotes& notes);

// Counts the days of each month, February's in a leap year; 0 past December.
inline constexpr std::array<std::uint8_t, 100> kDaysIn{0,  31, 29, 31, 30, 31, 30,
                                                       31, 31, 30, 31, 30, 31};

// Bounds the digits of the usual date, dd?mm?yyyy, and of the last eight
// bytes of the usual time, hh?mm?ss, each at most this; a separator is no
// digit at all. Minutes and seconds are then in range whatever they are.
// The clock's bounds are in the last eight bytes, where they are read from time + 3.
inline constexpr std::array<char, 16> kDateBounds{3, 9, 9, 1, 9, 9, 2, 9, 9, 9};
inline constexpr std::array<char, 16> kClockBounds{0, 0, 0, 0, 0, 0, 0, 0, 2, 9, 9, 5, 9, 9, 5, 9};

// Returns true when date holds dd?mm?yyyy with the same separator twice and
// time 19 bytes that end in hh?mm?ss, all of it ASCII and each digit within
// its bound; one byte after the other.
inline bool UsualShapePlainly(const char* date, const char* time) {
  const auto within = [](char c, char bound) { return c >= '0' && c - '0' <= bound; };
  const auto ascii = [](char c) { return static_cast<unsigned char>(c) < 0x80; };
  for (std::size_t i = 0; i < 19; ++i) {
    if (!ascii(time[i]) ||
        (i < 10 && (!ascii(date[i]) || within(date[i], kDateBounds[i]) == (i == 2 || i == 5))) ||
        (i >= 11 && i != 13 && i != 16 && !within(time[i], kClockBounds[i - 3]))) {
      return false;
    }
  }
  return date[2] == date[5];
}

// Answers UsualShapePlainly's question 16 bytes at a time.
inline bool UsualShape(const char* date, const char* time) {
#if defined(__SSE2__)
  const __m128i day = _mm_loadu_si128(reinterpret_cast<const __m128i*>(date));
  const __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i*>(time));
  const __m128i tail = _mm_loadu_si128(reinterpret_cast<const __m128i*>(time + 3));
  const __m128i zero = _mm_set1_epi8('0');
  // Marks the bytes within their bounds: a byte less '0' that stays at most
  // its bound, as an unsigned byte.
  const auto within = [zero](__m128i bytes, __m128i bounds) {
    const __m128i value = _mm_sub_epi8(bytes, zero);
    return _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(value, bounds), value));
  };
  const auto bounds = [](const std::array<char, 16>& b) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(b.data()));
  };
  const int high = (_mm_movemask_epi8(day) & 0x3FF) | _mm_movemask_epi8(_mm_or_si128(head, tail));
  // Digits at 0, 1, 3, 4, 6 to 9 of the date and none at 2 and 5; digits at
  // 11, 12, 14, 15, 17 and 18 of the time.
  return high == 0 && (within(day, bounds(kDateBounds)) & 0x3FF) == 0x3DB &&
         (within(tail, bounds(kClockBounds)) & 0xDB00) == 0xDB00 && date[2] == date[5];
#else
  return UsualShapePlainly(date, time);
#endif
}

// Returns true for a day of a month in some year, 29 February included.
inline bool IsDayOfMonth(unsigned day, unsigned month) {
  return month - 1 < 12 && day - 1 < kDaysIn[month % kDaysIn.size()];
}

// Returns true for a leap year from 1900 to 2099: every fourth, 2000
// included, 1900 not.
inline bool IsLeapYear(unsigned year) { return year % 4 == 0 && year != 1900; }

// Returns true for a day of the calendar from 1900 to 2099.
inline bool IsCalendarDate(unsigned day, unsigned month, unsigned year) {
  return year - 1900 < 200 && IsDayOfMonth(day, month) &&
         (month != 2 || day != 29 || IsLeapYear(year));
}

// Returns the number of the two digits at p.
inline unsigned TwoDigits(const char* p) {
  return static_cast<unsigned>((p[0] - '0') * 10 + (p[1] - '0'));
}

// Reads the usual pair, a date dd?mm?yyyy and a time of 19 bytes ending in
// hh?mm?ss, all of it ASCII, as a day of the calendar read day first and a
// time of the clock; returns false for anything else. Writes dd/mm/yyyy
// hh:mm:ss at text.
inline bool PutUsualDateTime(const char* date, const char* time, DateOrder order, char* text) {
  if (!UsualShape(date, time) || (order == DateOrder::MonthFirst && date[2] != '.')) return false;
  // Checks the century and the day of the month first: the year's last two
  // digits matter only on 29 February.
  const unsigned day = TwoDigits(date);
  const unsigned month = TwoDigits(date + 3);
  const unsigned century = TwoDigits(date + 6);
  if (century - 19 >= 2 || !IsDayOfMonth(day, month) || (time[11] == '2' && time[12] > '3')) {
    return false;
  }
  if (month == 2 && day == 29 && !IsLeapYear(century * 100 + TwoDigits(date + 8))) [[unlikely]] {
    return false;
  }
  std::memcpy(text, date, 10);
  text[2] = '/';
  text[5] = '/';
  text[10] = ' ';
  std::memcpy(text + 11, time + 11, 8);
  text[13] = ':';
  text[16] = ':';
  return true;
}

// Builds field 20, dd/mm/yyyy hh:mm:ss, from the date and time columns, each
// with 16 readable bytes from its start, as DateTimeSlowly does. A time that
// starts with a space goes the long way, which reads it without, and so does
// one whose hh is not behind a digit and a space, where an AM or PM word may
// stand. The text
// viewed is in out, which holds kDateTimeRoom bytes at least, with 16
// readable bytes behind its end.
inline std::string_view DateTime(std::string_view date, std::string_view time,
                                 const DateRules& rules, std::string& out, DateNotes& notes) {
  constexpr std::size_t kUsual = 19;
  static_assert(kUsual + 16 <= kDateTimeRoom);
  if (date.size() == 10 && time.size() == kUsual && time[0] != ' ' && time[10] == ' ' &&
      IsDigit(time[9]) && PutUsualDateTime(date.data(), time.data(), rules.order, out.data())) {
    notes.orderUsed = notes.orderUsed || date[2] != '.';
    return {out.data(), kUsual};
  }
  return DateTimeSlowly(date, time, rules, out, notes);
}

}  // namespace conversion
