// The line layer's field checks: the band and prefix tables and the reduction of a call sign to
// its base call.

#include "check_field.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

#include "bytes.h"
#include "form_state.h"
#include "text.h"

namespace conversion {

namespace {

constexpr std::uint64_t Byte(std::string_view text, std::size_t i) {
  return std::uint64_t{static_cast<unsigned char>(text[i])} << (8 * i + 8);
}

// Packs a text of one to four bytes and its length into one number, 0 for any other text.
constexpr std::uint64_t Key(std::string_view text) {
  switch (text.size()) {
    case 1:
      return 1 | Byte(text, 0);
    case 2:
      return 2 | Byte(text, 0) | Byte(text, 1);
    case 3:
      return 3 | Byte(text, 0) | Byte(text, 1) | Byte(text, 2);
    case 4:
      return 4 | Byte(text, 0) | Byte(text, 1) | Byte(text, 2) | Byte(text, 3);
    default:
      return 0;
  }
}

// Holds a replacement with room behind it, so that a record can copy it 16 bytes at a time.
struct Replacement {
  std::array<char, 16> bytes{};
  std::size_t size = 0;
};

struct Row {
  std::uint64_t key;  // the name, one to four bytes, as Key packs it
  Replacement replacement;
};

constexpr Row Replace(std::string_view name, std::string_view replacement) {
  Row row{Key(name), {}};
  if (row.key == 0) throw "a name must hold one to four bytes";
  for (std::size_t i = 0; i < replacement.size(); ++i) row.replacement.bytes.at(i) = replacement[i];
  row.replacement.size = replacement.size();
  return row;
}

// Returns the replacement of the first row named value, or value itself. The
// names are compared in order as packed numbers, one compare a row.
template <std::size_t N>
std::string_view Lookup(const std::array<Row, N>& rows, std::string_view value) {
  const std::uint64_t key = Key(value);
  if (key == 0) return value;
  for (const Row& row : rows) {
    if (row.key == key) return {row.replacement.bytes.data(), row.replacement.size};
  }
  return value;
}

// Band names and their frequencies in MHz, compared in this order.
constexpr auto kBands = std::to_array({
    Replace("10m", "28"),
    Replace("15m", "21"),
    Replace("20m", "14"),
    Replace("40m", "7"),
    Replace("80m", "3.5"),
    Replace("160m", "1.8"),
    Replace("30m", "10"),
    Replace("17m", "18"),
    Replace("12m", "24"),
    Replace("6m", "50"),
    Replace("2m", "144"),
    Replace("70cm", "432"),
    Replace("23cm", "1200"),
});

// DXCC prefixes the logbook writes differently, compared in this order.
constexpr auto kPrefixes = std::to_array({
    Replace("4UI", "4U1I"),
    Replace("4UIT", "4U1I"),
    Replace("4UU", "4U1U"),
    Replace("UAAS", "UA9"),
    Replace("UAEU", "UA"),
    Replace("W", "K"),
    Replace("CO", "CM"),
    Replace("OKOM", "OK"),
    Replace("UJ", "UK"),
    Replace("VP8F", "VP8"),
    Replace("VR", "VS6"),
    Replace("ZB2", "ZB"),
});

bool HoldsDigit(std::string_view part) { return std::any_of(part.begin(), part.end(), IsDigit); }

// Returns the longest part that holds a digit, the later one on a tie; picked
// itself when none does. Every call sign holds a digit, suffixes such as QRP
// or KHS do not.
template <std::size_t N>
std::string_view CallPart(const std::array<std::string_view, N>& parts, std::string_view picked) {
  if (HoldsDigit(picked)) return picked;
  std::string_view best;
  std::size_t bestLength = 0;
  for (const std::string_view part : parts) {
    if (!HoldsDigit(part)) continue;
    const std::size_t length = CharCount(part);
    if (best.data() == nullptr || length >= bestLength) {
      best = part;
      bestLength = length;
    }
  }
  return best.data() == nullptr ? picked : best;
}

// Takes of two parts the longer, the second on a tie; of three parts the
// middle one; either way a part with a digit rather than one without. Four
// parts and more stay whole. first is the first slash.
[[gnu::noinline]] std::string_view BaseCallOfParts(std::string_view call, const char* first) {
  const char* const end = call.data() + call.size();
  const char* const second = FindByte(first + 1, end, '/');
  const auto part = [](const char* begin, const char* stop) {
    return std::string_view(begin, static_cast<std::size_t>(stop - begin));
  };
  const std::string_view head = part(call.data(), first);
  if (second == end) {
    const std::string_view tail = part(first + 1, end);
    const std::array<std::string_view, 2> parts{head, tail};
    return CallPart(parts, CharCount(head) > CharCount(tail) ? head : tail);
  }
  if (FindByte(second + 1, end, '/') != end) return call;
  const std::array<std::string_view, 3> parts{head, part(first + 1, second), part(second + 1, end)};
  return CallPart(parts, parts[1]);
}

}  // namespace

std::string_view BaseCall(std::string_view call) {
  const char* const end = call.data() + call.size();
  const char* const first = FindByte(call.data(), end, '/');
  return first == end ? call : BaseCallOfParts(call, first);
}

std::string_view BandFrequency(std::string_view band) { return Lookup(kBands, band); }

std::string_view LogbookPrefix(std::string_view prefix) { return Lookup(kPrefixes, prefix); }

std::string_view CheckValue(std::int32_t check, std::string_view value) {
  switch (check) {
    case kBaseCallCheck:
      return BaseCall(value);
    case kBandCheck:
      return BandFrequency(value);
    case kPrefixCheck:
      return LogbookPrefix(value);
    default:
      return value;
  }
}

void CheckField(FormState& form) {
  const std::string_view result = CheckValue(form.XCheck, form.CheckMarigold);
  if (result.data() == form.CheckMarigold.data() && result.size() == form.CheckMarigold.size()) {
    return;
  }
  form.CheckMarigold = std::string(result);
}

}  // namespace conversion
