#include <array>
#include <climits>
#include <clocale>
#include <string>

#include "run_outcome.h"
#include "test_support.h"

namespace {

using test::Fields;

// Returns a contact line whose call sign is call.
std::string Contact(const std::string& call) { return test::ContactWith(1, call); }

// Returns a contact line whose operator's name is name.
std::string ContactNamed(const std::string& name) { return test::ContactWith(8, name); }

class ConvertFileTest : public testing::Test {
 protected:
  // Runs a conversion of the export as START does and returns the message shown.
  std::string Run(const std::string& name = "LOG.CSV", const std::string& operatorName = "NAME") {
    form.xx = 0;
    form.NomeFile = name;
    form.NomeUtente = operatorName;
    host.messages.clear();
    conversion::ConvertFile(form, dir.path(), host);
    EXPECT_EQ(host.messages.size(), 1u);
    return host.messages.empty() ? std::string() : host.messages.back();
  }

  std::vector<std::string> Output() const { return test::Records(dir.Read("marigold.txt")); }

  std::string Path(const std::string& name) const { return test::PathText(dir.path() / name); }

  test::TempDir dir;
  conversion::FormState form;
  test::Recorder host;
};

TEST_F(ConvertFileTest, ConvertsAnExportWithItsHeaderLine) {
  std::string log = std::string(test::kHeader) + "\r\n";
  for (int i = 0; i < 10; ++i) log += Contact("HB9AA" + std::to_string(i)) + "\r\n";
  dir.Write("LOG.CSV", log);

  EXPECT_EQ(Run(), "FINISH MARIGOLD.TXT with 11 DATA in FILE");
  const auto records = Output();
  ASSERT_EQ(records.size(), 11u);
  EXPECT_EQ(Fields(records[0])[1], "Call");
  EXPECT_EQ(Fields(records[10])[1], "HB9AA9");
  EXPECT_EQ(form.xx, 11);
  EXPECT_EQ(host.counter, "11");
  EXPECT_EQ(form.Linea, "");
  EXPECT_EQ(form.Linea1, "");
}

TEST_F(ConvertFileTest, EmptyExportGivesAnEmptyOutput) {
  dir.Write("LOG.CSV", "");
  EXPECT_EQ(Run(), "FINISH MARIGOLD.TXT with 0 DATA in FILE");
  EXPECT_EQ(dir.Read("marigold.txt"), "");
}

TEST_F(ConvertFileTest, ReplacesAnEarlierOutput) {
  dir.Write("marigold.txt", std::string(5000, 'x'));
  dir.Write("LOG.CSV", Contact("HB9AA"));
  EXPECT_EQ(Run(), "FINISH MARIGOLD.TXT with 1 DATA in FILE");
  ASSERT_EQ(Output().size(), 1u);
}

TEST_F(ConvertFileTest, EndsLinesAtCrLfCrOrLf) {
  dir.Write("LOG.CSV", Contact("A1") + "\r\n" + Contact("B2") + "\r" + Contact("C3") + "\n" +
                           Contact("D4") + "\n\r" + Contact("E5") + "\r\n");
  EXPECT_EQ(Run(),
            "FINISH MARIGOLD.TXT with 5 DATA in FILE\n"
            "Skipped 1 line with fewer than 26 fields: line 5");
  const auto records = Output();
  ASSERT_EQ(records.size(), 5u);
  const std::array<std::string, 5> calls = {"A1", "B2", "C3", "D4", "E5"};
  for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(Fields(records[i])[1], calls[i]);
}

TEST_F(ConvertFileTest, CrLfAcrossTheReadBlockIsOneLineEnd) {
  // The CR is the last byte of the first 1 MiB block and the LF the first of the next.
  const std::string line = Contact("HB9AA");
  std::string log;
  while (log.size() + 2 * (line.size() + 2) < 1024 * 1024) log += line + "\r\n";
  std::string padded = line;
  padded.insert(padded.find("Hans") + 4, 1024 * 1024 - 1 - log.size() - line.size(), 'x');
  log += padded + "\r\n" + Contact("LAST");
  ASSERT_EQ(log[1024 * 1024 - 1], '\r');
  dir.Write("LOG.CSV", log);
  const std::string message = Run();
  EXPECT_EQ(message.find("skipped"), std::string::npos) << message;
  EXPECT_EQ(Fields(Output().back())[1], "LAST");
}

TEST_F(ConvertFileTest, DropsAByteOrderMark) {
  dir.Write("LOG.CSV", "\xEF\xBB\xBF" + Contact("HB9AA"));
  Run();
  EXPECT_EQ(Fields(Output().at(0))[33], "K");
}

TEST_F(ConvertFileTest, ReportsSkippedLinesByNumber) {
  std::string log;
  for (int i = 1; i <= 14; ++i)
    log += (i % 7 == 0 ? Contact("HB9AA") : std::string("short,line")) + "\n";
  dir.Write("LOG.CSV", log);
  EXPECT_EQ(Run(),
            "FINISH MARIGOLD.TXT with 2 DATA in FILE\n"
            "Skipped 12 lines with fewer than 26 fields: lines 1, 2, 3, 4, 5, 6, 8, 9, 10, 11, …");
  EXPECT_EQ(Output().size(), 2u);
}

TEST_F(ConvertFileTest, ReportsPlaceholderDates) {
  dir.Write("LOG.CSV", std::string(test::kHeader) + "\n" + Contact("A1") + "\n" +
                           std::string(test::kContact).replace(11, 10, "3/5/2000") + "\n");
  EXPECT_EQ(Run(),
            "FINISH MARIGOLD.TXT with 3 DATA in FILE\n"
            "Placeholder date 01/01/2050 or time 12:12:12 written for 1 record whose date or time "
            "is in no form that is read: line 3");
}

TEST_F(ConvertFileTest, NamesTheBandsTheTableLacks) {
  std::string log = std::string(test::kHeader) + "\n";
  for (const std::string band : {"99m", "20m", "88m", "99m", "", "20M", "\"99m\""}) {
    log += test::ContactWith(5, band) + "\n";
  }
  dir.Write("LOG.CSV", log);
  EXPECT_EQ(
      Run(),
      "FINISH MARIGOLD.TXT with 8 DATA in FILE\n"
      "Band kept as written in field 7 (not in the band table) for 5 records: 99m, 88m, 20M.");
  const auto records = Output();
  EXPECT_EQ(Fields(records[1])[7], "99m");
  EXPECT_EQ(Fields(records[2])[7], "14");

  log.clear();
  for (int i = 1; i <= 12; ++i) log += test::ContactWith(5, std::to_string(i) + "x") + "\n";
  log += test::ContactWith(5, std::string(40, 'b')) + "\n";
  dir.Write("LOG.CSV", log);
  EXPECT_EQ(Run(),
            "FINISH MARIGOLD.TXT with 13 DATA in FILE\n"
            "Band kept as written in field 7 (not in the band table) for 13 records: "
            "1x, 2x, 3x, 4x, 5x, 6x, 7x, 8x, 9x, 10x, …");
  EXPECT_EQ(Fields(Output().back())[7], std::string(40, 'b'));
}

TEST_F(ConvertFileTest, JoinsAQuotedValueThatHoldsLineBreaks) {
  // A mode ended by a line break, then a comment typed over three lines.
  const std::string mode = test::ContactWith(6, "\"CW\r\n\"");
  const std::string comment = test::ContactWith(10, "\"Nice chat,\nsee you\r\nagain\"");
  dir.Write("LOG.CSV", std::string(test::kHeader) + "\r\n" + mode + "\r\n" + comment +
                           "\r\nshort\r\n" + test::ContactWith(2, "x") + "\r\n");
  EXPECT_EQ(Run(),
            "FINISH MARIGOLD.TXT with 4 DATA in FILE\n"
            "Skipped 1 line with fewer than 26 fields: line 7\n"
            "Placeholder date 01/01/2050 or time 12:12:12 written for 1 record whose date or time "
            "is in no form that is read: line 8");
  const auto records = Output();
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(Fields(records[1])[6], "CW ");
  EXPECT_EQ(Fields(records[1])[48], "CW ");
  EXPECT_EQ(Fields(records[2])[19], "Nice chat, see you again");
  EXPECT_EQ(Fields(records[2])[5], "Bern");
  EXPECT_EQ(form.xx, 4);
}

TEST_F(ConvertFileTest, JoinsOnlyLinesThatWouldBeSkipped) {
  const std::string open = test::ContactWith(10, "\"open");
  const std::string head = open.substr(0, open.find("open") + 4);
  const std::string tail = open.substr(open.find("open") + 4);
  // An open quote before a whole contact: both lines read on their own.
  // A quote opened in the 26th field: the line converts, the next stands alone.
  // Seventeen lines in one value: more than a record may join, each skipped.
  std::string log = head + "\n" + std::string(test::kContact) + "\n" +
                    test::ContactWith(25, "\"HB9") + "\n\"" + tail + "\n" + head;
  for (int i = 0; i < 15; ++i) log += "\nmore";
  log += "\n\"" + tail + "\n" + std::string(test::kContact) + "\n";
  dir.Write("LOG.CSV", log);
  EXPECT_EQ(Run(),
            "FINISH MARIGOLD.TXT with 3 DATA in FILE\n"
            "Skipped 19 lines with fewer than 26 fields: lines 1, 4, 5, 6, 7, 8, 9, 10, 11, 12, …");
  const auto records = Output();
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(Fields(records[1])[34], "HB9");

  // Sixteen lines join; a failed join leaves the line after it free to start one.
  log = head;
  std::string more;
  for (int i = 0; i < 14; ++i) more += "\nmore";
  log += more + "\n\"" + tail + "\n" + head + "\n" + head + "\n\"" + tail;
  dir.Write("LOG.CSV", log);
  EXPECT_EQ(Run(),
            "FINISH MARIGOLD.TXT with 2 DATA in FILE\n"
            "Skipped 1 line with fewer than 26 fields: line 17");
  std::replace(more.begin(), more.end(), '\n', ' ');
  EXPECT_EQ(Fields(Output().at(0))[19], "open" + more + " ");
}

TEST_F(ConvertFileTest, JoinsNoMoreThan64KiB) {
  const std::string open = test::ContactWith(10, "\"open");
  const std::string head = open.substr(0, open.find("open") + 4);
  const std::string tail = open.substr(open.find("open") + 4);
  const std::string filler(40 * 1024, 'f');
  dir.Write("LOG.CSV", head + filler + "\n" + filler + "\n\"" + tail + "\n");
  EXPECT_EQ(Run(),
            "FINISH MARIGOLD.TXT with 0 DATA in FILE\n"
            "Skipped 3 lines with fewer than 26 fields: lines 1, 2, 3");
  dir.Write("LOG.CSV", head + filler + "\n" + "\"" + tail + "\n");
  EXPECT_EQ(Run(), "FINISH MARIGOLD.TXT with 1 DATA in FILE");
}

TEST_F(ConvertFileTest, MissingExportLeavesTheEarlierOutputAlone) {
  dir.Write("marigold.txt", "earlier");
#ifdef _WIN32
  // The tests' folders lie in the temporary folder, as a zip's does when Explorer runs from it.
  const std::string where = test::kRunsFromTheZip;
#else
  const std::string where = test::SaveTheExportIn(dir.path());
#endif
  EXPECT_EQ(Run("NONE.CSV"), "Cannot open the input file \"" + Path("NONE.CSV") +
                                 "\": " + test::Reason(std::errc::no_such_file_or_directory) +
                                 ".\n" + where +
                                 "\nNo records were written; marigold.txt was not changed.");
  EXPECT_EQ(dir.Read("marigold.txt"), "earlier");
}

TEST_F(ConvertFileTest, RefusesAFolderAsExport) {
  std::filesystem::create_directory(dir.path() / "LOG.CSV");
  EXPECT_EQ(Run(), "Cannot open the input file \"" + Path("LOG.CSV") +
                       "\": " + test::Reason(std::errc::is_a_directory) +
                       ".\nNo records were written; marigold.txt was not changed.");
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "marigold.txt"));
}

