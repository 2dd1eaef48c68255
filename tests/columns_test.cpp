// Exports whose first line names their columns in another order, with more
// columns or fewer, converted into the records their values give.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <random>
#include <string>
#include <vector>

#include "export_head.h"
#include "test_support.h"

namespace {

namespace column = conversion::column;
using conversion::kColumnList;
using conversion::kUsedFields;

// Holds the values of a contact, one for each column in the order INFO lists them.
using Contact = std::array<std::string, kUsedFields>;

// Returns contacts whose values are told apart by column and by contact, some
// quoted around a separator, a quote or blanks, some empty.
std::vector<Contact> Contacts() {
  const std::array<std::string, 5> dates = {"05.03.2000", "31/12/2017", "1/2/2018", "2024-02-29",
                                            "7.8.1999"};
  const std::array<std::string, 4> bands = {"20m", "40M", "99m", ""};
  std::vector<Contact> contacts;
  for (std::size_t n = 0; n < 12; ++n) {
    Contact contact;
    for (std::size_t c = 0; c < kUsedFields; ++c) {
      contact[c] = std::string(kColumnList[c].substr(0, 3)) + std::to_string(n);
    }
    contact[column::DXCC] = n % 3 == 0 ? "W" : "HB9";
    contact[column::Call] = "HB9X" + std::to_string(n) + "/P";
    contact[column::Date] = dates[n % dates.size()];
    contact[column::Time] = "05.03.2000 14:07:" + std::to_string(10 + n);
    contact[column::Band] = bands[n % bands.size()];
    contact[column::QSLR] = n % 2 == 0 ? "1" : "s";
    contact[column::Comment] = n % 2 == 0 ? "\"Nice, chat; \"\"long\"\"\t \"" : "";
    contact[column::Name] = n % 3 == 1 ? "  \"  Hans \"  " : "Hans";
    contact[column::Locator] = "JN47AB";
    contacts.push_back(contact);
  }
  return contacts;
}

// Tells how an export lays out its columns: which, in which order, with which
// other columns among them, split at which separator.
struct Layout {
  std::vector<std::string> header;  // the first line's names, as written
  std::vector<int> source;          // the column each field holds; -1 for another column
  char separator = ',';
};

// Returns the line of a contact in layout.
std::string LineOf(const Layout& layout, const Contact& contact, std::size_t n) {
  std::string line;
  for (std::size_t k = 0; k < layout.source.size(); ++k) {
    if (k > 0) line += layout.separator;
    const int c = layout.source[k];
    line += c >= 0 ? contact[static_cast<std::size_t>(c)] : "x" + std::to_string(n * 7 + k);
  }
  return line;
}

// Returns the export of contacts in layout, its header line first.
std::string ExportOf(const Layout& layout, const std::vector<Contact>& contacts) {
  std::string text;
  for (std::size_t k = 0; k < layout.header.size(); ++k) {
    text += (k > 0 ? std::string(1, layout.separator) : "") + layout.header[k];
  }
  text += "\r\n";
  for (std::size_t n = 0; n < contacts.size(); ++n) text += LineOf(layout, contacts[n], n) + "\r\n";
  return text;
}

// Returns INFO's layout.
Layout InfoLayout() {
  Layout layout;
  for (std::size_t c = 0; c < kUsedFields; ++c) {
    layout.header.emplace_back(kColumnList[c]);
    layout.source.push_back(static_cast<int>(c));
  }
  return layout;
}

// Returns a random layout: columns in any order, some left out (never Call,
// Date or Time), others among them, names in any case, quoted, with blanks.
Layout RandomLayout(std::mt19937& random, std::vector<bool>& leftOut) {
  const auto chance = [&random](unsigned percent) { return random() % 100 < percent; };
  Layout layout;
  layout.separator = std::array{',', ';', '\t'}[random() % 3];
  leftOut.assign(kUsedFields, false);
  std::vector<int> order;
  for (std::size_t c = 0; c < kUsedFields; ++c) {
    const bool needed = c == column::Call || c == column::Date || c == column::Time;
    leftOut[c] = !needed && chance(20);
    if (!leftOut[c]) order.push_back(static_cast<int>(c));
  }
  std::shuffle(order.begin(), order.end(), random);
  const std::array<std::string, 6> others = {"IOTA", "State", "County", "Power", "Sat", "DXCC2"};
  for (std::size_t extra = random() % 7; extra > 0; --extra) {
    order.insert(order.begin() + static_cast<std::ptrdiff_t>(random() % (order.size() + 1)), -1);
  }
  for (const int c : order) {
    std::string name = c >= 0 ? std::string(kColumnList[static_cast<std::size_t>(c)])
                              : others[random() % others.size()];
    for (char& ch : name) {
      if (chance(30)) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
      if (chance(30)) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    }
    if (chance(30)) name.insert(0, " ").append("  ");
    if (chance(30)) name.insert(0, "\"").append("\"");
    layout.header.push_back(name);
    layout.source.push_back(c);
  }
  return layout;
}

class ColumnsTest : public testing::Test {
 protected:
  // Converts text as the export and returns the message.
  std::string Run(const std::string& text) {
    dir.Write("LOG.CSV", text);
    test::Recorder host;
    return test::Convert(dir.path(), "LOG.CSV", host);
  }
  std::vector<std::string> Records() const { return test::Records(dir.Read("marigold.txt")); }

