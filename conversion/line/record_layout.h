// The line layer's record layout: the 48 fields of a record in one table, with what writing a
// record needs of them worked out when compiling.

#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "split_fields.h"

// The layout of a record: its 48 fields in one table, and what the writing of
// a record needs to know of them, worked out from that table when compiling.
namespace conversion {

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
inline constexpr std::array<RecordField, 48> kRecord{
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

// Returns true when field shows column c of a line, as it stands or computed from it.
constexpr bool Shows(const RecordField& field, std::size_t c) {
  switch (field.source) {
    case Source::Text:
    case Source::Operator:
    case Source::Moment:
      return false;
    case Source::DateTime:
      return field.column == c || field.other == c;
    default:
      return field.column == c;
  }
}

// Returns true when fields a and b hold the same value whatever the line.
constexpr bool SameValue(const RecordField& a, const RecordField& b) {
  return a.source == b.source && a.column == b.column && a.other == b.other;
}

// Returns true when field k of kRecord computes a value from the line that a
// field before it computes already, as field 45 repeats field 20.
constexpr bool ComputedBefore(std::size_t k) {
  for (std::size_t j = 0; j < k; ++j) {
    if (SameValue(kRecord[j], kRecord[k])) return true;
  }
  return false;
}

// Counts the fields of kRecord that vary by line: columns and computed values.
constexpr std::size_t CountVaryingFields() {
  std::size_t n = 0;
  for (const RecordField& field : kRecord) n += field.source != Source::Text ? 1U : 0U;
  return n;
}

// Counts the values the fields of kRecord compute from a line, each once
// however often it is written.
constexpr std::size_t CountComputedValues() {
  std::size_t n = 0;
  for (std::size_t k = 0; k < kRecord.size(); ++k) {
    const Source source = kRecord[k].source;
    n += source != Source::Text && source != Source::Column && !ComputedBefore(k) ? 1U : 0U;
  }
  return n;
}

inline constexpr std::size_t kVaryingFields = CountVaryingFields();
inline constexpr std::size_t kComputedValues = CountComputedValues();

// Holds what one record is written from, viewing the line, the run context
// and constants until the next line is converted.
struct Record {
  Fields columns;  // as SplitFields gives them
  std::array<std::string_view, kComputedValues> computed;
  std::size_t size = 0;      // the bytes PutRecord writes
  bool mayHoldBars = false;  // false when no field holds a bar
};

// Names where the text of a varying field is held in a Record.
struct Slot {
  bool computed = false;  // in Record::computed, else in Record::columns
  std::size_t index = 0;
};

// Places the varying fields in kRecord and their texts in a Record.
struct Layout {
  std::array<std::size_t, kVaryingFields> field{};      // the place in kRecord
  std::array<Slot, kVaryingFields> slot{};              // where its text is held
  std::array<std::size_t, kComputedValues> computed{};  // the first field of each computed value
};

constexpr Layout MakeLayout() {
  Layout layout;
  std::size_t v = 0;
  std::size_t c = 0;
  for (std::size_t k = 0; k < kRecord.size(); ++k) {
    const RecordField& field = kRecord[k];
    if (field.source == Source::Text) continue;
    layout.field.at(v) = k;
    if (field.source == Source::Column) {
      layout.slot.at(v++) = {false, field.column};
      continue;
    }
    std::size_t same = 0;
    while (same < c && !SameValue(kRecord[layout.computed.at(same)], field)) ++same;
    if (same == c) layout.computed.at(c++) = k;
    layout.slot.at(v++) = {true, same};
  }
  return layout;
}
inline constexpr Layout kLayout = MakeLayout();

// Returns the text of varying field V.
template <std::size_t V>
std::string_view Varying(const Record& record) {
  constexpr Slot kSlot = kLayout.slot[V];
  if constexpr (kSlot.computed) {
    return record.computed[kSlot.index];
  } else {
    return record.columns[kSlot.index];
  }
}

// Counts the bytes of a record that no line changes: its 49 bars and its constants.
constexpr std::size_t CountJointBytes() {
  std::size_t n = 1;
  for (const RecordField& field : kRecord) n += field.text.size() + 1;
  return n;
}

// Holds the bytes between the varying fields: joint 0 opens the record, joint
// v + 1 follows varying field v, each its bars and the constant fields between.
// A record that starts |HB9XYZ/P|HB9XYZ|NAME|Hans|…|SP| |N|Y|Y|N|MGR1|, whose
// fields 13 and 17 are the constants " " and "N", is made of:
//   joint 0   "|"     before field 1, HB9XYZ/P
//   joint 1   "|"     after it, and so on to joint 11 after field 11
//   joint 12  "| |"   after field 12, SP: its bar, field 13 and that one's bar
//   joint 13  "|"     after field 14, N, and joint 14 after field 15
//   joint 15  "|N|"   after field 16, Y: its bar, field 17 and that one's bar
struct Joints {
  std::array<char, CountJointBytes()> bytes{};
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
inline constexpr Joints kJoints = MakeJoints();

// Returns joint J.
template <std::size_t J>
constexpr std::string_view Joint() {
  return {kJoints.bytes.data() + kJoints.offset[J], kJoints.size[J]};
}
static_assert(Joint<0>() == "|" && Joint<11>() == "|" && Joint<12>() == "| |" &&
                  Joint<13>() == "|" && Joint<15>() == "|N|",
              "the joints hold what their comment shows");

}  // namespace conversion
