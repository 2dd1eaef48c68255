#include <climits>
#include <string>
#include <vector>

#include "line_converter.h"
#include "test_support.h"

namespace {

using conversion::LineStatus;
using test::ContactWith;
using test::Fields;

class ConvertLineTest : public testing::Test {
 protected:
  conversion::LineResult Convert(const std::string& line,
                                 const std::string& operatorName = "NAME") {
    form.Linea = line;
    form.Linea1.clear();
    form.NomeUtente = operatorName;
    return conversion::ConvertLine(form, host);
  }

  // Converts line and returns its record split into fields.
  std::vector<std::string> Record(const std::string& line) {
    EXPECT_EQ(Convert(line).status, LineStatus::Converted) << line;
    return Fields(form.Linea1);
  }

  conversion::FormState form;
  test::Recorder host;
};

TEST_F(ConvertLineTest, WritesEveryFieldOfAContact) {
  ASSERT_EQ(Convert(test::kContact).status, LineStatus::Converted);
  EXPECT_EQ(
      form.Linea1,
      "|HB9XYZ/P|HB9XYZ|NAME|Hans|Bern|SSB|14|57|59|002|001|SP| |N|Y|Y|N|MGR1|Nice chat|"
      "05/03/2000 14:07:33| | | | | | | | | | | | |K|HB9|??|??|??|JN47AB|JN47| | | | |Nice chat|"
      "05/03/2000 14:07:33| |" +
          test::Moment() + "|SSB|");
  EXPECT_EQ(form.xx, 1);
  EXPECT_EQ(form.CheckMarigold, "K");
  EXPECT_EQ(form.XCheck, 33);
}

TEST_F(ConvertLineTest, HeaderLineBecomesARecordOfTheColumnNames) {
  const auto f = Record(test::kHeader);
  ASSERT_EQ(f.size(), 49u);
  const std::vector<std::pair<int, std::string>> expected = {
      {1, "Call"},     {2, "Call"},         {3, "NAME"},
      {4, "Name"},     {5, "QTH"},          {6, "Mode"},
      {7, "Band"},     {8, "RSTR"},         {9, "RSTS"},
      {10, "RSTR_NR"}, {11, "RSTS_NR"},     {12, "SPEZ"},
      {13, " "},       {14, "Q"},           {15, "Q"},
      {16, "Q"},       {17, "N"},           {18, "QSL-Mgr"},
      {19, "Comment"}, {20, "Date Time"},   {33, "DXCC"},
      {34, "WPX"},     {38, "QTH-Locator"}, {39, "QTH-"},
      {44, "Comment"}, {45, "Date Time"},   {47, test::Moment()},
      {48, "Mode"}};
  for (const auto& [k, value] : expected) EXPECT_EQ(f[static_cast<std::size_t>(k)], value) << k;
}

TEST_F(ConvertLineTest, EmptyFieldsBecomeOneSpace) {
  const auto f = Record(std::string(25, ','));
  ASSERT_EQ(f.size(), 49u);
  for (std::size_t k = 1; k <= 48; ++k) {
    if (k == 3 || k == 17 || k == 20 || k == 45 || (k >= 35 && k <= 37) || k == 47) continue;
    EXPECT_EQ(f[k], " ") << k;
  }
  EXPECT_EQ(f[20], "01/01/2050 12:12:12");
}

TEST_F(ConvertLineTest, UnquotesAndTrimsFields) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"\"ABC\"", "ABC"},
      {"\"\"", " "},
      {"  \" AB \"  ", " AB "},
      {"O\"Brien", "O\"Brien"},
      {"  Hans Peter  ", "Hans Peter"},
      {"\tHans\t", "\tHans\t"},
      {R"("Say ""hi""")", R"(Say "hi")"},
      {"\"AB\" cd  ", "AB cd"},
      {"\"Bern, CH\"", "Bern, CH"},
      {"\"a,b,c,d\"", "a,b,c,d"},
  };
  for (const auto& [input, name] : cases) {
    const auto f = Record(ContactWith(8, input));
    EXPECT_EQ(f[4], name) << input;
    EXPECT_EQ(f[5], "Bern") << "a quoted comma must not shift later fields: " << input;
    EXPECT_EQ(f[34], "HB9") << input;
  }
}

TEST_F(ConvertLineTest, UnclosedQuoteRunsToTheEndOfTheLine) {
  EXPECT_EQ(Record(ContactWith(25, "\"HB9, still"))[34], "HB9, still");
  EXPECT_EQ(Record(ContactWith(25, "\""))[34], " ");
  // Opened earlier, it swallows the commas the line needs.
  EXPECT_EQ(Convert(ContactWith(8, "\"Hans")).status, LineStatus::Skipped);
}

TEST_F(ConvertLineTest, MapsQslFlagsToTheirFirstCharacter) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"1", "Y"},
      {"0", "N"},
      {"S", "Y"},
      {"s", "Y"},
      {"o", "Y"},
      {"O", "Y"},
      {"yes", "Y"},
      {"no", "N"},
      {"x", "X"},
      {"2", "2"},
      {"", " "},
      {"\xC3\xBC"
       "ber",
       "\xC3\xBC"},  // ü is not upper-cased; its two bytes stay together
  };
  for (const auto& [value, flag] : cases) {
    EXPECT_EQ(Record(ContactWith(18, value))[14], flag) << value;  // QSLS
    EXPECT_EQ(Record(ContactWith(19, value))[15], flag) << value;  // QSL-Action
    EXPECT_EQ(Record(ContactWith(17, value))[16], flag) << value;  // QSLR
  }
}

TEST_F(ConvertLineTest, ReformatsDateAndTime) {
  struct Case {
    std::string date, time, field20;
    bool placeholder;
  };
  const std::vector<Case> cases = {
      {"05.03.2000", "05.03.2000 14:07:33", "05/03/2000 14:07:33", false},
      {"05.03.2000", "01.01.1999 14.07.33", "05/03/2000 14:07:33", false},
      {"", "", "01/01/2050 12:12:12", true},
      // Other regional forms: year first, day first with short numbers, 12-hour clock.
      {"2000-03-05", "2000-03-05 14:07:33", "05/03/2000 14:07:33", false},
      {"2000/03/05", "5.3.2000 2:07:33 PM", "05/03/2000 14:07:33", false},
      {"5.3.2000", "5.3.2000 2:07 am", "05/03/2000 02:07:00", false},
      {"05.3.2000", "05.3.2000 12:30:01 AM", "05/03/2000 00:30:01", false},
      {"5.03.2000", "14:07:33", "05/03/2000 14:07:33", false},
      {"05.03.2000", "9.07", "05/03/2000 09:07:00", false},
      {"05.03.2000", "05.03.2000 12:00 PM", "05/03/2000 12:00:00", false},
      // Month first is never guessed, nor a time that does not stand alone.
      {"3/5/2000", "05.03.2000 14:07:33", "01/01/2050 14:07:33", true},
      {"5.3.00", "05.03.2000 14:07:33", "01/01/2050 14:07:33", true},
      {"05.03.2000", "2000-03-05T14:07:33Z", "05/03/2000 12:12:12", true},
      {"05.03.2000", "05.03.2000 13:07 PM", "05/03/2000 12:12:12", true},
      {"05.03.2000", "05.03.2000 14:7:33", "05/03/2000 12:12:12", true},
      {"05.03.2000", "abcdefghijk14:07:33", "05/03/2000 14:07:33", false},
      {"05.03.2000", "abcdefghijklmnopqrs", "05/03/2000 12:12:12", true},
      {"date", "time", "date time", false},
      // Characters, not bytes: a two-byte separator keeps the length 10 and 19.
      {"05\xC2\xB7"
       "03\xC2\xB7"
       "2000",
       "05.03.2000 14\xC2\xB7"
       "07\xC2\xB7"
       "33",
       "05/03/2000 14:07:33", false},
  };
  for (const auto& c : cases) {
    const std::string line = ContactWith({{2, c.date}, {3, c.time}});
    const auto result = Convert(line);
    ASSERT_EQ(result.status, LineStatus::Converted) << line;
    const auto f = Fields(form.Linea1);
    EXPECT_EQ(f[20], c.field20) << line;
    EXPECT_EQ(f[45], c.field20) << line;
    EXPECT_EQ(result.placeholderDate, c.placeholder) << line;
  }
}

TEST_F(ConvertLineTest, LocatorFieldKeepsItsFirstFourCharacters) {
  EXPECT_EQ(Record(ContactWith(11, "JN4"))[39], "JN4");
  EXPECT_EQ(Record(ContactWith(11,
                               "\xC3\x84\xC3\x96"
                               "47AB"))[39],
            "\xC3\x84\xC3\x96"
            "47");
}

TEST_F(ConvertLineTest, EveryRecordHoldsExactly49Bars) {
  const auto f = Record(ContactWith(10, "a|b||c"));
  EXPECT_EQ(f[19], "a/b//c");
  EXPECT_EQ(f[44], "a/b//c");
  EXPECT_EQ(std::count(form.Linea1.begin(), form.Linea1.end(), '|'), 49);

  ASSERT_EQ(Convert(test::kContact, "A|B").status, LineStatus::Converted);
  EXPECT_EQ(Fields(form.Linea1)[3], "A/B");
  EXPECT_EQ(std::count(form.Linea1.begin(), form.Linea1.end(), '|'), 49);
}

TEST_F(ConvertLineTest, OperatorNameIsWrittenAsTyped) {
  ASSERT_EQ(Convert(test::kContact, "").status, LineStatus::Converted);
  EXPECT_EQ(form.Linea1.substr(0, 18), "|HB9XYZ/P|HB9XYZ||");
  ASSERT_EQ(Convert(test::kContact, "M\xC3\xBCller").status, LineStatus::Converted);
  EXPECT_EQ(Fields(form.Linea1)[3], "M\xC3\xBCller");
}

TEST_F(ConvertLineTest, IgnoresFieldsBeyondTheTwentySixth) {
  const std::string extra = std::string(test::kContact) + ",extra,\"more, still\"";
  const std::string plain = std::string(test::kContact);
  const auto a = Record(extra);
  const auto b = Record(plain);
  EXPECT_EQ(a, b);
}

TEST_F(ConvertLineTest, SkipsLinesWithFewerThan26Fields) {
  for (const std::string& line : {std::string(), std::string(24, ','), std::string("W,HB9XYZ")}) {
    form.xx = 5;
    EXPECT_EQ(Convert(line).status, LineStatus::Skipped) << line;
    EXPECT_EQ(form.Linea1, "");
    EXPECT_EQ(form.xx, 5);
  }
  EXPECT_TRUE(host.events.empty());
}

TEST_F(ConvertLineTest, CountsWhenThereIsRoomOnly) {
  form.xx = INT_MAX - 1;
  EXPECT_EQ(Convert(test::kContact).status, LineStatus::Converted);
  EXPECT_EQ(form.xx, INT_MAX);
  EXPECT_EQ(Convert(test::kContact).status, LineStatus::Overflow);
  EXPECT_EQ(form.Linea1, "");
  EXPECT_EQ(form.xx, INT_MAX);
}

TEST_F(ConvertLineTest, RepaintShowsTheCountOfTheLineBefore) {
  host.SetCounterText("7");  // left from an earlier run
  Record(test::kContact);
  Record(test::kContact);
  Record(test::kContact);
  EXPECT_EQ(host.events, (std::vector<std::string>{"repaint 7", "repaint 1", "repaint 2"}));
  EXPECT_EQ(host.counter, "3");
}

TEST_F(ConvertLineTest, MomentLeavesOutAMidnightTime) {
  host.now = test::Recorder::LocalTime(2026, 12, 7, 0, 0, 1);
  const std::string second = Record(test::kContact)[47];
  ASSERT_NE(second.find(' '), std::string::npos) << second;
  host.now = test::Recorder::LocalTime(2026, 12, 7, 0, 0, 0);
  EXPECT_EQ(Record(test::kContact)[47], second.substr(0, second.find(' ')));
}

}  // namespace
