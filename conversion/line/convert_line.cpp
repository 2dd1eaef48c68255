// The line layer's conversion of one export line into one record: splits it, computes each field
// the record layout names and counts the record.

#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>

#include "check_field.h"
#include "date_time.h"
#include "line_converter.h"
#include "text.h"

namespace conversion {

namespace {

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
      line.result.unknownBand = value;
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
    line.result.datesInOrder = notes.orderUsed;
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
  ((record.computed[C] = Compute<kLayout.computed[C]>(line)), ...);
}

template <std::size_t... V>
std::size_t RecordSize(const Record& record, std::index_sequence<V...> /*unused*/) {
  return kJoints.total + (Varying<V>(record).size() + ...);
}

// Makes room in run.rewritten for the quoted fields of the marked line Linea,
// rewritten beside it so that a line that is skipped stays as it was, for the
// joiner; returns where the line starts in marked.
std::size_t RewriteBeside(const FormState& form, RunContext& run, const MarkedText& marked) {
  const std::size_t size = form.Linea.size();
  if (run.rewritten.size() < size + kLinePadding) run.rewritten.resize(size + kLinePadding);
  return static_cast<std::size_t>(form.Linea.data() - marked.data);
}

// Splits form.Linea, marked or through a copy, into all its fields and takes
// the columns into dati where the run's header names them; returns false when
// the line holds fewer fields than the columns reach.
[[gnu::noinline]] bool SplitByName(FormState& form, RunContext& run, const MarkedText* marked,
                                   Fields& dati, bool& holdsBar) {
  const Columns& columns = run.columns;
  std::size_t found = 0;
  if (marked != nullptr) {
    const std::size_t begin = RewriteBeside(form, run, *marked);
    found = SplitFields(*marked, begin, begin + form.Linea.size(), run.named.data(), columns.count,
                        holdsBar, run.rewritten.data());
  } else {
    found =
        SplitFields(form.Linea, run.line, run.named.data(), columns.count, holdsBar, run.separator);
  }
  if (found < columns.count) return false;
  run.named.Take(columns, dati);
  return true;
}

}  // namespace

LineResult ConvertLine(FormState& form, Host& host, RunContext& run, Record& record,
                       const MarkedText* marked) {
  LineResult result;
  Fields& Dati = record.columns;
  bool lineHoldsBar = false;
  bool split = false;
  if (run.columns.byName) [[unlikely]] {
    split = SplitByName(form, run, marked, Dati, lineHoldsBar);
  } else if (marked != nullptr) {
    const std::size_t begin = RewriteBeside(form, run, *marked);
    split = SplitFields(*marked, begin, begin + form.Linea.size(), Dati, lineHoldsBar,
                        run.rewritten.data());
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
