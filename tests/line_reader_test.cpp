#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <vector>

#include "fake_platform.h"
#include "line_converter.h"
#include "line_reader.h"
#include "platform.h"
#include "test_support.h"

namespace {

using conversion::LineReader;
using conversion::platform::File;
using fake::Call;

constexpr const char* kBom = "\xEF\xBB\xBF";

// Splits bytes into lines the plain way, one byte after the other.
std::vector<std::string> Split(std::string bytes) {
  if (bytes.starts_with(kBom)) bytes.erase(0, 3);
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r' && bytes[i] != '\n') {
      line.push_back(bytes[i]);
      continue;
    }
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    lines.push_back(std::move(line));
    line.clear();
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

// Reads a file of the fake disk through a reader with tiny blocks.
class LineReaderTest : public testing::TestWithParam<std::size_t> {
 protected:
  // Returns the lines of bytes as a reader of the parameter's block size reads them.
  std::vector<std::string> ReadLines(const std::string& bytes, std::size_t longest = 1024) {
    disk.Put("in", bytes);
    File file;
    EXPECT_FALSE(File::OpenForReading("in", file));
    LineReader reader(file, GetParam(), longest);
    std::vector<std::string> lines;
    for (std::string_view line; reader.Next(line);) lines.emplace_back(line);
    EXPECT_FALSE(reader.error());
    EXPECT_FALSE(reader.tooLong());
    EXPECT_EQ(reader.lineNumber(), lines.size());
    return lines;
  }

  // Reads rounds random texts of up to longest bytes from alphabet, a fifth of
  // them after a byte-order mark, in random read sizes, as a plain split does.
  void ReadsAsThePlainSplit(std::string_view alphabet, std::size_t longest, int rounds) {
    std::mt19937 random(static_cast<std::mt19937::result_type>(GetParam()));
    for (int round = 0; round < rounds; ++round) {
      std::string bytes = round % 5 == 0 ? kBom : "";
      for (std::size_t n = random() % longest; n > 0; --n)
        bytes.push_back(alphabet[random() % alphabet.size()]);
      disk.most = 1 + random() % (2 * GetParam());
      ASSERT_EQ(ReadLines(bytes), Split(bytes))
          << testing::PrintToString(bytes) << " read " << disk.most << " bytes at a time";
    }
  }