TEST_F(ConvertFileTest, RefusesToConvertTheOutputIntoItself) {
  dir.Write("marigold.txt", Contact("HB9AA"));
  EXPECT_EQ(Run("marigold.txt"), "The input file \"" + Path("marigold.txt") +
                                     "\" is marigold.txt itself, the file this conversion "
                                     "writes.\nType the name of the exported log instead. "
                                     "Nothing was changed.");
  // Found ignoring case, or opened as typed where names ignore case.
  EXPECT_TRUE(Run("MARIGOLD.TXT")
                  .ends_with("\" is marigold.txt itself, the file this conversion writes.\n"
                             "Type the name of the exported log instead. Nothing was changed."));
  EXPECT_EQ(dir.Read("marigold.txt"), Contact("HB9AA"));
}

TEST_F(ConvertFileTest, OpensAPathToAnotherFolderAndWritesBesideTheProgram) {
  const test::TempDir other;
  std::filesystem::create_directory(other.path() / "sub");
  other.Write("sub/LOG.CSV", Contact("HB9AA") + "\n" + Contact("HB9BB"));
  const std::string full = test::PathText(other.path() / "sub" / "LOG.CSV");
  const std::string relative = test::PathText(".." / other.path().filename() / "sub" / "LOG.CSV");
  for (const std::string& name : {full, "\"" + full + "\"", relative}) {
    SCOPED_TRACE(name);
    std::filesystem::remove(dir.path() / "marigold.txt");
    EXPECT_EQ(Run(name), "FINISH MARIGOLD.TXT with 2 DATA in FILE");
    ASSERT_EQ(Output().size(), 2u);
    EXPECT_EQ(Fields(Output()[1])[2], "HB9BB");
  }
  EXPECT_FALSE(std::filesystem::exists(other.path() / "sub" / "marigold.txt"));

  // Missing, the path is named as typed and never joined to the program's folder.
  dir.Write("marigold.txt", "earlier");
  const std::string none = test::PathText(other.path() / "sub" / "NONE.CSV");
  const std::string noneReason = test::Reason(std::errc::no_such_file_or_directory);
  EXPECT_EQ(Run("\"" + none + "\""),
            "Cannot open the input file \"" + none + "\": " + noneReason +
                ".\nNo records were written; marigold.txt was not changed.");
  const std::string old = test::PathText(other.path() / "old" / "LOG.CSV");
  const std::string message = Run(old);
  EXPECT_TRUE(message.starts_with("Cannot open the input file \"" + old + "\": ")) << message;
  EXPECT_NE(message.find("\nThe folder \"" + test::PathText(other.path() / "old") +
                         "\" does not exist.\nNo records were written; marigold.txt was not "
                         "changed."),
            std::string::npos)
      << message;
  EXPECT_EQ(dir.Read("marigold.txt"), "earlier");
}

