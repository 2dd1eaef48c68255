#include "check_field.h"

#include <algorithm>
#include <array>
#include <utility>

#include "conversion.h"
#include "text.h"

namespace conversion {

namespace {

using TextPair = std::pair<std::string_view, std::string_view>;

// Band names and their frequencies in MHz, compared in this order.
constexpr std::array<TextPair, 13> kBands{{
    {"10m", "28"},
    {"15m", "21"},
    {"20m", "14"},
    {"40m", "7"},
    {"80m", "3.5"},
    {"160m", "1.8"},
    {"30m", "10"},
    {"17m", "18"},
    {"12m", "24"},
    {"6m", "50"},
    {"2m", "144"},
    {"70cm", "432"},
    {"23cm", "1200"},
}};

// DXCC prefixes the logbook writes differently, compared in this order.
constexpr std::array<TextPair, 12> kPrefixes{{
    {"4UI", "4U1I"},
    {"4UIT", "4U1I"},
    {"4UU", "4U1U"},
    {"UAAS", "UA9"},
    {"UAEU", "UA"},
    {"W", "K"},
    {"CO", "CM"},
    {"OKOM", "OK"},
    {"UJ", "UK"},
    {"VP8F", "VP8"},
    {"VR", "VS6"},
    {"ZB2", "ZB"},
}};

template <std::size_t N>
std::string_view Lookup(const std::array<TextPair, N>& table, std::string_view value) {
  const auto* row = std::find_if(table.begin(), table.end(),
                                 [value](const TextPair& p) { return p.first == value; });
  return row == table.end() ? value : row->second;
}

bool HoldsDigit(std::string_view part) {
  return std::any_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
}

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

// Reduces a call sign to its base call: of two parts the longer, the second on
// a tie; of three parts the middle one; either way a part with a digit rather
// than one without. One part, or four and more, stay whole.
std::string_view BaseCall(std::string_view call) {
  const std::size_t first = call.find('/');
  if (first == std::string_view::npos) return call;
  const std::size_t second = call.find('/', first + 1);
  const std::string_view head = call.substr(0, first);
  if (second == std::string_view::npos) {
    const std::string_view tail = call.substr(first + 1);
    const std::array<std::string_view, 2> parts{head, tail};
    return CallPart(parts, CharCount(head) > CharCount(tail) ? head : tail);
  }
  if (call.find('/', second + 1) != std::string_view::npos) return call;
  const std::array<std::string_view, 3> parts{head, call.substr(first + 1, second - first - 1),
                                              call.substr(second + 1)};
  return CallPart(parts, parts[1]);
}

}  // namespace

std::string_view CheckValue(std::int32_t check, std::string_view value) {
  switch (check) {
    case kBaseCallCheck:
      return BaseCall(value);
    case kBandCheck:
      return Lookup(kBands, value);
    case kPrefixCheck:
      return Lookup(kPrefixes, value);
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