  fake::Disk disk;
};

using Lines = std::vector<std::string>;

TEST_P(LineReaderTest, EndsLinesAtCrLfLoneCrAndLoneLfAcrossBlockEdges) {
  const std::size_t block = GetParam();
  // The CR is the block's last byte, its LF the next block's first.
  const std::string first(block - 1, 'a');
  EXPECT_EQ(ReadLines(first + "\r\nbc\r\n"), (Lines{first, "bc"}));
  EXPECT_EQ(ReadLines(first + "\r\rb"), (Lines{first, "", "b"}));
  EXPECT_EQ(ReadLines(first + "\n\r\nb\n\n"), (Lines{first, "", "b", ""}));
  EXPECT_EQ(ReadLines("a\n\rb\r\n\r\nc"), (Lines{"a", "", "b", "", "c"}));
  EXPECT_EQ(ReadLines(first + "\r"), (Lines{first}));
  EXPECT_EQ(ReadLines("\r\n"), (Lines{""}));
  EXPECT_EQ(ReadLines(""), Lines{});
}

TEST_P(LineReaderTest, KeepsALastLineWithoutItsEndAndGrowsForLongLines) {
  const std::string longLine(GetParam() * 5 + 3, 'x');
  EXPECT_EQ(ReadLines("ab\ncd"), (Lines{"ab", "cd"}));
  EXPECT_EQ(ReadLines(longLine + "\r\n" + longLine), (Lines{longLine, longLine}));
  EXPECT_EQ(ReadLines("a\n" + longLine + "\rb"), (Lines{"a", longLine, "b"}));
}

TEST_P(LineReaderTest, DropsAByteOrderMarkAtTheStartOnlyEvenWhenItArrivesInPieces) {
  for (const std::size_t most : {std::size_t{1}, std::size_t{2}, GetParam()}) {
    SCOPED_TRACE(most);
    disk.most = most;
    EXPECT_EQ(ReadLines(std::string(kBom) + "ab\r\ncd"), (Lines{"ab", "cd"}));
    EXPECT_EQ(ReadLines(kBom), Lines{});
    EXPECT_EQ(ReadLines(std::string(kBom) + "\r\n"), (Lines{""}));
    EXPECT_EQ(ReadLines("\xEF\xBB"), (Lines{"\xEF\xBB"}));
    EXPECT_EQ(ReadLines("\xEF\xBB\n"), (Lines{"\xEF\xBB"}));
    EXPECT_EQ(ReadLines(std::string("a\n") + kBom), (Lines{"a", kBom}));
    EXPECT_EQ(ReadLines(std::string(kBom) + kBom), (Lines{kBom}));
  }
}

TEST_P(LineReaderTest, ReadsAUtf16FileAsItsUtf8LinesInAnyReadSizes) {
  // Units of one, two and three UTF-8 bytes, a surrogate pair, line ends and
  // a lone surrogate, long enough to cross many blocks.
  const std::u16string units = u"\uFEFFab\u00E9\u20AC\r\n\U0001F4FBc\rd\n\ne" +
                               std::u16string(1, 0xD800) + u"f" + std::u16string(150, u'x') +
                               u"\r\n";
  const std::string text =
      "ab\xC3\xA9\xE2\x82\xAC\r\n\xF0\x9F\x93\xBB"
      "c\rd\n\ne\xEF\xBF\xBD"
      "f" +
      std::string(150, 'x') + "\r\n";
  for (const bool bigEndian : {false, true}) {
    const std::string bytes = test::Utf16Bytes(units, bigEndian);
    for (const std::size_t most : {std::size_t{1}, std::size_t{3}, GetParam()}) {
      SCOPED_TRACE(most);
      disk.most = most;
      EXPECT_EQ(ReadLines(bytes), Split(text));
      // A half unit at the end is a character of its own.
      Lines withHalf = Split(text);
      withHalf.emplace_back("\xEF\xBF\xBD");
      EXPECT_EQ(ReadLines(bytes + "A"), withHalf);
    }
  }
  EXPECT_EQ(ReadLines("\xFF\xFE"), Lines{});
  EXPECT_EQ(ReadLines("\xFF"), (Lines{"\xFF"}));
}

TEST_P(LineReaderTest, ReadsAsThePlainSplitForAnyMixOfLineEndsAndReadSizes) {
  ReadsAsThePlainSplit("ab\r\n\xEF", 70, 400);
}

TEST_P(LineReaderTest, EndsLinesOnEitherSideOfAWordOfTheIndex) {
  for (const std::size_t at : std::vector<std::size_t>{62, 63, 64, 65, 127, 128, 129}) {
    for (const std::string end : {"\r", "\n", "\r\n"}) {
      // The CR at 63 has its LF at 64, the first byte of the next word.
      std::string bytes(at, 'a');
      bytes.append(end).append("b").append(end).append(at, 'c');
      for (const std::size_t most : {std::size_t{1}, std::size_t{7}, GetParam()}) {
        disk.most = most;
        ASSERT_EQ(ReadLines(bytes), Split(bytes))
            << "a line end at " << at << " read " << most << " bytes at a time";
      }
    }
  }
}

TEST_P(LineReaderTest, ReadsAsThePlainSplitForLinesThatSpanWordsAndMovedTails) {
  // Lines tens of bytes long leave tails that the buffer moves across word edges.
  ReadsAsThePlainSplit("abcdefghijklmnopqrstuvwxyz0123456789\r\n", 400, 200);
}

TEST_P(LineReaderTest, StopsAtALineLongerThanTheLongestWithItsNumber) {
  const std::string longest(20, 'x');
  EXPECT_EQ(ReadLines("a\n" + longest + "\r\n" + longest, 20), (Lines{"a", longest, longest}));

  for (const std::string& tail : {std::string("\r\nb\n"), std::string()}) {
    disk.Put("in", std::string("a\n").append(longest).append("y").append(tail));
    File file;
    ASSERT_FALSE(File::OpenForReading("in", file));
    LineReader reader(file, GetParam(), 20);
    std::string_view line;
    ASSERT_TRUE(reader.Next(line));
    EXPECT_EQ(line, "a");
    EXPECT_FALSE(reader.Next(line));
    EXPECT_TRUE(reader.tooLong());
    EXPECT_EQ(reader.lineNumber(), 2u);
    EXPECT_FALSE(reader.error());
  }
}

TEST_P(LineReaderTest, ReadsNothingMoreAfterAReadFails) {
  // Lines of 4 bytes fill each read's block whole; the third read fails.
  disk.Fail(Call::Read, 3, std::errc::io_error);
  std::string bytes;
  for (char c = 'a'; bytes.size() < 4 * GetParam(); ++c) bytes += std::string(3, c) + "\n";
  disk.Put("in", bytes);
  File file;
  ASSERT_FALSE(File::OpenForReading("in", file));
  LineReader reader(file, GetParam());
  std::vector<std::string> lines;
  for (std::string_view line; reader.Next(line);) lines.emplace_back(line);

  EXPECT_EQ(reader.error(), std::errc::io_error);
  EXPECT_EQ(reader.error(), conversion::platform::SystemError(std::errc::io_error));
  // The lines whole within the two blocks read, no part of the one cut.
  EXPECT_EQ(lines, Split(bytes.substr(0, bytes.rfind('\n', 2 * GetParam() - 1) + 1)));
  EXPECT_EQ(reader.lineNumber(), lines.size());
  std::string_view line;
  EXPECT_FALSE(reader.Next(line));
  EXPECT_EQ(disk.Count(Call::Read), 3);
}

TEST_P(LineReaderTest, MakesAnInterruptedReadAgain) {
  const std::string bytes = "first line\r\nsecond line\r\nthird";
  ASSERT_EQ(ReadLines(bytes), Split(bytes));
  const int reads = disk.Count(Call::Read);
  disk.Fail(Call::Read, 1, std::errc::interrupted);
  disk.Fail(Call::Read, 3, std::errc::interrupted);
  EXPECT_EQ(ReadLines(bytes), Split(bytes));
  EXPECT_EQ(disk.Count(Call::Read), 2 * reads + 2);
}

TEST_P(LineReaderTest, ProbesTheFirstBytesBehindTheMarkAndStillReadsEveryLine) {
  struct Case {
    std::string bytes;
    std::string probe;
    bool cut;
  };
  const std::string body = "0123456789\r\nabcdefghij\r\nklm";
  const std::array<Case, 6> cases = {{
      {body, body.substr(0, 16), true},
      {kBom + body, body.substr(0, 16), true},
      {body.substr(0, 16), body.substr(0, 16), false},
      {kBom + body.substr(0, 16), body.substr(0, 16), false},
      {"abc", "abc", false},
      {"", "", false},
  }};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.bytes));
    disk.Put("in", c.bytes);
    File file;
    ASSERT_FALSE(File::OpenForReading("in", file));
    LineReader reader(file, GetParam());
    bool cut = !c.cut;
    EXPECT_EQ(reader.Probe(cut, 16), c.probe);
    EXPECT_EQ(cut, c.cut);
    std::vector<std::string> lines;
    for (std::string_view line; reader.Next(line);) lines.emplace_back(line);
    EXPECT_EQ(lines, Split(c.bytes));
  }
}

