#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>

#include "bytes.h"
#include "check_field.h"
#include "line_converter.h"
#include "platform.h"
#include "text.h"

namespace conversion {

namespace {

using Fields = std::array<std::string_view, kUsedFields>;

constexpr std::string_view kPlaceholderDate = "01/01/2050";
constexpr std::string_view kPlaceholderTime = "12:12:12";

// Writes CR and LF as blanks: a record is one line whatever the text holds.
std::string OneLine(std::string text) {
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return text;
}

std::string_view TrimTrailingSpaces(std::string_view s) {
  const std::size_t last = s.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string_view{} : s.substr(0, last + 1);
}

// Returns the index just past the comma at or after pos, or npos at the end of line.
std::size_t AfterComma(std::string_view line, std::size_t pos) {
  if (pos >= line.size()) return std::string_view::npos;
  const char* const end = line.data() + line.size();
  const char* const comma = FindByte(line.data() + pos, end, ',');
  if (comma == end) return std::string_view::npos;
  return static_cast<std::size_t>(comma - line.data()) + 1;
}

// Returns a mask of the commas among the 64 bytes at p: bit i for byte i.
std::uint64_t CommaBits(const char* p) {
  std::uint64_t bits = 0;
  for (int i = 0; i < 4; ++i) bits |= std::uint64_t{Matches16(p + 16 * i, ',')} << (16 * i);
  return bits;
}

// Finds a line's commas from 64-byte masks, without a branch on each field's length.
class CommaFinder {
 public:
  CommaFinder(const char* begin, const char* end) : end_(end) { Load(begin); }

  // Returns the comma after the one returned before, or the end of the line.
  const char* Next() {
    while (bits_ == 0) {
      if (end_ - block_ <= kBlock) return end_;
      Load(block_ + kBlock);
    }
    const char* const comma = block_ + std::countr_zero(bits_);
    bits_ &= bits_ - 1;
    return comma;
  }

  // Goes on from p, skipping the commas a quoted field held.
  void Restart(const char* p) { Load(p); }

 private:
  static constexpr std::ptrdiff_t kBlock = 64;

  void Load(const char* p) {
    block_ = p;
    const std::ptrdiff_t n = end_ - p;
    if (n >= kBlock) {
      bits_ = CommaBits(p);
      return;
    }
    std::array<char, kBlock> tail{};  // the last bytes of the line, padded with zeros
    if (n > 0) std::memcpy(tail.data(), p, static_cast<std::size_t>(n));
    bits_ = CommaBits(tail.data());
  }

