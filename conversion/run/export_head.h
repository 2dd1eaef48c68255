// The run layer's reading of the export's head: its field separator, its order of day and month
// and how its header line differs from the expected columns.

#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "conversion.h"
#include "line_converter.h"

// What an export tells before its first record: the separator of its fields,
// the order of day and month in its dates, and whether its header line names
// the columns the conversion expects.
namespace conversion {

// Tells how the lines of an export are split and where they hold their columns.
struct ExportLayout {
  char separator = ',';
  Columns columns;                   // by position unless the header names them elsewhere
  bool reordered = false;            // a column named stands elsewhere than in kColumnNames
  std::vector<std::size_t> missing;  // columns a record shows that the header, read by name, lacks
};

// Reads the layout of the export from the first line of head. When that line,
// split at the comma, ';' or a tab, the first at which it does, names Call,
// Date and Time (in any case, blanks around a name dropped), that separator
// splits the lines and each column is read from the first field of its name,
// a column not named as a blank; unless every column named stands at its place
// in kColumnNames and the line holds 26 fields or more: then they are read by
// position. A first line that cut leaves without its end names nothing.
// Otherwise columns are read by position, split at what SeparatorOf finds.
ExportLayout LayoutOf(std::string_view head, bool cut);

// Returns ';' or a tab when the first line of head, split there, holds at
// least 26 fields and Date as its third, as exports made under such list
// separators are; else the comma.
char SeparatorOf(std::string_view head);

// Tells what decided the order of day and month.
enum class OrderReason : std::uint8_t {
  None,      // nothing did: dates that could be read either way keep the old rule
  Dates,     // a date of the export's head that only one order reads as a day of the calendar
  Settings,  // this PC's regional settings
};

struct OrderDecision {
  DateOrder order = DateOrder::Unknown;
  OrderReason reason = OrderReason::None;
  std::string example;  // the first date that showed the order, as written less spaces around it
};

// Decides the order of day and month of the dates with the year last and no
// '.': day first when the Date of a contact in head, a line of the fields that
// columns asks for (its Date where columns places it) or
// lines the records' joiner joins, is a day of the calendar only when read day
// first (OrderShownBy), month first when one is so only when read month first;
// when both or neither, as this PC's settings say. The example is the first
// such date, less the spaces around it. cut tells that head ends inside a
// line, which then does not count, nor does a contact that needs it.
OrderDecision DecideDateOrder(std::string_view head, bool cut, char separator, DateOrder pc,
                              const Columns& columns = {});

// Returns the first three columns of the header line that starts head whose
// names differ from kColumnNames, ignoring case: `column 6 is "Mode" where
// "Band" is expected`, joined by ", "; empty when all match, or when head
// starts with no header line of 26 fields split at separator.
std::string HeaderDifference(std::string_view head, char separator);

}  // namespace conversion
