#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "conversion.h"
#include "date_time.h"
#include "marks.h"

namespace conversion {

// Names the columns of an export line, in the order of its header line.
namespace column {
enum : std::size_t {
  DXCC,
  Call,
  Date,
  Time,
  End,
  Band,
  Mode,
  QRG,
  Name,
  Operator,
  Comment,
  Locator,
  QTH,
  RSTS,
  RSTS_NR,
  RSTR,
  RSTR_NR,
  QSLR,
  QSLS,
  QSLAction,
  SPEZ,
  MyQTH,
  Contest,
  QSLMgr,
  Region,
  WPX,
  Count,
};
}  // namespace column

// Fields of an export line that the record uses.
inline constexpr std::size_t kUsedFields = column::Count;

// Holds the fields SplitFields finds: the first kUsedFields, then room for
// the fields of one more word of the line, which it may write and which mean
// nothing.
using Fields = std::array<std::string_view, kUsedFields + kWord>;

// Counts the values a record computes from a line's fields, such as the base
// call, the frequency or the date and time; its other fields are columns of
// the line or constants.
inline constexpr std::size_t kComputedValues = 10;

// Holds what one record is written from, viewing the line, the run context
// and constants until the next line is converted.
struct Record {
  Fields columns;  // as SplitFields gives them
  std::array<std::string_view, kComputedValues> computed;
  std::size_t size = 0;      // the bytes PutRecord writes
  bool mayHoldBars = false;  // false when no field holds a bar
};

// Keeps the counter display's text, so that counting on changes a digit or two.
class CounterText {
 public:
  // Returns the text of count, valid until the next call.
  std::string_view Of(std::int32_t count);

 private:
  // Writes the text of count afresh.
  void Write(std::int32_t count);

  std::array<char, 16> digits_{};  // the text from first_ on, zeros before it
  std::size_t first_ = 16;
  std::int32_t count_ = -1;
};

// Counts the bytes of room behind a line's words: fields are read 16 bytes at a time.
inline constexpr std::size_t kLinePadding = 64;

// Holds a copy of a line in whole words with kLinePadding bytes behind them,
// and the marks of its words.
struct LineCopy {
  std::vector<char> bytes;
  std::vector<WordMarks> marks;
  std::vector<std::uint8_t> bars;
};

// Holds what stays the same for every line of one run, and the buffers lines reuse.
struct RunContext {
  std::string operatorName;       // field 3, in the export's encoding; set by SetOperator
  bool operatorHoldsBar = false;  // operatorName holds a bar
  bool eightBit = false;          // the export is in the 8-bit code page rather than UTF-8
  char separator = ',';           // separates the fields of the export's lines
  std::optional<std::time_t> momentTime;
  std::string moment;           // field 47 for momentTime
  bool momentHoldsBar = false;  // moment holds a bar
  DateRules dates;              // how dates and times are read
  bool datesInOrder = false;    // a date was read in dates.order, the year last and no '.'
  std::string dateTime = std::string(kDateTimeRoom, ' ');  // field 20 of the line, and room
  LineCopy line;                // a copy of a line that does not come marked, its fields unquoted
  std::vector<char> rewritten;  // the quoted fields of a marked line that are rewritten
  Record record;                // the current line's record, for ConvertLine to append to Linea1
  CounterText counter;
  // The band of the last line, written as it stands in field 7 because the
  // band table lacks it; empty for a known band, an empty one and the header
  // line. Views line until the next line.
  std::string_view unknownBand;

  // Prepares field 3 from the operator name as typed (UTF-8).
  void SetOperator(std::string_view typed);
  // Takes this PC's AM and PM words (UTF-8) in the export's encoding; a word
  // that the 8-bit code page cannot hold matches nothing.
  void SetDayHalves(std::string_view am, std::string_view pm);
  // Returns field 47 for the time t, formatted once per second.
  std::string_view Moment(std::time_t t) {
    if (momentTime != t) FormatMoment(t);
    return moment;
  }

 private:
  // Formats moment for the time t.
  void FormatMoment(std::time_t t);
};

// Splits the line text.data[begin, end) into its first 26 fields, unquoted
// and trimmed, an empty one as one blank; returns false when the line holds
// fewer. The byte at end is marked as a comma or a line end and is neither a
// blank nor a quote; kLinePadding bytes behind it can be read. A quoted field
// that holds a pair of quotes or text after its closing quote is rewritten
// at rewrite, the line's byte at begin + i to rewrite + i: in place when
// rewrite is text.data + begin, else in a buffer of end - begin +
// kLinePadding bytes. The views point into the line, into that buffer or at a
// constant blank. holdsBar comes back false only when no field holds a bar.
bool SplitFields(const MarkedText& text, std::size_t begin, std::size_t end, Fields& dati,
                 bool& holdsBar, char* rewrite);

// Splits line as above through a copy of it, made and marked in copy, in
// which quoted fields are rewritten.
bool SplitFields(std::string_view line, LineCopy& copy, Fields& dati, bool& holdsBar,
                 char separator = ',');

// Tells how a line splits: its fields, counted up to 26, and whether the last
// of them is a quoted field whose closing quote is not on the line.
struct LineShape {
  std::size_t fields = 0;
  bool openQuote = false;
};

// Returns the shape of line by the rules of SplitFields.
LineShape ShapeOf(std::string_view line, char separator = ',');

// Counts the bytes behind a record's end that PutRecord may overwrite.
inline constexpr std::size_t kRecordOverrun = 15;

// Writes record at out, which has room for record.size + kRecordOverrun
// bytes, each bar inside a field as a slash; returns the end. Writes no line
// end; what it writes behind the end is garbage.
char* PutRecord(char* out, const Record& record);

// Converts form.Linea with the run's settings as ConvertLine does, but leaves
// Linea1 alone: the record comes back in record, to be written by PutRecord.
// When marked is given, Linea views marked.data and is split there, as the
// first SplitFields says; else it is split through a copy.
LineResult ConvertLine(FormState& form, Host& host, RunContext& run, Record& record,
                       const MarkedText* marked = nullptr);

// Converts form.Linea with the run's settings; see ConvertLine.
LineResult ConvertLine(FormState& form, Host& host, RunContext& run);

}  // namespace conversion