TEST_P(LineReaderTest, GivesMarksThatSplitEachLineInPlaceAsItsCopyIsSplit) {
  // Splits every line where the reader holds it, by the marks of its block,
  // and through a copy of the line: both must find the same fields.
  std::mt19937 random(static_cast<std::mt19937::result_type>(GetParam()));
  // Lines of about 80 bytes hold about 26 fields, the last line often no line end.
  const std::string_view alphabet = "ab ,,,\"|";
  for (int round = 0; round < 200; ++round) {
    std::string bytes;
    for (std::size_t n = random() % 600; n > 0; --n) {
      bytes.push_back(random() % 80 == 0 ? "\r\n"[random() % 2]
                                         : alphabet[random() % alphabet.size()]);
    }
    // Ends every other file in a line of just 26 fields, its last field cut by the file's end.
    if (round % 2 == 0) bytes.append("\n").append(25, ',').append(round % 4 == 0 ? "a" : "");
    disk.most = 1 + random() % (2 * GetParam());
    disk.Put("in", bytes);
    File file;
    ASSERT_FALSE(File::OpenForReading("in", file));
    LineReader reader(file, GetParam());
    for (std::string_view line; reader.Next(line);) {
      const std::string text(line);
      conversion::Fields copied{};
      conversion::LineCopy copy;
      bool copyBar = false;
      const bool split = conversion::SplitFields(text, copy, copied, copyBar);
      // Rewrites quoted fields beside the line, which stays as it was.
      std::vector<char> beside(line.size() + conversion::kLinePadding);
      const conversion::MarkedText marked = reader.marked();
      const auto begin = static_cast<std::size_t>(line.data() - marked.data);
      conversion::Fields inReader{};
      bool bar = false;
      ASSERT_EQ(
          conversion::SplitFields(marked, begin, begin + line.size(), inReader, bar, beside.data()),
          split)
          << text;
      ASSERT_EQ(line, text) << "the line must stay as it was";
      if (!split) continue;
      EXPECT_TRUE(
          std::equal(copied.begin(), copied.begin() + conversion::kUsedFields, inReader.begin()))
          << text;
      EXPECT_TRUE(bar || !copyBar) << text;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(TinyBlocks, LineReaderTest, testing::Values(8, 16, 64, 100),
                         [](const testing::TestParamInfo<std::size_t>& block) {
                           return "Block" + std::to_string(block.param);
                         });

}  // namespace
