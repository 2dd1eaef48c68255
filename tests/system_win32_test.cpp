#include <windows.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "input_name.h"
#include "platform_win32.h"
#include "test_support.h"

namespace {

using test::Convert;

std::string Read(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Windows, SystemErrorsAreGetLastErrorValuesWithPortableMeanings) {
  using conversion::platform::SystemError;
  const std::error_category& category = conversion::platform::Category();
  EXPECT_EQ(std::error_code(ERROR_LOCK_VIOLATION, category), std::errc::device_or_resource_busy);
  EXPECT_EQ(std::error_code(ERROR_HANDLE_DISK_FULL, category), std::errc::no_space_on_device);
  EXPECT_EQ(std::error_code(ERROR_PATH_NOT_FOUND, category), std::errc::no_such_file_or_directory);
  EXPECT_EQ(SystemError(std::errc::device_or_resource_busy).value(), ERROR_SHARING_VIOLATION);
  EXPECT_EQ(SystemError(std::errc::no_space_on_device).value(), ERROR_DISK_FULL);
  EXPECT_EQ(SystemError(std::errc::permission_denied).value(), ERROR_ACCESS_DENIED);
  // A code without a portable meaning keeps its own.
  const std::error_code other(ERROR_INVALID_DATA, category);
  EXPECT_EQ(other.default_error_condition(), std::error_condition(ERROR_INVALID_DATA, category));
  EXPECT_NE(other, std::errc::io_error);
}

TEST(Windows, FoldersAndExportsMayBeNamedInAnyScript) {
  test::TempDir dir;
  const std::filesystem::path folder = dir.path() / L"J\u00FCrg M\u00FCller \u0416\u03A9";
  std::filesystem::create_directory(folder);
  std::ofstream(folder / L"LOGB\u00DCCH.CSV", std::ios::binary) << test::kContact;

  EXPECT_EQ(Convert(folder,
                    "LOGB\xC3\x9C"
                    "CH.CSV"),
            "FINISH MARIGOLD.TXT with 1 DATA in FILE");
  EXPECT_EQ(test::Records(Read(folder / L"marigold.txt")).size(), 1u);

  EXPECT_EQ(Convert(folder, "NOPE\xC3\x9C.CSV"),
            "Cannot open the input file \"" + test::PathText(folder) + "\\NOPE\xC3\x9C.CSV\": " +
                test::Reason(std::errc::no_such_file_or_directory) + ".\n" + test::kRunsFromTheZip +
                "\nNo records were written; marigold.txt was not changed.");
}

TEST(Windows, AMissingExportOutsideTheTemporaryFolderIsToldWhereItBelongs) {
  // The folder the tests run in lies outside the temporary folder.
  const std::filesystem::path folder =
      std::filesystem::current_path() / ("s2m-" + std::to_string(::GetCurrentProcessId()));
  std::filesystem::create_directory(folder);
  const std::string message = Convert(folder, "LOG.CSV");
  std::filesystem::remove_all(folder);
  EXPECT_EQ(message, "Cannot open the input file \"" + test::PathText(folder) +
                         "\\LOG.CSV\": " + test::Reason(std::errc::no_such_file_or_directory) +
                         ".\n" + test::SaveTheExportIn(folder) +
                         "\nNo records were written; marigold.txt was not changed.");
}

TEST(Windows, TheTemporaryFolderIsRecognisedInShortFormAndAnyCase) {
  using conversion::LiesIn;
  using conversion::platform::TempFolder;
  test::TempDir dir;
  const std::filesystem::path folder = dir.path() / L"Temp1_swisslog-to-marigold \u00FC.zip";
  std::filesystem::create_directory(folder);
  std::wstring shortForm(MAX_PATH, L'\0');
  shortForm.resize(::GetShortPathNameW(folder.c_str(), shortForm.data(), MAX_PATH));
  ASSERT_FALSE(shortForm.empty());
  if (shortForm == folder.native()) GTEST_SKIP() << "no short names on this volume";
  EXPECT_EQ(conversion::platform::LongPath(conversion::platform::Utf8(shortForm)),
            test::PathText(folder));

  EXPECT_TRUE(LiesIn(conversion::platform::Utf8(shortForm), TempFolder()));
  std::wstring upper = folder.native();
  ::CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
  EXPECT_TRUE(LiesIn(conversion::platform::Utf8(upper), TempFolder()));
  EXPECT_FALSE(LiesIn(test::PathText(std::filesystem::current_path()), TempFolder()));
}

TEST(Windows, AWholePathOpensAtAnyLengthAndAPartOfOneIsRefused) {
  test::TempDir program;
  test::TempDir other;
  // Made through "\\?\", as no shorter name reaches past MAX_PATH.
  std::wstring folder = L"\\\\?\\" + other.path().wstring();
  for (wchar_t step = L'a'; step < L'f'; ++step) {
    folder += L"\\" + std::wstring(50, step);
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
  }
  const std::wstring file = folder + L"\\Log \u00FC.csv";
  std::ofstream(std::filesystem::path(file), std::ios::binary) << test::kContact;
  std::wstring typed = file.substr(4);
  ASSERT_GT(typed.size(), 260u);
  ::CharUpperBuffW(typed.data(), static_cast<DWORD>(typed.size()));
  for (const std::wstring& name : {typed, L"\"" + typed + L"\""}) {
    EXPECT_EQ(Convert(program.path(), conversion::platform::Utf8(name)),
              "FINISH MARIGOLD.TXT with 1 DATA in FILE");
  }
  EXPECT_EQ(test::Records(program.Read("marigold.txt")).size(), 1u);

  const std::string missing = conversion::platform::Utf8(folder.substr(4)) + "\\OLD\\LOG.CSV";
  const std::string message = Convert(program.path(), missing);
  EXPECT_TRUE(message.starts_with("Cannot open the input file \"" + missing + "\": ")) << message;
  EXPECT_NE(message.find("\nThe folder \"" + conversion::platform::Utf8(folder.substr(4)) +
                         "\\OLD\" does not exist.\n"),
            std::string::npos)
      << message;

  for (const std::string typedPart : {"C:LOG.CSV", "\\LOG.CSV"}) {
    EXPECT_EQ(Convert(program.path(), typedPart),
              "The name \"" + typedPart +
                  "\" leaves out the drive or the folder it starts from.\n"
                  "Type the whole path, such as C:\\Exports\\LOG.CSV, or the name of a file "
                  "beside the program. Nothing was changed.");
  }
  EXPECT_EQ(Convert(program.path(), "\\\\.\\NUL"),
            "The input file \"\\\\.\\NUL\" is a device or a pipe, not a file that holds an "
            "export.\nType the name of the exported log instead. Nothing was changed.");
  EXPECT_EQ(test::Records(program.Read("marigold.txt")).size(), 1u);
}

TEST(Windows, MarigoldHeldOpenByAnotherProgramIsLeftAsItWas) {
  test::TempDir dir;
  dir.Write("LOG.CSV", test::kContact);
  dir.Write("marigold.txt", "earlier");
  // A logbook still importing holds the file without sharing it.
  const HANDLE held = ::CreateFileW((dir.path() / L"marigold.txt").c_str(), GENERIC_READ, 0,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const std::string message = Convert(dir.path(), "LOG.CSV");
  ::CloseHandle(held);

  EXPECT_EQ(message, "Cannot replace the output file \"" +
                         test::PathText(dir.path() / L"marigold.txt") +
                         "\": " + test::Reason(std::errc::device_or_resource_busy) +
                         ".\nAnother program has it open: close it there, or let the logbook's "
                         "import finish, then press START again.\n"
                         "No records were written; marigold.txt was not changed.");
  EXPECT_EQ(dir.Read("marigold.txt"), "earlier");
  EXPECT_EQ(dir.Read("LOG.CSV"), test::kContact);
}

// Starts a second conversion into the same folder while the first one
// writes, and a third between the first one's close and its rename, which a
// program that holds marigold.txt open for a moment delays.
class SecondRun : public test::Recorder {
 public:
  explicit SecondRun(std::filesystem::path dir) : dir_(std::move(dir)) {}
  ~SecondRun() override { WaitForTheThird(); }
  void WaitForTheThird() {
    if (third_.joinable()) third_.join();
  }
  void RepaintCounter() override {
    if (second.empty()) second = Convert(dir_, "OTHER.CSV");
  }
  void SetCounterText(std::string_view text) override {
    Recorder::SetCounterText(text);
    if (text != "2") return;
    const HANDLE held = ::CreateFileW((dir_ / L"marigold.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    third_ = std::thread([this, held] {
      ::Sleep(200);
      third = Convert(dir_, "OTHER.CSV");
      ::CloseHandle(held);
    });
  }
  std::string second;
  std::string third;

 private:
  std::filesystem::path dir_;
  std::thread third_;
};

TEST(Windows, ASecondRunInTheFolderFailsWhileTheFirstWritesOrRenames) {
  test::TempDir dir;
  dir.Write("LOG.CSV", std::string(test::kContact) + "\r\n" + test::kContact);
  dir.Write("OTHER.CSV", test::kContact);
  conversion::FormState form;
  form.NomeFile = "LOG.CSV";
  {
    SecondRun host(dir.path());
    conversion::ConvertFile(form, dir.path(), host);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], "FINISH MARIGOLD.TXT with 2 DATA in FILE");
    const std::string busy = "Another conversion is writing marigold.txt in \"" +
                             test::PathText(dir.path()) +
                             "\" at this moment.\nWait until it has finished, then press START "
                             "again. Nothing was changed.";
    EXPECT_EQ(host.second, busy);
    host.WaitForTheThird();
    EXPECT_EQ(host.third, busy);
  }
  EXPECT_EQ(test::Records(dir.Read("marigold.txt")).size(), 2u);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / L"marigold.txt.lock"));
}