TEST_F(ConvertFileTest, RefusesAFullPathToTheOutputInAnySpelling) {
  dir.Write("marigold.txt", Contact("HB9AA"));
  const std::filesystem::path name = dir.path().filename();
  for (const std::filesystem::path& path :
       {dir.path() / "." / "marigold.txt", dir.path() / ".." / name / "MARIGOLD.TXT"}) {
    SCOPED_TRACE(path);
    EXPECT_TRUE(Run(test::PathText(path))
                    .ends_with("\" is marigold.txt itself, the file this conversion writes.\n"
                               "Type the name of the exported log instead. Nothing was changed."));
  }
  EXPECT_EQ(dir.Read("marigold.txt"), Contact("HB9AA"));
}

TEST_F(ConvertFileTest, OutputBlockedByAFolder) {
  dir.Write("LOG.CSV", Contact("HB9AA"));
  std::filesystem::create_directory(dir.path() / "marigold.txt");
  dir.Write("marigold.txt/keep", "kept");
  EXPECT_EQ(Run(), "Cannot replace the output file \"" + Path("marigold.txt") +
                       "\": " + test::Reason(std::errc::is_a_directory) +
                       ".\nNo records were written; marigold.txt was not changed.");
  EXPECT_EQ(dir.Read("marigold.txt/keep"), "kept");
}

