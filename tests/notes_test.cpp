#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "test_support.h"
#include "text.h"

namespace {

// One line of marigold-notes.txt after its two first lines.
struct NotesEntry {
  std::uint64_t line = 0;
  std::string call, date, time, what;
};

// Tells the kinds a line of the notes names by their initials: S skipped, P placeholder,
// B band, J joined, R bar; as the test's exports plant them.
std::string Kinds(const std::string& what) {
  std::string kinds;
  if (what.starts_with("Skipped, fewer than ")) kinds += 'S';
  if (what.find("Placeholder date or time written") != std::string::npos) kinds += 'P';
  if (what.find("Band kept as written in field 7: ") != std::string::npos) kinds += 'B';
  if (what.find("Joined from several lines") != std::string::npos) kinds += 'J';
  if (what.find("Bar turned into / in field") != std::string::npos) kinds += 'R';
  return kinds;
}

// Splits text at each occurrence of separator.
std::vector<std::string> SplitAt(const std::string& text, const std::string& separator) {
  std::vector<std::string> parts;
  std::size_t from = 0;
  for (std::size_t at; (at = text.find(separator, from)) != std::string::npos;
       from = at + separator.size()) {
    parts.push_back(text.substr(from, at - from));
  }
  parts.push_back(text.substr(from));
  return parts;
}

// Reads marigold-notes.txt: checks its form, the first line and the last, and returns the
// lines between; counted gets the last line.
std::vector<NotesEntry> ReadNotes(const std::string& notes, const std::string& input,
                                  std::string& counted) {
  EXPECT_TRUE(
      notes.starts_with("\xEF\xBB\xBF"
                        "Noticed contacts of the conversion of \"" +
                        input + "\" at "))
      << notes.substr(0, 200);
  EXPECT_TRUE(notes.ends_with("\r\n"));
  EXPECT_TRUE(conversion::IsUtf8(notes, false));
  std::vector<std::string> lines = SplitAt(notes.substr(3), "\r\n");
  lines.pop_back();  // after the last CR LF
  std::vector<NotesEntry> entries;
  if (lines.size() < 3) {
    ADD_FAILURE() << "too few lines: " << notes;
    return entries;
  }
  EXPECT_EQ(lines[1], "Line\tCall\tDate\tTime\tWhat happened");
  counted = lines.back();
  for (std::size_t i = 2; i + 1 < lines.size(); ++i) {
    EXPECT_EQ(lines[i].find_first_of(std::string("\r\n\0", 3)), std::string::npos);
    const std::vector<std::string> cells = SplitAt(lines[i], "\t");
    EXPECT_EQ(cells.size(), 5u) << lines[i];
    if (cells.size() != 5 || !cells[0].starts_with("Line ")) continue;
    entries.push_back({std::stoull(cells[0].substr(5)), cells[1], cells[2], cells[3], cells[4]});
  }
  return entries;
}

// Returns the number the message's sentence that matches pattern counts, 0 without one.
std::uint64_t Counted(const std::string& message, const std::string& pattern) {
  std::smatch match;
  return std::regex_search(message, match, std::regex(pattern)) ? std::stoull(match[1]) : 0;
}

class NotesTest : public testing::Test {
 protected:
  std::string Run() {
    host.messages.clear();
    return test::Convert(dir.path(), "LOG.CSV", host);
  }
  std::string Path(const std::string& name) const { return test::PathText(dir.path() / name); }
  std::string NotesLine() const {
    return "Every noticed contact, with its call, date and time: \"" + Path("marigold-notes.txt") +
           "\".";
  }

  test::TempDir dir;
  test::Recorder host;
};

TEST_F(NotesTest, ListEveryNoticedContactThatTheMessageCounts) {
  std::mt19937 random(40);
  for (int variant = 0; variant < 8; ++variant) {
    const char separator = variant % 2 == 0 ? ',' : ';';
    const bool byName = variant % 4 >= 2;  // the header names Call before DXCC
    std::vector<std::string> header = SplitAt(test::kHeader, ",");
    if (byName) std::swap(header[0], header[1]);
    std::string log;
    const auto add = [&](const std::vector<std::string>& fields) {
      for (const std::string& field : fields) log += field + separator;
      log.back() = '\n';
    };
    add(header);
    std::vector<std::pair<std::uint64_t, std::string>> expected;  // line, call and kinds
    std::uint64_t number = 2;
    std::uint64_t skipped = 0, placeholders = 0, bands = 0;
    for (int n = 0; n < 80; ++n) {
      std::vector<std::string> fields = SplitAt(test::kContact, ",");
      const std::string call = "HB" + std::to_string(n) + "V" + std::to_string(variant);
      fields[1] = call;
      std::string kinds;
      const unsigned draw = random() % 64;
      if ((draw & 1U) != 0 && draw < 16) {
        fields.resize(10);
        kinds = "S";
        ++skipped;
      } else if (draw < 40) {
        if ((draw & 2U) != 0) {
          fields[2] = "31.31.2000";
          fields[3] = "31.31.2000 25:61:00";
          kinds += 'P';
          ++placeholders;
        }
        if ((draw & 4U) != 0) {
          fields[5] = draw % 3 == 0 ? "5cm" : "99m";
          kinds += 'B';
          ++bands;
        }
        if ((draw & 8U) != 0) {
          fields[10] = "\"over\ntwo\"";
          kinds += 'J';
        } else if ((draw & 16U) != 0) {
          fields[10] = "a|b";
          kinds += 'R';
        }
      }
      if (byName) std::swap(fields[0], fields[1]);
      add(fields);
      if (!kinds.empty()) expected.emplace_back(number, call).second.append(" ").append(kinds);
      number += kinds.find('J') != std::string::npos ? 2U : 1U;
    }
    dir.Write("LOG.CSV", log);
    const std::string message = Run();
    SCOPED_TRACE(message);
    ASSERT_EQ(host.notesLine, NotesLine());
    EXPECT_EQ(Counted(message, R"(Skipped (\d+) line)"), skipped);
    EXPECT_EQ(Counted(message, R"(written for (\d+) record)"), placeholders);
    EXPECT_EQ(Counted(message, R"(in the band table\) for (\d+) record)"), bands);

    std::string counted;
    const std::vector<NotesEntry> entries =
        ReadNotes(dir.Read("marigold-notes.txt"), Path("LOG.CSV"), counted);
    std::vector<std::pair<std::uint64_t, std::string>> listed;
    listed.reserve(entries.size());
    for (const NotesEntry& entry : entries) {
      listed.emplace_back(entry.line, entry.call).second.append(" ").append(Kinds(entry.what));
    }
    EXPECT_EQ(listed, expected);
    const auto count = [&](char kind) {
      return std::count_if(expected.begin(), expected.end(), [&](const auto& e) {
        return e.second.find(kind, e.second.find(' ')) != std::string::npos;
      });
    };
    const std::string records = std::to_string(test::Records(dir.Read("marigold.txt")).size());
    EXPECT_EQ(counted, "Counted: " + std::to_string(skipped) + " lines skipped, " +
                           std::to_string(placeholders) + " placeholder dates or times, " +
                           std::to_string(bands) + " bands kept as written, " +
                           std::to_string(count('J')) + " contacts joined from several lines, " +
                           std::to_string(count('R')) + " records with a bar turned into /; " +
                           records + " records in marigold.txt.");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "marigold-notes.txt.partial"));
  }
}