TEST(Windows, AnExportStillOpenInTheLoggingProgramConverts) {
  test::TempDir dir;
  dir.Write("LOG.CSV", test::kContact);
  const HANDLE writing = ::CreateFileW((dir.path() / L"LOG.CSV").c_str(), GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writing, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Convert(dir.path(), "LOG.CSV"), "FINISH MARIGOLD.TXT with 1 DATA in FILE");
  ::CloseHandle(writing);
}

TEST(Windows, RecordsEndInOneCrLfAndTheOperatorIsInTheAnsiCodePage) {
  if (::GetACP() != 1252) GTEST_SKIP() << "the ANSI code page here is " << ::GetACP();
  test::TempDir dir;
  dir.Write("LOG.CSV", test::ContactWith(8, "J\xE9r\xF4me") + "\r\n" + test::kContact + "\r\n");
  Convert(dir.path(), "LOG.CSV", "M\xC3\xBCller");
  const std::string file = dir.Read("marigold.txt");
  EXPECT_EQ(file.find("\r\r"), std::string::npos);
  const auto records = test::Records(file);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(test::Fields(records[0])[3], "M\xFCller");
  EXPECT_EQ(test::Fields(records[0])[47], conversion::platform::ToEightBit(test::Moment()));
}

TEST(Windows, TellsTheOrderOfAShortDatePicture) {
  using conversion::DateOrder;
  using conversion::platform::DateOrderOf;
  EXPECT_EQ(DateOrderOf("M/d/yyyy"), DateOrder::MonthFirst);    // en-US
  EXPECT_EQ(DateOrderOf("dd.MM.yyyy"), DateOrder::DayFirst);    // de-CH
  EXPECT_EQ(DateOrderOf("d-M-yyyy"), DateOrder::DayFirst);      // nl-NL
  EXPECT_EQ(DateOrderOf("yyyy/M/d"), DateOrder::Unknown);       // zh-CN: a year first says nothing
  EXPECT_EQ(DateOrderOf("yyyy. MM. dd."), DateOrder::Unknown);  // hu-HU
  EXPECT_EQ(DateOrderOf("'day' M/d/yyyy"), DateOrder::MonthFirst);  // quoted text is no picture
  EXPECT_EQ(DateOrderOf(""), DateOrder::Unknown);
}

