// The line layer's date reader: dates, clock times and AM and PM words in the forms that exports
// take.

#include "date_time.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "text.h"

namespace conversion {

namespace {

// Returns true for a time of day on the 24-hour clock.
bool IsClockTime(unsigned hour, unsigned minute, unsigned second) {
  return hour < 24 && minute < 60 && second < 60;
}

// Reads up to five digits at s[pos] into value; returns how many. Five tell a
// number too long for any part of a date.
std::size_t ReadNumber(std::string_view s, std::size_t& pos, unsigned& value) {
  std::size_t n = 0;
  value = 0;
  for (; n < 5 && pos < s.size() && IsDigit(s[pos]); ++n, ++pos) {
    value = value * 10 + static_cast<unsigned>(s[pos] - '0');
  }
  return n;
}

void SkipBlanks(std::string_view& s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
}

void PutTwoDigits(std::string& out, unsigned n) {
  out.push_back(static_cast<char>('0' + n / 10));
  out.push_back(static_cast<char>('0' + n % 10));
}

// Holds a day of the calendar.
struct Day {
  unsigned day = 0, month = 0, year = 0;
};

// Reads date, less the spaces around it, as a day of the calendar from 1900
// to 2099 in the order it is read in: a date with the year last and no '.' in
// order, which sets orderUsed; with order Unknown, only what one order reads,
// and ten characters day first. Returns false for anything else.
bool ReadDay(std::string_view date, DateOrder order, Day& read, bool& orderUsed) {
  date = TrimSpaces(date);
  DateParts parts;
  if (date.empty() || ReadDate(date, parts) != date.size()) return false;
  read = {parts.third, parts.second, parts.first};
  if (!parts.yearFirst) {
    read.year = parts.third;
    if (parts.dotted) {
      order = DateOrder::DayFirst;
    } else {
      orderUsed = true;
    }
    if (order == DateOrder::Unknown) {
      // Reads a date that only one order makes a day of the calendar, and
      // today's ten characters as day first; any other stays unknown.
      if (parts.first > 12 || parts.first == parts.second || CharCount(date) == 10) {
        order = parts.second > 12 ? DateOrder::MonthFirst : DateOrder::DayFirst;
      } else if (parts.second > 12) {
        order = DateOrder::MonthFirst;
      } else {
        return false;
      }
    }
    read.day = order == DateOrder::DayFirst ? parts.first : parts.second;
    read.month = order == DateOrder::DayFirst ? parts.second : parts.first;
  }
  return IsCalendarDate(read.day, read.month, read.year);
}

// Appends a date as dd/mm/yyyy; returns false when ReadDay does not read it.
bool PutDate(std::string_view date, const DateRules& rules, std::string& out, DateNotes& notes) {
  Day read;
  if (!ReadDay(date, rules.order, read, notes.orderUsed)) return false;
  PutTwoDigits(out, read.day);
  out.push_back('/');
  PutTwoDigits(out, read.month);
  out.push_back('/');
  PutTwoDigits(out, read.year / 100);
  PutTwoDigits(out, read.year % 100);
  return true;
}

// Reads h:mm, hh:mm, h:mm:ss or hh:mm:ss, with ':' or '.' between, at the
// start of s; returns the bytes read, 0 when none is there. Seconds left out are 0.
std::size_t ReadClock(std::string_view s, std::array<unsigned, 3>& clock) {
  clock = {};
  std::size_t pos = 0;
  const std::size_t hourDigits = ReadNumber(s, pos, clock[0]);
  if (hourDigits == 0 || hourDigits > 2) return 0;
  for (std::size_t i = 1; i < clock.size(); ++i) {
    if (pos >= s.size() || (s[pos] != ':' && s[pos] != '.')) return i == 2 ? pos : 0;
    ++pos;
    if (ReadNumber(s, pos, clock[i]) != 2) return 0;
  }
  return pos;
}

// Reads the longest AM or PM word at the start of s that a blank, a digit or
// the end follows: English in any case, or the PC's own; returns its bytes,
// 0 when none is there.
std::size_t ReadHalf(std::string_view s, const DateRules& rules, bool& pm) {
  struct Word {
    std::string_view text;
    bool pm;
  };
  const std::array<Word, 4> words{Word{"AM", false}, Word{"PM", true}, Word{rules.am, false},
                                  Word{rules.pm, true}};
  std::size_t longest = 0;
  for (const Word& word : words) {
    const std::size_t n = word.text.size();
    if (n <= longest || n > s.size() || !SameIgnoringAsciiCase(s.substr(0, n), word.text)) {
      continue;
    }
    if (n == s.size() || s[n] == ' ' || IsDigit(s[n])) {
      longest = n;
      pm = word.pm;
    }
  }
  return longest;
}

// Reads two digits at s[pos]; returns false when they are not there.
bool ReadTwoDigits(std::string_view s, std::size_t& pos, unsigned& value) {
  if (pos + 2 > s.size() || !IsDigit(s[pos]) || !IsDigit(s[pos + 1])) return false;
  value = TwoDigits(s.data() + pos);
  pos += 2;
  return true;
}

// Reads hh?mm?ss as the last eight of nineteen characters, whatever the
// first eleven hold, as exports have always been read.
bool ReadNineteen(std::string_view time, std::array<unsigned, 3>& clock) {
  if (CharCount(time) != 19) return false;
  std::size_t pos = FirstChars(time, 11).size();
  for (std::size_t i = 0; i < clock.size(); ++i) {
    if (i > 0) pos += CharLength(time, pos);
    if (!ReadTwoDigits(time, pos, clock[i])) return false;
  }
  return pos == time.size();
}

// Reads a time of day with an AM or PM word right before or after it, or
// none, maybe behind a date and a blank; a date alone is midnight.
bool ReadTimeOfDay(std::string_view time, const DateRules& rules, std::array<unsigned, 3>& clock) {
  clock = {};
  DateParts date;
  if (const std::size_t n = ReadDate(time, date); n > 0) {
    time.remove_prefix(n);
    if (time.empty()) return true;
    if (time.front() != ' ') return false;
    SkipBlanks(time);
  }
  bool pm = false;
  std::size_t half = ReadHalf(time, rules, pm);
  time.remove_prefix(half);
  SkipBlanks(time);
  const std::size_t n = ReadClock(time, clock);
  if (n == 0) return false;
  time.remove_prefix(n);
  SkipBlanks(time);
  if (half == 0) {
    half = ReadHalf(time, rules, pm);
    time.remove_prefix(half);
  }
  if (!time.empty()) return false;
  if (half == 0) return true;
  if (clock[0] < 1 || clock[0] > 12) return false;
  clock[0] = clock[0] % 12 + (pm ? 12 : 0);
  return true;
}

// Appends a time as hh:mm:ss; returns false when it is in no form read or
// out of the clock's range.
bool PutTime(std::string_view time, const DateRules& rules, std::string& out) {
  time = TrimSpaces(time);
  std::array<unsigned, 3> clock{};
  if (!ReadNineteen(time, clock) && !ReadTimeOfDay(time, rules, clock)) return false;
  if (!IsClockTime(clock[0], clock[1], clock[2])) return false;
  PutTwoDigits(out, clock[0]);
  out.push_back(':');
  PutTwoDigits(out, clock[1]);
  out.push_back(':');
  PutTwoDigits(out, clock[2]);
  return true;
}

}  // namespace

std::size_t ReadDate(std::string_view s, DateParts& parts) {
  std::array<unsigned*, 3> values{&parts.first, &parts.second, &parts.third};
  std::array<std::size_t, 3> digits{};
  std::string_view separator;
  std::size_t pos = 0;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) {
      if (pos >= s.size() || IsDigit(s[pos])) return 0;
      const std::string_view next = s.substr(pos, CharLength(s, pos));
      if (i == 2 && next != separator) return 0;
      separator = next;
      pos += next.size();
      if (pos < s.size() && s[pos] == ' ') ++pos;
    }
    digits[i] = ReadNumber(s, pos, *values[i]);
  }
  const auto dayOrMonth = [](std::size_t n) { return n == 1 || n == 2; };
  parts.yearFirst = digits[0] == 4 && dayOrMonth(digits[1]) && dayOrMonth(digits[2]);
  if (!parts.yearFirst && !(dayOrMonth(digits[0]) && dayOrMonth(digits[1]) && digits[2] == 4)) {
    return 0;
  }
  parts.dotted = separator == ".";
  if (pos < s.size() && s[pos] == '.') ++pos;
  return pos;
}

