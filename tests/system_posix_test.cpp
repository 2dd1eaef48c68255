#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "test_support.h"

namespace {

std::atomic<int> syncs{0};          // fsync calls since the test began
std::atomic<bool> failSync{false};  // fsync fails with EIO while set

}  // namespace

// Stands in for the C library's fsync, so that tests can count and fail it.
extern "C" int fsync(int fd) {
  using Fsync = int (*)(int);
  static const auto real = reinterpret_cast<Fsync>(::dlsym(RTLD_NEXT, "fsync"));
  ++syncs;
  if (failSync) {
    errno = EIO;
    return -1;
  }
  return real(fd);
}

namespace {

using test::Convert;

// Notes how many times fsync had run when the message was shown.
class SyncWatcher : public test::Recorder {
 public:
  void ShowMessage(std::string_view text) override {
    syncsAtMessage = syncs;
    Recorder::ShowMessage(text);
  }
  int syncsAtMessage = -1;
};

TEST(SystemErrors, AreErrnoValuesInStrerrorsWords) {
  const std::error_category& category = conversion::platform::Category();
  // A program running the file holds it as much as one that has it open.
  EXPECT_EQ(std::error_code(ETXTBSY, category), std::errc::device_or_resource_busy);
  EXPECT_EQ(std::error_code(EBUSY, category), std::errc::device_or_resource_busy);
  EXPECT_EQ(std::error_code(EWOULDBLOCK, category), std::errc::operation_would_block);
  EXPECT_EQ(conversion::platform::SystemError(std::errc::no_space_on_device).value(), ENOSPC);
  EXPECT_EQ(std::error_code(ENOSPC, category).message(), std::strerror(ENOSPC));
}

TEST(Durability, RecordsReachTheDeviceBeforeFinish) {
  test::TempDir dir;
  dir.Write("LOG.CSV", std::string(test::kContact) + "\r\n" + test::kContact);
  syncs = 0;
  SyncWatcher host;
  EXPECT_EQ(Convert(dir.path(), "LOG.CSV", host), "FINISH MARIGOLD.TXT with 2 DATA in FILE");
  EXPECT_EQ(host.syncsAtMessage, 2) << "the records and the folder that names them";
}

TEST(Durability, AFailingFlushIsAWriteFailureAndNeverFinish) {
  test::TempDir dir;
  dir.Write("LOG.CSV", test::kContact);
  failSync = true;
  test::Recorder host;
  const std::string message = Convert(dir.path(), "LOG.CSV", host);
  failSync = false;
  EXPECT_EQ(message, "Cannot write the output file \"" +
                         test::PathText(dir.path() / "marigold.txt") +
                         "\": Input/output error.\nThe device did not confirm the records given "
                         "to it, so marigold.txt.partial was not renamed.\nmarigold.txt.partial "
                         "holds the 1 whole record written; there is no marigold.txt. The next "
                         "START replaces marigold.txt.partial.");
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "marigold.txt"));
  EXPECT_EQ(test::Records(dir.Read("marigold.txt.partial")).size(), 1u);
}

// Starts a second conversion into the same folder from the first one's
// counter repaint, while the first one writes.
class SecondRun : public test::Recorder {
 public:
  explicit SecondRun(std::filesystem::path dir) : dir_(std::move(dir)) {}
  void RepaintCounter() override {
    if (second.empty()) second = Convert(dir_, "OTHER.CSV");
  }
  std::string second;

 private:
  std::filesystem::path dir_;
};

TEST(FolderLock, ASecondRunInTheFolderFailsWhileTheFirstWrites) {
  test::TempDir dir;
  dir.Write("LOG.CSV", std::string(test::kContact) + "\r\n" + test::kContact);
  dir.Write("OTHER.CSV", test::kContact);
  SecondRun host(dir.path());
  EXPECT_EQ(Convert(dir.path(), "LOG.CSV", host), "FINISH MARIGOLD.TXT with 2 DATA in FILE");
  EXPECT_EQ(host.second, "Another conversion is writing marigold.txt in \"" +
                             test::PathText(dir.path()) +
                             "\" at this moment.\nWait until it has finished, then press START "
                             "again. Nothing was changed.");
  EXPECT_EQ(test::Records(dir.Read("marigold.txt")).size(), 2u);
  // The lock is free again once the first run has closed its file.
  EXPECT_EQ(Convert(dir.path(), "OTHER.CSV"), "FINISH MARIGOLD.TXT with 1 DATA in FILE");
}