TEST_F(NotesTest, ARunWithNothingToNoteLeavesNoNotesAndRemovesTheEarlierOnes) {
  dir.Write("LOG.CSV", std::string(test::kHeader) + "\r\nshort\r\n" + test::kContact + "\r\n");
  EXPECT_EQ(Run(),
            "FINISH MARIGOLD.TXT with 2 DATA in FILE\n"
            "Skipped 1 line with fewer than 26 fields: line 2");
  EXPECT_EQ(host.notesLine, NotesLine());
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "marigold-notes.txt"));

  dir.Write("LOG.CSV", std::string(test::kHeader) + "\r\n" + test::kContact + "\r\n");
  EXPECT_EQ(Run(), "FINISH MARIGOLD.TXT with 2 DATA in FILE");
  EXPECT_EQ(host.notesLine, "");
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "marigold-notes.txt"));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "marigold-notes.txt.partial"));
  EXPECT_EQ(test::Records(dir.Read("marigold.txt")).size(), 2u);
}

TEST_F(NotesTest, HostileValuesStayOnOneShortLineOfValidUtf8) {
  // In a UTF-8 export: a call of nearly 16 MiB with a NUL, bytes that are no
  // UTF-8 and a bar, an unreadable date, a tab in the time and controls in the
  // band; then a comment over two lines that holds a bar.
  std::string many;
  many.resize(16000000, 'A');  // nearly the longest line the reader takes
  const std::string call = "DL1" + std::string(1, '\0') + "\xFF\xC3|" + many;
  const std::string hostile = test::ContactWith({{1, call},
                                                 {2, "31.31.2000"},
                                                 {3, "1\t2"},
                                                 {5,
                                                  "\x01\x7F"
                                                  "5cm"}});
  const std::string joined = test::ContactWith({{1, "K1"}, {10, "\"a\r\nb|c\""}});
  dir.Write("LOG.CSV", "\xEF\xBB\xBF" + hostile + "\r\n" + joined + "\r\n");
  const std::string message = Run();
  EXPECT_TRUE(message.starts_with("FINISH MARIGOLD.TXT with 2 DATA in FILE")) << message;
  std::string counted;
  const std::string notes = dir.Read("marigold-notes.txt");
  const std::vector<NotesEntry> entries = ReadNotes(notes, Path("LOG.CSV"), counted);
  ASSERT_EQ(entries.size(), 2u);
  const std::string replacement = "\xEF\xBF\xBD";
  EXPECT_EQ(entries[0].call,
            "DL1" + replacement + replacement + replacement + "|" + std::string(33, 'A') + "…");
  EXPECT_EQ(entries[0].time, "1 2");
  EXPECT_EQ(Kinds(entries[0].what), "PBR");
  EXPECT_NE(entries[0].what.find(": " + replacement + replacement + "5cm"), std::string::npos);
  EXPECT_EQ(entries[1].line, 2u);
  EXPECT_EQ(Kinds(entries[1].what), "JR");
  EXPECT_LT(notes.size(), 2000u);
  // The records keep the export's bytes whatever the notes show of them.
  const std::vector<std::string> records = test::Records(dir.Read("marigold.txt"));
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(test::Fields(records[0])[1],
            call.substr(0, call.find('|')) + "/" + call.substr(call.find('|') + 1));

  dir.Write("LOG.CSV", test::ContactWith({{1,
                                           "\xC4\x80\x81"
                                           "X"},
                                          {5, "5\xB5m"}}) +
                           "\r\n");
  Run();
  const std::vector<NotesEntry> eightBit =
      ReadNotes(dir.Read("marigold-notes.txt"), Path("LOG.CSV"), counted);
  ASSERT_EQ(eightBit.size(), 1u);
  EXPECT_EQ(eightBit[0].call, "\xC3\x84\xE2\x82\xAC" + replacement + "X");  // Ä€, undefined
  EXPECT_EQ(eightBit[0].what, "Band kept as written in field 7: 5\xC2\xB5m");
}

}  // namespace