  test::TempDir dir;
};

TEST_F(ColumnsTest, AnyLayoutGivesTheRecordsOfInfosOrder) {
  const std::vector<Contact> contacts = Contacts();
  std::mt19937 random(20261209);
  for (int round = 0; round < 200; ++round) {
    std::vector<bool> leftOut;
    const Layout layout = RandomLayout(random, leftOut);
    // A column left out reads as an empty value.
    std::vector<Contact> blanked = contacts;
    for (Contact& contact : blanked) {
      for (std::size_t c = 0; c < kUsedFields; ++c) {
        if (leftOut[c]) contact[c].clear();
      }
    }
    Run(ExportOf(InfoLayout(), blanked));
    std::vector<std::string> expected = Records();
    const std::string message = Run(ExportOf(layout, contacts));
    std::vector<std::string> records = Records();
    ASSERT_EQ(records.size(), contacts.size() + 1) << message;
    expected.erase(expected.begin());
    records.erase(records.begin());
    ASSERT_EQ(records, expected) << "round " << round << ": " << ExportOf(layout, {});
    EXPECT_EQ(message.find("header differs"), std::string::npos) << message;
  }
}

TEST_F(ColumnsTest, TellsHowTheColumnsWereFoundAndWhichAreMissing) {
  // INFO's order less QSL-Mgr, WPX and the six columns no record shows, QSLR and Mode swapped.
  Layout layout = InfoLayout();
  std::vector<std::size_t> keep;
  for (std::size_t c = 0; c < kUsedFields; ++c) {
    if (c != column::QSLMgr && c != column::WPX && c != column::End && c != column::QRG &&
        c != column::Operator && c != column::MyQTH && c != column::Contest &&
        c != column::Region) {
      keep.push_back(c);
    }
  }
  Layout fewer;
  for (const std::size_t c : keep) {
    fewer.header.push_back(layout.header[c]);
    fewer.source.push_back(static_cast<int>(c));
  }
  std::swap(fewer.header[3], fewer.header[4]);
  std::swap(fewer.source[3], fewer.source[4]);
  const std::string message = Run(ExportOf(fewer, Contacts()));
  EXPECT_TRUE(message.starts_with("FINISH MARIGOLD.TXT with 13 DATA in FILE\n")) << message;
  EXPECT_NE(message.find("\nColumns were found by the names in the export's first line, which "
                         "orders them otherwise than INFO.\n"
                         "Columns the export's first line does not name, their fields of "
                         "marigold.txt left blank: QSL-Mgr (field 18), WPX (field 34)."),
            std::string::npos)
      << message;
  EXPECT_EQ(message.find("header differs"), std::string::npos) << message;
  const std::vector<std::string> records = Records();
  ASSERT_EQ(records.size(), 13u);
  EXPECT_EQ(test::Fields(records[0])[7], "Band");  // the header line is mapped too
  EXPECT_EQ(test::Fields(records[1])[18], " ");
  EXPECT_EQ(test::Fields(records[1])[34], " ");
  EXPECT_EQ(test::Fields(records[1])[20], "05/03/2000 14:07:10");

  // INFO's own order, a column spelled otherwise: by position, with the notice as before.
  layout.header[column::Locator] = "Locator";
  const std::string info = Run(ExportOf(layout, Contacts()));
  EXPECT_NE(info.find("The export's header differs from the expected columns: column 12 is "
                      "\"Locator\" where \"QTH-Locator\" is expected."),
            std::string::npos)
      << info;
  EXPECT_EQ(info.find("Columns"), std::string::npos) << info;
  EXPECT_EQ(test::Fields(Records()[1])[38], "JN47AB");
}

TEST_F(ColumnsTest, CountsAShortLineByTheColumnsTheHeaderNames) {
  // Five columns: a line of four is short, one of six converts, a quoted value
  // over two lines is joined.
  const std::string text =
      "Time;Name;Call;Date;Band\r\n"
      "05.03.2000 14:07:33;Hans;HB9A;05.03.2000;20m\r\n"
      "05.03.2000 14:07:33;Hans;HB9B;05.03.2000\r\n"
      "05.03.2000 14:07:33;Hans;HB9C;05.03.2000;20m;more\r\n"
      "05.03.2000 14:07:33;\"Hans\r\nMeier\";HB9D;05.03.2000;20m\r\n";
  const std::string message = Run(text);
  EXPECT_NE(message.find("FINISH MARIGOLD.TXT with 4 DATA in FILE\n"
                         "Skipped 1 line with fewer than 5 fields: line 3\n"),
            std::string::npos)
      << message;
  const std::vector<std::string> records = Records();
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(test::Fields(records[2])[1], "HB9C");
  EXPECT_EQ(test::Fields(records[3])[4], "Hans Meier");
  EXPECT_EQ(test::Fields(records[3])[1], "HB9D");
  EXPECT_EQ(test::Fields(records[3])[38], " ");
}

TEST_F(ColumnsTest, ReadsTheDatesWhereTheHeaderPutsThem) {
  // Only the Date column shows month first; the column at Date's old place holds day-first dates.
  const std::string text =
      "Call,Time,Name,Date\r\n"
      "HB9A,05.03.2000 14:07:33,31/12/2017,12/31/2017\r\n"
      "HB9B,05.03.2000 14:07:33,13/01/2017,5/3/2000\r\n";
  const std::string message = Run(text);
  EXPECT_NE(message.find("Dates were read month first, as 12/31/2017 shows."), std::string::npos)
      << message;
  EXPECT_EQ(test::Fields(Records()[2])[20], "03/05/2000 14:07:33");
}

TEST_F(ColumnsTest, OddHeadersEndCleanly) {
  // A name given twice: the first counts.
  Run("Call,Date,Time,Call,Date\r\nHB9A,05.03.2000,05.03.2000 14:07:33,XX,31.12.2017\r\n");
  EXPECT_EQ(test::Fields(Records()[1])[1], "HB9A");
  EXPECT_EQ(test::Fields(Records()[1])[20], "05/03/2000 14:07:33");

  // 300 columns, the named ones at the end; a line of 299 fields is short.
  std::string header;
  std::string line;
  for (int k = 0; k < 297; ++k) {
    header += "X" + std::to_string(k) + ",";
    line += ",";
  }
  std::string shorter = line.substr(1);
  header += "Time,Date,Call\r\n";
  line += "05.03.2000 14:07:33,05.03.2000,HB9A\r\n";
  shorter += "05.03.2000 14:07:33,05.03.2000,HB9B\r\n";
  const std::string wide = Run(header + line + shorter);
  EXPECT_NE(wide.find("with 2 DATA in FILE\nSkipped 1 line with fewer than 300 fields: line 3"),
            std::string::npos)
      << wide;

  // A first line longer than the head read for it names nothing: by position.
  const std::string longName(70 * 1024, 'C');
  EXPECT_NE(Run("Call,Date,Time," + longName + "\r\nHB9A,05.03.2000\r\n").find("with 0 DATA"),
            std::string::npos);

  // A header and no contacts.
  EXPECT_EQ(Run("Time,Date,Call"),
            "FINISH MARIGOLD.TXT with 1 DATA in FILE\n"
            "Columns were found by the names in the export's first line, which orders them "
            "otherwise than INFO.\n"
            "Columns the export's first line does not name, their fields of marigold.txt left "
            "blank: DXCC (field 33), Band (field 7), Mode (fields 6 and 48), Name (field 4), "
            "Comment (fields 19 and 44), QTH-Locator (fields 38 and 39), QTH (field 5), RSTS "
            "(field 9), RSTS_NR (field 11), RSTR (field 8), RSTR_NR (field 10), QSLR (field 16), "
            "QSLS (field 14), QSL-Action (field 15), SPEZ (field 12), QSL-Mgr (field 18), WPX "
            "(field 34).");

  // UTF-16 and UTF-8 with a mark: the header is read as the text it holds.
  const std::u16string utf16 =
      u"\uFEFFTime\tCall\tDate\r\n05.03.2000 14:07:33\tHB9\u00C4\t5.3.2000\r\n";
  Run(test::Utf16Bytes(utf16));
  EXPECT_EQ(test::Fields(Records()[1])[1], "HB9\xC3\x84");
  Run("\xEF\xBB\xBF"
      "Date;Call;Time\r\n05.03.2000;HB9A;05.03.2000 14:07:33\r\n");
  EXPECT_EQ(test::Fields(Records()[1])[20], "05/03/2000 14:07:33");
}

}  // namespace
