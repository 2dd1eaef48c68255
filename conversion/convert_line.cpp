#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

#include "bytes.h"
#include "check_field.h"
#include "date_time.h"
#include "line_converter.h"
#include "marks.h"
#include "platform.h"
#include "text.h"

namespace conversion {

namespace {

// Writes CR and LF as blanks: a record is one line whatever the text holds.
std::string OneLine(std::string text) {
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return text;
}

// Holds blanks to copy 16 bytes at a time; a field left empty is written as one.
constexpr std::array<char, 16> kBlanks = [] {
  std::array<char, 16> blanks{};
  blanks.fill(' ');
  return blanks;
}();
constexpr std::string_view kBlank(kBlanks.data(), 1);

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
[[gnu::noinline]] std::size_t ReadQuoted(char* data, std::size_t size, std::size_t open,
                                         std::string_view& value, const Rewrite& rewrite) {
  const char* const end = data + size;
  bool doubled = false;
  const char* close = FindByte(data + open + 1, end, '"');
  while (close != end && close[1] == '"') {  // *end is a separator
    doubled = true;
    close = FindByte(close + 2, end, '"');
  }
  char* const inner = data + open + 1;
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
std::size_t ReadOddStart(char* data, std::size_t size, std::size_t start, std::string_view& value,
                         bool& quoted, const Rewrite& rewrite) {
  while (data[start] == ' ') ++start;  // data[size] is a separator or a line end
  quoted = data[start] == '"';
  return quoted ? ReadQuoted(data, size, start, value, rewrite) : start;
}

// Exchanges a DXCC prefix with the field check through the form state.
std::string_view ExchangePrefix(FormState& form, std::string_view value) {
  form.XCheck = kPrefixCheck;
  const std::string_view result = LogbookPrefix(value);
  form.CheckMarigold.assign(result);
  return result;
}

// Maps each ASCII first character to its flag as QslFlag describes, with
// room behind the last to copy 16 bytes at a time.
constexpr std::array<char, 128 + 16> kQslFlags = [] {
  std::array<char, 128 + 16> flags{};
  for (std::size_t c = 0; c < 128; ++c) {
    char flag = UpperAscii(static_cast<char>(c));
    if (flag == '0') flag = 'N';
    if (flag == '1' || flag == 'S' || flag == 'O') flag = 'Y';
    flags[c] = flag;
  }
  return flags;
}();

// Maps a QSL flag to the first character of its upper-cased form: 0 to N;
// 1, S and O to Y. value is never empty.
std::string_view QslFlag(std::string_view value) {
  const auto first = static_cast<unsigned char>(value[0]);
  if (first < 128) return {&kQslFlags[first], 1};
  return value.substr(0, CharLength(value, 0));
}

// Names where a record field's text comes from.
enum class Source : std::uint8_t {
  Text,       // a constant
  Column,     // a column as it stands
  BaseCall,   // the base call of a call sign column
  Band,       // a band column as its frequency; a band the table lacks as written
  Prefix,     // a DXCC column as the logbook writes it, exchanged through the form state
  QslFlag,    // the flag a QSL column's first character stands for
  DateTime,   // a date and a time column as dd/mm/yyyy hh:mm:ss
  Operator,   // the operator's name
  Moment,     // the moment of conversion
  FirstFour,  // the first four characters of a column
};

struct RecordField {
  Source source = Source::Text;
  std::size_t column = 0;
  std::size_t other = 0;  // the time column of a date and time
  std::string_view text;  // the constant
};

constexpr RecordField Text(std::string_view text) { return {Source::Text, 0, 0, text}; }
constexpr RecordField From(Source source, std::size_t column = 0, std::size_t other = 0) {
  return {source, column, other, {}};
}
constexpr RecordField Copy(std::size_t column) { return From(Source::Column, column); }

// Lays out the 48 fields of a record, in order.
constexpr std::array<RecordField, 48> kRecord{
    Copy(column::Call),                                  // 1
    From(Source::BaseCall, column::Call),                // 2
    From(Source::Operator),                              // 3
    Copy(column::Name),                                  // 4
    Copy(column::QTH),                                   // 5
    Copy(column::Mode),                                  // 6
    From(Source::Band, column::Band),                    // 7
    Copy(column::RSTR),                                  // 8
    Copy(column::RSTS),                                  // 9
    Copy(column::RSTR_NR),                               // 10
    Copy(column::RSTS_NR),                               // 11
    Copy(column::SPEZ),                                  // 12
    Text(" "),                                           // 13
    From(Source::QslFlag, column::QSLS),                 // 14
    From(Source::QslFlag, column::QSLAction),            // 15
    From(Source::QslFlag, column::QSLR),                 // 16
    Text("N"),                                           // 17
    Copy(column::QSLMgr),                                // 18
    Copy(column::Comment),                               // 19
    From(Source::DateTime, column::Date, column::Time),  // 20
    Text(" "),                                           // 21
    Text(" "),                                           // 22
    Text(" "),                                           // 23
    Text(" "),                                           // 24
    Text(" "),                                           // 25
    Text(" "),                                           // 26
    Text(" "),                                           // 27
    Text(" "),                                           // 28
    Text(" "),                                           // 29
    Text(" "),                                           // 30
    Text(" "),                                           // 31
    Text(" "),                                           // 32
    From(Source::Prefix, column::DXCC),                  // 33
    Copy(column::WPX),                                   // 34
    Text("??"),                                          // 35
    Text("??"),                                          // 36
    Text("??"),                                          // 37
    Copy(column::Locator),                               // 38
    From(Source::FirstFour, column::Locator),            // 39
    Text(" "),                                           // 40
    Text(" "),                                           // 41
    Text(" "),                                           // 42
    Text(" "),                                           // 43
    Copy(column::Comment),                               // 44
    From(Source::DateTime, column::Date, column::Time),  // 45
    Text(" "),                                           // 46
    From(Source::Moment),                                // 47
    Copy(column::Mode),                                  // 48
};

constexpr bool SameValue(const RecordField& a, const RecordField& b) {
  return a.source == b.source && a.column == b.column && a.other == b.other;
}

// Counts the fields of kRecord that vary by line, and the values among them
// computed from the line's fields, each once however often it is written.
constexpr std::size_t Count(bool computedOnly) {
  std::size_t n = 0;
  for (std::size_t k = 0; k < kRecord.size(); ++k) {
    const Source source = kRecord[k].source;
    if (source == Source::Text || (computedOnly && source == Source::Column)) continue;
    bool seen = false;
    for (std::size_t j = 0; j < k && computedOnly; ++j) {
      seen = seen || SameValue(kRecord[j], kRecord[k]);
    }
    if (!seen) ++n;
  }
  return n;
}
constexpr std::size_t kVaryingFields = Count(false);
static_assert(Count(true) == kComputedValues,
              "kComputedValues must count kRecord's computed values");

// Places the varying fields in kRecord, and their texts in a Record: below
// kUsedFields a column, from it on a computed value.
struct Places {
  std::array<std::size_t, kVaryingFields> field{};
  std::array<std::size_t, kVaryingFields> text{};
  std::array<std::size_t, kComputedValues> computed{};  // the first field of each computed value
};

constexpr Places MakePlaces() {
  Places places;
  std::size_t v = 0;
  std::size_t c = 0;
  for (std::size_t k = 0; k < kRecord.size(); ++k) {
    if (kRecord[k].source == Source::Text) continue;
    places.field.at(v) = k;
    if (kRecord[k].source == Source::Column) {
      places.text.at(v++) = kRecord[k].column;
      continue;
    }
    std::size_t same = 0;
    while (same < c && !SameValue(kRecord[places.computed.at(same)], kRecord[k])) ++same;
    if (same == c) places.computed.at(c++) = k;
    places.text.at(v++) = kUsedFields + same;
  }
  return places;
}
constexpr Places kPlaces = MakePlaces();

// Returns the text of varying field V.
template <std::size_t V>
std::string_view Varying(const Record& record) {
  constexpr std::size_t kText = kPlaces.text[V];
  if constexpr (kText < kUsedFields) {
    return record.columns[kText];
  } else {
    return record.computed[kText - kUsedFields];
  }
}

// Holds the bytes between the varying fields: joint 0 opens the record, joint
// v + 1 follows varying field v, each its bars and the constant fields between.
struct Joints {
  std::array<char, 128> bytes{};
  std::array<std::size_t, kVaryingFields + 1> offset{};
  std::array<std::size_t, kVaryingFields + 1> size{};
  std::size_t total = 0;
};

constexpr Joints MakeJoints() {
  Joints joints;
  std::size_t joint = 0;
  const auto put = [&](char c) {
    joints.bytes.at(joints.total++) = c;
    ++joints.size[joint];
  };
  put('|');
  for (const RecordField& field : kRecord) {
    if (field.source != Source::Text) {
      joints.offset[++joint] = joints.total;
      put('|');
      continue;
    }
    for (const char c : field.text) {
      if (c == '|' || c == '\r' || c == '\n') {
        throw "a constant field must hold no bar or line break";
      }
      put(c);
    }
    put('|');
  }
  return joints;
}
constexpr Joints kJoints = MakeJoints();

// Tells whether the texts of a source can be read 16 bytes at a time: 16
// bytes from their start, and up to 16 past their end when they are longer.
// They view the line's copy, a padded constant or the padded date and time.
constexpr bool Padded(Source source) {
  return source != Source::Operator && source != Source::Moment;
}

// Copies text to out and returns the end, overwriting up to 15 bytes behind
// it when text is padded.
template <bool kPadded>
char* PutText(char* out, std::string_view text) {
  if constexpr (kPadded) {
    std::memcpy(out, text.data(), 16);
    if (text.size() > 16) [[unlikely]] {
      for (std::size_t i = 16; i < text.size(); i += 16) std::memcpy(out + i, text.data() + i, 16);
    }
    return out + text.size();
  } else {
    return CopyBytes(out, text.data(), text.size());
  }
}

// Writes joint J; its size is known here, so the copy is a few fixed moves.
template <std::size_t J>
char* PutJoint(char* out) {
  std::memcpy(out, kJoints.bytes.data() + kJoints.offset[J], kJoints.size[J]);
  return out + kJoints.size[J];
}

template <std::size_t... V>
char* PutFields(char* out, const Record& record, std::index_sequence<V...> /*unused*/) {
  out = PutJoint<0>(out);
  ((out = PutJoint<V + 1>(
        PutText<Padded(kRecord[kPlaces.field[V]].source)>(out, Varying<V>(record)))),
   ...);
  return out;
}

// Writes the record with each bar inside a field as a slash.
template <std::size_t... V>
char* PutFieldsWithoutBars(char* out, const Record& record, std::index_sequence<V...> /*unused*/) {
  out = PutJoint<0>(out);
  const auto put = [&out]<bool kPadded>(std::string_view text) {
    char* const field = out;
    out = PutText<kPadded>(out, text);
    std::replace(field, out, '|', '/');
  };
  ((put.template operator()<Padded(kRecord[kPlaces.field[V]].source)>(Varying<V>(record)),
    out = PutJoint<V + 1>(out)),
   ...);
  return out;
}

// Holds what the computed values of one line come from.
struct Line {
  const Fields& dati;
  FormState& form;
  Host& host;
  RunContext& run;
  LineResult& result;
};

// Returns the computed value first written in field Place of kRecord.
template <std::size_t Place>
std::string_view Compute(Line& line) {
  constexpr RecordField field = kRecord[Place];
  const std::string_view value = line.dati[field.column];
  if constexpr (field.source == Source::BaseCall) {
    return BaseCall(value);
  } else if constexpr (field.source == Source::Band) {
    const std::string_view band = BandFrequency(value);
    if (band.data() == value.data() && value != kBlank && !IsHeaderDate(line.dati[column::Date])) {
      line.run.unknownBand = value;
    }
    return band;
  } else if constexpr (field.source == Source::Prefix) {
    // Keeps the exchanged value in the form state after the line.
    return ExchangePrefix(line.form, value);
  } else if constexpr (field.source == Source::QslFlag) {
    return QslFlag(value);
  } else if constexpr (field.source == Source::DateTime) {
    DateNotes notes;
    const std::string_view text =
        DateTime(value, line.dati[field.other], line.run.dates, line.run.dateTime, notes);
    line.result.placeholderDate = notes.placeholder;
    line.run.datesInOrder = line.run.datesInOrder || notes.orderUsed;
    return text;
  } else if constexpr (field.source == Source::Operator) {
    return line.run.operatorName;
  } else if constexpr (field.source == Source::Moment) {
    return line.run.Moment(line.host.Now());
  } else if constexpr (field.source == Source::FirstFour) {
    // Takes four bytes below 0x80 as four characters.
    if (value.size() <= 4) return value;
    std::uint32_t first = 0;
    std::memcpy(&first, value.data(), sizeof first);
    return (first & 0x80808080U) == 0 ? value.substr(0, 4) : FirstChars(value, 4);
  }
}

template <std::size_t... C>
void ComputeValues(Record& record, Line& line, std::index_sequence<C...> /*unused*/) {
  ((record.computed[C] = Compute<kPlaces.computed[C]>(line)), ...);
}

template <std::size_t... V>
std::size_t RecordSize(const Record& record, std::index_sequence<V...> /*unused*/) {
  return kJoints.total + (Varying<V>(record).size() + ...);
}

}  // namespace

std::string_view CounterText::Of(std::int32_t count) {
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
  dates.am = inExport(am);
  dates.pm = inExport(pm);
}

void RunContext::FormatMoment(std::time_t t) {
  const std::string text = platform::FormatMoment(t);
  moment = OneLine(eightBit ? platform::ToEightBit(text) : text);
  momentHoldsBar = moment.find('|') != std::string::npos;
  momentTime = t;
}

bool SplitFields(std::string_view line, LineCopy& copy, Fields& dati, bool& holdsBar,
                 char separator) {
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
  return SplitFields({data, copy.marks.data(), copy.bars.data(), separator}, 0, size, dati,
                     holdsBar, data);
}

bool SplitFields(const MarkedText& text, std::size_t begin, std::size_t end, Fields& dati,
                 bool& holdsBar, char* rewriteTo) {
  const Rewrite rewrite{text.data + begin, rewriteTo, text.separator};
  char* const data = text.data;
  std::string_view* field = dati.data();
  std::string_view* const full = field + kUsedFields;
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
            return true;
          }
          if (start > end) return false;
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
          return true;
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
        return true;
      }
      if (start > end) return false;
      const std::uint64_t done = stop | (stop - 1);
      commas &= ~done;
      looks &= ~done;
      look = ((odd >> (comma - base)) & 2) != 0;
    }
    if (end < next) return false;  // the separator at end is taken
  }
}

