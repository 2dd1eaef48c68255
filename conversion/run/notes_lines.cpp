// The run layer's notes: the line told of each noticed contact, its values made UTF-8 and
// shortened, written in place in the notes' block.

#include <array>
#include <charconv>
#include <cstring>
#include <string>
#include <utility>

#include "notes_file.h"
#include "platform.h"
#include "record_layout.h"
#include "text.h"

namespace conversion {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD
constexpr std::string_view kEllipsis = "\xE2\x80\xA6";     // …

// Returns the fields of marigold.txt, numbered from 1, in which record holds a bar: "12" or
// "12, 30"; empty when none does.
template <std::size_t... V>
std::string BarFields(const Record& record, std::index_sequence<V...> /*unused*/) {
  std::string fields;
  const auto add = [&](std::string_view text, std::size_t field) {
    if (text.find('|') == std::string_view::npos) return;
    fields += (fields.empty() ? "" : ", ") + std::to_string(field);
  };
  (add(Varying<V>(record), kLayout.field[V] + 1), ...);
  return fields;
}

// Tells whether each of the 8 bytes of word is printable ASCII, 0x20 to 0x7E.
// A borrow or a carry between the bytes starts only at a byte that is not.
constexpr bool Plain(std::uint64_t word) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
  constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
  const std::uint64_t below = (word - 0x20 * kOnes) & ~word;  // a byte under 0x20
  const std::uint64_t above = word + kOnes;                   // a byte of 0x7F or more
  return ((below | above | word) & kHigh) == 0;
}
static_assert(Plain(0x7E7E20204B31484CULL) && !Plain(0x7F20202020202020ULL) &&
              !Plain(0x2020201F20202020ULL) && !Plain(0x20202020202020C3ULL));

// Copies text to out; returns the end.
char* Literal(char* out, std::string_view text) {
  std::memcpy(out, text.data(), text.size());
  return out + text.size();
}

}  // namespace

char* Notes::Put(char* out, std::string_view value, std::size_t chars) const {
  value = TrimSpaces(value);
  // Printable ASCII goes as it is, as a rule the whole value.
  const char* in = value.data();
  const char* const plainEnd = in + std::min(value.size(), chars);
  while (plainEnd - in >= 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, in, 8);
    if (!Plain(word)) break;
    std::memcpy(out, in, 8);
    in += 8;
    out += 8;
  }
  while (in < plainEnd && static_cast<unsigned char>(*in - 0x20) < 0x5F) *out++ = *in++;
  auto i = static_cast<std::size_t>(in - value.data());
  if (i == value.size()) return out;
  std::size_t shown = i;
  // An 8-bit value is converted only as far as it is shown, a byte a character.
  std::string converted;
  bool more = false;
  if (run_ != nullptr && run_->eightBit) {
    more = value.size() > chars;
    converted = platform::FromEightBit(value.substr(i, chars - i));
    value = converted;
    i = 0;
  }
  const auto put = [&](std::string_view bytes) {
    std::memcpy(out, bytes.data(), bytes.size());
    out += bytes.size();
  };
  for (; i < value.size() && shown < chars; ++shown) {
    const auto byte = static_cast<unsigned char>(value[i]);
    if (byte >= 0x80) {
      const std::size_t n = Utf8SequenceLength(value, i);
      // A C1 control, U+0080 to U+009F, may end a line for some editors.
      const bool control =
          n == 2 && byte == 0xC2 && static_cast<unsigned char>(value[i + 1]) < 0xA0;
      put(n == 0 || control ? kReplacement : value.substr(i, n));
      i += n == 0 ? 1 : n;
      continue;
    }
    // Line breaks and tabs become blanks, every other control U+FFFD.
    if (byte == '\t' || byte == '\r' || byte == '\n') {
      *out++ = ' ';
    } else if (byte < 0x20 || byte == 0x7F) {
      put(kReplacement);
    } else {
      *out++ = static_cast<char>(byte);
    }
    ++i;
  }
  if (i < value.size() || more) put(kEllipsis);
  return out;
}

char* Notes::Start(std::uint64_t number, std::string_view call, std::string_view date,
                   std::string_view time) {
  char* out = Literal(buffer_.data() + used_, "Line ");
  out = std::to_chars(out, out + 20, number).ptr;
  *out++ = '\t';
  out = Put(out, call, kValueChars);
  *out++ = '\t';
  out = Put(out, date, kValueChars);
  *out++ = '\t';
  out = Put(out, time, kValueChars);
  *out++ = '\t';
  return out;
}

void Notes::End(char* out) {
  out = Literal(out, "\r\n");
  used_ = static_cast<std::size_t>(out - buffer_.data());
  if (used_ >= kBlock) static_cast<void>(Flush());
}

void Notes::Skipped(std::uint64_t number, std::string_view text) {
  ++skipped;
  if (!Open()) return;
  // Splits the line again for the columns it holds; a line cut short holds the first ones.
  const Columns& columns = run_->columns;
  std::vector<std::string_view> fields(columns.count + kWord + 1, kBlank);
  bool holdsBar = false;
  const std::size_t found =
      SplitFields(text, copy_, fields.data(), columns.count, holdsBar, run_->separator);
  const auto column = [&](std::size_t c) {
    const std::size_t at = columns.byName ? columns.at[c] : c;
    return at < found ? fields[at] : std::string_view();
  };
  char* out = Start(number, column(column::Call), column(column::Date), column(column::Time));
  out = Literal(out, "Skipped, fewer than ");
  out = std::to_chars(out, out + 20, columns.count).ptr;
  out = Literal(out, " fields: ");
  End(Put(out, text, kLineChars));
}

void Notes::Contact(std::uint64_t number, const LineResult& result, bool joinedLines) {
  const Record& record = run_->record;
  const std::string barFields = record.mayHoldBars
                                    ? BarFields(record, std::make_index_sequence<kVaryingFields>())
                                    : std::string();
  if (!result.placeholderDate && result.unknownBand.empty() && !joinedLines && barFields.empty()) {
    return;
  }
  placeholders += result.placeholderDate ? 1U : 0U;
  bands += result.unknownBand.empty() ? 0U : 1U;
  joined += joinedLines ? 1U : 0U;
  bars += barFields.empty() ? 0U : 1U;
  if (!Open()) return;
  const Fields& dati = record.columns;
  char* out = Start(number, dati[column::Call], dati[column::Date], dati[column::Time]);
  const char* const told = out;  // where the kinds told begin
  const auto between = [&] {
    if (out != told) out = Literal(out, "; ");
  };
  // The date and the time read stand in their columns.
  if (result.placeholderDate) out = Literal(out, "Placeholder date or time written");
  if (!result.unknownBand.empty()) {
    between();
    out = Put(Literal(out, "Band kept as written in field 7: "), result.unknownBand, kValueChars);
  }
  if (joinedLines) {
    between();
    out = Literal(out, "Joined from several lines");
  }
  if (!barFields.empty()) {
    between();
    out = Literal(out, barFields.find(',') == std::string::npos ? "Bar turned into / in field "
                                                                : "Bar turned into / in fields ");
    out = Literal(out, barFields);
  }
  End(out);
}

}  // namespace conversion