  const char* block_ = nullptr;
  const char* const end_;
  std::uint64_t bits_ = 0;  // commas of the 64 bytes at block_ not yet returned
};

// Reads the quoted field whose opening quote is at open. "" inside stands for
// one quote; text after the closing quote up to the comma is kept, less
// trailing blanks; an unclosed quote runs to the end of the line. Returns the
// index just past the comma that ends the field, or npos.
std::size_t ReadQuoted(std::string_view line, std::size_t open, std::string_view& value,
                       std::string& unquoted) {
  bool doubled = false;
  std::size_t close = std::string_view::npos;
  for (std::size_t p = open + 1;;) {
    const std::size_t q = line.find('"', p);
    if (q == std::string_view::npos) break;
    if (q + 1 < line.size() && line[q + 1] == '"') {
      doubled = true;
      p = q + 2;
      continue;
    }
    close = q;
    break;
  }
  std::string_view inner;
  std::string_view rest;
  std::size_t next = std::string_view::npos;
  if (close == std::string_view::npos) {
    inner = line.substr(open + 1);
  } else {
    inner = line.substr(open + 1, close - open - 1);
    next = AfterComma(line, close + 1);
    const std::size_t end = next == std::string_view::npos ? line.size() : next - 1;
    rest = TrimTrailingSpaces(line.substr(close + 1, end - close - 1));
  }
  if (!doubled && rest.empty()) {
    value = inner;
    return next;
  }
  unquoted.clear();
  for (std::size_t i = 0; i < inner.size(); ++i) {
    unquoted.push_back(inner[i]);
    if (inner[i] == '"') ++i;  // the second quote of a pair
  }
  unquoted.append(rest);
  value = unquoted;
  return next;
}

// Exchanges a value with the field check through the form state.
std::string_view Exchange(FormState& form, std::int32_t check, std::string_view value) {
  form.XCheck = check;
  const std::string_view result = CheckValue(check, value);
  form.CheckMarigold.assign(result);
  return result;
}

// Maps each ASCII first character to its flag as QslFlag describes.
constexpr std::array<char, 128> kQslFlags = [] {
  std::array<char, 128> flags{};
  for (std::size_t c = 0; c < flags.size(); ++c) {
    char flag = UpperAscii(static_cast<char>(c));
    if (flag == '0') flag = 'N';
    if (flag == '1' || flag == 'S' || flag == 'O') flag = 'Y';
    flags[c] = flag;
  }
  return flags;
}();

// Maps a QSL flag to the first character of its upper-cased form: 0 to N;
// 1, S and O to Y. value is never empty.
std::string_view QslFlag(std::string_view value) {
  const auto first = static_cast<unsigned char>(value[0]);
  if (first < kQslFlags.size()) return {&kQslFlags[first], 1};
  return value.substr(0, CharLength(value, 0));
}

// Fills the byte offsets of the first N characters of s and the end; returns
// true when s holds exactly N characters.
template <std::size_t N>
bool CharOffsets(std::string_view s, std::array<std::size_t, N + 1>& offsets) {
  std::size_t pos = 0;
  for (std::size_t i = 0; i < N; ++i) {
    if (pos >= s.size()) return false;
    offsets[i] = pos;
    pos += CharLength(s, pos);
  }
  offsets[N] = pos;
  return pos == s.size();
}

// Returns characters from..to (1-based, inclusive) of s.
template <std::size_t N>
std::string_view Chars(std::string_view s, const std::array<std::size_t, N + 1>& offsets,
                       std::size_t from, std::size_t to) {
  return s.substr(offsets[from - 1], offsets[to] - offsets[from - 1]);
}

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Returns true when the characters at the given 1-based places are each one digit.
template <std::size_t N, std::size_t M>
bool DigitsAt(std::string_view s, const std::array<std::size_t, N + 1>& offsets,
              const std::array<std::size_t, M>& places) {
  return std::all_of(places.begin(), places.end(), [&](std::size_t place) {
    return offsets[place] - offsets[place - 1] == 1 && IsDigit(s[offsets[place - 1]]);
  });
}

bool IsAscii(std::string_view s) {
  unsigned bits = 0;
  for (const char c : s) bits |= static_cast<unsigned char>(c);
  return bits < 0x80;
}

bool IsHeaderDate(std::string_view date) {
  return date.size() == 4 && UpperAscii(date[0]) == 'D' && UpperAscii(date[1]) == 'A' &&
         UpperAscii(date[2]) == 'T' && UpperAscii(date[3]) == 'E';
}

// Appends one or two digits as two, with a leading zero.
void PutTwoDigits(std::string& out, std::string_view digits) {
  if (digits.size() == 1) out.push_back('0');
  out.append(digits);
}

// Takes one or two digits from the front of s; returns them, or nothing.
std::string_view TakeDigits(std::string_view& s, std::size_t most) {
  std::size_t n = 0;
  while (n < most && n < s.size() && IsDigit(s[n])) ++n;
  const std::string_view digits = s.substr(0, n);
  s.remove_prefix(n);
  return digits;
}

// Appends a date as dd/mm/yyyy: yyyy?mm?dd; any ten characters as dd?mm?yyyy,
// the separators not examined; d.m.yyyy with one or two digits for day and
// month. Returns false for any other form, month-first ones included.
bool PutDate(std::string_view date, std::string& out) {
  std::array<std::size_t, 11> d{};
  if (CharOffsets<10>(date, d)) {
    if (DigitsAt<10>(date, d, std::array<std::size_t, 8>{1, 2, 3, 4, 6, 7, 9, 10})) {
      out.append(Chars<10>(date, d, 9, 10)).append("/").append(Chars<10>(date, d, 6, 7));
      out.append("/").append(Chars<10>(date, d, 1, 4));
      return true;
    }
    out.append(Chars<10>(date, d, 1, 2)).append("/").append(Chars<10>(date, d, 4, 5));
    out.append("/").append(Chars<10>(date, d, 7, 10));
    return true;
  }
  std::string_view rest = date;
  const std::string_view day = TakeDigits(rest, 2);
  if (day.empty() || !rest.starts_with('.')) return false;
  rest.remove_prefix(1);
  const std::string_view month = TakeDigits(rest, 2);
  if (month.empty() || !rest.starts_with('.')) return false;
  rest.remove_prefix(1);
  if (rest.size() != 4 || TakeDigits(rest, 4).size() != 4) return false;
  PutTwoDigits(out, day);
  out.push_back('/');
  PutTwoDigits(out, month);
  out.push_back('/');
  out.append(date.substr(date.size() - 4));
  return true;
}

// Reads h:mm, hh:mm, h:mm:ss or hh:mm:ss, with ':' or '.' between, as the
// whole of text; returns false for anything else.
bool ReadClock(std::string_view text, std::array<std::string_view, 3>& parts) {
  parts = {};
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) {
      if (text.empty()) return i == 2;
      if (text.front() != ':' && text.front() != '.') return false;
      text.remove_prefix(1);
    }
    parts[i] = TakeDigits(text, 2);
    if (parts[i].empty() || (i > 0 && parts[i].size() != 2)) return false;
  }
  return text.empty();
}

