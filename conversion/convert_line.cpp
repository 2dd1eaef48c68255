#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>

#include "check_field.h"
#include "line_converter.h"
#include "text.h"

namespace conversion {

namespace {

using Fields = std::array<std::string_view, kUsedFields>;

constexpr std::string_view kUpperLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::string_view kPlaceholderDate = "01.01.2050";
constexpr std::string_view kPlaceholderTime = "01.01.2050 12:12:12";

// Writes CR and LF as blanks: a record is one line whatever the text holds.
std::string OneLine(std::string text) {
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return text;
}

std::string_view TrimSpaces(std::string_view s) {
  const std::size_t first = s.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

std::string_view TrimTrailingSpaces(std::string_view s) {
  const std::size_t last = s.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string_view{} : s.substr(0, last + 1);
}

// Returns the index just past the comma at or after pos, or npos at the end of line.
std::size_t AfterComma(std::string_view line, std::size_t pos) {
  if (pos >= line.size()) return std::string_view::npos;
  const void* comma = std::memchr(line.data() + pos, ',', line.size() - pos);
  if (comma == nullptr) return std::string_view::npos;
  return static_cast<std::size_t>(static_cast<const char*>(comma) - line.data()) + 1;
}

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

// Maps a QSL flag to the first character of its upper-cased form: 0 to N;
// 1, S and O to Y. value is never empty.
std::string_view QslFlag(std::string_view value) {
  const char first = UpperAscii(value[0]);
  if (first == '0') return "N";
  if (first == '1' || first == 'S' || first == 'O') return "Y";
  if (IsLowerAscii(value[0])) return kUpperLetters.substr(static_cast<std::size_t>(first - 'A'), 1);
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

bool IsHeaderDate(std::string_view date) {
  return date.size() == 4 && UpperAscii(date[0]) == 'D' && UpperAscii(date[1]) == 'A' &&
         UpperAscii(date[2]) == 'T' && UpperAscii(date[3]) == 'E';
}

// Builds field 20: dd/mm/yyyy hh:mm:ss from a dd.mm.yyyy date and a
// "dd.mm.yyyy hh.mm.ss" time. A date or time of another length gets the
// placeholder; the header line's names pass unchanged.
std::string_view DateTime(std::string_view date, std::string_view time, std::string& out,
                          bool& placeholder) {
  out.clear();
  if (IsHeaderDate(date)) {
    out.append(date).append(" ").append(time);
    return out;
  }
  std::array<std::size_t, 11> d{};
  if (!CharOffsets<10>(date, d)) {
    date = kPlaceholderDate;
    CharOffsets<10>(date, d);
    placeholder = true;
  }
  std::array<std::size_t, 20> t{};
  if (!CharOffsets<19>(time, t)) {
    time = kPlaceholderTime;
    CharOffsets<19>(time, t);
    placeholder = true;
  }
  out.append(Chars<10>(date, d, 1, 2)).append("/").append(Chars<10>(date, d, 4, 5));
  out.append("/").append(Chars<10>(date, d, 7, 10)).append(" ");
  out.append(Chars<19>(time, t, 12, 13)).append(":").append(Chars<19>(time, t, 15, 16));
  out.append(":").append(Chars<19>(time, t, 18, 19));
  return out;
}

// Appends one field and its closing bar; a bar inside the value becomes a
// slash so that every record has exactly 49 bars.
void AppendField(std::string& record, std::string_view field) {
  const std::size_t start = record.size();
  record.append(field);
  if (std::memchr(field.data(), '|', field.size()) != nullptr) {
    std::replace(record.begin() + static_cast<std::ptrdiff_t>(start), record.end(), '|', '/');
  }
  record.push_back('|');
}

std::string FormatMoment(std::time_t t) {
  std::tm local{};
  localtime_r(&t, &local);
  const bool midnight = local.tm_hour == 0 && local.tm_min == 0 && local.tm_sec == 0;
  std::array<char, 256> buffer{};
  const std::size_t n =
      std::strftime(buffer.data(), buffer.size(), midnight ? "%x" : "%x %X", &local);
  return std::string(buffer.data(), n);
}

}  // namespace

void RunContext::SetOperator(std::string_view typed) {
  operatorName = OneLine(windows1252 ? Utf8ToWindows1252(typed) : std::string(typed));
}

std::string_view RunContext::Moment(std::time_t t) {
  if (momentTime != t) {
    const std::string text = FormatMoment(t);
    moment = OneLine(windows1252 ? Utf8ToWindows1252(text) : text);
    momentTime = t;
  }
  return moment;
}

bool SplitFields(std::string_view line, Fields& dati,
                 std::array<std::string, kUsedFields>& unquoted) {
  std::size_t pos = 0;
  for (std::size_t i = 0; i < kUsedFields; ++i) {
    if (pos == std::string_view::npos) return false;
    std::size_t start = pos;
    while (start < line.size() && line[start] == ' ') ++start;
    if (start < line.size() && line[start] == '"') {
      pos = ReadQuoted(line, start, dati[i], unquoted[i]);
      continue;
    }
    const std::size_t next = AfterComma(line, pos);
    const std::size_t end = next == std::string_view::npos ? line.size() : next - 1;
    dati[i] = TrimSpaces(line.substr(pos, end - pos));
    pos = next;
  }
  return true;
}

LineResult ConvertLine(FormState& form, Host& host, RunContext& run) {
  LineResult result;
  Fields Dati;
  if (!SplitFields(form.Linea, Dati, run.unquoted)) return result;
  if (form.xx == std::numeric_limits<std::int32_t>::max()) {
    result.status = LineStatus::Overflow;
    return result;
  }
  for (std::string_view& value : Dati) {
    if (value.empty()) value = " ";
  }

  std::array<std::string_view, 49> Campo;
  Campo.fill(" ");
  Campo[1] = Dati[1];
  Campo[2] = Exchange(form, 2, Dati[1]);
  Campo[3] = run.operatorName;
  Campo[4] = Dati[8];
  Campo[5] = Dati[12];
  Campo[6] = Dati[6];
  Campo[7] = Exchange(form, 7, Dati[5]);
  Campo[8] = Dati[15];
  Campo[9] = Dati[13];
  Campo[10] = Dati[16];
  Campo[11] = Dati[14];
  Campo[12] = Dati[20];
  Campo[14] = QslFlag(Dati[18]);
  Campo[15] = QslFlag(Dati[19]);
  Campo[16] = QslFlag(Dati[17]);
  Campo[17] = "N";
  Campo[18] = Dati[23];
  Campo[19] = Dati[10];
  Campo[20] = DateTime(Dati[2], Dati[3], run.dateTime, result.placeholderDate);
  Campo[33] = Exchange(form, 33, Dati[0]);
  Campo[34] = Dati[25];
  Campo[35] = Campo[36] = Campo[37] = "??";
  Campo[38] = Dati[11];
  Campo[39] = FirstChars(Dati[11], 4);
  Campo[44] = Dati[10];
  Campo[45] = Campo[20];
  Campo[47] = run.Moment(host.Now());
  Campo[48] = Dati[6];

  form.Linea1.push_back('|');
  for (std::size_t k = 1; k <= 48; ++k) AppendField(form.Linea1, Campo[k]);

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
