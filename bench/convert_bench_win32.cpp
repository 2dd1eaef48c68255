// Times the Windows conversion of an export that is already on disk, best of R runs, against a
// flushed copy of it: through the core, and from a click on START in the real window to its
// closing message; then the system calls a run makes once per line or once per second.
// Usage: convert_bench_windows --dir PATH [--name NAME] [--lines N] [--repeat R]
// Prints one line per measurement: a label, then "best" and "median" in seconds.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "conversion.h"
#include "form1.h"
#include "platform.h"
#include "platform_win32.h"
#include "quiet_host.h"

namespace {

constexpr DWORD kCopyBlock = 1024 * 1024;  // the block size the conversion reads and writes
constexpr const wchar_t* kCopyName = L"copy.out";

struct Options {
  std::filesystem::path dir;
  std::filesystem::path name = L"LOG.CSV";
  std::uint64_t lines = 0;  // records the completion message must count; 0 takes any
  int repeat = 5;
};

using bench::QuietHost;

double Since(std::chrono::steady_clock::time_point begin) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
}

// Returns true when message is the completion message, for that many records unless lines is 0.
bool Completed(const std::string& message, std::uint64_t lines) {
  const std::string start = "FINISH MARIGOLD.TXT with ";
  if (!message.starts_with(start)) return false;
  if (lines == 0) return true;
  const std::string expected = start + std::to_string(lines) + " DATA in FILE";
  return message.starts_with(expected) &&
         (message.size() == expected.size() || message[expected.size()] == '\n' ||
          message[expected.size()] == '\r');
}

// Returns the seconds one conversion of dir/name takes, or a negative number when it fails.
double Convert(const Options& options) {
  conversion::FormState form;
  form.NomeFile = conversion::platform::PathText(options.name);
  form.NomeUtente = "NAME";
  QuietHost host;
  const auto begin = std::chrono::steady_clock::now();
  conversion::ConvertFile(form, options.dir, host);
  const double seconds = Since(begin);
  if (!Completed(host.message, options.lines)) {
    std::fprintf(stderr, "unexpected closing message: %s\n", host.message.c_str());
    return -1;
  }
  return seconds;
}

// Shows the program's window with the export's name and an operator typed in, as a user
// would before clicking START.
class Window {
 public:
  explicit Window(const Options& options) : form_(options.dir) {
    ok_ = form_.Create(::GetModuleHandleW(nullptr));
    if (!ok_) return;
    ::SetWindowTextW(form_.Control("Text1"), options.name.c_str());
    ::SetWindowTextW(form_.Control("Text2"), L"NAME");
    ::ShowWindow(form_.Handle(), SW_SHOWNORMAL);
    ::UpdateWindow(form_.Handle());
    form_.SetMessageBox([this](HWND, const std::wstring&, const std::wstring& text) {
      shown_ = std::chrono::steady_clock::now();
      // The completion message is ASCII up to its count.
      message_.assign(text.size(), '?');
      std::transform(text.begin(), text.end(), message_.begin(),
                     [](wchar_t c) { return c < 128 ? static_cast<char>(c) : '?'; });
    });
  }

  // Returns the seconds from the click on START until the closing message shows, or a negative
  // number when the window cannot be made or the message is not the completion message.
  double Click(std::uint64_t lines) {
    if (!ok_) return -1;
    message_.clear();
    const auto begin = std::chrono::steady_clock::now();
    const HWND start = form_.Control("Command1");
    ::SendMessageW(form_.Handle(), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(start), BN_CLICKED),
                   reinterpret_cast<LPARAM>(start));
    if (!Completed(message_, lines)) {
      std::fprintf(stderr, "unexpected closing message: %s\n", message_.c_str());
      return -1;
    }
    return std::chrono::duration<double>(shown_ - begin).count();
  }

 private:
  Form1 form_;
  bool ok_ = false;
  std::string message_;
  std::chrono::steady_clock::time_point shown_;
};

