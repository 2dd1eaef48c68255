#pragma once

#include <gtest/gtest.h>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "conversion.h"
#include "platform.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "platform_win32.h"
#endif

namespace test {

// Records what a run asks of the window.
class Recorder : public conversion::Host {
 public:
  void RepaintCounter() override { events.push_back("repaint " + counter); }
  void SetCounterText(std::string_view text) override { counter = std::string(text); }
  // Keeps the line that ends every completion, naming marigold.txt's full path,
  // apart in writtenTo, so that tests compare the rest of the message.
  void ShowMessage(std::string_view text) override {
    std::string message(text);
    if (message.starts_with("FINISH ")) {
      const std::size_t last = message.rfind('\n');
      writtenTo = last == std::string::npos ? std::string() : message.substr(last + 1);
      EXPECT_TRUE(writtenTo.starts_with("Written to \"") && writtenTo.ends_with("marigold.txt\"."))
          << message;
      message.resize(std::min(last, message.size()));
      // The line before it names marigold-notes.txt when a contact was noticed.
      const std::size_t notes =
          message.rfind("\nEvery noticed contact, with its call, date and time: ");
      notesLine = notes == std::string::npos ? std::string() : message.substr(notes + 1);
      if (notes != std::string::npos) message.resize(notes);
    }
    messages.push_back(std::move(message));
  }
  std::time_t Now() override { return now; }
  conversion::RegionalDates Regional() override { return regional; }

  std::string counter = "0";
  std::vector<std::string> events;
  std::vector<std::string> messages;
  std::string writtenTo;  // the last line of the last completion
  std::string notesLine;  // the line of the last completion that names marigold-notes.txt, or none
  std::time_t now = LocalTime(2026, 12, 7, 10, 20, 30);
  conversion::RegionalDates regional;  // a PC whose settings tell nothing of dates

  // Returns the time of a local calendar date and clock time.
  static std::time_t LocalTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    return std::mktime(&local);
  }
};

#ifdef _WIN32
// Returns 7 December 2026 in the user's short date form and, unless dateOnly,
// a blank and hour:minute:second in the long time form, asked of the system
// for that day itself.
inline std::string SystemMoment(WORD hour, WORD minute, WORD second, bool dateOnly = false) {
  SYSTEMTIME when{};
  when.wYear = 2026;
  when.wMonth = 12;
  when.wDay = 7;
  when.wHour = hour;
  when.wMinute = minute;
  when.wSecond = second;
  std::array<wchar_t, 80> date{};
  std::array<wchar_t, 80> time{};
  ::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &when, nullptr, date.data(), 80,
                    nullptr);
  if (dateOnly) return conversion::platform::Utf8(date.data());
  ::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &when, nullptr, time.data(), 80);
  return conversion::platform::Utf8(std::wstring(date.data()) + L" " + time.data());
}
#endif

// Returns field 47 for Recorder's default time, 7 December 2026 10:20:30, as
// the system the tests run on writes it: the short date and the long time of
// the user's locale on Windows; the C locale's "%x %X" elsewhere.
inline std::string Moment() {
#ifdef _WIN32
  return SystemMoment(10, 20, 30);
#else
  return "12/07/26 10:20:30";
#endif
}

// Returns a path as the messages quote it.
inline std::string PathText(const std::filesystem::path& path) {
  return conversion::platform::PathText(path);
}

// Returns the system's reason for a condition as the messages quote it.
inline std::string Reason(std::errc condition) {
  return conversion::platform::Reason(conversion::platform::SystemError(condition));
}

inline constexpr const char* kHeader =
    "DXCC,Call,Date,Time,End,Band,Mode,QRG,Name,Operator,Comment,QTH-Locator,QTH,RSTS,RSTS_NR,"
    "RSTR,RSTR_NR,QSLR,QSLS,QSL-Action,SPEZ,MY-QTH,Contest,QSL-Mgr,Region,WPX";

inline constexpr const char* kContact =
    "W,HB9XYZ/P,05.03.2000,05.03.2000 14:07:33,05.03.2000 14:10:00,20m,SSB,14.200,Hans,OP1,"
    "Nice chat,JN47AB,Bern,59,001,57,002,1,0,S,SP,MYQTH,CT,MGR1,EU,HB9";