// Appends hh:mm:ss for a time that ends the value and starts it or follows a
// blank, on the 24-hour clock or followed by a blank and AM or PM. The
// seconds are 00 when left out.
bool PutTimeOfDay(std::string_view time, std::string& out) {
  int shift = -1;  // hours to add for AM or PM; -1 on the 24-hour clock
  if (time.size() >= 3 && time[time.size() - 3] == ' ' &&
      UpperAscii(time[time.size() - 1]) == 'M') {
    const char half = UpperAscii(time[time.size() - 2]);
    if (half == 'A' || half == 'P') {
      shift = half == 'A' ? 0 : 12;
      time.remove_suffix(3);
    }
  }
  const std::size_t blank = time.rfind(' ');
  std::array<std::string_view, 3> parts{};
  if (!ReadClock(blank == std::string_view::npos ? time : time.substr(blank + 1), parts)) {
    return false;
  }
  if (shift < 0) {
    PutTwoDigits(out, parts[0]);
  } else {
    int hour = parts[0][0] - '0';
    if (parts[0].size() == 2) hour = hour * 10 + parts[0][1] - '0';
    if (hour < 1 || hour > 12) return false;
    hour = hour % 12 + shift;
    out.push_back(static_cast<char>('0' + hour / 10));
    out.push_back(static_cast<char>('0' + hour % 10));
  }
  out.append(":").append(parts[1]).append(":").append(parts[2].empty() ? "00" : parts[2]);
  return true;
}

// Appends a time as hh:mm:ss: the last eight of nineteen characters when they
// hold digits where hh?mm?ss does, else a time of day that ends the value.
bool PutTime(std::string_view time, std::string& out) {
  std::array<std::size_t, 20> t{};
  if (CharOffsets<19>(time, t) &&
      DigitsAt<19>(time, t, std::array<std::size_t, 6>{12, 13, 15, 16, 18, 19})) {
    out.append(Chars<19>(time, t, 12, 13)).append(":").append(Chars<19>(time, t, 15, 16));
    out.append(":").append(Chars<19>(time, t, 18, 19));
    return true;
  }
  return PutTimeOfDay(time, out);
}

// Builds field 20, dd/mm/yyyy hh:mm:ss, from the date and time as the
// exporting PC wrote them. A form that is not read gets the placeholder date
// 01/01/2050 or time 12:12:12; the header line's names pass unchanged.
std::string_view DateTime(std::string_view date, std::string_view time, std::string& out,
                          bool& placeholder) {
  out.clear();
  if (IsHeaderDate(date)) {
    out.append(date).append(" ").append(time);
    return out;
  }
  if (date.size() == 10 && time.size() == 19 && IsAscii(date) && IsAscii(time) &&
      !IsDigit(date[2]) && IsDigit(time[11]) && IsDigit(time[12]) && IsDigit(time[14]) &&
      IsDigit(time[15]) && IsDigit(time[17]) && IsDigit(time[18])) {
    // One byte per character and the day first: the usual line, done without counting characters.
    const std::array<char, 19> text{
        date[0],  date[1],  '/', date[3],  date[4],  '/', date[6],  date[7], date[8], date[9], ' ',
        time[11], time[12], ':', time[14], time[15], ':', time[17], time[18]};
    out.assign(text.data(), text.size());
    return out;
  }
  if (!PutDate(date, out)) {
    out.assign(kPlaceholderDate);
    placeholder = true;
  }
  out.push_back(' ');
  if (!PutTime(time, out)) {
    out.append(kPlaceholderTime);
    placeholder = true;
  }
  return out;
}

