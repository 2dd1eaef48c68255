#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "line_converter.h"
#include "test_support.h"

namespace {

using conversion::LineStatus;

// Converts line into a record for a caller's buffer and into Linea1, and
// checks that both give the same bytes; returns them.
std::string Both(const std::string& line, const std::string& operatorName = "NAME") {
  conversion::FormState form;
  form.Linea = line;
  test::Recorder host;
  conversion::RunContext run;
  run.SetOperator(operatorName);
  conversion::Record record;
  EXPECT_EQ(conversion::ConvertLine(form, host, run, record).status, LineStatus::Converted);
  EXPECT_TRUE(form.Linea1.empty());
  // Keeps bytes on both sides that the record must leave alone.
  std::vector<char> buffer(record.size + 64, '#');
  char* const out = buffer.data() + 16;
  char* const end = conversion::PutRecord(out, record);
  EXPECT_EQ(static_cast<std::size_t>(end - out), record.size);
  EXPECT_EQ(std::string(buffer.data(), 16), std::string(16, '#'));
  const std::size_t behind = 16 + record.size + conversion::kRecordOverrun;
  EXPECT_EQ(std::string(buffer.data() + behind, buffer.size() - behind),
            std::string(buffer.size() - behind, '#'));
  std::string written(out, record.size);

  form.Linea1 = "earlier|";
  EXPECT_EQ(conversion::ConvertLine(form, host, run).status, LineStatus::Converted);
  EXPECT_EQ(form.Linea1, "earlier|" + written);
  return written;
}

TEST(Record, WritesIntoTheCallersBufferWhatLinea1Gets) {
  const std::string record = Both(test::kContact);
  EXPECT_EQ(test::Fields(record).size(), 49u);
  EXPECT_EQ(test::Fields(record)[7], "14");
  Both(test::kHeader);
  Both(std::string(25, ','), "");
  Both(test::ContactWith(10, R"("nice, ""strong"" signal" 73)"));
  Both(test::ContactWith(10, std::string(300, 'x')));
}

TEST(Record, WritesBarsInsideFieldsAsSlashes) {
  for (const auto& [line, name] : std::vector<std::pair<std::string, std::string>>{
           {test::ContactWith(10, "up 5|listening"), "NAME"}, {test::kContact, "A|B"}}) {
    const std::string record = Both(line, name);
    EXPECT_EQ(std::count(record.begin(), record.end(), '|'), 49) << record;
  }
}

TEST(CounterText, CountsOnAcrossEveryCarryAndFollowsAJump) {
  conversion::CounterText counter;
  for (std::int32_t n = 0; n <= 100000; ++n) ASSERT_EQ(counter.Of(n), std::to_string(n));
  for (const std::int32_t n :
       {99999, 5, 9, 10, 999999, 1000000, 1000001, 2147483646, 2147483647, 0, 1}) {
    EXPECT_EQ(counter.Of(n), std::to_string(n));
  }
}

}  // namespace
