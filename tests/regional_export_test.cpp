#include <string>
#include <vector>

#include "test_support.h"

// Exports as PCs of other regional settings write them, converted whole.
namespace {

using conversion::DateOrder;
using test::ContactWith;
using test::Fields;

class RegionalExportTest : public testing::Test {
 protected:
  // Converts lines, ended by CR LF, as START does; returns the message.
  std::string Run(const std::vector<std::string>& lines, const std::string& operatorName = "NAME") {
    std::string log;
    for (const std::string& line : lines) log += line + "\r\n";
    dir.Write("LOG.CSV", log);
    return RunFile(operatorName);
  }

  std::string RunFile(const std::string& operatorName = "NAME") {
    host.messages.clear();
    return test::Convert(dir.path(), "LOG.CSV", host, operatorName);
  }

  // Returns field k of every record.
  std::vector<std::string> Field(std::size_t k) const {
    std::vector<std::string> values;
    for (const std::string& record : test::Records(dir.Read("marigold.txt"))) {
      values.push_back(Fields(record).at(k));
    }
    return values;
  }

  static std::string Dated(const std::string& date, const std::string& time = "14:07:33") {
    return ContactWith({{2, date}, {3, time}});
  }

  test::TempDir dir;
  test::Recorder host;
};

constexpr const char* kFinish3 = "FINISH MARIGOLD.TXT with 3 DATA in FILE";

TEST_F(RegionalExportTest, ReadsAMonthFirstExportAndSaysWhy) {
  EXPECT_EQ(Run({test::kHeader, Dated("3/5/2000", "3/5/2000 2:07:33 PM"), Dated("12/31/2017")}),
            std::string(kFinish3) + "\nDates were read month first, as 12/31/2017 shows.");
  EXPECT_EQ(Field(20),
            (std::vector<std::string>{"Date Time", "05/03/2000 14:07:33", "31/12/2017 14:07:33"}));
}

TEST_F(RegionalExportTest, AsksThePcOnlyWhenTheDatesDoNotTell) {
  host.regional.order = DateOrder::MonthFirst;
  EXPECT_EQ(Run({Dated("3/5/2000"), Dated("4/6/2000"), Dated("10/11/2000")}),
            std::string(kFinish3) +
                "\nDates were read month first, as this PC's regional settings write them.");
  EXPECT_EQ(Field(20)[0], "05/03/2000 14:07:33");

  host.regional.order = DateOrder::DayFirst;
  EXPECT_EQ(Run({Dated("3/5/2000"), Dated("4/6/2000"), Dated("10/11/2000")}),
            std::string(kFinish3) +
                "\nDates were read day first, as this PC's regional settings write them.");
  EXPECT_EQ(Field(20)[0], "03/05/2000 14:07:33");

  // The dates outvote the PC, and dates that need no order need no sentence.
  EXPECT_EQ(Run({Dated("13/5/2000"), Dated("4/6/2000"), Dated("10/11/2000")}), kFinish3);
  host.regional.order = DateOrder::MonthFirst;
  EXPECT_EQ(Run({Dated("2000-03-05"), Dated("05.03.2000"), Dated("2000/3/5")}), kFinish3);
}

TEST_F(RegionalExportTest, NeverCitesADateThatIsNotRead) {
  // A month-first PC, and a typing slip among day-first dates.
  host.regional.order = DateOrder::MonthFirst;
  const std::string placeholderLine3 =
      "\nPlaceholder date 01/01/2050 or time 12:12:12 written for 1 record whose date or time is "
      "in no form that is read: line 3";
  EXPECT_EQ(Run({test::kHeader, Dated("25/03/2000"), Dated("2/30/2024"), Dated("05/03/2000")}),
            "FINISH MARIGOLD.TXT with 4 DATA in FILE" + placeholderLine3);
  EXPECT_EQ(Field(20), (std::vector<std::string>{"Date Time", "25/03/2000 14:07:33",
                                                 "01/01/2050 14:07:33", "05/03/2000 14:07:33"}));
  // The slip alone has a number above 12: the PC decides, and the slip is not cited.
  host.regional.order = DateOrder::DayFirst;
  const std::string message = Run({test::kHeader, Dated("3/5/2000"), Dated("2/30/2024")});
  EXPECT_EQ(message, std::string(kFinish3) + placeholderLine3 +
                         "\nDates were read day first, as this PC's regional settings write them.");
  EXPECT_EQ(message.find("2/30/2024"), std::string::npos);
}

TEST_F(RegionalExportTest, ReadsDatesAndTimesWithSpacesAroundThem) {
  // A month-first PC; the day-first date decides whatever spaces surround it.
  host.regional.order = DateOrder::MonthFirst;
  for (const std::string quote : {"", "\""}) {
    for (const auto& pad :
         std::vector<std::pair<std::string, std::string>>{{" ", ""}, {"", " "}, {"  ", "  "}}) {
      const auto value = [&](const std::string& text) {
        return std::string(quote).append(pad.first).append(text).append(pad.second).append(quote);
      };
      EXPECT_EQ(Run({test::kHeader, Dated(value("25/03/2000"), value("2:07:33 PM")),
                     Dated(value("05/03/2000"), value("05.03.2000 14:07:33"))}),
                kFinish3)
          << quote << pad.first << "|" << pad.second;
      EXPECT_EQ(Field(20), (std::vector<std::string>{"Date Time", "25/03/2000 14:07:33",
                                                     "05/03/2000 14:07:33"}));
    }
  }
}

TEST_F(RegionalExportTest, ListsWhatNoOrderCanRead) {
  // Neither the dates nor the PC tell: a short date read either way gets the placeholder.
  EXPECT_EQ(Run({Dated("3/5/2000"), Dated("03/05/2000"), Dated("5-Mar-2000")}),
            std::string(kFinish3) +
                "\nPlaceholder date 01/01/2050 or time 12:12:12 written for 2 records whose date "
                "or time is in no form that is read: lines 1, 3");
  EXPECT_EQ(Field(20)[1], "03/05/2000 14:07:33");
}

TEST_F(RegionalExportTest, ReadsThePcsOwnAmAndPmWords) {
  const std::string pm = "\xEC\x98\xA4\xED\x9B\x84";  // 오후, in a UTF-8 export
  host.regional.am = "\xEC\x98\xA4\xEC\xA0\x84";
  host.regional.pm = pm;
  Run({Dated("2000-03-05", "2000-03-05 " + pm + " 2:07:33"), ContactWith(8, "J\xC3\xBCrg")});
  EXPECT_EQ(Field(20)[0], "05/03/2000 14:07:33");
  // An 8-bit export cannot hold them: what its code page makes of them matches nothing.
  EXPECT_NE(Run({Dated("2000-03-05", "?? 2:07:33"), ContactWith(8, "J\xFCrg")}).find("Placeholder"),
            std::string::npos);
  EXPECT_EQ(Field(20)[0], "05/03/2000 12:12:12");
  host.regional.pm = "nachm.";
  Run({Dated("2000-03-05", "2:07:33 nachm."), ContactWith(8, "J\xFCrg")});
  EXPECT_EQ(Field(20)[0], "05/03/2000 14:07:33");
}

TEST_F(RegionalExportTest, ReadsTheExportsOfPcsOfSixOtherSettingsOnThisPc) {
  // Each setting's Date and Time as Windows writes them (short date; short date and long
  // time), in UTF-8 and in the PC's code page, each word given in both; a day past the 12th
  // in each export tells day first.
  struct Contact {
    std::string date, time, field20;
  };
  struct Setting {
    const char* name;
    std::vector<Contact> contacts;
    std::vector<std::pair<std::string, std::string>> codePage;  // each word's bytes there
  };
  const std::string shangwu = "\xE4\xB8\x8A\xE5\x8D\x88";  // 上午
  const std::string xiawu = "\xE4\xB8\x8B\xE5\x8D\x88";    // 下午
  const std::string ojeon = "\xEC\x98\xA4\xEC\xA0\x84";    // 오전
  const std::string ohu = "\xEC\x98\xA4\xED\x9B\x84";      // 오후
  const std::string pimu = "\xCF\x80.\xCE\xBC.";           // π.μ.
  const std::string mimu = "\xCE\xBC.\xCE\xBC.";           // μ.μ.
  const std::vector<Setting> settings = {
      {"en-CA",
       {{"2024-03-05", "2024-03-05 2:07:33 p.m.", "05/03/2024 14:07:33"},
        {"2024-03-05", "2024-03-05 12:30:01 a.m.", "05/03/2024 00:30:01"},
        {"2024-12-31", "2024-12-31 12:05:00 p.m.", "31/12/2024 12:05:00"}},
       {}},
      {"es-MX",
       {{"05/03/2024", "05/03/2024 02:07:33 p. m.", "05/03/2024 14:07:33"},
        {"25/03/2024", "25/03/2024 11:59:59 a. m.", "25/03/2024 11:59:59"},
        {"12/11/2024", "12/11/2024 12:00:01 a. m.", "12/11/2024 00:00:01"}},
       {}},
      {"zh-TW",
       {{"2024/3/5", "2024/3/5 " + xiawu + " 02:07:33", "05/03/2024 14:07:33"},
        {"2024/12/31", "2024/12/31 " + shangwu + " 09:15:00", "31/12/2024 09:15:00"},
        {"2024/3/5", "2024/3/5 " + xiawu + " 12:07:33", "05/03/2024 12:07:33"}},
       {{shangwu, "\xA4W\xA4\xC8"}, {xiawu, "\xA4U\xA4\xC8"}}},
      {"ko-KR",
       {{"2024-03-05", "2024-03-05 " + ohu + " 2:07:33", "05/03/2024 14:07:33"},
        {"2024-03-05", "2024-03-05 " + ojeon + " 12:30:01", "05/03/2024 00:30:01"},
        {"2024-12-31", "2024-12-31 " + ojeon + " 9:15:00", "31/12/2024 09:15:00"}},
       {{ojeon, "\xBF\xC0\xC0\xFC"}, {ohu, "\xBF\xC0\xC8\xC4"}}},
      {"th-TH",
       {{"5/3/2567", "5/3/2567 14:07:33", "05/03/2024 14:07:33"},
        {"25/3/2567", "25/3/2567 9:15:00", "25/03/2024 09:15:00"},
        {"29/2/2567", "29/2/2567 23:59:59", "29/02/2024 23:59:59"}},
       {}},
      {"el-GR",
       {{"5/3/2024", "5/3/2024 2:07:33 " + mimu, "05/03/2024 14:07:33"},
        {"25/3/2024", "25/3/2024 9:15:00 " + pimu, "25/03/2024 09:15:00"},
        {"12/11/2024", "12/11/2024 12:05:00 " + mimu, "12/11/2024 12:05:00"}},
       {{pimu, "\xF0.\xEC."}, {mimu, "\xEC.\xEC."}}},
  };
  // This PC's own settings: on Linux those of LANG, under Wine en-US.
  host.regional = conversion::platform::ReadRegionalDates();
  for (const Setting& setting : settings) {
    for (const bool utf8 : {true, false}) {
      std::vector<std::string> lines = {test::kHeader};
      std::vector<std::string> expected = {"Date Time"};
      for (const Contact& contact : setting.contacts) {
        std::string time = contact.time;
        for (const auto& [word, bytes] : setting.codePage) {
          if (const auto at = time.find(word); !utf8 && at != std::string::npos) {
            time.replace(at, word.size(), bytes);
          }
        }
        // A name of two bytes that only UTF-8 reads as one character tells the encoding.
        lines.push_back(
            ContactWith({{2, contact.date}, {3, time}, {8, utf8 ? "J\xC3\xBCrg" : "Jurg"}}));
        expected.push_back(contact.field20);
      }
      EXPECT_EQ(Run(lines), "FINISH MARIGOLD.TXT with 4 DATA in FILE")
          << setting.name << (utf8 ? " UTF-8" : " code page");
      EXPECT_EQ(Field(20), expected) << setting.name << (utf8 ? " UTF-8" : " code page");
    }
  }
}

TEST_F(RegionalExportTest, SplitsAtTheListSeparatorTheHeaderShows) {
  for (const char separator : {';', '\t'}) {
    std::vector<std::string> lines = {test::kHeader, test::kContact,
                                      ContactWith(10, "\"Zurich, CH; Bern\"")};
    for (std::string& line : lines) std::replace(line.begin(), line.end(), ',', separator);
    lines[2].replace(lines[2].find("Zurich") + 6, 1, ",");
    lines.push_back(ContactWith(10, "\"two\r\nlines\""));
    std::replace(lines[3].begin(), lines[3].end(), ',', separator);
    EXPECT_EQ(Run(lines), "FINISH MARIGOLD.TXT with 4 DATA in FILE");
    EXPECT_EQ(Field(1), (std::vector<std::string>{"Call", "HB9XYZ/P", "HB9XYZ/P", "HB9XYZ/P"}));
    EXPECT_EQ(Field(19)[2], "Zurich, CH; Bern");
    EXPECT_EQ(Field(19)[3], "two lines");
    EXPECT_EQ(Field(7)[1], "14");
  }
  // Without a header that splits there, the comma as before: a line of ';' is short.
  std::string contact = test::kContact;
  std::replace(contact.begin(), contact.end(), ',', ';');
  EXPECT_EQ(Run({contact}),
            "FINISH MARIGOLD.TXT with 0 DATA in FILE\n"
            "Skipped 1 line with fewer than 26 fields: line 1");
}

TEST_F(RegionalExportTest, ConvertsAUtf16ExportAsItsUtf8Text) {
  // Lines of ASCII but for two names, which take their UTF-16 units in place of a '@'.
  const auto line = [](std::string_view ascii) {
    return std::u16string(ascii.begin(), ascii.end());
  };
  std::u16string units = u"\uFEFF" + line(test::kHeader) + u"\r\n" + line(ContactWith(8, "@")) +
                         u"\r\n" + line(ContactWith(8, "@")) + u"\n";
  units.replace(units.find(u'@'), 1, u"J\u00FCrg \U0001F4FB");
  units.replace(units.find(u'@'), 1, u"Zo\u00EB");
  for (const bool bigEndian : {false, true}) {
    const std::string bytes = test::Utf16Bytes(units, bigEndian);
    dir.Write("LOG.CSV", bytes);
    EXPECT_EQ(RunFile("M\xC3\x9CLLER"), kFinish3);
    EXPECT_EQ(Field(4),
              (std::vector<std::string>{"Name", "J\xC3\xBCrg \xF0\x9F\x93\xBB", "Zo\xC3\xAB"}));
    EXPECT_EQ(Field(3)[1], "M\xC3\x9CLLER");
    EXPECT_EQ(dir.Read("marigold.txt").find('\0'), std::string::npos);
  }
}

TEST_F(RegionalExportTest, SaysWhereTheHeaderDiffersFromTheColumnsExpected) {
  std::string header = test::kHeader;
  header.replace(header.find("Band,Mode"), 9, "MHz,Modus");
  EXPECT_EQ(Run({header, test::kContact, test::kContact}),
            std::string(kFinish3) +
                "\nThe export's header differs from the expected columns: column 6 is \"MHz\" "
                "where \"Band\" is expected, column 7 is \"Modus\" where \"Mode\" is expected.");
  // Records are still written by position.
  EXPECT_EQ(Field(7)[1], "14");
  EXPECT_EQ(Run({" dxcc " + std::string(test::kHeader).substr(4), test::kContact, test::kContact}),
            kFinish3);
}

}  // namespace