TEST(Output, TheTemporaryFileNeverFollowsALinkPlantedBeforeOrDuringARun) {
  const test::TempDir dir;
  const test::TempDir user;
  dir.Write("LOG.CSV", test::kContact);
  user.Write("precious", "precious");
  const std::filesystem::path partial = dir.path() / "marigold.txt.partial";
  std::filesystem::create_symlink(user.path() / "precious", partial);
  EXPECT_EQ(Convert(dir.path(), "LOG.CSV"), "FINISH MARIGOLD.TXT with 1 DATA in FILE");

  // Plants the link again and again, between a run's removal and creation too.
  std::atomic<bool> planting{true};
  std::thread planter([&] {
    // A link that is there already fails to be planted; the loop plants it again once removed.
    while (planting) {
      [[maybe_unused]] const int planted =
          ::symlink((user.path() / "precious").c_str(), partial.c_str());
    }
  });
  const std::string exists = "Cannot create the output file \"" + test::PathText(partial) +
                             "\": " + test::Reason(std::errc::file_exists) +
                             ".\nNo records were written; marigold.txt was not changed.";
  for (int run = 0; run < 30; ++run) {
    const std::string message = Convert(dir.path(), "LOG.CSV");
    EXPECT_TRUE(message == "FINISH MARIGOLD.TXT with 1 DATA in FILE" || message == exists ||
                message.starts_with("Cannot remove \""))
        << message;
  }
  planting = false;
  planter.join();
  EXPECT_EQ(user.Read("precious"), "precious");
  EXPECT_FALSE(std::filesystem::is_symlink(dir.path() / "marigold.txt"));
  EXPECT_EQ(test::Records(dir.Read("marigold.txt")).size(), 1u);
}

TEST(Output, TheNotesNeverFollowALinkPlantedAsEitherOfTheirNames) {
  const test::TempDir dir;
  const test::TempDir user;
  // A line cut short, which the notes name.
  dir.Write("LOG.CSV", std::string(test::kContact) + "\r\nshort\r\n");
  user.Write("precious", "precious");
  const std::filesystem::path partial = dir.path() / "marigold-notes.txt.partial";
  const std::filesystem::path notes = dir.path() / "marigold-notes.txt";
  const std::string finish =
      "FINISH MARIGOLD.TXT with 1 DATA in FILE\nSkipped 1 line with fewer than 26 fields: line 2";
  std::filesystem::create_symlink(user.path() / "precious", partial);
  std::filesystem::create_symlink(user.path() / "precious", notes);
  EXPECT_EQ(test::Convert(dir.path(), "LOG.CSV"), finish);
  EXPECT_FALSE(std::filesystem::is_symlink(notes));
  EXPECT_TRUE(dir.Read("marigold-notes.txt").find("Skipped, fewer than 26 fields: short") !=
              std::string::npos);
  // With nothing to note, a link by the notes' name goes, never the file it leads to.
  std::filesystem::remove(notes);
  std::filesystem::create_symlink(user.path() / "precious", notes);
  dir.Write("LOG.CSV", std::string(test::kContact) + "\r\n");
  EXPECT_EQ(test::Convert(dir.path(), "LOG.CSV"), "FINISH MARIGOLD.TXT with 1 DATA in FILE");
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(notes)));

  // Plants the link as the temporary name again and again, during runs too.
  dir.Write("LOG.CSV", std::string(test::kContact) + "\r\nshort\r\n");
  std::atomic<bool> planting{true};
  std::thread planter([&] {
    while (planting) {
      [[maybe_unused]] const int planted =
          ::symlink((user.path() / "precious").c_str(), partial.c_str());
    }
  });
  for (int run = 0; run < 30; ++run) {
    const std::string message = test::Convert(dir.path(), "LOG.CSV");
    EXPECT_TRUE(message == finish || message.starts_with(finish + "\nCannot write the list") ||
                message.starts_with("Cannot remove \""))
        << message;
  }
  planting = false;
  planter.join();
  EXPECT_EQ(user.Read("precious"), "precious");
  EXPECT_FALSE(std::filesystem::is_symlink(notes));
}

TEST(ProgramFolder, ANameThatIsNotUtf8IsUsedAsItIsAndShownWithReplacementCharacters) {
  const test::TempDir top;
  const std::filesystem::path dir = top.path() / "caf\xE9";
  std::filesystem::create_directory(dir);
  std::ofstream(dir / "LOG.CSV", std::ios::binary) << test::kContact;
  EXPECT_EQ(Convert(dir, "LOG.CSV"), "FINISH MARIGOLD.TXT with 1 DATA in FILE");
  EXPECT_TRUE(std::filesystem::exists(dir / "marigold.txt"));
  EXPECT_EQ(
      Convert(dir, "NONE.CSV"),
      "Cannot open the input file \"" + test::PathText(top.path()) +
          "/caf\xEF\xBF\xBD/NONE.CSV\": " + test::Reason(std::errc::no_such_file_or_directory) +
          ".\nSave the export in \"" + test::PathText(top.path()) +
          "/caf\xEF\xBF\xBD\", beside the program.\nNo records were written; marigold.txt was "
          "not changed.");
}

