// The platform layer's errors' words, clock and regional settings on Windows: the system's
// reasons, the user's date forms, and the conversions between UTF-8, UTF-16 and code pages.

#include <windows.h>

#include <algorithm>
#include <array>
#include <climits>
#include <string>
#include <system_error>

#include "platform.h"
#include "platform_win32.h"
#include "text.h"

namespace conversion::platform {

namespace {

// Seconds from 1601, where file times start, to 1970.
constexpr ULONGLONG kUnixEpoch = 11644473600ULL;

struct Translation {
  DWORD code;
  std::errc condition;
};

// The portable condition of each system code the file calls report; the first
// code of a condition is the one SystemError gives for it.
constexpr std::array kTranslations = {
    Translation{ERROR_FILE_NOT_FOUND, std::errc::no_such_file_or_directory},
    Translation{ERROR_PATH_NOT_FOUND, std::errc::no_such_file_or_directory},
    Translation{ERROR_INVALID_DRIVE, std::errc::no_such_file_or_directory},
    Translation{ERROR_INVALID_NAME, std::errc::no_such_file_or_directory},
    Translation{ERROR_BAD_NETPATH, std::errc::no_such_file_or_directory},
    Translation{ERROR_BAD_NET_NAME, std::errc::no_such_file_or_directory},
    Translation{ERROR_ACCESS_DENIED, std::errc::permission_denied},
    Translation{ERROR_CANT_ACCESS_FILE, std::errc::permission_denied},
    Translation{ERROR_PRIVILEGE_NOT_HELD, std::errc::operation_not_permitted},
    Translation{ERROR_SHARING_VIOLATION, std::errc::device_or_resource_busy},
    Translation{ERROR_LOCK_VIOLATION, std::errc::device_or_resource_busy},
    Translation{ERROR_BUSY, std::errc::device_or_resource_busy},
    Translation{ERROR_DISK_FULL, std::errc::no_space_on_device},
    Translation{ERROR_HANDLE_DISK_FULL, std::errc::no_space_on_device},
    Translation{336, std::errc::is_a_directory},  // ERROR_DIRECTORY_NOT_SUPPORTED
    Translation{ERROR_DIRECTORY, std::errc::not_a_directory},
    Translation{ERROR_WRITE_PROTECT, std::errc::read_only_file_system},
    Translation{ERROR_IO_DEVICE, std::errc::io_error},
    Translation{ERROR_CRC, std::errc::io_error},
    Translation{ERROR_GEN_FAILURE, std::errc::io_error},
    Translation{ERROR_READ_FAULT, std::errc::io_error},
    Translation{ERROR_WRITE_FAULT, std::errc::io_error},
    Translation{ERROR_SECTOR_NOT_FOUND, std::errc::io_error},
    Translation{ERROR_NOT_ENOUGH_MEMORY, std::errc::not_enough_memory},
    Translation{ERROR_OUTOFMEMORY, std::errc::not_enough_memory},
    Translation{ERROR_FILE_EXISTS, std::errc::file_exists},
    Translation{ERROR_ALREADY_EXISTS, std::errc::file_exists},
    Translation{ERROR_DIR_NOT_EMPTY, std::errc::directory_not_empty},
    Translation{ERROR_FILENAME_EXCED_RANGE, std::errc::filename_too_long},
    Translation{ERROR_TOO_MANY_OPEN_FILES, std::errc::too_many_files_open},
    Translation{ERROR_INVALID_HANDLE, std::errc::bad_file_descriptor},
    Translation{ERROR_INVALID_PARAMETER, std::errc::invalid_argument},
    Translation{ERROR_NOT_SUPPORTED, std::errc::not_supported},
    Translation{ERROR_INVALID_FUNCTION, std::errc::function_not_supported},
    Translation{ERROR_NOT_SAME_DEVICE, std::errc::cross_device_link},
    Translation{ERROR_BROKEN_PIPE, std::errc::broken_pipe},
    Translation{ERROR_OPERATION_ABORTED, std::errc::operation_canceled},
    Translation{WSAEINTR, std::errc::interrupted},
    Translation{WSAEWOULDBLOCK, std::errc::operation_would_block},
};

// Speaks of GetLastError values in FormatMessageW's words.
class WindowsCategory final : public std::error_category {
 public:
  const char* name() const noexcept override { return "windows"; }

