#ifndef _WIN32
#include <sys/mount.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

// Returns a contact with call sign HB<n> and a comment of commentLength letters.
std::string Contact(int n, std::size_t commentLength = 9) {
  return test::ContactWith({{1, "HB" + std::to_string(n)}, {10, std::string(commentLength, 'c')}});
}

std::string SkippedNote(std::size_t count, const std::string& lines) {
  return "Skipped " + std::to_string(count) + (count == 1 ? " line" : " lines") +
         " with fewer than 26 fields: " + (count == 1 ? "line " : "lines ") + lines;
}

// Converts LOG.CSV in folder dir/sub as START does; returns the one message shown.
class FaultTest : public testing::Test {
 protected:
  std::string Run(const std::string& sub = "") {
    form.xx = 0;
    form.NomeFile = "LOG.CSV";
    form.NomeUtente = "NAME";
    host.messages.clear();
    conversion::ConvertFile(form, sub.empty() ? dir.path() : dir.path() / sub, host);
    EXPECT_EQ(host.messages.size(), 1u);
    return host.messages.empty() ? std::string() : host.messages.back();
  }

  std::string Path(const std::string& name) const { return test::PathText(dir.path() / name); }

  // Mounts a tmpfs of the given size at dir/sub; returns why it cannot.
  std::string Mount(const std::string& sub, const std::string& size) {
    std::filesystem::create_directory(dir.path() / sub);
#ifdef _WIN32
    (void)size;
    return "a small disk is mounted as a Linux tmpfs";
#else
    if (::geteuid() != 0) return "mounting a small disk needs root";
    if (::mount("tmpfs", Path(sub).c_str(), "tmpfs", MS_NOSUID | MS_NODEV,
                ("size=" + size).c_str()) != 0) {
      return std::string("cannot mount a tmpfs: ") + std::strerror(errno);
    }
    mounts_.push_back(Path(sub));
    return "";
#endif
  }

  void TearDown() override {
#ifndef _WIN32
    for (const std::string& mount : mounts_) ::umount2(mount.c_str(), MNT_DETACH);
#endif
  }

  test::TempDir dir;
  conversion::FormState form;
  test::Recorder host;

 private:
  std::vector<std::string> mounts_;
};

TEST_F(FaultTest, DiskFullKeepsTheFirstRecordsWholeAndCountsThem) {
  // 256k fills within the first write block, 3m after several.
  for (const std::string size : {"256k", "3m"}) {
    SCOPED_TRACE(size);
    const std::size_t exportSize = size == "256k" ? 120 * 1024 : 1300 * 1024;
    std::string log;
    int lines = 0;
    while (log.size() < exportSize) log += Contact(++lines, 200) + "\r\n";
    dir.Write("LOG.CSV", log);
    ASSERT_EQ(Run(), "FINISH MARIGOLD.TXT with " + std::to_string(lines) + " DATA in FILE");
    const std::string all = dir.Read("marigold.txt");

    if (const std::string why = Mount(size, size); !why.empty()) GTEST_SKIP() << why;
    dir.Write(size + "/LOG.CSV", log);
    ASSERT_EQ(std::filesystem::file_size(dir.path() / size / "LOG.CSV"), log.size());
    const std::string message = Run(size);
    const std::string kept = dir.Read(size + "/marigold.txt");
    const std::size_t records = test::Records(kept).size();
    EXPECT_GT(records, 0u);
    EXPECT_LT(records, static_cast<std::size_t>(lines));
    EXPECT_EQ(message, "Cannot write the output file \"" + Path(size + "/marigold.txt") +
                           "\": No space left on device.\n" + std::to_string(records) +
                           " records were written to marigold.txt. Each of them is whole.");
    EXPECT_EQ(kept, all.substr(0, kept.size())) << "the records kept must be the first ones";
  }
}

TEST_F(FaultTest, DiskFullFromTheStartSaysNothingWasWritten) {
  if (const std::string why = Mount("disk", "64k"); !why.empty()) GTEST_SKIP() << why;
  dir.Write("disk/LOG.CSV", Contact(1) + "\r\n" + Contact(2) + "\r\n");
  dir.Write("disk/filler", std::string(64 * 1024, 'f'));  // takes all the export left

  EXPECT_EQ(Run("disk"), "Cannot write the output file \"" + Path("disk/marigold.txt") +
                             "\": No space left on device.\n"
                             "No records were written; marigold.txt was not changed.");
  EXPECT_EQ(dir.Read("disk/marigold.txt"), "");
}

TEST_F(FaultTest, ReadErrorIsReportedWithNothingWritten) {
#ifdef _WIN32
  GTEST_SKIP() << "the unreadable file is Linux's /proc/self/mem";
#endif
  // Reading a process's memory at address 0 fails with EIO, even for root.
  std::filesystem::create_symlink("/proc/self/mem", dir.path() / "LOG.CSV");
  EXPECT_EQ(Run(), "Cannot read the input file \"" + Path("LOG.CSV") +
                       "\": Input/output error.\nNo records were written; marigold.txt was not "
                       "changed.");
  EXPECT_EQ(dir.Read("marigold.txt"), "");
}