TEST(Windows, ADevicesNameIsRefusedBeforeAnythingIsOpened) {
  test::TempDir dir;
  dir.Write("marigold.txt", "earlier");
  for (const std::string name : {"NUL", "NUL.CSV", "nul .csv", "AUX", "COM1", "Com\xC2\xB9.txt",
                                 "LPT9.", "CONIN$", "sub\\CON.CSV"}) {
    EXPECT_EQ(Convert(dir.path(), name),
              "The input file \"" + test::PathText(dir.path()) + "\\" + name +
                  "\" is a device or a pipe, not a file that holds an export.\n"
                  "Type the name of the exported log instead. Nothing was changed.");
  }
  EXPECT_EQ(dir.Read("marigold.txt"), "earlier");
  using conversion::platform::IsDeviceName;
  EXPECT_FALSE(IsDeviceName("CONSOLE.CSV"));
  EXPECT_FALSE(IsDeviceName("COM10"));
  EXPECT_FALSE(IsDeviceName("NULL"));
}

TEST(Windows, AProgramFolderPastMaxPathWritesItsOutput) {
  test::TempDir top;
  std::wstring folder = L"\\\\?\\" + top.path().wstring();
  for (wchar_t step = L'a'; step < L'f'; ++step) {
    folder += L"\\" + std::wstring(50, step);
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
  }
  std::ofstream(std::filesystem::path(folder + L"\\LOG.CSV"), std::ios::binary) << test::kContact;
  std::ofstream(std::filesystem::path(folder + L"\\marigold.txt"), std::ios::binary) << "earlier";
  const std::filesystem::path program = folder.substr(4);
  ASSERT_GT(program.native().size(), 260u);
  EXPECT_EQ(Convert(program, "LOG.CSV"), "FINISH MARIGOLD.TXT with 1 DATA in FILE");
  EXPECT_EQ(test::Records(Read(folder + L"\\marigold.txt")).size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(folder + L"\\marigold.txt.partial"));
  EXPECT_FALSE(std::filesystem::exists(folder + L"\\marigold.txt.lock"));
}

