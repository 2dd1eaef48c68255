#include <windows.h>

#include <algorithm>
#include <array>
#include <climits>
#include <utility>

#include "platform.h"
#include "platform_win32.h"

namespace conversion::platform {

namespace {

constexpr DWORD kLargestIo = 1U << 30;  // bytes one ReadFile or WriteFile moves at most
// Seconds from 1601, where file times start, to 1970.
constexpr ULONGLONG kUnixEpoch = 11644473600ULL;
// ERROR_DIRECTORY_NOT_SUPPORTED, missing from older headers.
constexpr int kDirectoryNotSupported = 336;

// NOLINTNEXTLINE(performance-no-int-to-ptr): File keeps its handle as an integer for both systems.
HANDLE Handle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

std::intptr_t Value(HANDLE handle) { return reinterpret_cast<std::intptr_t>(handle); }

int LastError() { return static_cast<int>(::GetLastError()); }

int CloseHandleValue(std::intptr_t handle) {
  if (Handle(handle) == INVALID_HANDLE_VALUE) return 0;
  return ::CloseHandle(Handle(handle)) ? 0 : LastError();
}

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

std::string Reason(int error) {
  wchar_t* text = nullptr;
  const DWORD n = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(error), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  if (n == 0 || text == nullptr) return "system error " + std::to_string(error);
  std::wstring reason(text, n);
  ::LocalFree(text);
  // The system's texts end in a full stop and a line break; the messages add their own.
  while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r' ||
                             reason.back() == L' ' || reason.back() == L'.')) {
    reason.pop_back();
  }
  return Utf8(reason);
}

bool InUse(int error) { return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION; }

std::string PathText(const std::filesystem::path& path) { return Utf8(path.native()); }

File::File(File&& other) noexcept : handle_(std::exchange(other.handle_, kNone)) {}

File& File::operator=(File&& other) noexcept {
  std::swap(handle_, other.handle_);
  return *this;
}

File::~File() { CloseHandleValue(handle_); }

File File::OpenForReading(const std::string& path, int& error) {
  // The logging program may still hold its export open, even for writing.
  const std::wstring wide = Wide(path);
  const HANDLE handle =
      ::CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error = LastError();
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      error = kDirectoryNotSupported;
    }
    return File();
  }
  error = 0;
  return File(Value(handle));
}

File File::Create(const std::string& path, int& error) {
  const HANDLE handle = ::CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
  error = handle == INVALID_HANDLE_VALUE ? LastError() : 0;
  return handle == INVALID_HANDLE_VALUE ? File() : File(Value(handle));
}

std::ptrdiff_t File::Read(char* data, std::size_t size, int& error) {
  DWORD n = 0;
  const auto wanted = static_cast<DWORD>(std::min<std::size_t>(size, kLargestIo));
  if (!::ReadFile(Handle(handle_), data, wanted, &n, nullptr)) {
    // The writing end of a pipe closed: the end of the input.
    if (::GetLastError() == ERROR_BROKEN_PIPE) return 0;
    error = LastError();
    return -1;
  }
  return static_cast<std::ptrdiff_t>(n);
}

bool File::WriteAll(const char* data, std::size_t size, std::size_t& done, int& error) {
  done = 0;
  while (done < size) {
    DWORD n = 0;
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, kLargestIo));
    if (!::WriteFile(Handle(handle_), data + done, chunk, &n, nullptr)) {
      done += n;
      error = LastError();
      return false;
    }
    done += n;
  }
  return true;
}

bool File::Truncate(std::uint64_t size) {
  LARGE_INTEGER position{};
  position.QuadPart = static_cast<LONGLONG>(size);
  return ::SetFilePointerEx(Handle(handle_), position, nullptr, FILE_BEGIN) &&
         ::SetEndOfFile(Handle(handle_));
}

int File::Sync() { return ::FlushFileBuffers(Handle(handle_)) ? 0 : LastError(); }

int File::Close() { return CloseHandleValue(std::exchange(handle_, kNone)); }

bool File::Is(const std::string& path) const {
  // Asking for no data access opens a file whatever another program shares.
  const HANDLE other =
      ::CreateFileW(Wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (other == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION mine{};
  BY_HANDLE_FILE_INFORMATION theirs{};
  const bool same = ::GetFileInformationByHandle(Handle(handle_), &mine) &&
                    ::GetFileInformationByHandle(other, &theirs) &&
                    mine.dwVolumeSerialNumber == theirs.dwVolumeSerialNumber &&
                    mine.nFileIndexHigh == theirs.nFileIndexHigh &&
                    mine.nFileIndexLow == theirs.nFileIndexLow;
  ::CloseHandle(other);
  return same;
}

FolderLock::FolderLock(FolderLock&& other) noexcept : handle_(std::exchange(other.handle_, -1)) {}

FolderLock& FolderLock::operator=(FolderLock&& other) noexcept {
  std::swap(handle_, other.handle_);
  return *this;
}

FolderLock::~FolderLock() { CloseHandleValue(handle_); }

bool FolderLock::Take(const std::string& /*dir*/, FolderLock& /*lock*/) {
  // marigold.txt stays open without sharing for the whole run: a second run
  // cannot delete or create it and reports the file in use.
  return true;
}

bool Missing(const std::string& path) {
  if (::GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES) return false;
  const DWORD error = ::GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool Remove(const std::string& path) { return ::DeleteFileW(Wide(path).c_str()) != 0; }

std::vector<std::string> ListFolder(const std::string& dir) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found{};
  const HANDLE search = ::FindFirstFileExW(Wide(dir + "\\*").c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring_view name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(Utf8(name));
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  return names;
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

std::string ToEightBit(std::string_view utf8) {
  std::wstring wide = Wide(utf8);
  // A character beyond U+FFFF takes two UTF-16 units and stands for one '?'.
  const auto pair = [](wchar_t high, wchar_t low) {
    return high >= 0xD800 && high <= 0xDBFF && low >= 0xDC00 && low <= 0xDFFF;
  };
  wide.erase(std::unique(wide.begin(), wide.end(), pair), wide.end());
  return Narrow(wide, CP_ACP);
}

}  // namespace conversion::platform
