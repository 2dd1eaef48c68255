// The run layer's reading of the export's head: its field separator, its order of day and month
// and how its header line differs from the expected columns.

#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "conversion.h"
#include "line_converter.h"

// What an export tells before its first record: the separator of its fields,
// the order of day and month in its dates, and whether its header line names
// the columns the conversion expects.
namespace conversion {

// Names the columns of an export, as its header line and INFO list them.
inline constexpr std::string_view kColumnNames =
    "DXCC,Call,Date,Time,End,Band,Mode,QRG,Name,Operator,Comment,QTH-Locator,QTH,RSTS,RSTS_NR,"
    "RSTR,RSTR_NR,QSLR,QSLS,QSL-Action,SPEZ,MY-QTH,Contest,QSL-Mgr,Region,WPX";

// Returns ';' or a tab when the first line of head, split there, holds at
// least 26 fields and Date as its third, as exports made under such list
// separators are; else the comma.
char SeparatorOf(std::string_view head);

// Tells what decided the order of day and month.
enum class OrderReason : std::uint8_t {
  None,      // nothing did: dates that could be read either way keep the old rule
  Dates,     // a date of the export's head that only one order reads
  Settings,  // this PC's regional settings
};

struct OrderDecision {
  DateOrder order = DateOrder::Unknown;
  OrderReason reason = OrderReason::None;
  std::string example;  // the first date that showed the order, as written
};

// Decides the order of day and month of the dates with the year last and no
// '.': day first when a date of a line of 26 fields in head has a first
// number above 12, month first when one has a second number above 12; when
// both or neither, as this PC's settings say. cut tells that head ends inside
// a line, which then does not count.
OrderDecision DecideDateOrder(std::string_view head, bool cut, char separator, DateOrder pc);

// Returns the first three columns of the header line that starts head whose
// names differ from kColumnNames, ignoring case: `column 6 is "Mode" where
// "Band" is expected`, joined by ", "; empty when all match, or when head
// starts with no header line of 26 fields split at separator.
std::string HeaderDifference(std::string_view head, char separator);

}  // namespace conversion
