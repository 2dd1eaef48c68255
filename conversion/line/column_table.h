// The line layer's column table: each column of an export line, its place and its name as the
// export's header line and INFO list it, stated once; the names' list and text are made from it.

#pragma once

#include <array>
#include <cstddef>
#include <string_view>

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

// A column and its name in the header line.
struct ColumnRow {
  std::size_t id;
  std::string_view name;
};

// Lists the columns in the order of the header line, each by the name it has there.
inline constexpr auto kColumns = std::to_array<ColumnRow>({
    {column::DXCC, "DXCC"},       {column::Call, "Call"},
    {column::Date, "Date"},       {column::Time, "Time"},
    {column::End, "End"},         {column::Band, "Band"},
    {column::Mode, "Mode"},       {column::QRG, "QRG"},
    {column::Name, "Name"},       {column::Operator, "Operator"},
    {column::Comment, "Comment"}, {column::Locator, "QTH-Locator"},
    {column::QTH, "QTH"},         {column::RSTS, "RSTS"},
    {column::RSTS_NR, "RSTS_NR"}, {column::RSTR, "RSTR"},
    {column::RSTR_NR, "RSTR_NR"}, {column::QSLR, "QSLR"},
    {column::QSLS, "QSLS"},       {column::QSLAction, "QSL-Action"},
    {column::SPEZ, "SPEZ"},       {column::MyQTH, "MY-QTH"},
    {column::Contest, "Contest"}, {column::QSLMgr, "QSL-Mgr"},
    {column::Region, "Region"},   {column::WPX, "WPX"},
});

// Returns true when row i of kColumns holds column i, each a name of its own:
// nothing but the rows' order places a column.
consteval bool RowsInColumnOrder() {
  for (std::size_t i = 0; i < kColumns.size(); ++i) {
    if (kColumns[i].id != i || kColumns[i].name.empty()) return false;
    for (std::size_t j = 0; j < i; ++j) {
      if (kColumns[j].name == kColumns[i].name) return false;
    }
  }
  return true;
}

static_assert(kColumns.size() == column::Count, "kColumns holds a row for each column");
static_assert(RowsInColumnOrder(), "row i of kColumns holds column i under a name of its own");

// Names each column, in order.
inline constexpr std::array<std::string_view, column::Count> kColumnList = [] {
  std::array<std::string_view, column::Count> list{};
  for (std::size_t c = 0; c < list.size(); ++c) list[c] = kColumns[c].name;
  return list;
}();

// Holds the names of kColumns joined by commas, as the export's header line writes them.
inline constexpr auto kColumnNameBytes = [] {
  constexpr std::size_t kSize = [] {
    std::size_t size = kColumns.size() - 1;
    for (const ColumnRow& row : kColumns) size += row.name.size();
    return size;
  }();
  std::array<char, kSize> bytes{};
  std::size_t at = 0;
  for (const ColumnRow& row : kColumns) {
    if (at > 0) bytes.at(at++) = ',';
    for (const char c : row.name) bytes.at(at++) = c;
  }
  return bytes;
}();

// Names the columns of an export, as its header line and INFO list them.
inline constexpr std::string_view kColumnNames(kColumnNameBytes.data(), kColumnNameBytes.size());

}  // namespace conversion
