// Feeds arbitrary bytes as one export line through the line conversion and
// aborts when a record breaks the shape the logbook relies on.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "conversion.h"
#include "line_converter.h"
#include "reference.h"
#include "text.h"

namespace {

// A record field that copies a line field as it stands.
struct Copied {
  std::size_t record;
  std::size_t line;
};
constexpr auto kCopied = std::to_array<Copied>({{1, 1},
                                                {4, 8},
                                                {5, 12},
                                                {6, 6},
                                                {8, 15},
                                                {9, 13},
                                                {10, 16},
                                                {11, 14},
                                                {12, 20},
                                                {18, 23},
                                                {19, 10},
                                                {34, 25},
                                                {38, 11},
                                                {44, 10},
                                                {48, 6}});

constexpr std::int32_t kCountBefore = 41;

[[noreturn]] void Fail(const char* what, std::string_view line) {
  std::fprintf(stderr, "broken: %s\nline (%zu bytes): %.*s\n", what, line.size(),
               static_cast<int>(std::min<std::size_t>(line.size(), 2000)), line.data());
  std::abort();
}

void Check(bool ok, const char* what, std::string_view line) {
  if (!ok) Fail(what, line);
}

// Answers the conversion with a clock the fuzzer sets; a line never shows a message.
class FixedClock : public conversion::Host {
 public:
  void RepaintCounter() override {}
  void SetCounterText(std::string_view /*text*/) override {}
  void ShowMessage(std::string_view /*text*/) override { std::abort(); }
  std::time_t Now() override { return now; }

  std::time_t now = 0;
};

// Returns what a record field holds for a line field: a blank for an empty one,
// a slash for each bar.
std::string AsWritten(std::string value) {
  if (value.empty()) return " ";
  std::replace(value.begin(), value.end(), '|', '/');
  return value;
}

// Splits a record "|f1|...|f48|" so that element k is field k.
std::vector<std::string_view> RecordFields(std::string_view record) {
  std::vector<std::string_view> fields;
  std::size_t pos = 0;
  for (std::size_t bar = record.find('|'); bar != std::string_view::npos;
       bar = record.find('|', pos)) {
    fields.push_back(record.substr(pos, bar - pos));
    pos = bar + 1;
  }
  return fields;
}

std::string WithoutMoment(std::string_view record) {
  const std::vector<std::string_view> fields = RecordFields(record);
  std::string rest;
  for (std::size_t k = 0; k < fields.size(); ++k) {
    if (k != 47) rest.append(fields[k]).push_back('|');
  }
  return rest;
}

void CheckRecord(std::string_view record, const std::vector<std::string>& lineFields,
                 std::string_view line) {
  Check(record.size() >= 2 && record.front() == '|' && record.back() == '|',
        "the record must start and end with a bar", line);
  Check(std::count(record.begin(), record.end(), '|') == 49, "the record must hold 49 bars", line);
  Check(record.find_first_of("\r\n") == std::string_view::npos,
        "the record must not hold a line break", line);
  const std::vector<std::string_view> fields = RecordFields(record);
  Check(fields.size() == 49 && fields[0].empty(), "the record must hold fields 1 to 48", line);
  for (const Copied& c : kCopied) {
    Check(fields[c.record] == AsWritten(lineFields[c.line]),
          "a copied field differs from the line's", line);
  }
  Check(fields[3] == "OP/1 ", "field 3 must hold the operator on one line", line);
  Check(fields[38].starts_with(fields[39]), "field 39 must begin field 38", line);
  Check(fields[20] == fields[45], "fields 20 and 45 must agree", line);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The line reader never passes a CR or LF on.
  std::string line(reinterpret_cast<const char*>(data), size);
  std::erase_if(line, [](char c) { return c == '\r' || c == '\n'; });
  const std::vector<std::string> fields = reference::Fields(line);

  conversion::FormState form;
  form.Linea = line;
  form.NomeUtente = "OP|1\n";
  form.xx = kCountBefore;
  FixedClock host;
  host.now = 1'000'000'000;
  const conversion::LineResult first = conversion::ConvertLine(form, host);

  if (fields.size() < conversion::kUsedFields) {
    Check(first.status == conversion::LineStatus::Skipped, "a short line must be skipped", line);
    Check(form.Linea1.empty(), "a skipped line must give no record", line);
    Check(form.xx == kCountBefore, "a skipped line must not be counted", line);
    return 0;
  }
  Check(first.status == conversion::LineStatus::Converted, "a full line must convert", line);
  Check(form.xx == kCountBefore + 1, "a converted line must be counted once", line);
  const std::string record = form.Linea1;
  CheckRecord(record, fields, line);

  // The same line a day and a second later differs in field 47 alone.
  form.Linea1.clear();
  host.now += 24 * 60 * 60 + 1;
  const conversion::LineResult second = conversion::ConvertLine(form, host);
  Check(second.status == conversion::LineStatus::Converted &&
            second.placeholderDate == first.placeholderDate,
        "the same line must convert the same way twice", line);
  Check(WithoutMoment(form.Linea1) == WithoutMoment(record),
        "the same line must give the same record apart from field 47", line);
  Check(RecordFields(form.Linea1)[47] != RecordFields(record)[47], "field 47 must follow the clock",
        line);

  // An 8-bit export gets the operator's name with one byte per character.
  conversion::RunContext run;
  run.eightBit = true;
  run.SetOperator(line);
  Check(run.operatorName.size() == conversion::CharCount(line),
        "the 8-bit operator name must hold one byte per character", line);
  return 0;
}
