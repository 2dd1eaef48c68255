// The line layer's context: the settings, buffers and counter text one run keeps from line to
// line.

#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "date_time.h"
#include "record_layout.h"
#include "split_fields.h"

// What one conversion run keeps from line to line: its settings, the buffers
// lines reuse and the counter's text.
namespace conversion {

// Keeps the counter display's text, so that counting on changes a digit or two.
class CounterText {
 public:
  // Returns the text of count, valid until the next call.
  std::string_view Of(std::int32_t count) {
    if (count_ >= 0 && std::int64_t{count} == std::int64_t{count_} + 1) {
      // Lets the zeros before the text take a carry out of its first digit.
      char* digit = &digits_.back();
      while (*digit == '9') *digit-- = '0';
      ++*digit;
      first_ = std::min(first_, static_cast<std::size_t>(digit - digits_.data()));
    } else {
      Write(count);
    }
    count_ = count;
    return {digits_.data() + first_, digits_.size() - first_};
  }

 private:
  // Writes the text of count afresh.
  void Write(std::int32_t count);

  std::array<char, 16> digits_{};  // the text from first_ on, zeros before it
  std::size_t first_ = 16;
  std::int32_t count_ = -1;
};

// Holds what stays the same for every line of one run, and the buffers lines reuse.
struct RunContext {
  std::string operatorName;       // field 3, in the export's encoding; set by SetOperator
  bool operatorHoldsBar = false;  // operatorName holds a bar
  bool eightBit = false;          // the export is in the 8-bit code page rather than UTF-8
  char separator = ',';           // separates the fields of the export's lines
  Columns columns;                // where the lines hold the columns; set by SetColumns
  NamedFields named;              // the fields of a line whose columns are read by name
  std::optional<std::time_t> momentTime;
  std::string moment;                                      // field 47 for momentTime
  bool momentHoldsBar = false;                             // moment holds a bar
  DateRules dates;                                         // how dates and times are read
  std::string dateTime = std::string(kDateTimeRoom, ' ');  // field 20 of the line, and room
  LineCopy line;                // a copy of a line that does not come marked, its fields unquoted
  std::vector<char> rewritten;  // the quoted fields of a marked line that are rewritten
  Record record;                // the current line's record, for ConvertLine to append to Linea1
  CounterText counter;

  // Reads the columns of every line as columns places them.
  void SetColumns(const Columns& placed) {
    columns = placed;
    if (placed.byName) named.Fit(placed);
  }
  // Prepares field 3 from the operator name as typed (UTF-8).
  void SetOperator(std::string_view typed);
  // Takes this PC's AM and PM words (UTF-8) in the export's encoding, and
  // every language's words in it; a word that the 8-bit code page cannot hold
  // matches nothing.
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

}  // namespace conversion