  std::string message(int code) const override {
    wchar_t* text = nullptr;
    const DWORD n = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    if (n == 0 || text == nullptr) return "system error " + std::to_string(code);
    std::wstring reason(text, n);
    ::LocalFree(text);
    // The system's texts end in a full stop and a line break; the messages add their own.
    while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r' ||
                               reason.back() == L' ' || reason.back() == L'.')) {
      reason.pop_back();
    }
    return Utf8(reason);
  }

  std::error_condition default_error_condition(int code) const noexcept override {
    for (const Translation& t : kTranslations) {
      if (t.code == static_cast<DWORD>(code)) return std::make_error_condition(t.condition);
    }
    return {code, *this};
  }
};

// Converts UTF-16 to a code page; an 8-bit page gets '?', never a look-alike, for
// a character it lacks.
std::string Narrow(std::wstring_view wide, UINT codePage) {
  if (wide.empty()) return {};
  const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  const int size = static_cast<int>(std::min<std::size_t>(wide.size(), INT_MAX));
  const int n =
      ::WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(n), '\0');
  ::WideCharToMultiByte(codePage, flags, wide.data(), size, text.data(), n, nullptr, nullptr);
  return text;
}

}  // namespace

const std::error_category& Category() {
  static const WindowsCategory category;
  return category;
}

std::error_code SystemError(std::errc condition) {
  for (const Translation& t : kTranslations) {
    if (t.condition == condition) return {static_cast<int>(t.code), Category()};
  }
  return std::make_error_code(condition);
}

std::wstring Wide(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int size = static_cast<int>(std::min<std::size_t>(utf8.size(), INT_MAX));
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), n);
  return wide;
}

std::string Utf8(std::wstring_view wide) { return Narrow(wide, CP_UTF8); }

const char kSeparator = '\\';

std::string PathText(const std::filesystem::path& path) { return Utf8(path.native()); }

namespace {

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Returns true when path starts with a drive letter and a colon.
bool HasDrive(std::string_view path) {
  return path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == ':';
}

// Returns the position after steps more steps of path from pos, each with its
// closing separator when it has one.
std::size_t SkipSteps(std::string_view path, std::size_t pos, int steps) {
  for (; steps > 0 && pos < path.size(); --steps) {
    while (pos < path.size() && !IsSeparator(path[pos])) ++pos;
    if (pos < path.size()) ++pos;
  }
  return pos;
}

// Returns true when the step of path at pos is text, ignoring case.
bool StepIs(std::string_view path, std::size_t pos, std::string_view text) {
  const std::size_t end = SkipSteps(path, pos, 1);
  std::string_view step = path.substr(pos, end - pos);
  if (!step.empty() && IsSeparator(step.back())) step.remove_suffix(1);
  return step.size() == text.size() &&
         std::equal(step.begin(), step.end(), text.begin(),
                    [](char a, char b) { return (a | 0x20) == (b | 0x20); });
}

}  // namespace

std::size_t RootLength(std::string_view path) {
  if (HasDrive(path)) return path.size() >= 3 && IsSeparator(path[2]) ? 3 : 0;
  if (path.size() < 2 || !IsSeparator(path[0]) || !IsSeparator(path[1])) return 0;
  // A device path (\\?\ or \\.\) names a drive, a device or UNC\server\share next;
  // any other names a server and a share.
  const bool device =
      path.size() >= 4 && (path[2] == '?' || path[2] == '.') && IsSeparator(path[3]);
  if (!device) return SkipSteps(path, 2, 2);
  return SkipSteps(path, 4, StepIs(path, 4, "UNC") ? 3 : 1);
}

bool PartlyRooted(std::string_view path) {
  if (HasDrive(path)) return RootLength(path) == 0;
  return !path.empty() && IsSeparator(path[0]) && (path.size() < 2 || !IsSeparator(path[1]));
}

