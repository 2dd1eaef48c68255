// The platform layer's interface: the files, folder lock, clock, regional settings and errors'
// words a run asks of the operating system, the same on every system.

#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "regional_dates.h"

// The operating-system calls a conversion run makes. Paths and texts are UTF-8
// on Windows and the file system's own bytes elsewhere.
//
// A call that can fail returns a std::error_code, empty on success, and hands
// its results back through the parameters that follow its inputs. The code is
// the system's own (errno or GetLastError) in Category(), so it reads in the
// system's words and compares equal to the portable std::errc conditions:
// `error == std::errc::no_space_on_device` holds on every system.
//
// Each system has two source files behind this header: locale_*.cpp for the
// errors' words, the clock and the text forms, and platform_*.cpp for the file
// system from Handle on. The fault tests link a fake file system in place of
// the second.
namespace conversion::platform {

// Returns the category of the system's error codes. Its message() is the
// system's reason in the user's language, without a closing full stop. A file
// held by another program compares equal to device_or_resource_busy.
const std::error_category& Category();

// Returns the system's own code for a condition, the one its calls report it
// with; a test double fails with it so that its messages read as the system's.
std::error_code SystemError(std::errc condition);

// Returns the system's reason for an error, as the messages quote it.
inline std::string Reason(const std::error_code& error) { return error.message(); }

// Separates a folder from a name inside it.
extern const char kSeparator;

// Returns the path of name in the folder dir.
inline std::string JoinPath(const std::string& dir, std::string_view name) {
  return dir + kSeparator + std::string(name);
}

// Returns a path as the core holds paths.
std::string PathText(const std::filesystem::path& path);

// Returns true when c separates two steps of a path: '/' on every system, and kSeparator.
inline bool IsSeparator(char c) { return c == '/' || c == kSeparator; }

// Returns the length of the root a full path starts with, up to and with its
// last separator: "/" on Linux; "C:\", "\\server\share\" or "\\?\C:\" on Windows.
// Returns 0 for a path that starts in a folder given elsewhere.
std::size_t RootLength(std::string_view path);

// Returns true when path names a drive or its root but not both, as "C:LOG.CSV"
// and "\LOG.CSV" do on Windows: which file it means depends on the moment. Never
// elsewhere.
bool PartlyRooted(std::string_view path);

// Returns the current time, read from the system's clock without time-zone work.
std::time_t Now();

// Returns the local date and time of t in the system's default short form:
// date, a blank, time; the date alone at exactly midnight.
std::string FormatMoment(std::time_t t);

// Returns how the user's regional settings write dates and times: Windows'
// short date format and AM and PM designators; elsewhere LC_TIME's date
// format and AM and PM words, of which the C and POSIX locales say nothing.
RegionalDates ReadRegionalDates();

// Returns the order of day and month in a short date pattern of the system's
// own kind ("M/d/yyyy" on Windows, "%m/%d/%Y" elsewhere); unknown when the
// year comes first or no day or month is there.
DateOrder DateOrderOf(std::string_view pattern);

// Converts UTF-8 text to the system's 8-bit code page; a character the page
// lacks, and any byte that is not UTF-8, becomes '?'.
std::string ToEightBit(std::string_view utf8);

// Converts text in the system's 8-bit code page to UTF-8: Windows-1252 on
// Linux, the ANSI code page on Windows. A byte that the page leaves undefined
// becomes U+FFFD.
std::string FromEightBit(std::string_view bytes);

// Returns true when name, a step of a path, is one of the system's reserved
// names of a device, which open a device wherever they stand: on Windows
// CON, PRN, AUX, NUL, COM0 to COM9, LPT0 to LPT9 (with superscript digits too),
// CONIN$ and CONOUT$, in any case, with any extension, trailing dots or
// blanks. Never elsewhere.
bool IsDeviceName(std::string_view name);

// Tells one file from every other on the system, whatever names lead to it.
struct FileId {
  std::uint64_t device = 0;
  std::uint64_t index = 0;
  bool operator==(const FileId&) const = default;
};

// Owns a descriptor or a handle and closes it with the object.
class Handle {
 public:
  static constexpr std::intptr_t kNone = -1;  // no descriptor, and INVALID_HANDLE_VALUE

  Handle() = default;
  explicit Handle(std::intptr_t value) : value_(value) {}
  Handle(Handle&& other) noexcept : value_(other.release()) {}
  Handle& operator=(Handle&& other) noexcept {
    static_cast<void>(reset(other.release()));  // a close's error has no one to go to here
    return *this;
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() { static_cast<void>(reset()); }

  std::intptr_t get() const { return value_; }
  explicit operator bool() const { return value_ != kNone; }
  // Gives up ownership without closing.
  std::intptr_t release() { return std::exchange(value_, kNone); }
  // Closes what it owns, if anything, and takes value in its place.
  [[nodiscard]] std::error_code reset(std::intptr_t value = kNone) noexcept;

 private:
  std::intptr_t value_ = kNone;
};

// Reads or writes an open file, closed with the object.
class File {
 public:
  bool is_open() const { return static_cast<bool>(handle_); }

