// The run layer's reading of the export's head: separator, date order and header line.

#include "export_head.h"

#include <algorithm>
#include <array>
#include <limits>

#include "column_table.h"
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

// Returns name less the blanks and tabs around it.
std::string_view TrimBlanks(std::string_view name) {
  const std::size_t first = name.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return name.substr(first, name.find_last_not_of(" \t") + 1 - first);
}

// Reads the columns the header line names when split at separator into
// layout; returns false when it does not name Call, Date and Time.
bool ReadNames(std::string_view line, char separator, ExportLayout& layout) {
  const auto most = static_cast<std::size_t>(std::count(line.begin(), line.end(), separator)) + 1;
  std::vector<std::string_view> names(most + kWord);
  LineCopy copy;
  bool holdsBar = false;
  const std::size_t count = SplitFields(line, copy, names.data(), most, holdsBar, separator);
  constexpr std::size_t kAbsent = std::numeric_limits<std::size_t>::max();
  std::array<std::size_t, kUsedFields> at{};
  at.fill(kAbsent);
  for (std::size_t k = 0; k < count; ++k) {
    const std::string_view name = TrimBlanks(names[k]);
    for (std::size_t c = 0; c < kUsedFields; ++c) {
      if (at[c] == kAbsent && SameIgnoringAsciiCase(name, kColumnList[c])) at[c] = k;
    }
  }
  if (at[column::Call] == kAbsent || at[column::Date] == kAbsent || at[column::Time] == kAbsent) {
    return false;
  }
  layout.separator = separator;
  std::size_t last = 0;
  for (std::size_t c = 0; c < kUsedFields; ++c) {
    if (at[c] == kAbsent) continue;
    last = std::max(last, at[c]);
    layout.reordered = layout.reordered || at[c] != c;
  }
  if (count >= kUsedFields && !layout.reordered) return true;
  Columns& columns = layout.columns;
  columns.byName = true;
  columns.count = last + 1;
  for (std::size_t c = 0; c < kUsedFields; ++c) {
    columns.at[c] = at[c] != kAbsent ? at[c] : columns.count + kWord;
    const bool shown = std::any_of(kRecord.begin(), kRecord.end(),
                                   [c](const RecordField& field) { return Shows(field, c); });
    if (at[c] == kAbsent && shown) layout.missing.push_back(c);
  }
  return true;
}

}  // namespace

ExportLayout LayoutOf(std::string_view head, bool cut) {
  ExportLayout layout;
  const std::size_t end = LineEnd(head);
  if (end != std::string_view::npos || !cut) {
    for (const char separator : {',', ';', '\t'}) {
      if (ReadNames(head.substr(0, end), separator, layout)) return layout;
    }
  }
  layout.separator = SeparatorOf(head);
  return layout;
}

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

OrderDecision DecideDateOrder(std::string_view head, bool cut, char separator, DateOrder pc,
                              const Columns& columns) {
  OrderDecision decision;
  std::string dayExample;
  LineCopy copy;
  Fields fields;
  NamedFields named;
  named.Fit(columns);
  bool holdsBar = false;
  LineJoiner joiner(separator, columns.count);
  const LineJoiner::ReadLine read = [&head, cut](std::string_view& line, std::uint64_t& /*n*/) {
    return TakeLine(head, cut, line);
  };
  std::string_view line;
  std::uint64_t number = 0;
  while (joiner.TakeAhead(line, number) || read(line, number)) {
    // Joins the lines of a contact as the records are joined, only when the line is short.
    const auto split = [&] {
      return SplitColumns(line, copy, columns, named, fields, holdsBar, separator);
    };
    if (!split() && !(joiner.Join(line, read) && split())) {
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
  std::size_t shown = 0;
  for (std::size_t k = 0; k < kUsedFields && shown < 3; ++k) {
    const std::string_view expected = kColumnList[k];
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
