#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "date_time.h"

namespace {

using conversion::DateOrder;

struct Case {
  std::string date, time, field20;
  bool placeholder;
};

// Builds field 20 as a run whose dates are in order reads it.
std::string Read(const std::string& date, const std::string& time, bool& placeholder,
                 DateOrder order = DateOrder::Unknown, const std::string& am = "",
                 const std::string& pm = "", bool eightBit = false) {
  const conversion::DateRules rules{order, am, pm, eightBit};
  // Gives both texts the readable bytes behind them that split fields have.
  const std::string padded = date + std::string(16, ' ') + time + std::string(16, ' ');
  std::string out(conversion::kDateTimeRoom, ' ');
  conversion::DateNotes notes;
  const std::string_view text = conversion::DateTime(
      std::string_view(padded.data(), date.size()),
      std::string_view(padded.data() + date.size() + 16, time.size()), rules, out, notes);
  placeholder = notes.placeholder;
  return std::string(text);
}

void ExpectAll(const std::vector<Case>& cases, DateOrder order = DateOrder::Unknown,
               const std::string& am = "", const std::string& pm = "", bool eightBit = false) {
  for (const Case& c : cases) {
    bool placeholder = false;
    EXPECT_EQ(Read(c.date, c.time, placeholder, order, am, pm, eightBit), c.field20)
        << c.date << " / " << c.time;
    EXPECT_EQ(placeholder, c.placeholder) << c.date << " / " << c.time;
  }
}

TEST(DateTime, KeepsTheFormsReadBefore) {
  // Swiss, British, ISO, Czech and Japanese short dates, and today's ten characters.
  ExpectAll({
      {"05.03.2000", "05.03.2000 14:07:33", "05/03/2000 14:07:33", false},
      {"05/03/2000", "05/03/2000 14:07:33", "05/03/2000 14:07:33", false},
      {"2000-03-05", "2000-03-05 14:07:33", "05/03/2000 14:07:33", false},
      {"5. 3. 2000", "5. 3. 2000 14:07:33", "05/03/2000 14:07:33", false},
      {"2000/03/05", "2000/03/05 14:07:33", "05/03/2000 14:07:33", false},
      {"5.3.2000", "14:07", "05/03/2000 14:07:00", false},
      {"05.03.2000", "01.01.1999 14.07.33", "05/03/2000 14:07:33", false},
      {"05.03.2000", "abcdefghijk14:07:33", "05/03/2000 14:07:33", false},
      {"Date", "Time", "Date Time", false},
  });
}

TEST(DateTime, ReadsEveryFormOfThreeNumbersWithAFourDigitYear) {
  ExpectAll({
      {"2000/3/5", "2000/3/5 14:07:33", "05/03/2000 14:07:33", false},  // Chinese
      {"2000. 03. 05.", "14:07:33", "05/03/2000 14:07:33", false},      // Hungarian
      {"31/12/2017", "14:07:33", "31/12/2017 14:07:33", false},         // only day first reads it
      {"12/31/2017", "14:07:33", "31/12/2017 14:07:33", false},         // only month first reads it
      {"05 03 2000", "14:07:33", "05/03/2000 14:07:33", false},
  });
}

TEST(DateTime, GivesThePlaceholderToWhatIsNoDayOfTheCalendar) {
  ExpectAll({
      {"5-Mar-2000", "14:07:33", "01/01/2050 14:07:33", true},
      {"5.3.00", "14:07:33", "01/01/2050 14:07:33", true},
      {"05.03.200", "14:07:33", "01/01/2050 14:07:33", true},
      {"0101201920", "14:07:33", "01/01/2050 14:07:33", true},
      {"05.03-2000", "14:07:33", "01/01/2050 14:07:33", true},
      {"31.04.2000", "14:07:33", "01/01/2050 14:07:33", true},
      {"29.02.1900", "14:07:33", "01/01/2050 14:07:33", true},
      {"29.02.2001", "14:07:33", "01/01/2050 14:07:33", true},
      {"29.02.2000", "14:07:33", "29/02/2000 14:07:33", false},
      {"00.03.2000", "14:07:33", "01/01/2050 14:07:33", true},
      {"05.13.2000", "14:07:33", "01/01/2050 14:07:33", true},
      {"05.03.1899", "14:07:33", "01/01/2050 14:07:33", true},
      {"05.03.2100", "14:07:33", "01/01/2050 14:07:33", true},
      {"2000-02-30", "14:07:33", "01/01/2050 14:07:33", true},
      {"", "", "01/01/2050 12:12:12", true},
  });
}

TEST(DateTime, TellsDayFromMonthByTheOrderDecided) {
  const std::vector<Case> either = {
      {"3/5/2000", "14:07:33", "03/05/2000 14:07:33", false},
      {"03/05/2000", "14:07:33", "03/05/2000 14:07:33", false},
  };
  ExpectAll(either, DateOrder::DayFirst);
  ExpectAll({{"3/5/2000", "14:07:33", "05/03/2000 14:07:33", false},
             {"03/05/2000", "14:07:33", "05/03/2000 14:07:33", false},
             {"12/31/2017", "14:07:33", "31/12/2017 14:07:33", false},
             {"31/12/2017", "14:07:33", "01/01/2050 14:07:33", true},
             // A '.' is day first whatever the order; a year first has its own.
             {"05.03.2000", "14:07:33", "05/03/2000 14:07:33", false},
             {"2000/03/05", "14:07:33", "05/03/2000 14:07:33", false}},
            DateOrder::MonthFirst);
  ExpectAll({{"12/31/2017", "14:07:33", "01/01/2050 14:07:33", true},
             {"5-3-2000", "14:07:33", "05/03/2000 14:07:33", false}},  // Dutch
            DateOrder::DayFirst);
  // Unknown: ten characters day first as before, a shorter date that could be
  // read either way not at all, unless both ways give the same day.
  ExpectAll({{"03/05/2000", "14:07:33", "03/05/2000 14:07:33", false},
             {"3/5/2000", "14:07:33", "01/01/2050 14:07:33", true},
             {"5/5/2000", "14:07:33", "05/05/2000 14:07:33", false}});
}

TEST(DateTime, ReadsATimeOfDayWithAnAmOrPmWordAndADate) {
  ExpectAll(
      {
          {"3/5/2000", "3/5/2000 2:07:33 PM", "05/03/2000 14:07:33", false},
          {"5.3.2000", "5.3.2000 2:07 am", "05/03/2000 02:07:00", false},
          {"5.3.2000", "05.3.2000 12:30:01 AM", "05/03/2000 00:30:01", false},
          {"5.3.2000", "12:00 PM", "05/03/2000 12:00:00", false},
          {"5.3.2000", "PM 2:07:33", "05/03/2000 14:07:33", false},
          {"5.3.2000", "9.07", "05/03/2000 09:07:00", false},
          {"2000. 03. 05.", "2000. 03. 05. 14:07:33", "05/03/2000 14:07:33", false},
      },
      DateOrder::MonthFirst);
  // The PC's own words, compared in the export's encoding.
  const std::string am = "\xEC\x98\xA4\xEC\xA0\x84";  // 오전
  const std::string pm = "\xEC\x98\xA4\xED\x9B\x84";  // 오후
  ExpectAll({{"2000-03-05", "2000-03-05 " + pm + " 2:07:33", "05/03/2000 14:07:33", false},
             {"2000-03-05", am + " 11:07:33", "05/03/2000 11:07:33", false},
             {"2000-03-05", "2:07:33 " + pm, "05/03/2000 14:07:33", false}},
            DateOrder::Unknown, am, pm);
  // Words that no language writes are never read as a 24-hour time.
  ExpectAll({{"2000-03-05", "2000-03-05 " + pm + "x 2:07:33", "05/03/2000 12:12:12", true},
             {"2000-03-05", "nachm. 2:07:33", "05/03/2000 12:12:12", true}});
}

TEST(DateTime, ReadsTheAmAndPmWordsOfEveryLanguage) {
  // Canadian, Mexican, Turkish, Chinese and Korean words on a PC that knows none of them, with
  // blanks of every kind between and inside; the date of one language with another's word.
  const std::string xia = "\xE4\xB8\x8B\xE5\x8D\x88";    // 下午
  const std::string ohu = "\xEC\x98\xA4\xED\x9B\x84";    // 오후
  const std::string ojeon = "\xEC\x98\xA4\xEC\xA0\x84";  // 오전
  ExpectAll({
      {"2024-03-05", "2024-03-05 2:07:33 p.m.", "05/03/2024 14:07:33", false},
      {"2024-03-05", "2024-03-05 12:07:33 A.M.", "05/03/2024 00:07:33", false},
      {"25/03/2024", "02:07:33\xE2\x80\xAFp.\xC2\xA0m.", "25/03/2024 14:07:33", false},
      {"25/03/2024", "02:07:33 P. M.", "25/03/2024 14:07:33", false},
      {"25/03/2024", "2:07:33 \xC3\x96S", "25/03/2024 14:07:33", false},  // ÖS
      {"25/03/2024", "2:07:33 \xC3\xB6s", "25/03/2024 14:07:33", false},  // ös
      {"2024/3/5", "2024/3/5 " + xia + "02:07:33", "05/03/2024 14:07:33", false},
      {"2024-03-05", ojeon + "\xC2\xA0" + "11:07", "05/03/2024 11:07:00", false},
      {"25/3/2567", "25/3/2567 " + ohu + " 2:07:33", "25/03/2024 14:07:33", false},
      // Words in the wrong place, of no language, or of two meanings (Finnish PM, Inari Sami AM).
      {"2024/3/5", "2:07:33 " + xia + " extra", "05/03/2024 12:12:12", true},
      {"2024/3/5", "2:07:33 " + xia + xia, "05/03/2024 12:12:12", true},
      {"2024/3/5", "2:07:33 p.mx", "05/03/2024 12:12:12", true},
      {"2024/3/5", "2:07:33 ip.", "05/03/2024 12:12:12", true},
      {"2024/3/5", "14:07:33 " + xia, "05/03/2024 12:12:12", true},
      // No word is skipped over where the last eight of nineteen characters are read.
      {"05.03.2000", "5.3.2000 PM02:07:33", "05/03/2000 14:07:33", false},
      {"2024/3/5", "2024/3/5 " + xia + "14:07:33", "05/03/2024 12:12:12", true},
      {"05.03.2000", "5.3.2000 XY02:07:33", "05/03/2000 02:07:33", false},
  });
  // An 8-bit export's words are those of the code pages (Greek, Korean), its no-break space
  // 0xA0; the UTF-8 reading takes none of them.
  const std::vector<Case> eightBit = {
      {"5/3/2024", "5/3/2024 2:07:33 \xEC.\xEC.", "05/03/2024 14:07:33", false},
      {"2024-03-05", "\xBF\xC0\xC8\xC4 2:07:33", "05/03/2024 14:07:33", false},
      {"2024-03-05", "2:07:33\xA0p.\xA0m.", "05/03/2024 14:07:33", false},
  };
  ExpectAll(eightBit, DateOrder::DayFirst, "", "", true);
  for (Case c : eightBit) {
    c.field20.replace(11, 8, "12:12:12");
    ExpectAll({{c.date, c.time, c.field20, true}}, DateOrder::DayFirst);
  }
}

TEST(DateTime, ReadsBuddhistEraYearsAsGregorianOnes) {
  ExpectAll({
      {"5.3.2567", "5.3.2567 14:07:33", "05/03/2024 14:07:33", false},
      {"2567-03-05", "14:07:33", "05/03/2024 14:07:33", false},
      {"29/2/2567", "29/2/2567 9:07:33", "29/02/2024 09:07:33", false},
      {"29/2/2566", "14:07:33", "01/01/2050 14:07:33", true},
      {"31/12/2642", "14:07:33", "31/12/2099 14:07:33", false},
      {"1/1/2643", "14:07:33", "01/01/2050 14:07:33", true},
      {"1/1/2443", "14:07:33", "01/01/1900 14:07:33", false},
      {"31/12/2442", "14:07:33", "01/01/2050 14:07:33", true},
  });
  // Such a date tells the order of day and month as its Gregorian year would.
  EXPECT_EQ(conversion::OrderShownBy("25/3/2567"), DateOrder::DayFirst);
  EXPECT_EQ(conversion::OrderShownBy("3/25/2567"), DateOrder::MonthFirst);
  EXPECT_EQ(conversion::OrderShownBy("29/2/2566"), DateOrder::Unknown);
}

TEST(DateTime, TakesADateAloneAsMidnight) {
  ExpectAll({{"05.03.2000", "05.03.2000", "05/03/2000 00:00:00", false},
             {"3/5/2000", "3/5/2000", "05/03/2000 00:00:00", false}},
            DateOrder::MonthFirst);
}

TEST(DateTime, GivesThePlaceholderToATimeOutOfRangeOrInNoFormRead) {
  ExpectAll({
      {"05.03.2000", "05.03.2000 25:07:33", "05/03/2000 12:12:12", true},
      {"05.03.2000", "05.03.2000 14:60:33", "05/03/2000 12:12:12", true},
      {"05.03.2000", "05.03.2000 14:07:60", "05/03/2000 12:12:12", true},
      {"05.03.2000", "25:99:99", "05/03/2000 12:12:12", true},
      {"05.03.2000", "05.03.2000 13:07 PM", "05/03/2000 12:12:12", true},
      {"05.03.2000", "05.03.2000 0:07 AM", "05/03/2000 12:12:12", true},
      {"05.03.2000", "05.03.2000 14:7:33", "05/03/2000 12:12:12", true},
      {"05.03.2000", "2000-03-05T14:07:33Z", "05/03/2000 12:12:12", true},
      {"05.03.2000", "Mon 14:07", "05/03/2000 12:12:12", true},
      {"05.03.2000", "abcdefghijklmnopqrs", "05/03/2000 12:12:12", true},
  });
}

TEST(DateTime, ReadsAValueTheSameWithSpacesAroundIt) {
  const std::vector<Case> bare = {
      {"05.03.2000", "05.03.2000 14:07:33", "05/03/2000 14:07:33", false},
      {"5.3.2000", "2:07 PM", "05/03/2000 14:07:00", false},
      {"3/5/2000", "3/5/2000 2:07:33 PM", "05/03/2000 14:07:33", false},
      {"2000-03-05", "PM2:07:33", "05/03/2000 14:07:33", false},
      {"31/12/2017", "5.3.2000", "01/01/2050 00:00:00", true},
      {"2/30/2024", "25:99", "01/01/2050 12:12:12", true},
      // Eighteen characters, which a leading space must not make the nineteen read from their end.
      {"05.03.2000", "abcdefghij14:07:33", "05/03/2000 12:12:12", true},
  };
  for (const std::string before : {"", " ", "   "}) {
    for (const std::string after : {"", " ", "  "}) {
      // Pads the date, the time, then both.
      for (const int padded : {1, 2, 3}) {
        std::vector<Case> cases = bare;
        for (Case& c : cases) {
          if ((padded & 1) != 0) c.date.insert(0, before).append(after);
          if ((padded & 2) != 0) c.time.insert(0, before).append(after);
        }
        ExpectAll(cases, DateOrder::MonthFirst);
      }
    }
  }
  // Spaces alone are an empty value; tabs and no-break spaces stay part of it.
  ExpectAll({{"   ", "   ", "01/01/2050 12:12:12", true},
             {"\t05.03.2000", "14:07:33\t", "01/01/2050 12:12:12", true},
             {"\xC2\xA0"
              "05.03.2000",
              "\xC2\xA0"
              "14:07:33",
              "01/01/2050 12:12:12", true}});
}

TEST(DateTime, ReadsTheUsualLineAsTheFormsOneByOneDo) {
  // Random ten- and nineteen-byte texts of digits and separators take the
  // short way or the long one; both must agree.
  std::mt19937 random(7);
  const std::string chars = "0123456789./-: ";
  const auto pick = [&](std::size_t n, const std::string& from) {
    std::string text;
    for (std::size_t i = 0; i < n; ++i) text.push_back(from[random() % from.size()]);
    return text;
  };
  for (int round = 0; round < 20000; ++round) {
    std::string date = pick(10, "0123456789");
    date[2] = date[5] = chars[10 + random() % 4];
    if (round % 3 == 0) date = pick(10, chars);
    std::string time = pick(11, chars) + pick(8, "0123456789");
    time[13] = ':';
    time[16] = ':';
    for (const DateOrder order : {DateOrder::Unknown, DateOrder::DayFirst, DateOrder::MonthFirst}) {
      bool placeholder = false;
      const std::string quick = Read(date, time, placeholder, order);
      const conversion::DateRules rules{order, "", ""};
      std::string out(conversion::kDateTimeRoom, ' ');
      conversion::DateNotes notes;
      EXPECT_EQ(quick, conversion::DateTimeSlowly(date, time, rules, out, notes))
          << date << " / " << time;
    }
  }
}

TEST(DateTime, LooksAtTheUsualShapeAsTheByteLoopDoes) {
  // Bytes around every bound, and a byte with the high bit, at every place.
  const std::string bytes = std::string("/.:0123456789 A\xC3", 16);
  std::string date = "05.03.2000" + std::string(6, ' ');
  std::string time = "05.03.2000 14:07:33";
  for (std::size_t place = 0; place < 29; ++place) {
    for (const char byte : bytes) {
      std::string d = date;
      std::string t = time;
      (place < 10 ? d[place] : t[place - 10]) = byte;
      EXPECT_EQ(conversion::UsualShape(d.data(), t.data()),
                conversion::UsualShapePlainly(d.data(), t.data()))
          << d << " / " << t;
    }
  }
}

}  // namespace