TEST_F(ConvertFileTest, FindsTheExportIgnoringCase) {
  dir.Write("log.csv", Contact("HB9AA"));
  EXPECT_EQ(Run("LOG.CSV"), "FINISH MARIGOLD.TXT with 1 DATA in FILE");
  if (std::filesystem::exists(dir.path() / "LOG.CSV")) GTEST_SKIP() << "names here ignore case";
  dir.Write("Log.Csv", Contact("HB9AA"));
  EXPECT_EQ(Run("LOG.CSV"), "The name \"LOG.CSV\" fits several files in \"" +
                                test::PathText(dir.path()) +
                                "\" that differ only in case: Log.Csv, log.csv.\n"
                                "Rename all but one of them. Nothing was changed.");
  // The exact name wins, and the others are named.
  dir.Write("LOG.CSV", Contact("HB9AA") + "\n" + Contact("HB9BB"));
  EXPECT_EQ(Run("LOG.CSV"), "FINISH MARIGOLD.TXT with 2 DATA in FILE\nUsed LOG.CSV in \"" +
                                test::PathText(dir.path()) +
                                "\", not Log.Csv or log.csv, which differ from it only in case.");
}

TEST_F(ConvertFileTest, AnEmptyNameAsksForTheExportsName) {
  dir.Write("marigold.txt", "earlier");
  for (const std::string name : {"", "\"\""}) {
    EXPECT_EQ(Run(name),
              "Type the name of the exported log, such as LOG.CSV, then press START. Nothing was "
              "changed.");
  }
  EXPECT_EQ(dir.Read("marigold.txt"), "earlier");
}