  // Opens an existing file for reading, shared with a program that still writes
  // it. A folder is refused with is_a_directory, since reading it would fail
  // only later; a device or a pipe with no_such_device, before anything waits
  // on it.
  [[nodiscard]] static std::error_code OpenForReading(const std::string& path, File& file);
  // Creates a new file for writing that no other program may open while this
  // one is open. Fails with file_exists when anything has the name, a link
  // included, which is never followed.
  [[nodiscard]] static std::error_code Create(const std::string& path, File& file);
  // Tells which file this is.
  [[nodiscard]] std::error_code Id(FileId& id) const;

  // Reads once, up to size bytes; done is 0 at the end of the file. Fails with
  // interrupted when a signal came first.
  [[nodiscard]] std::error_code Read(char* data, std::size_t size, std::size_t& done);
  // Writes once, at least one byte and up to size unless it fails; done counts
  // the bytes written, a failure's included. Fails with interrupted when a
  // signal came first.
  [[nodiscard]] std::error_code Write(const char* data, std::size_t size, std::size_t& done);
  // Cuts the file to size bytes; where the next write lands is up to the system.
  [[nodiscard]] std::error_code Truncate(std::uint64_t size);
  // Moves what was written onto the device. A device that cannot be flushed
  // holds the data as well as it can, and succeeds.
  [[nodiscard]] std::error_code Sync();
  // Starts moving length bytes written from offset from onto the device and
  // returns without waiting for them. A hint: Sync still makes sure of them,
  // and a failure here goes unreported. Windows has no such call.
  void StartWriteBack(std::uint64_t from, std::uint64_t length);
  // Tells the system that length bytes from offset from are not read again:
  // those already on the device leave its cache, those still on their way stay.
  // Returns without waiting. A hint, as StartWriteBack.
  void DropWritten(std::uint64_t from, std::uint64_t length);
  // Closes the file, which is closed even when this fails.
  [[nodiscard]] std::error_code Close() { return handle_.reset(); }

  // Returns true when path names this very file, whatever name or link leads
  // there; false when either cannot be looked at.
  bool Is(const std::string& path) const;

 private:
  Handle handle_;
};

// Holds the one lock on a folder that lets a single conversion write there,
// for the whole run, the rename at its end included.
class FolderLock {
 public:
  // Takes the lock without waiting. Fails with operation_would_block when
  // another run holds it. Linux locks the folder itself; Windows holds the
  // hidden file marigold.txt.lock open without sharing, and the system
  // deletes it when the run ends, a killed one too.
  [[nodiscard]] static std::error_code Take(const std::string& dir, FolderLock& lock);

 private:
  Handle handle_;
};

// Returns true when nothing by that name is in its folder; false when something
// is, or when it cannot be told.
bool Missing(const std::string& path);

// Returns true when path leads to a device or a pipe, which opening may wait
// on or reading never end: neither a file on a disk nor a folder. False when
// it cannot be looked at.
bool IsDevice(const std::string& path);

// Returns true when the name path, not followed when it is a link, is the
// file id tells; false when it cannot be looked at.
bool Leads(const std::filesystem::path& path, const FileId& id);

// Tells whether a rename could replace what the name path leads to: a folder
// is refused with is_a_directory; on Windows a file that another program holds
// without delete sharing with device_or_resource_busy. A name that leads
// nowhere can be replaced.
[[nodiscard]] std::error_code Replaceable(const std::filesystem::path& path);

// Returns a path in the form the system's calls take, made once so that the
// calls that end a run allocate nothing.
std::filesystem::path SystemPath(const std::string& path);

// Removes a file, never a folder. On Windows a name still there after its
// removal, since another program holds the file with delete sharing, counts as
// held: device_or_resource_busy.
[[nodiscard]] std::error_code Remove(const std::filesystem::path& path);

// Gives the file at from the name to, replacing a file there. Windows writes
// the change through to the device before it returns.
[[nodiscard]] std::error_code Rename(const std::filesystem::path& from,
                                     const std::filesystem::path& to);

// Moves the names of a folder onto the device, after a rename in it. A folder
// that cannot be flushed, as on FAT, holds them as well as it can, and succeeds.
[[nodiscard]] std::error_code SyncFolder(const std::filesystem::path& dir);

// Tells whether a removal or rename refused with error may go through a
// moment later: on Windows a virus scanner or the search indexer opens a new
// file for a moment; elsewhere nothing holds a file so.
bool MayClear(const std::error_code& error);

// Waits ms milliseconds.
void Pause(int ms);

// Lists the names in a folder, without "." and "..".
[[nodiscard]] std::error_code ListFolder(const std::string& dir, std::vector<std::string>& names);

// Returns the user's temporary folder as the system names it, perhaps in 8.3
// short form; empty where no file manager starts programs from there, as
// Windows' Explorer does with a program inside a zip.
std::string TempFolder();

// Returns path with every 8.3 short name in it written out long; path itself
// when it is long already or cannot be looked at.
std::string LongPath(const std::string& path);

}  // namespace conversion::platform