TEST_F(FaultTest, HostileLinesConvertOrAreSkippedByTheirFieldCount) {
  const std::size_t tenMB = 10 * 1024 * 1024;
  dir.Write("LOG.CSV", Contact(1, tenMB) + "\r\n" + std::string(tenMB, 'x') + "\r\n" + Contact(3));
  EXPECT_EQ(Run(), "FINISH MARIGOLD.TXT with 2 DATA in FILE\n" + SkippedNote(1, "2"));
  auto records = test::Records(dir.Read("marigold.txt"));
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(test::Fields(records[0])[44], std::string(tenMB, 'c'));

  const std::string nul("Ha\0ns", 5);
  const std::string invalid = "\xFF\xFE\xED\xA0\x80\xC3";  // stray, surrogate, cut off
  std::string withNul = Contact(1);
  std::string withInvalid = Contact(2);
  withNul.replace(withNul.find("Hans"), 4, nul);
  withInvalid.replace(withInvalid.find("Hans"), 4, invalid);
  withInvalid.replace(withInvalid.find("JN47AB"), 6, "\xC0\xAF\xF8\x88\x80");
  dir.Write("LOG.CSV", withNul + "\n" + std::string(3, '\0') + "\n" + withInvalid + "\n");
  EXPECT_EQ(Run(), "FINISH MARIGOLD.TXT with 2 DATA in FILE\n" + SkippedNote(1, "2"));
  records = test::Records(dir.Read("marigold.txt"));
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(test::Fields(records[0])[4], nul);
  EXPECT_EQ(test::Fields(records[1])[4], invalid);
  EXPECT_EQ(test::Fields(records[1])[39], "\xC0\xAF\xF8\x88");  // four stray bytes

  dir.Write("LOG.CSV", std::string(100'000, ','));
  EXPECT_EQ(Run(),
            "FINISH MARIGOLD.TXT with 1 DATA in FILE\nPlaceholder date 01/01/2050 or time 12:12:12 "
            "written for 1 record whose date or time is in no form that is read: line 1");
  EXPECT_EQ(test::Records(dir.Read("marigold.txt")).size(), 1u);
}

TEST_F(FaultTest, BinaryGarbageConvertsLinesOf26FieldsOnly) {
  // Without quotes a line holds one field more than it has commas.
  std::mt19937 random(2026);
  std::string log = "x";
  std::size_t converted = 0;
  std::size_t skipped = 0;
  for (int line = 0; line < 2000; ++line) {
    std::size_t commas = 0;
    for (std::size_t i = random() % 300; i > 0; --i) {
      char c = static_cast<char>(random() % 256);
      if (c == '"' || c == '\r' || c == '\n' || random() % 6 == 0) c = ',';
      commas += c == ',' ? 1 : 0;
      log.push_back(c);
    }
    ++(commas >= 25 ? converted : skipped);
    log += random() % 2 == 0 ? "\r\n" : "\n";
  }
  ASSERT_GT(converted, 100u);
  ASSERT_GT(skipped, 100u);
  dir.Write("LOG.CSV", log);
  const std::string message = Run();
  EXPECT_TRUE(message.starts_with("FINISH MARIGOLD.TXT with " + std::to_string(converted) +
                                  " DATA in FILE\nSkipped " + std::to_string(skipped) + " lines"))
      << message;
  EXPECT_EQ(test::Records(dir.Read("marigold.txt")).size(), converted);
}

TEST_F(FaultTest, EveryLineEndEndsOneLine) {
  dir.Write("LOG.CSV", std::string(1000, '\r') + std::string(1000, '\n') + "\r\n\r\n");
  EXPECT_EQ(Run(), "FINISH MARIGOLD.TXT with 0 DATA in FILE\n" +
                       SkippedNote(2001, "1, 2, 3, 4, 5, 6, 7, 8, 9, 10, …"));
  EXPECT_EQ(dir.Read("marigold.txt"), "");
  // A blank line after an LF-ended line keeps the numbers of the lines after it.
  dir.Write("LOG.CSV", Contact(1) + "\n\nshort\n" + Contact(4) + "\n");
  EXPECT_EQ(Run(), "FINISH MARIGOLD.TXT with 2 DATA in FILE\n" + SkippedNote(2, "2, 3"));
}

TEST_F(FaultTest, RunningTwiceGivesTheSameFileApartFromTheMoment) {
  std::string log = std::string(test::kHeader) + "\r\n";
  for (int i = 0; i < 500; ++i) log += (i % 50 == 7 ? "short,line" : Contact(i)) + "\r\n";
  dir.Write("LOG.CSV", log);
  const std::string first = Run();
  const std::int32_t firstCount = form.xx;
  const std::string firstFile = dir.Read("marigold.txt");
  host.now += 24 * 60 * 60 + 61;
  EXPECT_EQ(Run(), first);
  EXPECT_EQ(form.xx, firstCount);
  EXPECT_EQ(firstCount, 491);

  const auto before = test::Records(firstFile);
  const auto after = test::Records(dir.Read("marigold.txt"));
  ASSERT_EQ(after.size(), before.size());
  for (std::size_t i = 0; i < after.size(); ++i) {
    auto a = test::Fields(after[i]);
    auto b = test::Fields(before[i]);
    EXPECT_NE(a[47], b[47]);
    a.erase(a.begin() + 47);
    b.erase(b.begin() + 47);
    ASSERT_EQ(a, b) << "record " << i + 1;
  }
}

}  // namespace