bool IsDeviceName(std::string_view name) {
  // The system reads a name up to its first dot or colon, without the blanks
  // that end it, as the device.
  std::string_view base = name.substr(0, name.find_first_of(".:"));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  const auto is = [&](std::string_view device) { return SameIgnoringAsciiCase(base, device); };
  if (is("CON") || is("PRN") || is("AUX") || is("NUL") || is("CONIN$") || is("CONOUT$")) {
    return true;
  }
  if (base.size() < 4) return false;
  const std::string_view digit = base.substr(3);
  // A digit, or the superscript one, two or three in UTF-8.
  const bool numbered = (digit.size() == 1 && IsDigit(digit[0])) || digit == "\xC2\xB9" ||
                        digit == "\xC2\xB2" || digit == "\xC2\xB3";
  const std::string_view kind = base.substr(0, 3);
  return numbered && (SameIgnoringAsciiCase(kind, "COM") || SameIgnoringAsciiCase(kind, "LPT"));
}

std::time_t Now() {
  // The C library's time() looks the time zone up on every call; the file time does not.
  FILETIME now{};
  ::GetSystemTimeAsFileTime(&now);
  const ULONGLONG ticks = (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  return static_cast<std::time_t>(ticks / 10000000ULL - kUnixEpoch);
}

std::string FormatMoment(std::time_t t) {
  // Converts the time to a SYSTEMTIME in the user's time zone.
  ULARGE_INTEGER ticks{};
  ticks.QuadPart = (static_cast<ULONGLONG>(t) + kUnixEpoch) * 10000000ULL;
  FILETIME utc{ticks.LowPart, ticks.HighPart};
  SYSTEMTIME utcTime{};
  SYSTEMTIME local{};
  if (!::FileTimeToSystemTime(&utc, &utcTime) ||
      !::SystemTimeToTzSpecificLocalTime(nullptr, &utcTime, &local)) {
    return {};
  }
  std::array<wchar_t, 128> date{};
  std::array<wchar_t, 128> time{};
  const int dateLength = ::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &local,
                                           nullptr, date.data(), 128, nullptr);
  std::wstring text(date.data(), dateLength > 0 ? static_cast<std::size_t>(dateLength - 1) : 0);
  if (local.wHour == 0 && local.wMinute == 0 && local.wSecond == 0) return Utf8(text);
  const int timeLength =
      ::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &local, nullptr, time.data(), 128);
  text += L' ';
  text.append(time.data(), timeLength > 0 ? static_cast<std::size_t>(timeLength - 1) : 0);
  return Utf8(text);
}

DateOrder DateOrderOf(std::string_view pattern) {
  bool quoted = false;  // text between single quotes is written as it stands
  for (const char c : pattern) {
    if (c == '\'') quoted = !quoted;
    if (quoted) continue;
    if (c == 'd') return DateOrder::DayFirst;
    if (c == 'M') return DateOrder::MonthFirst;
    if (c == 'y' || c == 'g') return DateOrder::Unknown;
  }
  return DateOrder::Unknown;
}

RegionalDates ReadRegionalDates() {
  RegionalDates dates;
  const auto info = [](LCTYPE type) {
    std::array<wchar_t, 96> text{};
    const int n = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, text.data(),
                                    static_cast<int>(text.size()));
    return Utf8(std::wstring_view(text.data(), n > 0 ? static_cast<std::size_t>(n - 1) : 0));
  };
  dates.order = DateOrderOf(info(LOCALE_SSHORTDATE));
  dates.am = info(LOCALE_S1159);
  dates.pm = info(LOCALE_S2359);
  return dates;
}

std::string ToEightBit(std::string_view utf8) {
  const std::wstring wide = Wide(utf8);
  // A character beyond U+FFFF takes two UTF-16 units and stands for one '?':
  // its low half is dropped, and the high half alone becomes the '?'.
  std::wstring units;
  units.reserve(wide.size());
  for (std::size_t i = 0; i < wide.size(); ++i) {
    units.push_back(wide[i]);
    const bool high = wide[i] >= 0xD800 && wide[i] <= 0xDBFF;
    if (high && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) ++i;
  }
  return Narrow(units, CP_ACP);
}

std::string FromEightBit(std::string_view bytes) {
  if (bytes.empty()) return {};
  const int size = static_cast<int>(std::min<std::size_t>(bytes.size(), INT_MAX));
  const int n = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, wide.data(), n);
  // The page's undefined bytes come through as C1 controls, which are no text.
  for (wchar_t& c : wide) {
    if (c >= 0x80 && c <= 0x9F) c = 0xFFFD;
  }
  return Narrow(wide, CP_UTF8);
}

}  // namespace conversion::platform