// Returns the seconds a copy of from to to takes in blocks of the conversion's size, flushed to
// the device before it is closed, or a negative number when it fails.
double Copy(const std::filesystem::path& from, const std::filesystem::path& to) {
  const auto begin = std::chrono::steady_clock::now();
  const HANDLE in = ::CreateFileW(from.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  const HANDLE out = ::CreateFileW(to.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
  bool ok = in != INVALID_HANDLE_VALUE && out != INVALID_HANDLE_VALUE;
  std::vector<char> buffer(kCopyBlock);
  while (ok) {
    DWORD got = 0;
    if (!::ReadFile(in, buffer.data(), kCopyBlock, &got, nullptr)) ok = false;
    if (!ok || got == 0) break;
    DWORD put = 0;
    ok = ::WriteFile(out, buffer.data(), got, &put, nullptr) && put == got;
  }
  ok = ok && ::FlushFileBuffers(out);
  if (in != INVALID_HANDLE_VALUE) ::CloseHandle(in);
  if (out != INVALID_HANDLE_VALUE) ok = ::CloseHandle(out) && ok;
  ::DeleteFileW(to.c_str());
  if (!ok) std::fprintf(stderr, "cannot copy the export: system error %lu\n", ::GetLastError());
  return ok ? Since(begin) : -1;
}

// Returns the nanoseconds one call of call takes, averaged over count calls.
template <typename Call>
double NanosecondsPerCall(int count, Call call) {
  const auto begin = std::chrono::steady_clock::now();
  for (int i = 0; i < count; ++i) call(i);
  return Since(begin) * 1e9 / count;
}

void Print(const char* label, std::vector<double> seconds) {
  std::sort(seconds.begin(), seconds.end());
  std::printf("%-12s best %.3f median %.3f\n", label, seconds.front(), seconds[seconds.size() / 2]);
}

bool ParseOptions(int argc, wchar_t** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::wstring_view arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == L"--dir" && hasValue) {
      options.dir = argv[++i];
    } else if (arg == L"--name" && hasValue) {
      options.name = argv[++i];
    } else if (arg == L"--lines" && hasValue) {
      options.lines = std::wcstoull(argv[++i], nullptr, 10);
    } else if (arg == L"--repeat" && hasValue) {
      options.repeat = std::max(1, static_cast<int>(std::wcstol(argv[++i], nullptr, 10)));
    } else {
      std::fprintf(
          stderr,
          "Usage: convert_bench_windows --dir PATH [--name NAME] [--lines N] [--repeat R]\n"
          "  --dir     folder that holds the export; marigold.txt is written there\n"
          "  --name    the export's file name (default LOG.CSV)\n"
          "  --lines   records the completion message must count (default: any)\n"
          "  --repeat  runs of each measurement; the best counts (default 5)\n");
      return false;
    }
  }
  return !options.dir.empty();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Options options;
  if (!ParseOptions(argc, argv, options)) return 2;
  const std::filesystem::path input = options.dir / options.name;
  std::vector<double> copies;
  std::vector<double> conversions;
  std::vector<double> clicks;
  Window window(options);
  // The runs take turns, so that a disturbance on the machine hits all of them alike.
  for (int round = 0; round < options.repeat; ++round) {
    const double copy = Copy(input, options.dir / kCopyName);
    const double conversion = Convert(options);
    const double click = window.Click(options.lines);
    if (copy < 0 || conversion < 0 || click < 0) return 1;
    copies.push_back(copy);
    conversions.push_back(conversion);
    clicks.push_back(click);
  }
  Print("copy", copies);
  Print("core", conversions);
  Print("window", clicks);

  // Calls a run makes once per line (the clock) or once per second (the moment, the name).
  const std::time_t now = std::time(nullptr);
  volatile std::time_t sink = 0;
  std::printf("ns/call     time %.0f\n",
              NanosecondsPerCall(1000000, [&](int) { sink = std::time(nullptr); }));
  std::printf("ns/call     platform::Now %.0f\n",
              NanosecondsPerCall(1000000, [&](int) { sink = conversion::platform::Now(); }));
  // Calls the window once made per line before it looked at the clock every 256th line only.
  std::printf("ns/call     steady_clock::now %.0f\n", NanosecondsPerCall(1000000, [&](int) {
                sink = std::chrono::steady_clock::now().time_since_epoch().count();
              }));
  std::printf("ns/call     Wide %.0f\n", NanosecondsPerCall(1000000, [&](int) {
                sink = static_cast<std::time_t>(conversion::platform::Wide("123456").size());
              }));
  std::printf("ns/call     FormatMoment %.0f\n", NanosecondsPerCall(20000, [&](int i) {
                sink = static_cast<std::time_t>(conversion::platform::FormatMoment(now + i).size());
              }));
  std::printf("ns/call     ToEightBit %.0f\n", NanosecondsPerCall(20000, [&](int) {
                sink = static_cast<std::time_t>(conversion::platform::ToEightBit("NAME").size());
              }));
  return 0;
}
