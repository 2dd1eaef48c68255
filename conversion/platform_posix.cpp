#include <fcntl.h>
#include <iconv.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <system_error>
#include <utility>

#include "platform.h"
#include "text.h"

namespace conversion::platform {

namespace {

int CloseFd(std::intptr_t fd) { return fd >= 0 && ::close(static_cast<int>(fd)) != 0 ? errno : 0; }

int Fd(std::intptr_t handle) { return static_cast<int>(handle); }

}  // namespace

const char kSeparator = '/';

std::string Reason(int error) { return std::generic_category().message(error); }

bool InUse(int error) { return error == EBUSY || error == ETXTBSY; }

std::string PathText(const std::filesystem::path& path) { return path.native(); }

File::File(File&& other) noexcept : handle_(std::exchange(other.handle_, kNone)) {}

File& File::operator=(File&& other) noexcept {
  std::swap(handle_, other.handle_);
  return *this;
}

File::~File() { CloseFd(handle_); }

File File::OpenForReading(const std::string& path, int& error) {
  File file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!file.is_open()) {
    error = errno;
    return file;
  }
  struct stat info {};
  if (::fstat(Fd(file.handle_), &info) != 0) {
    error = errno;
    return File();
  }
  if (S_ISDIR(info.st_mode)) {
    error = EISDIR;
    return File();
  }
  error = 0;
  return file;
}

File File::Create(const std::string& path, int& error) {
  File file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  error = file.is_open() ? 0 : errno;
  return file;
}

std::ptrdiff_t File::Read(char* data, std::size_t size, int& error) {
  for (;;) {
    const ssize_t n = ::read(Fd(handle_), data, size);
    if (n >= 0) return n;
    if (errno != EINTR) {
      error = errno;
      return -1;
    }
  }
}

bool File::WriteAll(const char* data, std::size_t size, std::size_t& done, int& error) {
  done = 0;
  while (done < size) {
    const ssize_t n = ::write(Fd(handle_), data + done, size - done);
    if (n >= 0) {
      done += static_cast<std::size_t>(n);
      continue;
    }
    if (errno == EINTR) continue;
    error = errno;
    return false;
  }
  return true;
}

bool File::Truncate(std::uint64_t size) {
  return ::ftruncate(Fd(handle_), static_cast<off_t>(size)) == 0;
}

int File::Sync() {
  for (;;) {
    if (::fsync(Fd(handle_)) == 0) return 0;
    // A file system or device that cannot be flushed holds the data as well as it can.
    if (errno == EINVAL || errno == ENOTSUP) return 0;
    if (errno != EINTR) return errno;
  }
}

int File::Close() { return CloseFd(std::exchange(handle_, kNone)); }

bool File::Is(const std::string& path) const {
  struct stat mine {};
  struct stat other {};
  return ::fstat(Fd(handle_), &mine) == 0 && ::stat(path.c_str(), &other) == 0 &&
         mine.st_dev == other.st_dev && mine.st_ino == other.st_ino;
}

FolderLock::FolderLock(FolderLock&& other) noexcept : handle_(std::exchange(other.handle_, -1)) {}

FolderLock& FolderLock::operator=(FolderLock&& other) noexcept {
  std::swap(handle_, other.handle_);
  return *this;
}

FolderLock::~FolderLock() { CloseFd(handle_); }

bool FolderLock::Take(const std::string& dir, FolderLock& lock) {
  // The lock sits on the folder itself: every copy of the program that writes
  // there sees it, and no lock file is left behind.
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return true;
  FolderLock taken;
  taken.handle_ = fd;
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EWOULDBLOCK) return false;
    if (errno != EINTR) return true;  // a file system without locks: go on unguarded
  }
  lock = std::move(taken);
  return true;
}

bool Missing(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) != 0 && errno == ENOENT;
}

bool Remove(const std::string& path) { return ::unlink(path.c_str()) == 0; }

std::vector<std::string> ListFolder(const std::string& dir) {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(dir, error)) {
    names.push_back(entry.path().filename().native());
  }
  return names;
}

std::time_t Now() { return std::time(nullptr); }

std::string FormatMoment(std::time_t t) {
  std::tm local{};
  localtime_r(&t, &local);
  const bool midnight = local.tm_hour == 0 && local.tm_min == 0 && local.tm_sec == 0;
  std::array<char, 256> buffer{};
  const std::size_t n =
      std::strftime(buffer.data(), buffer.size(), midnight ? "%x" : "%x %X", &local);
  return std::string(buffer.data(), n);
}

std::string ToEightBit(std::string_view utf8) {
  std::string out;
  iconv_t cd = iconv_open("WINDOWS-1252", "UTF-8");
  // NOLINTNEXTLINE(performance-no-int-to-ptr): iconv_open reports failure as (iconv_t)-1.
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    // Without a converter only ASCII is certain to come through.
    for (char c : utf8) out.push_back(static_cast<unsigned char>(c) < 0x80 ? c : '?');
    return out;
  }
  std::string in(utf8);
  char* src = in.data();
  std::size_t srcLeft = in.size();
  out.resize(in.size() + 4);
  std::size_t used = 0;
  while (srcLeft > 0) {
    char* dst = out.data() + used;
    std::size_t dstLeft = out.size() - used;
    const std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    used = out.size() - dstLeft;
    if (rc != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    // EILSEQ (no such character or not UTF-8) or EINVAL (cut off at the end).
    if (used == out.size()) out.resize(out.size() * 2);
    out[used++] = '?';
    const auto pos = static_cast<std::size_t>(src - in.data());
    const std::size_t skip = CharLength(in, pos);
    src += skip;
    srcLeft -= skip;
  }
  iconv_close(cd);
  out.resize(used);
  return out;
}

}  // namespace conversion::platform