TEST(Windows, ALinkPlantedAsTheTemporaryFileOrTheLockIsNeverFollowed) {
  test::TempDir dir;
  test::TempDir user;
  dir.Write("LOG.CSV", test::kContact);
  user.Write("precious", "precious");
  const std::filesystem::path target = user.path() / L"precious";
  for (const wchar_t* name : {L"marigold.txt.partial", L"marigold.txt.lock"}) {
    const std::filesystem::path link = dir.path() / name;
    if (!::CreateSymbolicLinkW(link.c_str(), target.c_str(),
                               SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE)) {
      GTEST_SKIP() << "no links here: " << ::GetLastError();
    }
    const std::string message = Convert(dir.path(), "LOG.CSV");
    EXPECT_TRUE(message == "FINISH MARIGOLD.TXT with 1 DATA in FILE" ||
                message.starts_with("Cannot remove \""))
        << message;
    EXPECT_EQ(user.Read("precious"), "precious") << test::PathText(link);
    std::error_code ignored;
    std::filesystem::remove(link, ignored);
  }
  EXPECT_FALSE(std::filesystem::is_symlink(dir.path() / L"marigold.txt"));
}

// Puts a function of the test in place of a system function, while it lives,
// in the program's own import table, through which the core calls the system.
// The calls the core makes are seen as they are, without a seam in the core.
class ImportHook {
 public:
  ImportHook(const char* name, void* replacement) {
    auto* const base = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
    const auto* const dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* const nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* library = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         library->Name != 0; ++library) {
      const DWORD listed =
          library->OriginalFirstThunk != 0 ? library->OriginalFirstThunk : library->FirstThunk;
      auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + listed);
      auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
      for (; names->u1.AddressOfData != 0; ++names, ++slots) {
        if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
        const auto* const byName =
            reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
        if (std::strcmp(reinterpret_cast<const char*>(byName->Name), name) != 0) continue;
        slot_ = &slots->u1.Function;
        // NOLINTNEXTLINE(performance-no-int-to-ptr): the table holds addresses as integers.
        original = reinterpret_cast<void*>(*slot_);
        Set(replacement);
        return;
      }
    }
  }
  ImportHook(const ImportHook&) = delete;
  ImportHook& operator=(const ImportHook&) = delete;
  ~ImportHook() {
    if (slot_ != nullptr) Set(original);
  }
  bool found() const { return slot_ != nullptr; }

  void* original = nullptr;  // the system's own function

 private:
  void Set(void* function) {
    DWORD was = 0;
    ::VirtualProtect(slot_, sizeof(*slot_), PAGE_READWRITE, &was);
    *slot_ = reinterpret_cast<decltype(IMAGE_THUNK_DATA::u1.Function)>(function);
    ::VirtualProtect(slot_, sizeof(*slot_), was, &was);
  }

  decltype(IMAGE_THUNK_DATA::u1.Function)* slot_ = nullptr;
};

