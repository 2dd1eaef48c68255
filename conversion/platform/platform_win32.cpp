// The platform layer's file system on Windows: files, the folder lock, removal, renames and
// folder listings through Win32 calls, with UTF-8 paths widened to UTF-16.

#include <windows.h>

#include <algorithm>
#include <array>

#include "platform.h"
#include "platform_win32.h"

namespace conversion::platform {

namespace {

constexpr DWORD kLargestIo = 1U << 30;  // bytes one ReadFile or WriteFile moves at most

// NOLINTNEXTLINE(performance-no-int-to-ptr): Handle keeps handles as integers.
HANDLE Win32Handle(std::intptr_t value) { return reinterpret_cast<HANDLE>(value); }

HANDLE Win32Handle(const Handle& handle) { return Win32Handle(handle.get()); }

std::intptr_t Value(HANDLE handle) { return reinterpret_cast<std::intptr_t>(handle); }

std::error_code LastError() { return {static_cast<int>(::GetLastError()), Category()}; }

// Returns a path as the file calls take it: one of MAX_PATH characters or more
// written out whole behind "\\?\", which lifts the limit.
std::wstring FilePath(const std::string& path) {
  std::wstring wide = Wide(path);
  if (wide.size() < MAX_PATH - 12 || wide.starts_with(L"\\\\?\\")) return wide;
  const DWORD n = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  std::wstring full(n, L'\0');
  const DWORD written = ::GetFullPathNameW(wide.c_str(), n, full.data(), nullptr);
  if (written == 0 || written >= n) return wide;
  full.resize(written);
  if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC" + full.substr(1);
  return L"\\\\?\\" + full;
}

}  // namespace

std::error_code Handle::reset(std::intptr_t value) noexcept {
  const std::intptr_t old = std::exchange(value_, value);
  if (old != kNone && !::CloseHandle(Win32Handle(old))) return LastError();
  return {};
}

std::error_code File::OpenForReading(const std::string& path, File& file) {
  // The logging program may still hold its export open, even for writing.
  const std::wstring wide = FilePath(path);
  Handle opened(Value(::CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr)));
  if (!opened) {
    const std::error_code error = LastError();
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      return SystemError(std::errc::is_a_directory);
    }
    return error;
  }
  // The last check of a device or a pipe, which the run refuses before it opens anything.
  if (::GetFileType(Win32Handle(opened)) != FILE_TYPE_DISK) {
    return SystemError(std::errc::no_such_device);
  }
  file.handle_ = std::move(opened);
  return {};
}

std::error_code File::Create(const std::string& path, File& file) {
  // A link by the name is never followed: CREATE_NEW fails on it as on a file.
  Handle created(Value(
      ::CreateFileW(FilePath(path).c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, 0, nullptr,
                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr)));
  if (!created) return LastError();
  file.handle_ = std::move(created);
  return {};
}

