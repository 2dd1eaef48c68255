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

// Reduces a call sign to its base call: of two parts the longer, the second on
// a tie; of three parts the middle one. One part, or four and more, stay whole.
std::string_view BaseCall(std::string_view call) {
  const std::size_t first = call.find('/');
  if (first == std::string_view::npos) return call;
  const std::size_t second = call.find('/', first + 1);
  if (second == std::string_view::npos) {
    const std::string_view head = call.substr(0, first);
    const std::string_view tail = call.substr(first + 1);
    return CharCount(head) > CharCount(tail) ? head : tail;
  }
  if (call.find('/', second + 1) != std::string_view::npos) return call;
  return call.substr(first + 1, second - first - 1);
}

}  // namespace

std::string_view CheckValue(std::int32_t check, std::string_view value) {
  switch (check) {
    case 2:
      return BaseCall(value);
    case 7:
      return Lookup(kBands, value);
    case 33:
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