// Returns the index that tells a file from the others on its volume; 0 when it cannot be told.
std::uint64_t IndexOf(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(file, &info)) return 0;
  return (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow;
}

// What the hooks below saw, in order: "flush <index>" and "move <flags> <new name>".
std::vector<std::string> seen;
decltype(&::FlushFileBuffers) systemFlush = nullptr;
decltype(&::MoveFileExW) systemMove = nullptr;

BOOL WINAPI SeenFlush(HANDLE file) {
  seen.push_back("flush " + std::to_string(IndexOf(file)));
  return systemFlush(file);
}

BOOL WINAPI SeenMove(LPCWSTR from, LPCWSTR to, DWORD flags) {
  seen.push_back("move " + std::to_string(flags) + " " +
                 std::filesystem::path(to).filename().string());
  return systemMove(from, to, flags);
}

TEST(Windows, TheFileWrittenIsFlushedAndThenRenamedWrittenThrough) {
  test::TempDir dir;
  dir.Write("LOG.CSV", std::string(test::kContact) + "\r\n" + test::kContact);
  dir.Write("marigold.txt", "earlier");
  seen.clear();
  std::string message;
  {
    const ImportHook flush("FlushFileBuffers", reinterpret_cast<void*>(&SeenFlush));
    const ImportHook move("MoveFileExW", reinterpret_cast<void*>(&SeenMove));
    ASSERT_TRUE(flush.found() && move.found()) << "the calls go through the import table";
    systemFlush = reinterpret_cast<decltype(systemFlush)>(flush.original);
    systemMove = reinterpret_cast<decltype(systemMove)>(move.original);
    message = Convert(dir.path(), "LOG.CSV");
  }
  EXPECT_EQ(message, "FINISH MARIGOLD.TXT with 2 DATA in FILE");
  const HANDLE output = ::CreateFileW((dir.path() / L"marigold.txt").c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(output, INVALID_HANDLE_VALUE);
  const std::uint64_t written = IndexOf(output);
  ::CloseHandle(output);
  // The file that became marigold.txt, and it alone, was flushed before its rename.
  EXPECT_EQ(seen, (std::vector<std::string>{
                      "flush " + std::to_string(written),
                      "move " + std::to_string(MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) +
                          " marigold.txt"}));
}

// Name what the KilledRun test hands the copy of this program it starts.
constexpr const wchar_t* kChildDir = L"S2M_KILLED_RUN_DIR";
constexpr const wchar_t* kChildAtMessage = L"S2M_KILLED_RUN_AT_MESSAGE";
constexpr const wchar_t* kChildEvents = L"S2M_KILLED_RUN_EVENTS";

// Converts as the child of KilledRun: sets the first event named to it once
// it has made its first record, and the second at its closing message, where
// it waits to be terminated when told to.
[[noreturn]] void ConvertUntilTerminated(const wchar_t* dir) {
  const std::wstring events = _wgetenv(kChildEvents);
  const HANDLE started = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, (events + L"-s").c_str());
  const HANDLE message = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, (events + L"-m").c_str());
  if (started == nullptr || message == nullptr) ::ExitProcess(2);
  const bool atMessage = _wgetenv(kChildAtMessage)[0] == L'1';
  test::KilledRunHost host([started] { ::SetEvent(started); },
                           [message, atMessage] {
                             if (!atMessage) return;
                             ::SetEvent(message);
                             for (;;) ::Sleep(INFINITE);
                           });
  conversion::FormState form;
  form.NomeFile = "LOG.CSV";
  form.NomeUtente = "NAME";
  conversion::ConvertFile(form, dir, host);
  ::ExitProcess(0);
}