TEST_F(ConvertFileTest, FindsANonAsciiNameIgnoringCaseInTheCLocale) {
  std::setlocale(LC_ALL, "C");
  dir.Write(
      "logb\xC3\xBC"
      "ch \xD0\xB6.csv",
      Contact("HB9AA"));
  EXPECT_EQ(Run("LOGB\xC3\x9C"
                "CH \xD0\x96.CSV"),
            "FINISH MARIGOLD.TXT with 1 DATA in FILE");
}

TEST_F(ConvertFileTest, StopsWhenTheCountWouldOverflow) {
  dir.Write("LOG.CSV", Contact("A1") + "\n" + Contact("B2") + "\n" + Contact("C3") + "\n");
  form.NomeFile = "LOG.CSV";
  form.xx = INT_MAX - 1;
  conversion::ConvertFile(form, dir.path(), host);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0], "The input file \"" + Path("LOG.CSV") +
                                  "\" holds more records than can be counted: line 2 would be "
                                  "record 2147483648.\n1 record was written to marigold.txt.");
  EXPECT_EQ(Output().size(), 1u);
}

TEST_F(ConvertFileTest, WritesTheOperatorInTheExportsEncoding) {
  const std::string contact8bit = ContactNamed("J\xE9r\xF4me");
  dir.Write("LOG.CSV", contact8bit);
  Run("LOG.CSV", "M\xC3\xBCller \xE2\x82\xAC \xCE\xA9");
  EXPECT_EQ(Fields(Output().at(0))[3], "M\xFCller \x80 ?");
  EXPECT_EQ(Fields(Output().at(0))[4], "J\xE9r\xF4me");  // bytes of the export pass unchanged

  dir.Write("LOG.CSV", ContactNamed("J\xC3\xA9r\xC3\xB4me"));
  Run("LOG.CSV", "M\xC3\xBCller");
  EXPECT_EQ(Fields(Output().at(0))[3], "M\xC3\xBCller");
  EXPECT_EQ(Fields(Output().at(0))[4], "J\xC3\xA9r\xC3\xB4me");
}