// Returns the process's peak resident memory in KiB, or -1.
long PeakKiB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with("VmHWM:")) return std::stol(line.substr(6));
  }
  return -1;
}

TEST(BoundedMemory, ALineOfHundredMiBEndsTheRunWithTheRecordsBeforeIt) {
  test::TempDir dir;
  {
    std::ofstream log(dir.path() / "LOG.CSV", std::ios::binary);
    for (int i = 0; i < 3; ++i) log << test::kContact << "\r\n";
    const std::string block(1024 * 1024, 'x');
    for (int i = 0; i < 100; ++i) log << block;
    log << "\r\n" << test::kContact << "\r\n";
  }
  // Writing 5 to clear_refs starts the peak anew from what the process holds now.
  if (!std::ofstream("/proc/self/clear_refs").write("5", 1)) GTEST_SKIP() << "no clear_refs";
  const long before = PeakKiB();
  test::Recorder host;
  EXPECT_EQ(Convert(dir.path(), "LOG.CSV", host),
            "Line 4 of the input file \"" + test::PathText(dir.path() / "LOG.CSV") +
                "\" is longer than 16 MiB: the file does not look like an export of the log.\n"
                "3 records were written to marigold.txt. Each of them is whole.");
  EXPECT_EQ(test::Records(dir.Read("marigold.txt")).size(), 3u);
  const long grown = PeakKiB() - before;
  RecordProperty("peak_growth_kib", std::to_string(grown));
#if defined(__SANITIZE_ADDRESS__)
  // AddressSanitizer keeps freed blocks in quarantine, the buffers the reader
  // outgrew among them: about 82 MiB here, against 47 MiB without it.
  constexpr long kMostKiB = 96 * 1024;
#else
  constexpr long kMostKiB = 64 * 1024;
#endif
  EXPECT_LT(grown, kMostKiB) << "KiB, for a line of 100 MiB";
}

TEST(RegionalDates, TellTheOrderOfAStrftimeDateFormat) {
  using conversion::DateOrder;
  using conversion::platform::DateOrderOf;
  EXPECT_EQ(DateOrderOf("%m/%d/%Y"), DateOrder::MonthFirst);  // en_US
  EXPECT_EQ(DateOrderOf("%D"), DateOrder::MonthFirst);
  EXPECT_EQ(DateOrderOf("%d.%m.%Y"), DateOrder::DayFirst);  // de_DE
  EXPECT_EQ(DateOrderOf("%-d/%-m/%Y"), DateOrder::DayFirst);
  EXPECT_EQ(DateOrderOf("%e-%m-%y"), DateOrder::DayFirst);
  EXPECT_EQ(DateOrderOf("%Y-%m-%d"), DateOrder::Unknown);  // a year first says nothing
  EXPECT_EQ(DateOrderOf("%F"), DateOrder::Unknown);
  EXPECT_EQ(DateOrderOf("%Ey. %m. %d."), DateOrder::Unknown);
  EXPECT_EQ(DateOrderOf("%%d %m/%d"), DateOrder::MonthFirst);
  EXPECT_EQ(DateOrderOf(""), DateOrder::Unknown);
}

TEST(RegionalDates, SayNothingInTheCAndPosixLocales) {
  const char* const saved = std::getenv("LC_ALL");
  const std::string kept = saved != nullptr ? saved : "";
  for (const char* name : {"C", "POSIX", "C.UTF-8", "xx_YY.UTF-8"}) {
    ::setenv("LC_ALL", name, 1);
    const conversion::RegionalDates dates = conversion::platform::ReadRegionalDates();
    EXPECT_EQ(dates.order, conversion::DateOrder::Unknown) << name;
    EXPECT_EQ(dates.am, "") << name;
    EXPECT_EQ(dates.pm, "") << name;
  }
  if (saved != nullptr) {
    ::setenv("LC_ALL", kept.c_str(), 1);
  } else {
    ::unsetenv("LC_ALL");
  }
}

