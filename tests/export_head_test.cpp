#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "column_table.h"
#include "export_head.h"
#include "test_support.h"

namespace {

// The column table gives the header line the exports of these tests start with, name for name.
static_assert(conversion::kColumnNames == std::string_view(test::kHeader),
              "the column table names the columns of the header line the system checks");

using conversion::DateOrder;
using conversion::OrderReason;

// Returns an export's head: the header line and a contact a line for each date.
std::string Head(std::initializer_list<std::string> dates, char separator = ',') {
  std::string head = std::string(test::kHeader) + "\r\n";
  for (const std::string& date : dates) head += test::ContactWith(2, date) + "\r\n";
  if (separator != ',') std::replace(head.begin(), head.end(), ',', separator);
  return head;
}

TEST(SeparatorOf, TakesASemicolonOrATabOnlyWhenTheHeaderSplitsThere) {
  EXPECT_EQ(conversion::SeparatorOf(Head({"05.03.2000"})), ',');
  EXPECT_EQ(conversion::SeparatorOf(Head({"05.03.2000"}, ';')), ';');
  EXPECT_EQ(conversion::SeparatorOf(Head({"05.03.2000"}, '\t')), '\t');
  // No header line, or one of too few fields: the comma, as before.
  EXPECT_EQ(conversion::SeparatorOf(test::ContactWith(0, "W;X") + "\n"), ',');
  EXPECT_EQ(conversion::SeparatorOf("DXCC;Call;Date;Time\n"), ',');
  EXPECT_EQ(conversion::SeparatorOf(""), ',');
}

TEST(DecideDateOrder, FollowsTheDatesThatOnlyOneOrderReads) {
  const auto decide = [](const std::string& head, DateOrder pc = DateOrder::Unknown) {
    return conversion::DecideDateOrder(head, false, ',', pc);
  };
  auto d = decide(Head({"3/5/2000", "12/31/2017", "1/2/2018"}), DateOrder::DayFirst);
  EXPECT_EQ(d.order, DateOrder::MonthFirst);
  EXPECT_EQ(d.reason, OrderReason::Dates);
  EXPECT_EQ(d.example, "12/31/2017");

  d = decide(Head({"3/5/2000", "31/12/2017"}), DateOrder::MonthFirst);
  EXPECT_EQ(d.order, DateOrder::DayFirst);
  EXPECT_EQ(d.reason, OrderReason::Dates);

  // Both, or neither: the PC's settings, if they say anything.
  d = decide(Head({"12/31/2017", "31/12/2017"}), DateOrder::MonthFirst);
  EXPECT_EQ(d.order, DateOrder::MonthFirst);
  EXPECT_EQ(d.reason, OrderReason::Settings);
  d = decide(Head({"3/5/2000"}), DateOrder::DayFirst);
  EXPECT_EQ(d.order, DateOrder::DayFirst);
  EXPECT_EQ(d.reason, OrderReason::Settings);
  d = decide(Head({"3/5/2000"}));
  EXPECT_EQ(d.order, DateOrder::Unknown);
  EXPECT_EQ(d.reason, OrderReason::None);

  // Dates with '.' or the year first, and short lines, are no evidence.
  d = decide(Head({"13.05.2000", "2000/12/31"}) + "x,x,12/31/2017\r\n");
  EXPECT_EQ(d.order, DateOrder::Unknown);
  // A line cut by the head's end is none either.
  EXPECT_EQ(conversion::DecideDateOrder(Head({"3/5/2000"}) + test::ContactWith(2, "12/31/2017"),
                                        true, ',', DateOrder::Unknown)
                .order,
            DateOrder::Unknown);
  // The fields are split at the export's separator.
  EXPECT_EQ(
      conversion::DecideDateOrder(Head({"12/31/2017"}, ';'), false, ';', DateOrder::Unknown).order,
      DateOrder::MonthFirst);
}

TEST(DecideDateOrder, CountsOnlyDatesThatOneOrderReadsAsADayOfTheCalendar) {
  const auto decide = [](const std::string& head, DateOrder pc = DateOrder::Unknown) {
    return conversion::DecideDateOrder(head, false, ',', pc);
  };
  // A typing slip is no date in either order: the day-first date decides, on
  // a month-first PC too.
  auto d = decide(Head({"25/03/2000", "2/30/2024", "05/03/2000"}), DateOrder::MonthFirst);
  EXPECT_EQ(d.order, DateOrder::DayFirst);
  EXPECT_EQ(d.reason, OrderReason::Dates);
  for (const char* slip : {"2/30/2024", "13/13/2000", "45/03/2000", "31/04/2000", "29/02/2023",
                           "31/12/1899", "12/31/1899", "31/12/2100", "12/31/2100"}) {
    d = decide(Head({"3/5/2000", slip}), DateOrder::DayFirst);
    EXPECT_EQ(d.reason, OrderReason::Settings) << slip;
    EXPECT_EQ(d.example, "") << slip;
  }
  EXPECT_EQ(decide(Head({"29/02/2024"})).order, DateOrder::DayFirst);
  d = decide(Head({"2/30/2024", "2/29/2024"}));
  EXPECT_EQ(d.order, DateOrder::MonthFirst);
  EXPECT_EQ(d.example, "2/29/2024");
}

TEST(DecideDateOrder, ReadsDatesLessTheSpacesAroundThem) {
  // Spaces around a date, quoted or not, change nothing; the example is the date read.
  for (const char* date :
       {"\" 12/31/2017\"", "\"12/31/2017 \"", "\"  12/31/2017  \"", "  12/31/2017 "}) {
    const auto d = conversion::DecideDateOrder(Head({date}), false, ',', DateOrder::DayFirst);
    EXPECT_EQ(d.order, DateOrder::MonthFirst) << date;
    EXPECT_EQ(d.example, "12/31/2017") << date;
  }
  // Tabs and no-break spaces stay part of the value.
  EXPECT_EQ(conversion::DecideDateOrder(Head({"\"\t12/31/2017\"",
                                              "\"\xC2\xA0"
                                              "12/31/2017\""}),
                                        false, ',', DateOrder::Unknown)
                .order,
            DateOrder::Unknown);
}

TEST(DecideDateOrder, CountsAContactOfSeveralLinesOnlyAsTheRecordsJoinIt) {
  // A contact whose comment spans two lines counts once the records' joiner joins it.
  const std::string joined =
      test::ContactWith({{2, "12/31/2017"}, {10, "\"two\r\nlines\""}}) + "\r\n";
  const std::string head = Head({"3/5/2000"}) + joined;
  auto d = conversion::DecideDateOrder(head, false, ',', DateOrder::DayFirst);
  EXPECT_EQ(d.order, DateOrder::MonthFirst);
  EXPECT_EQ(d.example, "12/31/2017");
  // Its lines end as the records' lines do, CR LF as one: sixteen lines are joined.
  std::string comment = "\"1";
  for (int k = 2; k <= 16; ++k) comment += "\r\n" + std::to_string(k);
  d = conversion::DecideDateOrder(
      Head({"3/5/2000"}) + test::ContactWith({{2, "12/31/2017"}, {10, comment + "\""}}) + "\r\n",
      false, ',', DateOrder::DayFirst);
  EXPECT_EQ(d.order, DateOrder::MonthFirst);
  // Cut by the head's edge inside its second line, it does not.
  d = conversion::DecideDateOrder(head.substr(0, head.size() - 20), true, ',', DateOrder::DayFirst);
  EXPECT_EQ(d.reason, OrderReason::Settings);
  // Nor do lines that the records leave apart: the first holds no open quote.
  const std::string contact = test::ContactWith(2, "12/31/2017");
  const std::size_t comma = contact.find(",Nice chat");
  d = conversion::DecideDateOrder(
      Head({"3/5/2000"}) + contact.substr(0, comma) + "\r\n" + contact.substr(comma + 1) + "\r\n",
      false, ',', DateOrder::DayFirst);
  EXPECT_EQ(d.reason, OrderReason::Settings);
}

TEST(HeaderDifference, NamesTheFirstThreeColumnsThatDiffer) {
  EXPECT_EQ(conversion::HeaderDifference(Head({"05.03.2000"}), ','), "");
  EXPECT_EQ(conversion::HeaderDifference(Head({"05.03.2000"}, ';'), ';'), "");
  const std::string line =
      " dxcc ,\"CALL\",Date,Time,End,Mode,Band,QRG,,Operator,Comment,QTH-Locator,QTH,RSTS,"
      "RSTS_NR,RSTR,RSTR_NR,QSLR,QSLS,QSL-Action,SPEZ,MY-QTH,Contest,QSL-Mgr,Region,Prefix";
  // No header line, or a header of too few fields, is not looked at.
  EXPECT_EQ(conversion::HeaderDifference(test::kContact, ','), "");
  EXPECT_EQ(conversion::HeaderDifference("DXCC,Call,Date,Time\r\n" + line, ','), "");
  EXPECT_EQ(conversion::HeaderDifference(line + "\r\n" + test::kContact, ','),
            "column 6 is \"Mode\" where \"Band\" is expected, column 7 is \"Band\" where \"Mode\" "
            "is expected, column 9 is \"\" where \"Name\" is expected");
}

}  // namespace