TEST_F(ConvertFileTest, WritesTheOperatorOfAnAsciiExportInTheEightBitCodePage) {
  dir.Write("LOG.CSV", std::string(test::kHeader) + "\r\n" + test::kContact + "\r\n");
  Run("LOG.CSV", "M\xC3\x9CLLER");
  EXPECT_EQ(Fields(Output().at(1))[3], "M\xDCLLER");
  // A byte-order mark says UTF-8 even when every byte after it is ASCII.
  dir.Write("LOG.CSV", "\xEF\xBB\xBF" + std::string(test::kContact) + "\r\n");
  Run("LOG.CSV", "M\xC3\x9CLLER");
  EXPECT_EQ(Fields(Output().at(0))[3], "M\xC3\x9CLLER");
}

TEST_F(ConvertFileTest, DecidesTheEncodingOnTheFirst64KiB) {
  const std::string line = Contact("HB9AA") + "\r\n";
  std::string log;
  while (log.size() + line.size() < 64 * 1024 - 1) log += line;
  // A ü cut by the 64 KiB boundary, then an 8-bit byte past it: still UTF-8.
  log += std::string(64 * 1024 - 1 - log.size(), 'x') + "\xC3\xBC\r\n" + Contact("\xFC");
  dir.Write("LOG.CSV", log);
  Run("LOG.CSV", "M\xC3\xBCller");
  EXPECT_EQ(Fields(Output().at(0))[3], "M\xC3\xBCller");
}

TEST(FileExists, TrueOnlyForAReadableFile) {
  test::TempDir dir;
  dir.Write("a.csv", "x");
  EXPECT_TRUE(conversion::FileExists((dir.path() / "a.csv").string()));
  EXPECT_FALSE(conversion::FileExists((dir.path() / "b.csv").string()));
  EXPECT_FALSE(conversion::FileExists(dir.path().string()));
  EXPECT_FALSE(conversion::FileExists(""));
}

}  // namespace

namespace {

TEST(RunConversion, ReturnsTheOutcomeThatTheMessageWords) {
  test::TempDir dir;
  dir.Write("LOG.CSV", std::string(test::kHeader) + "\n" + "short\n" + test::ContactWith(5, "99m") +
                           "\n" + test::kContact + "\n");
  conversion::FormState form;
  form.NomeFile = "LOG.CSV";
  test::Recorder host;
  const conversion::RunOutcome outcome = conversion::RunConversion(form, dir.path(), host);
  EXPECT_EQ(outcome.stop, conversion::Stop::kNone);
  EXPECT_EQ(outcome.count, 3);
  EXPECT_EQ(outcome.records, 3u);
  EXPECT_EQ(outcome.skipped.first(), std::vector<std::uint64_t>{2});
  EXPECT_EQ(outcome.unknownBands.first(), std::vector<std::string>{"99m"});
  EXPECT_TRUE(host.messages.empty()) << "the caller words and shows the outcome";
  EXPECT_EQ(conversion::Describe(outcome),
            "FINISH MARIGOLD.TXT with 3 DATA in FILE\n"
            "Skipped 1 line with fewer than 26 fields: line 2\n"
            "Band kept as written in field 7 (not in the band table) for 1 record: 99m.\n"
            "Every noticed contact, with its call, date and time: \"" +
                test::PathText(dir.path() / "marigold-notes.txt") + "\".\nWritten to \"" +
                test::PathText(dir.path() / "marigold.txt") + "\".");

  dir.Write("marigold.txt", "earlier");
  form.NomeFile = "NONE.CSV";
  const conversion::RunOutcome missing = conversion::RunConversion(form, dir.path(), host);
  EXPECT_EQ(missing.stop, conversion::Stop::kInputNotOpened);
  EXPECT_EQ(missing.error, std::errc::no_such_file_or_directory);
  EXPECT_EQ(missing.inputPath, test::PathText(dir.path() / "NONE.CSV"));
  EXPECT_EQ(dir.Read("marigold.txt"), "earlier");
}

}  // namespace