// Returns the size of a file, 0 when there is none.
std::uint64_t SizeOf(const std::filesystem::path& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

// Runs a conversion of dir/LOG.CSV in a copy of this program and terminates it
// where aim says; returns the size of marigold.txt.partial then.
std::uint64_t TerminateRun(const std::filesystem::path& dir, test::KillAim aim) {
  static int runs = 0;
  const std::wstring events = L"s2m-killed-run-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++runs);
  const HANDLE started = ::CreateEventW(nullptr, TRUE, FALSE, (events + L"-s").c_str());
  const HANDLE message = ::CreateEventW(nullptr, TRUE, FALSE, (events + L"-m").c_str());
  ::SetEnvironmentVariableW(kChildDir, dir.c_str());
  ::SetEnvironmentVariableW(kChildAtMessage, aim.atMessage ? L"1" : L"0");
  ::SetEnvironmentVariableW(kChildEvents, events.c_str());
  std::wstring self(MAX_PATH, L'\0');
  self.resize(::GetModuleFileNameW(nullptr, self.data(), MAX_PATH));
  std::wstring command = L"\"" + self + L"\" --gtest_filter=KilledRun.LeavesMarigoldWholeOrAbsent";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION child{};
  const BOOL made = ::CreateProcessW(self.c_str(), command.data(), nullptr, nullptr, FALSE, 0,
                                     nullptr, nullptr, &startup, &child);
  for (const wchar_t* name : {kChildDir, kChildAtMessage, kChildEvents}) {
    ::SetEnvironmentVariableW(name, nullptr);
  }
  std::uint64_t sent = 0;
  if (made) {
    const auto ended = [&] { return ::WaitForSingleObject(child.hProcess, 0) == WAIT_OBJECT_0; };
    // Waits for the first record: by then the run has cleared what an earlier one left.
    const std::array<HANDLE, 2> first{started, child.hProcess};
    EXPECT_EQ(::WaitForMultipleObjects(2, first.data(), FALSE, INFINITE), WAIT_OBJECT_0);
    const std::filesystem::path partial = dir / L"marigold.txt.partial";
    if (aim.atMessage) {
      const std::array<HANDLE, 2> last{message, child.hProcess};
      EXPECT_EQ(::WaitForMultipleObjects(2, last.data(), FALSE, INFINITE), WAIT_OBJECT_0);
    } else {
      while (!ended() &&
             (aim.bytes > 0 ? SizeOf(partial) < aim.bytes : std::filesystem::exists(partial))) {
      }
    }
    ::TerminateProcess(child.hProcess, 9);
    sent = SizeOf(partial);
    ::WaitForSingleObject(child.hProcess, INFINITE);
    ::CloseHandle(child.hThread);
    ::CloseHandle(child.hProcess);
  }
  ::CloseHandle(started);
  ::CloseHandle(message);
  EXPECT_TRUE(made) << ::GetLastError();
  return sent;
}

TEST(KilledRun, LeavesMarigoldWholeOrAbsent) {
  if (const wchar_t* childDir = _wgetenv(kChildDir)) ConvertUntilTerminated(childDir);
  test::TempDir dir;
  test::ExpectWholeOrAbsentAfterKills(
      dir, [&](test::KillAim aim) { return TerminateRun(dir.path(), aim); });
}

}  // namespace
