// The run layer's reading of the export's head: separator, date order and header line.

#include "export_head.h"

#include <array>

#include "date_time.h"
#include "line_joiner.h"
#include "text.h"

namespace conversion {

namespace {

// Returns where the first line of text ends, npos when it does not.
std::size_t LineEnd(std::string_view text) {
  const std::size_t end = text.find('\n');
  return std::min(end, text.substr(0, end).find('\r'));
}

// Returns the first line of text, without its end.
std::string_view FirstLine(std::string_view text) { return text.substr(0, LineEnd(text)); }

// Takes the first line of text into line, less its end of CR LF, CR or LF, as
// the records' reader ends lines; returns false when text is empty, or holds
// no line end while cut tells that the line goes on.
bool TakeLine(std::string_view& text, bool cut, std::string_view& line) {
  const std::size_t end = LineEnd(text);
  if (text.empty() || (end == std::string_view::npos && cut)) return false;
  line = text.substr(0, end);
  if (end == std::string_view::npos) {
    text = text.substr(text.size());
    return true;
  }
  const bool crLf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
  text.remove_prefix(end + (crLf ? 2 : 1));
  return true;
}

}  // namespace

char SeparatorOf(std::string_view head) {
  const std::string_view line = FirstLine(head);
  LineCopy copy;
  Fields fields;
  bool holdsBar = false;
  for (const char separator : {';', '\t'}) {
    if (SplitFields(line, copy, fields, holdsBar, separator) &&
        IsHeaderDate(fields[column::Date])) {
      return separator;
    }
  }
  return ',';
}

OrderDecision DecideDateOrder(std::string_view head, bool cut, char separator, DateOrder pc) {
  OrderDecision decision;
  std::string dayExample;
  LineCopy copy;
  Fields fields;
  bool holdsBar = false;
  LineJoiner joiner(separator);
  const LineJoiner::ReadLine read = [&head, cut](std::string_view& line, std::uint64_t& /*n*/) {
    return TakeLine(head, cut, line);
  };
  std::string_view line;
  std::uint64_t number = 0;
  while (joiner.TakeAhead(line, number) || read(line, number)) {
    // Joins the lines of a contact as the records are joined, only when the line is short.
    if (!SplitFields(line, copy, fields, holdsBar, separator) &&
        !(joiner.Join(line, read) && SplitFields(line, copy, fields, holdsBar, separator))) {
      continue;
    }
    const std::string_view date = TrimSpaces(fields[column::Date]);
    const DateOrder shown = OrderShownBy(date);
    if (shown == DateOrder::DayFirst && dayExample.empty()) dayExample = date;
    if (shown == DateOrder::MonthFirst && decision.example.empty()) decision.example = date;
  }
  if (!dayExample.empty() && decision.example.empty()) {
    decision.order = DateOrder::DayFirst;
    decision.reason = OrderReason::Dates;
    decision.example = dayExample;
  } else if (dayExample.empty() && !decision.example.empty()) {
    decision.order = DateOrder::MonthFirst;
    decision.reason = OrderReason::Dates;
  } else {
    decision.example.clear();
    decision.order = pc;
    decision.reason = pc == DateOrder::Unknown ? OrderReason::None : OrderReason::Settings;
  }
  return decision;
}

std::string HeaderDifference(std::string_view head, char separator) {
  LineCopy copy;
  Fields header;
  bool holdsBar = false;
  if (!SplitFields(FirstLine(head), copy, header, holdsBar, separator) ||
      !IsHeaderDate(header[column::Date])) {
    return {};
  }
  std::string difference;
  std::string_view names = kColumnNames;
  std::size_t shown = 0;
  for (std::size_t k = 0; k < kUsedFields && shown < 3; ++k) {
    const std::string_view expected = names.substr(0, names.find(','));
    names.remove_prefix(std::min(names.size(), expected.size() + 1));
    // An empty field comes as one blank.
    const std::string_view name = header[k] == " " ? std::string_view() : header[k];
    if (SameIgnoringAsciiCase(name, expected)) continue;
    if (shown++ > 0) difference += ", ";
    difference += "column " + std::to_string(k + 1) + " is \"" + std::string(name) + "\" where \"" +
                  std::string(expected) + "\" is expected";
  }
  return difference;
}

}  // namespace conversion