// Runs a conversion of dir/LOG.CSV in a child process and kills it with
// SIGKILL where aim says; returns the size of marigold.txt.partial then.
std::uint64_t KillRun(const std::filesystem::path& dir, test::KillAim aim) {
  std::array<int, 2> told{};
  if (::pipe(told.data()) != 0) ADD_FAILURE() << "no pipe";
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(told[0]);
    // Tells the parent where the run is; a parent gone already needs no word.
    const auto tell = [&told](const char* what) {
      [[maybe_unused]] const ssize_t sent = ::write(told[1], what, 1);
    };
    test::KilledRunHost host([&] { tell("s"); },
                             [&] {
                               if (!aim.atMessage) return;
                               tell("m");
                               for (;;) ::pause();
                             });
    conversion::FormState form;
    form.NomeFile = "LOG.CSV";
    form.NomeUtente = "NAME";
    conversion::ConvertFile(form, dir, host);
    ::_exit(0);
  }
  ::close(told[1]);
  const std::string partial = test::PathText(dir / "marigold.txt.partial");
  const auto size = [&] {
    struct stat info {};
    return ::stat(partial.c_str(), &info) == 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
  };
  char heard = 0;
  // Waits for the first record: by then the run has cleared what an earlier one left.
  EXPECT_EQ(::read(told[0], &heard, 1), 1);
  int status = 0;
  bool ended = false;
  if (aim.atMessage) {
    EXPECT_EQ(::read(told[0], &heard, 1), 1);
  } else {
    struct stat info {};
    while (!(ended = ::waitpid(child, &status, WNOHANG) == child) &&
           (aim.bytes > 0 ? size() < aim.bytes : ::stat(partial.c_str(), &info) == 0)) {
    }
  }
  if (!ended) ::kill(child, SIGKILL);
  const std::uint64_t sent = size();
  ::close(told[0]);
  if (!ended) ::waitpid(child, &status, 0);
  return sent;
}

TEST(TypedPath, EachStepIsFoundIgnoringCaseAndSeveralAreNamed) {
  const test::TempDir program;
  const test::TempDir other;
  std::filesystem::create_directory(other.path() / "Exports");
  other.Write("Exports/log.csv", test::kContact);
  // A full path and a relative one, typed in capitals.
  const std::string full = other.path().string() + "/EXPORTS/LOG.CSV";
  const std::string relative = "../" + other.path().filename().string() + "/EXPORTS/LOG.CSV";
  test::Recorder host;
  EXPECT_EQ(Convert(program.path(), full, host), "FINISH MARIGOLD.TXT with 1 DATA in FILE");
  // The closing line names the output beside the program, not beside the export.
  EXPECT_EQ(host.writtenTo, "Written to \"" + (program.path() / "marigold.txt").string() + "\".");
  EXPECT_EQ(Convert(program.path(), relative), "FINISH MARIGOLD.TXT with 1 DATA in FILE");
  EXPECT_EQ(test::Records(program.Read("marigold.txt")).size(), 1u);

  std::filesystem::create_directory(other.path() / "exports");
  EXPECT_EQ(Convert(program.path(), full),
            "The name \"EXPORTS\" fits several folders in \"" + other.path().string() +
                "\" that differ only in case: Exports, exports.\n"
                "Paste the path or drop the file on the window: both keep its case. Nothing was "
                "changed.");
  // A step there exactly is taken; the other folder is named, in a failure too.
  std::filesystem::create_directory(other.path() / "EXPORTS");
  EXPECT_NE(Convert(program.path(), full)
                .find("\nUsed EXPORTS in \"" + other.path().string() +
                      "\", not Exports or exports, which differ from it only in case.\n"),
            std::string::npos);
  std::filesystem::remove(other.path() / "EXPORTS");
  // The path as it is on the disk needs no folding; the other folder is named.
  EXPECT_EQ(Convert(program.path(), other.path().string() + "/Exports/log.csv"),
            "FINISH MARIGOLD.TXT with 1 DATA in FILE\nUsed Exports in \"" + other.path().string() +
                "\", not exports, which differs from it only in case.");
}

TEST(TypedPath, RefusesALinkToTheOutputAPipeAndADeviceUntouched) {
  const test::TempDir program;
  const test::TempDir other;
  program.Write("marigold.txt", "earlier");
  std::filesystem::create_symlink(program.path() / "marigold.txt", other.path() / "LOG.CSV");
  EXPECT_TRUE(Convert(program.path(), (other.path() / "LOG.CSV").string())
                  .ends_with("\" is marigold.txt itself, the file this conversion writes.\n"
                             "Type the name of the exported log instead. Nothing was changed."));
  const std::string pipe = (other.path() / "pipe").string();
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const std::string beside = (program.path() / "FIFO.CSV").string();
  ASSERT_EQ(::mkfifo(beside.c_str(), 0600), 0);
  // Neither waits for a writer nor reads forever, a plain name beside the program too.
  for (const std::string& path : {pipe, std::string("/dev/zero"), beside}) {
    EXPECT_EQ(Convert(program.path(), path == beside ? "FIFO.CSV" : path),
              "The input file \"" + path +
                  "\" is a device or a pipe, not a file that holds an export.\n"
                  "Type the name of the exported log instead. Nothing was changed.");
  }
  EXPECT_EQ(program.Read("marigold.txt"), "earlier");
}

TEST(KilledRun, LeavesMarigoldWholeOrAbsent) {
  test::TempDir dir;
  test::ExpectWholeOrAbsentAfterKills(dir,
                                      [&](test::KillAim aim) { return KillRun(dir.path(), aim); });
}

}  // namespace