std::error_code File::Id(FileId& id) const {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(Win32Handle(handle_), &info)) return LastError();
  id = {info.dwVolumeSerialNumber, (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
  return {};
}

std::error_code File::Read(char* data, std::size_t size, std::size_t& done) {
  DWORD n = 0;
  const auto wanted = static_cast<DWORD>(std::min<std::size_t>(size, kLargestIo));
  const bool read = ::ReadFile(Win32Handle(handle_), data, wanted, &n, nullptr);
  done = n;
  // The writing end of a pipe closed: the end of the input.
  if (read || ::GetLastError() == ERROR_BROKEN_PIPE) return {};
  return LastError();
}

std::error_code File::Write(const char* data, std::size_t size, std::size_t& done) {
  DWORD n = 0;
  const auto chunk = static_cast<DWORD>(std::min<std::size_t>(size, kLargestIo));
  const bool written = ::WriteFile(Win32Handle(handle_), data, chunk, &n, nullptr);
  done = n;
  return written ? std::error_code() : LastError();
}

std::error_code File::Truncate(std::uint64_t size) {
  LARGE_INTEGER position{};
  position.QuadPart = static_cast<LONGLONG>(size);
  if (::SetFilePointerEx(Win32Handle(handle_), position, nullptr, FILE_BEGIN) &&
      ::SetEndOfFile(Win32Handle(handle_))) {
    return {};
  }
  return LastError();
}

std::error_code File::Sync() {
  return ::FlushFileBuffers(Win32Handle(handle_)) ? std::error_code() : LastError();
}

// Windows starts writing a file's cached bytes by itself and has no call to
// start it early for a range, nor one to drop a range from its cache.
void File::StartWriteBack(std::uint64_t /*from*/, std::uint64_t /*length*/) {}

void File::DropWritten(std::uint64_t /*from*/, std::uint64_t /*length*/) {}

bool File::Is(const std::string& path) const {
  // Asking for no data access opens a file whatever another program shares.
  const Handle other(Value(::CreateFileW(
      FilePath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)));
  if (!other) return false;
  BY_HANDLE_FILE_INFORMATION mine{};
  BY_HANDLE_FILE_INFORMATION theirs{};
  return ::GetFileInformationByHandle(Win32Handle(handle_), &mine) &&
         ::GetFileInformationByHandle(Win32Handle(other), &theirs) &&
         mine.dwVolumeSerialNumber == theirs.dwVolumeSerialNumber &&
         mine.nFileIndexHigh == theirs.nFileIndexHigh && mine.nFileIndexLow == theirs.nFileIndexLow;
}

std::error_code FolderLock::Take(const std::string& dir, FolderLock& lock) {
  // A second run cannot open the file while this one holds it. The system
  // deletes it once its last handle closes, when the run ends or is killed.
  // A link planted by the name is opened and deleted itself, never what it leads to.
  Handle held(Value(::CreateFileW(
      FilePath(JoinPath(dir, "marigold.txt.lock")).c_str(), DELETE, 0, nullptr, OPEN_ALWAYS,
      FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr)));
  if (!held) {
    if (::GetLastError() == ERROR_SHARING_VIOLATION) {
      return SystemError(std::errc::operation_would_block);
    }
    return LastError();
  }
  lock.handle_ = std::move(held);
  return {};
}

bool Missing(const std::string& path) {
  if (::GetFileAttributesW(FilePath(path).c_str()) != INVALID_FILE_ATTRIBUTES) return false;
  const DWORD error = ::GetLastError();
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool IsDevice(const std::string& path) {
  // Asking for no data access neither reads nor waits, even on a pipe.
  const Handle opened(Value(::CreateFileW(
      FilePath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)));
  return opened && ::GetFileType(Win32Handle(opened)) != FILE_TYPE_DISK;
}

bool Leads(const std::filesystem::path& path, const FileId& id) {
  // A link by the name opens as itself, a file of its own.
  const Handle named(Value(::CreateFileW(
      path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr)));
  BY_HANDLE_FILE_INFORMATION info{};
  return named && ::GetFileInformationByHandle(Win32Handle(named), &info) &&
         (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0 &&
         FileId{info.dwVolumeSerialNumber,
                (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow} == id;
}

std::error_code Replaceable(const std::filesystem::path& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return {};
  } else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return SystemError(std::errc::is_a_directory);
  }
  // Opening for deletion without sharing is refused while another program,
  // a logbook importing it, holds the file.
  const Handle opened(Value(::CreateFileW(path.c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_OPEN_REPARSE_POINT, nullptr)));
  if (opened) return {};
  const DWORD error = ::GetLastError();
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return {};
  return LastError();
}

std::filesystem::path SystemPath(const std::string& path) { return FilePath(path); }

std::error_code Remove(const std::filesystem::path& path) {
  const auto gone = [&] {
    return ::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES &&
           (::GetLastError() == ERROR_FILE_NOT_FOUND || ::GetLastError() == ERROR_PATH_NOT_FOUND);
  };
  // A file that another program holds with delete sharing is only marked for
  // deletion and keeps its name until that program closes it.
  if (::DeleteFileW(path.c_str())) {
    return gone() ? std::error_code() : SystemError(std::errc::device_or_resource_busy);
  }
  const std::error_code error = LastError();
  // A file marked so refuses every access, to its attributes too.
  if (error.value() == ERROR_ACCESS_DENIED &&
      ::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES &&
      ::GetLastError() == ERROR_ACCESS_DENIED) {
    return SystemError(std::errc::device_or_resource_busy);
  }
  return error;
}

std::error_code Rename(const std::filesystem::path& from, const std::filesystem::path& to) {
  return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
             ? std::error_code()
             : LastError();
}

std::error_code SyncFolder(const std::filesystem::path& /*dir*/) {
  return {};  // the rename was written through
}

bool MayClear(const std::error_code& error) {
  return error.category() == Category() &&
         (error.value() == ERROR_SHARING_VIOLATION || error.value() == ERROR_ACCESS_DENIED);
}

void Pause(int ms) { ::Sleep(static_cast<DWORD>(ms)); }

std::error_code ListFolder(const std::string& dir, std::vector<std::string>& names) {
  WIN32_FIND_DATAW found{};
  const HANDLE search = ::FindFirstFileExW(FilePath(dir + "\\*").c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) return LastError();
  do {
    const std::wstring_view name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(Utf8(name));
  } while (::FindNextFileW(search, &found));
  const std::error_code error =
      ::GetLastError() == ERROR_NO_MORE_FILES ? std::error_code() : LastError();
  ::FindClose(search);
  return error;
}

std::string TempFolder() {
  std::array<wchar_t, MAX_PATH + 1> folder{};
  const DWORD n = ::GetTempPathW(static_cast<DWORD>(folder.size()), folder.data());
  if (n == 0 || n >= folder.size()) return {};
  std::wstring_view text(folder.data(), n);
  // Drops the closing backslash, which no program folder ends in.
  if (text.size() > 3 && text.back() == L'\\') text.remove_suffix(1);
  return Utf8(text);
}

std::string LongPath(const std::string& path) {
  const std::wstring wide = Wide(path);
  const DWORD n = ::GetLongPathNameW(wide.c_str(), nullptr, 0);
  if (n == 0) return path;
  std::wstring text(n, L'\0');
  const DWORD written = ::GetLongPathNameW(wide.c_str(), text.data(), n);
  if (written == 0 || written >= n) return path;
  text.resize(written);
  return Utf8(text);
}

}  // namespace conversion::platform