LineShape ShapeOf(std::string_view line, char separator) {
  LineShape shape;
  std::size_t pos = 0;
  while (shape.fields < kUsedFields) {
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

char* PutRecord(char* out, const Record& record) {
  if (!record.mayHoldBars) {
    return PutFields(out, record, std::make_index_sequence<kVaryingFields>());
  }
  return PutFieldsWithoutBars(out, record, std::make_index_sequence<kVaryingFields>());
}

LineResult ConvertLine(FormState& form, Host& host, RunContext& run, Record& record,
                       const MarkedText* marked) {
  LineResult result;
  run.unknownBand = {};
  Fields& Dati = record.columns;
  bool lineHoldsBar = false;
  bool split = false;
  if (marked != nullptr) {
    // Rewrites quoted fields beside the line: a line that is skipped stays as
    // it was, for the joiner.
    const std::size_t size = form.Linea.size();
    if (run.rewritten.size() < size + kLinePadding) run.rewritten.resize(size + kLinePadding);
    const auto begin = static_cast<std::size_t>(form.Linea.data() - marked->data);
    split = SplitFields(*marked, begin, begin + size, Dati, lineHoldsBar, run.rewritten.data());
  } else {
    split = SplitFields(form.Linea, run.line, Dati, lineHoldsBar, run.separator);
  }
  if (!split) return result;
  if (form.xx == std::numeric_limits<std::int32_t>::max()) {
    result.status = LineStatus::Overflow;
    return result;
  }
  Line line{Dati, form, host, run, result};
  ComputeValues(record, line, std::make_index_sequence<kComputedValues>());
  record.size = RecordSize(record, std::make_index_sequence<kVaryingFields>());
  // Fields hold only the line's bytes, the operator, the moment and constants without bars.
  record.mayHoldBars = lineHoldsBar || run.operatorHoldsBar || run.momentHoldsBar;

  // The repaint still shows the count of the line before.
  host.RepaintCounter();
  ++form.xx;
  host.SetCounterText(run.counter.Of(form.xx));
  result.status = LineStatus::Converted;
  return result;
}

LineResult ConvertLine(FormState& form, Host& host, RunContext& run) {
  Record& record = run.record;
  const LineResult result = ConvertLine(form, host, run, record);
  if (result.status == LineStatus::Converted) {
    const std::size_t start = form.Linea1.size();
    form.Linea1.resize(start + record.size + kRecordOverrun);
    PutRecord(form.Linea1.data() + start, record);
    form.Linea1.resize(start + record.size);
  }
  return result;
}

LineResult ConvertLine(FormState& form, Host& host) {
  RunContext run;
  run.SetOperator(form.NomeUtente);
  return ConvertLine(form, host, run);
}

}  // namespace conversion
