// The line layer's field splitter: cuts an export line at its separator into the 26 columns a
// record uses, unquoted and trimmed.

#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "column_table.h"
#include "marks.h"

// Splits a line of the export into the fields a record is written from.
namespace conversion {

// Fields of an export line that the record uses.
inline constexpr std::size_t kUsedFields = column::Count;

// Tells where the lines of an export hold the columns a record reads: in the
// order of column, or where the export's header line names them.
struct Columns {
  std::size_t count = kUsedFields;  // fields a line holds at least; fewer make it short
  bool byName = false;              // at places the columns, else their order does
  // The field that holds each column, or count + kWord, the blank behind a
  // line's fields, for a column the header lacks.
  std::array<std::size_t, kUsedFields> at{};
};

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

// Splits the line text.data[begin, end) into its first count fields at dati,
// which has room for count + kWord, unquoted and trimmed, an empty one as one
// blank; returns how many it found, at most count. The byte at end is marked as a comma or a line
// end and is neither a blank nor a quote; kLinePadding bytes behind it can be read. A quoted field
// that holds a pair of quotes or text after its closing quote is rewritten
// at rewrite, the line's byte at begin + i to rewrite + i: in place when
// rewrite is text.data + begin, else in a buffer of end - begin +
// kLinePadding bytes. The views point into the line, into that buffer or at a
// constant blank. holdsBar comes back false only when no field holds a bar.
std::size_t SplitFields(const MarkedText& text, std::size_t begin, std::size_t end,
                        std::string_view* dati, std::size_t count, bool& holdsBar, char* rewrite);

// Splits line as above through a copy of it, made and marked in copy, in
// which quoted fields are rewritten.
std::size_t SplitFields(std::string_view line, LineCopy& copy, std::string_view* dati,
                        std::size_t count, bool& holdsBar, char separator);

// Splits a line as above into its first 26 fields; returns false when it holds fewer.
bool SplitFields(const MarkedText& text, std::size_t begin, std::size_t end, Fields& dati,
                 bool& holdsBar, char* rewrite);
bool SplitFields(std::string_view line, LineCopy& copy, Fields& dati, bool& holdsBar,
                 char separator = ',');

// Holds the fields of a line whose columns are read by name: room for
// count + kWord fields, then the blank that a missing column reads.
class NamedFields {
 public:
  // Makes room for the fields of lines split as columns says.
  void Fit(const Columns& columns) { fields_.assign(columns.count + kWord + 1, kBlank); }
  std::string_view* data() { return fields_.data(); }
  // Takes the columns out of the fields a line was split into, as columns places them.
  void Take(const Columns& columns, Fields& dati) const {
    for (std::size_t c = 0; c < kUsedFields; ++c) dati[c] = fields_[columns.at[c]];
  }

 private:
  std::vector<std::string_view> fields_;
};

// Splits line through copy into its columns as columns places them, at dati,
// through all when columns are read by name; returns false when the line
// holds fewer than columns.count fields.
bool SplitColumns(std::string_view line, LineCopy& copy, const Columns& columns, NamedFields& all,
                  Fields& dati, bool& holdsBar, char separator);

// Tells how a line splits: its fields, counted up to a count, and whether the last
// of them is a quoted field whose closing quote is not on the line.
struct LineShape {
  std::size_t fields = 0;
  bool openQuote = false;
};

// Returns the shape of line by the rules of SplitFields, its fields counted up to count.
LineShape ShapeOf(std::string_view line, char separator = ',', std::size_t count = kUsedFields);

}  // namespace conversion
