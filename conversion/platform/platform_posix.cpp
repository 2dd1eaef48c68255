// The platform layer's file system on Linux: files, the folder lock, removal, renames and
// folder listings through POSIX calls.

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform.h"

namespace conversion::platform {

namespace {

std::error_code LastError() { return {errno, Category()}; }

int Fd(const Handle& handle) { return static_cast<int>(handle.get()); }

}  // namespace

std::error_code Handle::reset(std::intptr_t value) noexcept {
  const std::intptr_t old = std::exchange(value_, value);
  // Linux frees the descriptor even when close fails: it is never closed twice.
  if (old != kNone && ::close(static_cast<int>(old)) != 0) return LastError();
  return {};
}

std::error_code File::OpenForReading(const std::string& path, File& file) {
  // Looks before it opens: opening a pipe waits for a writer, and a terminal
  // would become the program's own.
  struct stat named {};
  if (::stat(path.c_str(), &named) != 0) return LastError();
  if (S_ISDIR(named.st_mode)) return SystemError(std::errc::is_a_directory);
  if (!S_ISREG(named.st_mode)) return SystemError(std::errc::no_such_device);
  Handle opened(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!opened) return LastError();
  struct stat info {};
  if (::fstat(Fd(opened), &info) != 0) return LastError();
  // Another file took the name between the look and the open.
  if (!S_ISREG(info.st_mode) || info.st_dev != named.st_dev || info.st_ino != named.st_ino) {
    return SystemError(S_ISDIR(info.st_mode) ? std::errc::is_a_directory
                                             : std::errc::no_such_device);
  }
  file.handle_ = std::move(opened);
  return {};
}

std::error_code File::Create(const std::string& path, File& file) {
  Handle created(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
  if (!created) return LastError();
  file.handle_ = std::move(created);
  return {};
}

std::error_code File::Id(FileId& id) const {
  struct stat info {};
  if (::fstat(Fd(handle_), &info) != 0) return LastError();
  id = {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
  return {};
}

std::error_code File::Read(char* data, std::size_t size, std::size_t& done) {
  const ssize_t n = ::read(Fd(handle_), data, size);
  done = n > 0 ? static_cast<std::size_t>(n) : 0;
  return n < 0 ? LastError() : std::error_code();
}

std::error_code File::Write(const char* data, std::size_t size, std::size_t& done) {
  const ssize_t n = ::write(Fd(handle_), data, size);
  done = n > 0 ? static_cast<std::size_t>(n) : 0;
  return n < 0 ? LastError() : std::error_code();
}

std::error_code File::Truncate(std::uint64_t size) {
  return ::ftruncate(Fd(handle_), static_cast<off_t>(size)) == 0 ? std::error_code() : LastError();
}

std::error_code File::Sync() {
  if (::fsync(Fd(handle_)) == 0 || errno == EINVAL || errno == ENOTSUP) return {};
  return LastError();
}

void File::StartWriteBack(std::uint64_t from, std::uint64_t length) {
  static_cast<void>(::sync_file_range(Fd(handle_), static_cast<off_t>(from),
                                      static_cast<off_t>(length), SYNC_FILE_RANGE_WRITE));
}

void File::DropWritten(std::uint64_t from, std::uint64_t length) {
  static_cast<void>(::posix_fadvise(Fd(handle_), static_cast<off_t>(from),
                                    static_cast<off_t>(length), POSIX_FADV_DONTNEED));
}

bool File::Is(const std::string& path) const {
  struct stat mine {};
  struct stat other {};
  return ::fstat(Fd(handle_), &mine) == 0 && ::stat(path.c_str(), &other) == 0 &&
         mine.st_dev == other.st_dev && mine.st_ino == other.st_ino;
}

std::error_code FolderLock::Take(const std::string& dir, FolderLock& lock) {
  // The lock sits on the folder itself: every copy of the program that writes
  // there sees it, and no lock file is left behind.
  Handle folder(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!folder) return LastError();
  if (::flock(Fd(folder), LOCK_EX | LOCK_NB) != 0) return LastError();
  lock.handle_ = std::move(folder);
  return {};
}

bool Missing(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) != 0 && errno == ENOENT;
}

bool IsDevice(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
}

bool Leads(const std::filesystem::path& path, const FileId& id) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         FileId{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)} ==
             id;
}

std::error_code Replaceable(const std::filesystem::path& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return errno == ENOENT ? std::error_code() : LastError();
  return S_ISDIR(info.st_mode) ? SystemError(std::errc::is_a_directory) : std::error_code();
}

std::filesystem::path SystemPath(const std::string& path) { return path; }

std::error_code Remove(const std::filesystem::path& path) {
  return ::unlink(path.c_str()) == 0 ? std::error_code() : LastError();
}

std::error_code Rename(const std::filesystem::path& from, const std::filesystem::path& to) {
  return ::rename(from.c_str(), to.c_str()) == 0 ? std::error_code() : LastError();
}

std::error_code SyncFolder(const std::filesystem::path& dir) {
  const Handle folder(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!folder) return LastError();
  if (::fsync(Fd(folder)) == 0 || errno == EINVAL || errno == ENOTSUP) return {};
  return LastError();
}

bool MayClear(const std::error_code& /*error*/) { return false; }

void Pause(int ms) { ::usleep(static_cast<useconds_t>(ms) * 1000U); }

std::error_code ListFolder(const std::string& dir, std::vector<std::string>& names) {
  DIR* const folder = ::opendir(dir.c_str());
  if (folder == nullptr) return LastError();
  errno = 0;
  while (const dirent* entry = ::readdir(folder)) {
    const std::string_view name = entry->d_name;
    if (name != "." && name != "..") names.emplace_back(name);
    errno = 0;
  }
  const std::error_code error = errno != 0 ? LastError() : std::error_code();
  ::closedir(folder);
  return error;
}

std::string TempFolder() { return {}; }

std::string LongPath(const std::string& path) { return path; }

}  // namespace conversion::platform
