// The line layer's field splitter: finds the fields from the marked bytes and rewrites quoted
// fields that need it.

#include "split_fields.h"

#include <bit>
#include <cstring>

#include "bytes.h"

namespace conversion {

namespace {

// Tells where the quoted fields of a line are rewritten: the byte at from + i
// to to + i, in place when both are the same; and what separates its fields.
struct Rewrite {
  const char* from;
  char* to;
  char separator;
};

// Reads the quoted field whose opening quote is at open. "" inside stands for
// one quote; text after the closing quote up to the comma is kept, less
// trailing blanks; an unclosed quote runs to the end of the line. A field that
// needs rewriting is rewritten as rewrite says. Returns where the next field
// starts, past the end when none does.
[[gnu::noinline]] std::size_t ReadQuoted(const char* data, std::size_t size, std::size_t open,
                                         std::string_view& value, const Rewrite& rewrite) {
  const char* const end = data + size;
  bool doubled = false;
  const char* close = FindByte(data + open + 1, end, '"');
  while (close != end && close[1] == '"') {  // *end is a separator
    doubled = true;
    close = FindByte(close + 2, end, '"');
  }
  const char* const inner = data + open + 1;
  const char* rest = close;  // the text after the closing quote runs from close + 1 to rest
  const char* comma = end;
  if (close != end) {
    const char separator = rewrite.separator;
    comma = close[1] == separator ? close + 1 : FindByte(close + 1, end, separator);
    rest = comma;
    while (rest > close + 1 && rest[-1] == ' ') --rest;
  }
  const auto next = static_cast<std::size_t>(comma - data) + 1;
  if (!doubled && rest <= close + 1) {
    value =
        close != inner ? std::string_view(inner, static_cast<std::size_t>(close - inner)) : kBlank;
    return next;
  }
  // Moves the text to the left over the quotes it drops: no byte is written
  // before it is read when the field is rewritten in place.
  char* const to = rewrite.to + (inner - rewrite.from);
  char* out = to;
  for (const char* in = inner; in < close; ++in) {
    *out++ = *in;
    if (*in == '"') ++in;  // the second quote of a pair
  }
  for (const char* in = close + 1; in < rest; ++in) *out++ = *in;
  value = out != to ? std::string_view(to, static_cast<std::size_t>(out - to)) : kBlank;
  return next;
}

// Looks at a field that starts with a blank or a quote: skips the blanks, and
// reads a quoted field whole into value. Returns where the field's text
// starts, or, when quoted comes back set, where the next field starts.
std::size_t ReadOddStart(const char* data, std::size_t size, std::size_t start,
                         std::string_view& value, bool& quoted, const Rewrite& rewrite) {
  while (data[start] == ' ') ++start;  // data[size] is a separator or a line end
  quoted = data[start] == '"';
  return quoted ? ReadQuoted(data, size, start, value, rewrite) : start;
}

// Copies line into copy, marked, with a separator behind it; returns the marked copy.
MarkedText MarkedCopy(std::string_view line, LineCopy& copy, char separator) {
  const std::size_t size = line.size();
  const std::size_t words = size / kWord + 1;
  if (copy.bytes.size() < words * kWord + kLinePadding) {
    copy.bytes.resize(words * kWord + kLinePadding);
    copy.marks.resize(words);
    copy.bars.resize(words);
  }
  char* const data = copy.bytes.data();
  CopyBytes(data, line.data(), size);
  // Ends the last field with a separator.
  data[size] = separator;
  MarkWords(data, 0, size + 1, copy.marks.data(), copy.bars.data(), separator);
  // A CR or LF inside the line is text here, as the reader never passes one on.
  for (std::size_t w = 0; w < words; ++w) copy.marks[w].lineEnds = 0;
  return {data, copy.marks.data(), copy.bars.data(), separator};
}

}  // namespace

bool SplitFields(std::string_view line, LineCopy& copy, Fields& dati, bool& holdsBar,
                 char separator) {
  const MarkedText text = MarkedCopy(line, copy, separator);
  return SplitFields(text, 0, line.size(), dati, holdsBar, copy.bytes.data());
}

std::size_t SplitFields(std::string_view line, LineCopy& copy, std::string_view* dati,
                        std::size_t count, bool& holdsBar, char separator) {
  const MarkedText text = MarkedCopy(line, copy, separator);
  return SplitFields(text, 0, line.size(), dati, count, holdsBar, copy.bytes.data());
}

bool SplitColumns(std::string_view line, LineCopy& copy, const Columns& columns, NamedFields& all,
                  Fields& dati, bool& holdsBar, char separator) {
  if (!columns.byName) return SplitFields(line, copy, dati, holdsBar, separator);
  if (SplitFields(line, copy, all.data(), columns.count, holdsBar, separator) < columns.count) {
    return false;
  }
  all.Take(columns, dati);
  return true;
}

namespace {

// Splits as SplitFields says; Fixed, when not 0, is the count, known when compiling.
template <std::size_t Fixed>
[[gnu::always_inline]] inline std::size_t Split(const MarkedText& text, std::size_t begin,
                                                std::size_t end, std::string_view* dati,
                                                std::size_t anyCount, bool& holdsBar,
                                                char* rewriteTo) {
  const std::size_t count = Fixed != 0 ? Fixed : anyCount;
  const Rewrite rewrite{text.data + begin, rewriteTo, text.separator};
  const char* const data = text.data;
  std::string_view* field = dati;
  std::string_view* const full = field + count;
  // Counts the fields found on a line that holds fewer than count.
  const auto found = [&field, dati] { return static_cast<std::size_t>(field - dati); };
  // Where *field starts; after its leading blanks once they were skipped.
  std::size_t start = begin;
  unsigned bars = 0;            // nonzero when a word read so far holds a bar
  std::uint64_t oddBefore = 0;  // 1 when the byte before the word is a blank or a quote
  // Reads the line a word at a time, up to the word of the separator at end.
  for (std::size_t base = begin - begin % kWord;; base += kWord) {
    const WordMarks& marks = text.marks[base / kWord];
    bars |= text.bars[base / kWord];
    const std::size_t next = base + kWord;
    const std::uint64_t odd = marks.blanksAndQuotes;
    std::uint64_t commas = marks.commas | marks.lineEnds;
    if (end < next) commas &= LowBits(end - base + 1);  // the separator at end is the last
    // Marks commas beside a blank or a quote: the field before may need trimming, the next a look.
    std::uint64_t looks = commas & ((odd << 1) | oddBefore | (odd >> 1));
    oddBefore = odd >> (kWord - 1);
    bool look = false;           // the field at start begins with a blank or a quote
    if (start - base < kWord) {  // the next field starts in this word, not before
      const std::uint64_t kept = ~std::uint64_t{0} << (start - base);
      commas &= kept;  // drops the commas of a quoted field
      looks &= kept;
      look = ((odd >> (start - base)) & 1) != 0;
    }
    while (start < next) {
      if (look) {
        bool quoted = false;
        start = ReadOddStart(data, end, start, *field, quoted, rewrite);
        if (quoted) {
          if (++field == full) {
            // Looks at the words the field ran into, which the loop has not reached.
            holdsBar = bars != 0 || AnyBar(text.bars, base / kWord, end / kWord);
            return count;
          }
          if (start > end) return found();
          if (start >= next) break;
          const std::uint64_t kept = ~std::uint64_t{0} << (start - base);
          commas &= kept;
          looks &= kept;
          look = ((odd >> (start - base)) & 1) != 0;
          continue;
        }
        look = false;
        if (start >= next) break;
      }
      // Takes the fields up to the first comma that needs a look without looking at their bytes.
      const std::uint64_t stop = looks & (0 - looks);
      if (std::uint64_t run = commas & (stop - 1); run != 0) {
        const char* const word = data + base;
        const char* from = data + start;
        // Takes every comma of the run, the fields past the last one needed
        // into the room behind it.
        do {
          const char* const comma = word + static_cast<unsigned>(std::countr_zero(run));
          const auto n = static_cast<std::size_t>(comma - from);
          *field++ = n != 0 ? std::string_view(from, n) : kBlank;
          from = comma + 1;
          run &= run - 1;
        } while (run != 0);
        if (field >= full) {
          holdsBar = bars != 0;
          return count;
        }
        start = static_cast<std::size_t>(from - data);
      }
      if (stop == 0) break;
      const std::size_t comma = base + static_cast<unsigned>(std::countr_zero(stop));
      std::size_t last = comma;
      while (last > start && data[last - 1] == ' ') --last;
      *field = last > start ? std::string_view(data + start, last - start) : kBlank;
      start = comma + 1;
      if (++field == full) {
        holdsBar = bars != 0;
        return count;
      }
      if (start > end) return found();
      const std::uint64_t done = stop | (stop - 1);
      commas &= ~done;
      looks &= ~done;
      look = ((odd >> (comma - base)) & 2) != 0;
    }
    if (end < next) return found();  // the separator at end is taken
  }
}

}  // namespace

bool SplitFields(const MarkedText& text, std::size_t begin, std::size_t end, Fields& dati,
                 bool& holdsBar, char* rewrite) {
  return Split<kUsedFields>(text, begin, end, dati.data(), kUsedFields, holdsBar, rewrite) ==
         kUsedFields;
}

std::size_t SplitFields(const MarkedText& text, std::size_t begin, std::size_t end,
                        std::string_view* dati, std::size_t count, bool& holdsBar, char* rewrite) {
  return Split<0>(text, begin, end, dati, count, holdsBar, rewrite);
}

LineShape ShapeOf(std::string_view line, char separator, std::size_t count) {
  LineShape shape;
  std::size_t pos = 0;
  while (shape.fields < count) {
    ++shape.fields;
    const std::size_t start = line.find_first_not_of(' ', pos);
    if (start != std::string_view::npos && line[start] == '"') {
      std::size_t quote = line.find('"', start + 1);
      while (quote != std::string_view::npos && quote + 1 < line.size() && line[quote + 1] == '"') {
        quote = line.find('"', quote + 2);  // a pair stands for one quote
      }
      if (quote == std::string_view::npos) {
        shape.openQuote = true;
        return shape;
      }
      pos = quote + 1;
    }
    const std::size_t comma = line.find(separator, pos);
    if (comma == std::string_view::npos) return shape;
    pos = comma + 1;
  }
  return shape;
}

}  // namespace conversion