DateOrder OrderShownBy(std::string_view date) {
  DateParts parts;
  date = TrimSpaces(date);
  if (ReadDate(date, parts) != date.size() || parts.yearFirst || parts.dotted) {
    return DateOrder::Unknown;
  }
  Day read;
  bool orderUsed = false;
  const bool dayFirst = ReadDay(date, DateOrder::DayFirst, read, orderUsed);
  const bool monthFirst = ReadDay(date, DateOrder::MonthFirst, read, orderUsed);
  if (dayFirst == monthFirst) return DateOrder::Unknown;
  return dayFirst ? DateOrder::DayFirst : DateOrder::MonthFirst;
}

bool IsHeaderDate(std::string_view date) { return SameIgnoringAsciiCase(date, "DATE"); }

std::string_view DateTimeSlowly(std::string_view date, std::string_view time,
                                const DateRules& rules, std::string& out, DateNotes& notes) {
  out.clear();
  if (IsHeaderDate(date)) {
    out.append(date).append(" ").append(time);
  } else {
    if (!PutDate(date, rules, out, notes)) {
      out.assign(kPlaceholderDate);
      notes.placeholder = true;
    }
    out.push_back(' ');
    if (!PutTime(time, rules, out)) {
      out.append(kPlaceholderTime);
      notes.placeholder = true;
    }
  }
  const std::size_t size = out.size();
  out.resize(std::max(size + 16, kDateTimeRoom), ' ');
  return {out.data(), size};
}

}  // namespace conversion