// Tells that a missing export was looked for in a temporary folder, where the
// program runs when started from inside its zip.
inline constexpr const char* kRunsFromTheZip =
    "The program runs from inside the zip, in a temporary folder: copy swisslog-to-marigold.exe "
    "into a folder of your own, put the export beside it and start it there.";

// Returns the sentence that says where a missing export belongs on a system
// whose temporary folder holds no program, given the program's folder.
inline std::string SaveTheExportIn(const std::filesystem::path& dir) {
  return "Save the export in \"" + conversion::platform::PathText(dir) + "\", beside the program.";
}

// Returns the bytes of UTF-16 units in either byte order, as a file holds them.
inline std::string Utf16Bytes(std::u16string_view units, bool bigEndian = false) {
  std::string bytes;
  for (const char16_t u : units) {
    const char low = static_cast<char>(u & 0xFF);
    const char high = static_cast<char>(u >> 8);
    bytes += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

// Splits a record at its bars; field k of the record is element k.
inline std::vector<std::string> Fields(const std::string& record) {
  std::vector<std::string> fields;
  std::string field;
  std::istringstream in(record);
  while (std::getline(in, field, '|')) fields.push_back(field);
  return fields;
}

// Returns kContact with the fields at the given indexes replaced.
inline std::string ContactWith(std::initializer_list<std::pair<std::size_t, std::string>> changes) {
  std::vector<std::string> fields;
  std::string field;
  std::istringstream in(kContact);
  while (std::getline(in, field, ',')) fields.push_back(field);
  for (const auto& [index, value] : changes) fields.at(index) = value;
  std::string line;
  for (const std::string& f : fields) line += (line.empty() ? "" : ",") + f;
  return line;
}

inline std::string ContactWith(std::size_t index, const std::string& value) {
  return ContactWith({{index, value}});
}

// Splits an output file into records, each of which must be whole: ended by
// CR LF and holding 49 bars.
inline std::vector<std::string> Records(const std::string& file) {
  std::vector<std::string> records;
  for (std::size_t pos = 0, end = 0; pos < file.size(); pos = end + 2) {
    end = file.find("\r\n", pos);
    if (end == std::string::npos) {
      ADD_FAILURE() << "the file ends in a cut record: " << file.substr(pos, 80);
      break;
    }
    records.push_back(file.substr(pos, end - pos));
    EXPECT_EQ(std::count(records.back().begin(), records.back().end(), '|'), 49);
  }
  return records;
}

// Runs a conversion of dir/name as START does; returns the one message host shows.
inline std::string Convert(const std::filesystem::path& dir, const std::string& name,
                           Recorder& host, const std::string& operatorName = "NAME") {
  conversion::FormState form;
  form.NomeFile = name;
  form.NomeUtente = operatorName;
  conversion::ConvertFile(form, dir, host);
  EXPECT_EQ(host.messages.size(), 1u);
  return host.messages.empty() ? std::string() : host.messages.back();
}

// Runs a conversion of dir/name as START does; returns the one message shown.
inline std::string Convert(const std::filesystem::path& dir, const std::string& name,
                           const std::string& operatorName = "NAME") {
  Recorder host;
  return Convert(dir, name, host, operatorName);
}

// Returns a name the way the core passes names: UTF-8 on Windows, bytes elsewhere.
inline std::filesystem::path Utf8Path(const std::string& name) {
#ifdef _WIN32
  return std::filesystem::path(std::u8string(name.begin(), name.end()));
#else
  return name;
#endif
}

// Creates an empty folder for one test and removes it afterwards.
class TempDir {
 public:
  TempDir() {
    std::random_device random;
    do {
      path_ = std::filesystem::temp_directory_path() / ("s2m-" + std::to_string(random()));
    } while (!std::filesystem::create_directory(path_));
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }

  const std::filesystem::path& path() const { return path_; }

  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(path_ / Utf8Path(name), std::ios::binary) << bytes;
  }

  std::string Read(const std::string& name) const {
    std::ifstream in(path_ / Utf8Path(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

 private:
  std::filesystem::path path_;
};

// Returns an export whose records fill many write blocks, of lengths that never
// line up with a block, and one of them longer than a block.
inline std::string LargeExport() {
  std::string bytes = std::string(kHeader) + "\r\n";
  for (std::size_t i = 1; i <= 30000; ++i) {
    const std::size_t length = i == 9000 ? 1536 * 1024 : i * 37 % 400;
    bytes += ContactWith(10, std::string(length, static_cast<char>('a' + i % 26))) + "\r\n";
  }
  return bytes;
}

// Converts in a child process that a test kills: tells when it has made its
// first record and when it shows its closing message, and pauses a moment
// every 200 records so that a kill can land anywhere in the run.
class KilledRunHost : public conversion::Host {
 public:
  KilledRunHost(std::function<void()> started, std::function<void()> message)
      : started_(std::move(started)), message_(std::move(message)) {}

  void RepaintCounter() override {}
  void SetCounterText(std::string_view) override {
    if (++made_ == 1) started_();
    if (made_ % 200 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  void ShowMessage(std::string_view) override { message_(); }
  std::time_t Now() override { return 0; }

 private:
  std::uint64_t made_ = 0;
  std::function<void()> started_;
  std::function<void()> message_;
};

// Aims the kill of a run: once marigold.txt.partial holds at least bytes, or
// with bytes 0 once it has become marigold.txt; or at the closing message.
struct KillAim {
  std::uint64_t bytes = 0;
  bool atMessage = false;
};

// Converts LargeExport in dir, then kills a run of it through kill at every
// 5 % of the output, once marigold.txt has its name and at the closing
// message. kill returns the size of marigold.txt.partial when the kill was
// sent. Each kill must leave marigold.txt byte for byte the earlier one that
// the run found, or that of a whole run, with field 47 fixed.
inline void ExpectWholeOrAbsentAfterKills(const TempDir& dir,
                                          const std::function<std::uint64_t(KillAim)>& kill) {
  dir.Write("LOG.CSV", LargeExport());
  KilledRunHost host([] {}, [] {});
  conversion::FormState form;
  form.NomeFile = "LOG.CSV";
  form.NomeUtente = "NAME";
  conversion::ConvertFile(form, dir.path(), host);
  const std::string full = dir.Read("marigold.txt");
  ASSERT_EQ(Records(full).size(), 30001u);

  std::vector<KillAim> aims;
  for (std::uint64_t k = 1; k < 20; ++k) aims.push_back({full.size() * k / 20, false});
  aims.push_back({0, false});
  aims.push_back({0, true});
  int withPartial = 0;
  int complete = 0;
  int kept = 0;
  const std::string earlier = "an earlier run's marigold.txt\r\n";
  for (const KillAim& aim : aims) {
    dir.Write("marigold.txt", earlier);
    const std::uint64_t sent = kill(aim);
    if (testing::Test::HasFatalFailure()) return;
    std::error_code ignored;
    const bool named = std::filesystem::exists(dir.path() / "marigold.txt");
    const std::uintmax_t partial =
        std::filesystem::file_size(dir.path() / "marigold.txt.partial", ignored);
    const std::uintmax_t left = ignored ? 0 : partial;
    std::printf("kill aimed at %s %llu: sent at %llu bytes of %zu; left %s, partial %llu bytes\n",
                aim.atMessage ? "message" : "bytes", static_cast<unsigned long long>(aim.bytes),
                static_cast<unsigned long long>(sent), full.size(),
                !named                                ? "no marigold.txt"
                : dir.Read("marigold.txt") == earlier ? "the earlier marigold.txt"
                                                      : "a new marigold.txt",
                static_cast<unsigned long long>(left));
    EXPECT_TRUE(named) << "the earlier marigold.txt is gone";
    const std::string now = named ? dir.Read("marigold.txt") : std::string();
    EXPECT_TRUE(now == full || now == earlier) << "marigold.txt is neither the earlier one nor a "
                                                  "whole run's";
    if (now == full) ++complete;
    if (now == earlier) ++kept;
    if (left > 0) ++withPartial;
  }
  EXPECT_GE(withPartial, 1) << "no kill landed while the records were written";
  EXPECT_GE(kept, 1) << "no kill landed before the rename";
  EXPECT_GE(complete, 1) << "no kill landed after the rename";
}

}  // namespace test
