#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The operating-system calls a conversion run makes. Each system has one source
// file behind this header. Paths and texts are UTF-8 on Windows and the file
// system's own bytes elsewhere; an error is the system's code (errno or
// GetLastError), 0 meaning none.
namespace conversion::platform {

// Separates a folder from a name inside it.
extern const char kSeparator;

// Returns the system's reason for an error, in plain words of the user's language.
std::string Reason(int error);

// Returns true when error says another program holds the file open.
bool InUse(int error);

// Returns a path as the core holds paths.
std::string PathText(const std::filesystem::path& path);

// Owns an open file: a descriptor or a handle, closed with the object.
class File {
 public:
  File() = default;
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File();

  bool is_open() const { return handle_ != kNone; }

  // Opens an existing file for reading, shared with a program that still writes
  // it. A folder is refused, since reading it would fail only later.
  static File OpenForReading(const std::string& path, int& error);
  // Creates or empties a file for writing that no other program may open while
  // this one is open.
  static File Create(const std::string& path, int& error);

  // Reads up to size bytes; returns how many, 0 at the end, -1 with error set.
  std::ptrdiff_t Read(char* data, std::size_t size, int& error);
  // Writes all of data; on failure returns false with done bytes written.
  bool WriteAll(const char* data, std::size_t size, std::size_t& done, int& error);
  // Cuts the file to size bytes; returns false when it cannot.
  bool Truncate(std::uint64_t size);
  // Moves what was written onto the device; returns the error, or 0.
  int Sync();
  // Closes the file; returns the error, or 0.
  int Close();

  // Returns true when path names this very file, whatever name or link leads there.
  bool Is(const std::string& path) const;

 private:
  static constexpr std::intptr_t kNone = -1;
  explicit File(std::intptr_t handle) : handle_(handle) {}

  std::intptr_t handle_ = kNone;
};

// Holds the one lock on a folder that lets a single conversion write there.
class FolderLock {
 public:
  FolderLock() = default;
  FolderLock(FolderLock&& other) noexcept;
  FolderLock& operator=(FolderLock&& other) noexcept;
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  ~FolderLock();

  // Takes the lock without waiting; returns false when another run holds it. A
  // folder that cannot be locked at all is taken as free.
  static bool Take(const std::string& dir, FolderLock& lock);

 private:
  std::intptr_t handle_ = -1;
};

// Returns true when nothing by that name is in its folder.
bool Missing(const std::string& path);

// Removes a file; returns false when it cannot.
bool Remove(const std::string& path);

// Returns the names in a folder, without "." and "..".
std::vector<std::string> ListFolder(const std::string& dir);

// Returns the current time, read from the system's clock without time-zone work.
std::time_t Now();

// Returns the local date and time of t in the system's default short form:
// date, a blank, time; the date alone at exactly midnight.
std::string FormatMoment(std::time_t t);

// Converts UTF-8 text to the system's 8-bit code page; a character the page
// lacks, and any byte that is not UTF-8, becomes '?'.
std::string ToEightBit(std::string_view utf8);

}  // namespace conversion::platform