// Counts the record fields that vary by line: 1-12, 14-16, 18-20, 33, 34, 38, 39, 44, 45, 47, 48.
constexpr std::size_t kVaryingFields = 26;

// Holds the text after each varying field up to the next: its bar and the constant fields between.
constexpr std::array<std::string_view, kVaryingFields> kAfter{
    "|",                          // 1
    "|",                          // 2
    "|",                          // 3
    "|",                          // 4
    "|",                          // 5
    "|",                          // 6
    "|",                          // 7
    "|",                          // 8
    "|",                          // 9
    "|",                          // 10
    "|",                          // 11
    "| |",                        // 12, then 13
    "|",                          // 14
    "|",                          // 15
    "|N|",                        // 16, then 17
    "|",                          // 18
    "|",                          // 19
    "| | | | | | | | | | | | |",  // 20, then 21-32
    "|",                          // 33
    "|??|??|??|",                 // 34, then 35-37
    "|",                          // 38
    "| | | | |",                  // 39, then 40-43
    "|",                          // 44
    "| |",                        // 45, then 46
    "|",                          // 47
    "|",                          // 48
};

// Returns the bytes a record holds besides its varying fields.
constexpr std::size_t ConstantBytes() {
  std::size_t size = 1;  // the bar that opens the record
  for (const std::string_view text : kAfter) size += text.size();
  return size;
}

// Copies text to out and returns the end.
char* Put(char* out, std::string_view text) { return CopyBytes(out, text.data(), text.size()); }

using VaryingFields = std::array<std::string_view, kVaryingFields>;

// Places field 47, the moment of conversion, among the varying fields.
constexpr std::size_t kMomentField = 24;

// Writes the record with the constant texts unrolled into fixed-size copies.
template <std::size_t... I>
void PutRecord(char* out, const VaryingFields& fields, std::index_sequence<I...> /*unused*/) {
  *out++ = '|';
  ((out = Put(out, fields[I]), std::memcpy(out, kAfter[I].data(), kAfter[I].size()),
    out += kAfter[I].size()),
   ...);
}

// Appends a record; with mayHoldBars, each bar inside a field becomes a slash (49 bars in all).
void AppendRecord(std::string& record, const VaryingFields& fields, bool mayHoldBars) {
  std::size_t size = ConstantBytes();
  for (const std::string_view field : fields) size += field.size();
  const std::size_t start = record.size();
  record.resize(start + size);
  char* out = record.data() + start;
  if (!mayHoldBars) {
    PutRecord(out, fields, std::make_index_sequence<kVaryingFields>());
    return;
  }
  *out++ = '|';
  for (std::size_t i = 0; i < kVaryingFields; ++i) {
    char* const field = out;
    out = Put(out, fields[i]);
    std::replace(field, out, '|', '/');
    out = Put(out, kAfter[i]);
  }
}

bool HasBar(std::string_view s) {
  return FindByte(s.data(), s.data() + s.size(), '|') != s.data() + s.size();
}

}  // namespace

void RunContext::SetOperator(std::string_view typed) {
  operatorName = OneLine(eightBit ? platform::ToEightBit(typed) : std::string(typed));
}

std::string_view RunContext::Moment(std::time_t t) {
  if (momentTime != t) {
    const std::string text = platform::FormatMoment(t);
    moment = OneLine(eightBit ? platform::ToEightBit(text) : text);
    momentTime = t;
  }
  return moment;
}

bool SplitFields(std::string_view line, Fields& dati,
                 std::array<std::string, kUsedFields>& unquoted) {
  const char* const end = line.data() + line.size();
  const char* pos = line.data();
  CommaFinder commas(pos, end);
  bool more = true;  // a field starts at pos
  for (std::size_t i = 0; i < kUsedFields; ++i) {
    if (!more) return false;
    const char* start = pos;
    if (start != end && (*start == ' ' || *start == '"')) {
      while (start != end && *start == ' ') ++start;
      if (start != end && *start == '"') {
        const std::size_t next =
            ReadQuoted(line, static_cast<std::size_t>(start - line.data()), dati[i], unquoted[i]);
        more = next != std::string_view::npos;
        pos = more ? line.data() + next : end;
        commas.Restart(pos);
        continue;
      }
    }
    const char* const comma = commas.Next();
    const char* last = comma;
    if (last != line.data() && last[-1] == ' ') {
      while (last != start && last[-1] == ' ') --last;
    }
    dati[i] = std::string_view(start, static_cast<std::size_t>(last - start));
    more = comma != end;
    pos = more ? comma + 1 : end;
  }
  return true;
}

