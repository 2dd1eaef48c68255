// The line layer's date reader: dates, clock times and AM and PM words in the forms that exports
// take.

#include "date_time.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <span>

#include "regional_dates.h"
#include "text.h"

namespace conversion {

namespace {

// Tells the first year of the Buddhist era that is read, 1900 in the
// Gregorian calendar, and how far the era is ahead.
constexpr unsigned kBuddhistEraAhead = 543;
constexpr unsigned kFirstBuddhistYear = 1900 + kBuddhistEraAhead;

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

// Returns the bytes of the blank at the start of s, 0 when none is there: a
// space, or a no-break space, U+00A0 or U+202F in UTF-8 and 0xA0 in a code page.
std::size_t BlankAt(std::string_view s, bool eightBit) {
  if (s.empty()) return 0;
  if (s.front() == ' ') return 1;
  if (eightBit) return s.front() == '\xA0' ? 1 : 0;
  if (s.starts_with("\xC2\xA0")) return 2;
  return s.starts_with("\xE2\x80\xAF") ? 3 : 0;
}

// Returns the bytes of the blank at the end of s, as BlankAt tells them.
std::size_t BlankBefore(std::string_view s, bool eightBit) {
  if (s.empty()) return 0;
  if (s.back() == ' ') return 1;
  if (eightBit) return s.back() == '\xA0' ? 1 : 0;
  if (s.ends_with("\xC2\xA0")) return 2;
  return s.ends_with("\xE2\x80\xAF") ? 3 : 0;
}

void SkipBlanks(std::string_view& s, bool eightBit) {
  while (const std::size_t n = BlankAt(s, eightBit)) s.remove_prefix(n);
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

// Returns the bytes at the start of s that word matches, 0 when it does not:
// a space of the word matches any blank, and a to z match in either case when
// the word says so.
std::size_t MatchWord(std::string_view s, const DayHalfWord& word, bool eightBit) {
  std::size_t pos = 0;
  for (const char c : word.text) {
    if (c == ' ') {
      const std::size_t blank = BlankAt(s.substr(pos), eightBit);
      if (blank == 0) return 0;
      pos += blank;
    } else if (pos < s.size() &&
               (s[pos] == c || (word.anyCase && UpperAscii(s[pos]) == UpperAscii(c)))) {
      ++pos;
    } else {
      return 0;
    }
  }
  return pos;
}

// Reads the longest AM or PM word at the start of s that a blank, a digit or
// the end follows: English in any case or the PC's own first, then any
// language's; returns its bytes, 0 when none is there.
std::size_t ReadHalf(std::string_view s, const DateRules& rules, bool& pm) {
  std::size_t longest = 0;
  const auto take = [&](const DayHalfWord& word) {
    const std::size_t n = MatchWord(s, word, rules.eightBit);
    if (n > longest && (n == s.size() || IsDigit(s[n]) || BlankAt(s.substr(n), rules.eightBit))) {
      longest = n;
      pm = word.pm;
    }
  };
  for (const DayHalfWord& word :
       {DayHalfWord{"AM", false, true}, DayHalfWord{"PM", true, true},
        DayHalfWord{rules.am, false, true}, DayHalfWord{rules.pm, true, true}}) {
    take(word);
  }
  if (longest > 0 || s.empty()) return longest;
  // Looks at the words whose first byte is the text's, a to z in either case.
  const char first = UpperAscii(s.front());
  const auto key = [](char c) { return static_cast<unsigned char>(UpperAscii(c)); };
  const std::span<const DayHalfWord> words = platform::DayHalfWords(rules.eightBit);
  auto word =
      std::lower_bound(words.begin(), words.end(), first,
                       [&](const DayHalfWord& w, char c) { return key(w.text.front()) < key(c); });
  for (; word != words.end() && key(word->text.front()) == key(first); ++word) take(*word);
  return longest;
}

// Returns the bytes of the AM or PM word that ends s, maybe before blanks, 0
// when none does: a word that starts s or follows a blank or a digit.
std::size_t HalfBefore(std::string_view s, const DateRules& rules, bool& pm) {
  while (const std::size_t n = BlankBefore(s, rules.eightBit)) s.remove_suffix(n);
  // Looks no further when a digit or ':' ends s, as a date or a time does.
  if (s.empty() || IsDigit(s.back()) || s.back() == ':') return 0;
  for (std::size_t start = 0; start < s.size(); ++start) {
    const std::string_view head = s.substr(0, start);
    if (start > 0 && !IsDigit(head.back()) && BlankBefore(head, rules.eightBit) == 0) continue;
    const std::string_view word = s.substr(start);
    if (ReadHalf(word, rules, pm) == word.size()) return word.size();
  }
  return 0;
}

// Makes a time of one of twelve hours, 1 to 12, one of the day's 24; returns
// false for any other hour.
bool TakeHalf(std::array<unsigned, 3>& clock, bool pm) {
  if (clock[0] < 1 || clock[0] > 12) return false;
  clock[0] = clock[0] % 12 + (pm ? 12 : 0);
  return true;
}

// Reads two digits at s[pos]; returns false when they are not there.
bool ReadTwoDigits(std::string_view s, std::size_t& pos, unsigned& value) {
  if (pos + 2 > s.size() || !IsDigit(s[pos]) || !IsDigit(s[pos + 1])) return false;
  value = TwoDigits(s.data() + pos);
  pos += 2;
  return true;
}

// Reads hh?mm?ss as the last eight of nineteen characters, whatever the
// first eleven hold, as exports have always been read; start is where hh is.
bool ReadNineteen(std::string_view time, std::array<unsigned, 3>& clock, std::size_t& start) {
  if (CharCount(time) != 19) return false;
  std::size_t pos = FirstChars(time, 11).size();
  start = pos;
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
    time = TrimSpaces(time);
  }
  // Blanks of every kind count between a word and the time, and only there.
  bool pm = false;
  std::size_t half = 0;
  if (!time.empty() && !IsDigit(time.front())) {
    half = ReadHalf(time, rules, pm);
    if (half == 0) return false;
    time.remove_prefix(half);
    SkipBlanks(time, rules.eightBit);
  }
  const std::size_t n = ReadClock(time, clock);
  if (n == 0) return false;
  time.remove_prefix(n);
  if (half == 0 && !time.empty()) {
    SkipBlanks(time, rules.eightBit);
    half = ReadHalf(time, rules, pm);
    if (half == 0) return false;
    time.remove_prefix(half);
  }
  return time.empty() && (half == 0 || TakeHalf(clock, pm));
}

// Appends a time as hh:mm:ss; returns false when it is in no form read or
// out of the clock's range.
bool PutTime(std::string_view time, const DateRules& rules, std::string& out) {
  time = TrimSpaces(time);
  std::array<unsigned, 3> clock{};
  if (std::size_t start = 0; ReadNineteen(time, clock, start)) {
    // Reads a word right before the time with it, as one of twelve hours.
    bool pm = false;
    if (HalfBefore(time.substr(0, start), rules, pm) > 0 && !TakeHalf(clock, pm)) return false;
  } else if (!ReadTimeOfDay(time, rules, clock)) {
    return false;
  }
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
  unsigned& year = parts.yearFirst ? parts.first : parts.third;
  if (year - kFirstBuddhistYear < 200) year -= kBuddhistEraAhead;
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
