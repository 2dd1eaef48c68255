// The line layer's context: prepares the operator's name, the AM and PM words and field 47 in the
// export's encoding, and the counter's text.

#include "run_context.h"

#include <algorithm>
#include <charconv>

#include "platform.h"

namespace conversion {

namespace {

// Writes CR and LF as blanks: a record is one line whatever the text holds.
std::string OneLine(std::string text) {
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return text;
}

}  // namespace

void CounterText::Write(std::int32_t count) {
  std::array<char, 16> text{};
  char* const end = std::to_chars(text.data(), text.data() + text.size(), count).ptr;
  const auto size = static_cast<std::size_t>(end - text.data());
  digits_.fill('0');
  first_ = digits_.size() - size;
  std::copy(text.data(), end, digits_.data() + first_);
}

void RunContext::SetOperator(std::string_view typed) {
  operatorName = OneLine(eightBit ? platform::ToEightBit(typed) : std::string(typed));
  operatorHoldsBar = operatorName.find('|') != std::string::npos;
}

void RunContext::SetDayHalves(std::string_view am, std::string_view pm) {
  const auto inExport = [this](std::string_view word) {
    if (!eightBit) return std::string(word);
    std::string text = platform::ToEightBit(word);
    return text.find('?') == std::string::npos || word.find('?') != std::string_view::npos
               ? text
               : std::string();
  };
  dates.eightBit = eightBit;
  dates.am = inExport(am);
  dates.pm = inExport(pm);
}

void RunContext::FormatMoment(std::time_t t) {
  const std::string text = platform::FormatMoment(t);
  moment = OneLine(eightBit ? platform::ToEightBit(text) : text);
  momentHoldsBar = moment.find('|') != std::string::npos;
  momentTime = t;
}

}  // namespace conversion
