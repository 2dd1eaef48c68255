// The line layer's field splitter: cuts an export line at its separator into the 26 columns a
// record uses, unquoted and trimmed.

#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "marks.h"

// Splits a line of the export into the fields a record is written from.
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

// Holds blanks to copy 16 bytes at a time; a field left empty is written as one.
inline constexpr std::array<char, 16> kBlanks = [] {
  std::array<char, 16> blanks{};
  blanks.fill(' ');
  return blanks;
}();
inline constexpr std::string_view kBlank(kBlanks.data(), 1);

// Counts the bytes of room behind a line's words: fields are read 16 bytes at a time.
inline constexpr std::size_t kLinePadding = 64;

// Holds a copy of a line in whole words with kLinePadding bytes behind them,
// and the marks of its words.
struct LineCopy {
  std::vector<char> bytes;
  std::vector<WordMarks> marks;
  std::vector<std::uint8_t> bars;
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

}  // namespace conversion