LineShape ShapeOf(std::string_view line) {
  LineShape shape;
  std::size_t pos = 0;
  while (shape.fields < kUsedFields) {
    ++shape.fields;
    const std::size_t start = line.find_first_not_of(' ', pos);
    if (start != std::string_view::npos && line[start] == '"') {
      std::size_t quote = line.find('"', start + 1);
      while (quote != std::string_view::npos && quote + 1 < line.size() && line[quote + 1] == '"') {
        quote = line.find('"', quote + 2);  // a pair stands for one quote
      }
      if (quote == std::string_view::npos) {
        shape.openQuote = true;
        return shape;
      }
      pos = quote + 1;
    }
    const std::size_t comma = line.find(',', pos);
    if (comma == std::string_view::npos) return shape;
    pos = comma + 1;
  }
  return shape;
}

LineResult ConvertLine(FormState& form, Host& host, RunContext& run) {
  LineResult result;
  run.unknownBand = {};
  Fields Dati;
  if (!SplitFields(form.Linea, Dati, run.unquoted)) return result;
  if (form.xx == std::numeric_limits<std::int32_t>::max()) {
    result.status = LineStatus::Overflow;
    return result;
  }
  for (std::string_view& value : Dati) {
    // Picks by index rather than by a branch: which fields are empty follows no pattern.
    const std::array<std::string_view, 2> choice{value, " "};
    value = choice[static_cast<std::size_t>(value.empty())];
  }

  const std::string_view dateTime =
      DateTime(Dati[column::Date], Dati[column::Time], run.dateTime, result.placeholderDate);
  const std::string_view band = CheckValue(kBandCheck, Dati[column::Band]);
  if (band.data() == Dati[column::Band].data() && Dati[column::Band] != " " &&
      !IsHeaderDate(Dati[column::Date])) {
    run.unknownBand = Dati[column::Band];
  }
  // Only field 33's check goes through the form state: the state keeps it after the line.
  const VaryingFields Campo{
      Dati[column::Call],                                // 1
      CheckValue(kBaseCallCheck, Dati[column::Call]),    // 2
      run.operatorName,                                  // 3
      Dati[column::Name],                                // 4
      Dati[column::QTH],                                 // 5
      Dati[column::Mode],                                // 6
      band,                                              // 7
      Dati[column::RSTR],                                // 8
      Dati[column::RSTS],                                // 9
      Dati[column::RSTR_NR],                             // 10
      Dati[column::RSTS_NR],                             // 11
      Dati[column::SPEZ],                                // 12
      QslFlag(Dati[column::QSLS]),                       // 14
      QslFlag(Dati[column::QSLAction]),                  // 15
      QslFlag(Dati[column::QSLR]),                       // 16
      Dati[column::QSLMgr],                              // 18
      Dati[column::Comment],                             // 19
      dateTime,                                          // 20
      Exchange(form, kPrefixCheck, Dati[column::DXCC]),  // 33
      Dati[column::WPX],                                 // 34
      Dati[column::Locator],                             // 38
      FirstChars(Dati[column::Locator], 4),              // 39
      Dati[column::Comment],                             // 44
      dateTime,                                          // 45
      run.Moment(host.Now()),                            // 47
      Dati[column::Mode],                                // 48
  };
  // Fields hold only the line's bytes, the operator, the moment and constants without bars.
  AppendRecord(form.Linea1, Campo,
               HasBar(form.Linea) || HasBar(run.operatorName) || HasBar(Campo[kMomentField]));

  // The repaint still shows the count of the line before.
  host.RepaintCounter();
  ++form.xx;
  std::array<char, 16> digits{};
  const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), form.xx).ptr;
  host.SetCounterText(
      std::string_view(digits.data(), static_cast<std::size_t>(end - digits.data())));
  result.status = LineStatus::Converted;
  return result;
}

LineResult ConvertLine(FormState& form, Host& host) {
  RunContext run;
  run.SetOperator(form.NomeUtente);
  return ConvertLine(form, host, run);
}

}  // namespace conversion
