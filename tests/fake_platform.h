#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "platform.h"

// An in-memory disk behind the file calls of platform.h, linked in place of the
// system's platform_*.cpp, with calls that a test scripts to fail or come back
// short. Errors carry the system's own code for their condition, so messages
// read as they would on the system the tests run on.
namespace fake {

// Names the calls a test can script.
enum class Call {
  OpenForReading,
  Create,
  Read,
  Write,
  Truncate,
  Sync,
  Close,
  Remove,
  Lock,
  Rename,
  SyncFolder,
  StartWriteBack,
  DropWritten
};

// Tells what one call does in place of its usual work.
struct Fault {
  Call call;
  int nth;            // the call it takes, counted from 1 among those on path since it was scripted
  std::errc error;    // the condition the call fails with; none for a short read or write
  std::size_t bytes;  // Read and Write: the bytes moved first
  std::string path;   // the file or folder it applies to; every one when empty
};

// Tells of one hint given on a file's bytes, which changes nothing on this disk.
struct Hint {
  Call call;             // StartWriteBack or DropWritten
  std::uint64_t from;    // the range's first byte
  std::uint64_t length;  // the range's bytes
  std::uint64_t size;    // the file's size when the hint was given
};

// Holds the files and folders of one test and installs itself as the disk the
// file calls see while it lives.
class Disk {
 public:
  Disk();
  Disk(const Disk&) = delete;
  Disk& operator=(const Disk&) = delete;
  ~Disk();

  // Returns the disk the file calls see.
  static Disk& Current();

  void AddFolder(const std::string& path) { folders_.insert(path); }
  // Puts a file of its own at path, in place of any there.
  void Put(const std::string& path, std::string bytes) {
    peaks_[path] = bytes.size();
    files_[path] = std::move(bytes);
    ids_[path] = nextId_++;
  }
  // Puts a device or a pipe, which opens and reads as an empty file.
  void PutDevice(const std::string& path) {
    Put(path, "");
    devices_.insert(path);
  }
  bool Has(const std::string& path) const { return files_.contains(path); }
  // Returns a file's bytes; an empty text when there is no such file.
  std::string Get(const std::string& path) const;
  // Returns the largest size the file reached since it was put or created.
  std::size_t Peak(const std::string& path) const;

  // Makes the nth call of a kind, among those on path when one is given, fail
  // with error; a Read or Write moves bytes first.
  void Fail(Call call, int nth, std::errc error, std::size_t bytes = 0, std::string path = {}) {
    faults_.push_back({{call, nth, error, bytes, std::move(path)}, 0});
  }
  // Makes the nth Read or Write come back short, after bytes, at least 1.
  void Short(Call call, int nth, std::size_t bytes) {
    faults_.push_back({{call, nth, {}, bytes, {}}, 0});
  }
  // Drops the faults scripted so far, taken or not.
  void ClearFaults() { faults_.clear(); }
  // Counts the calls of a kind made since the disk was made.
  int Count(Call call) const;
  // Returns the file positions at which the Write calls on path ended, in order.
  std::vector<std::uint64_t> WriteEnds(const std::string& path) const;
  // Returns the hints given on path, in order.
  std::vector<Hint> Hints(const std::string& path) const;
  // Counts the files and folder locks open now.
  std::size_t OpenCount() const { return open_.size(); }

  // Bytes one Read or Write moves at most.
  std::size_t most = std::numeric_limits<std::size_t>::max();
  // The temporary folder as the system names it; none when empty.
  std::string tempFolder;
  // The long form of paths given in 8.3 short form; every other path is long.
  std::map<std::string, std::string> longPaths;
  // Follows Windows' rules: a file open without delete sharing, as every file
  // of this disk is, can be neither removed nor replaced, and a refusal of
  // that kind may clear a moment later. Elsewhere both go through at once.
  bool windowsRules = conversion::platform::kSeparator == '\\';
  // The pauses made between tries, in ms, in order.
  std::vector<int> pauses;

  // Serves the fake file calls of fake_platform.cpp.
  struct Open {
    std::string path;
    std::uint64_t position = 0;
    bool lock = false;
  };
  // Counts a call on path; returns the fault it takes, or nothing.
  const Fault* Take(Call call, const std::string& path);
  std::intptr_t AddOpen(Open open);
  Open* FindOpen(std::intptr_t handle);
  void CloseOpen(std::intptr_t handle) { open_.erase(handle); }
  bool IsFolder(const std::string& path) const { return folders_.contains(path); }
  bool IsDevice(const std::string& path) const { return devices_.contains(path); }
  bool Locked(const std::string& dir) const;
  // Returns a file's bytes, or nothing when there is no such file.
  std::string* File(const std::string& path);
  // Returns the bytes of a file open for writing.
  std::string& Written(const std::string& path);
  void Remove(const std::string& path) {
    files_.erase(path);
    ids_.erase(path);
  }
  void Move(const std::string& from, const std::string& to) {
    files_[to] = std::move(files_[from]);
    files_.erase(from);
    ids_[to] = ids_[from];
    ids_.erase(from);
  }
  // Returns the number that tells the file at path from every other, 0 for none.
  std::uint64_t IdOf(const std::string& path) const {
    const auto found = ids_.find(path);
    return found == ids_.end() ? 0 : found->second;
  }
  // Tells whether a file is open, by the run or a test.
  bool IsOpen(const std::string& path) const;
  void NoteSize(const std::string& path);
  void NoteWriteEnd(const std::string& path, std::uint64_t position) {
    writeEnds_[path].push_back(position);
  }
  void NoteHint(const std::string& path, Hint hint) { hints_[path].push_back(hint); }
  std::vector<std::string> Names(const std::string& dir) const;

 private:
  struct Scripted {
    Fault fault;
    int seen;  // calls on its path since it was scripted
  };

  std::map<std::string, std::string> files_;
  std::map<std::string, std::size_t> peaks_;
  std::map<std::string, std::uint64_t> ids_;
  std::uint64_t nextId_ = 1;
  std::map<std::string, std::vector<std::uint64_t>> writeEnds_;
  std::map<std::string, std::vector<Hint>> hints_;
  std::set<std::string> folders_;
  std::set<std::string> devices_;
  std::vector<Scripted> faults_;
  std::map<Call, int> counts_;
  std::map<std::intptr_t, Open> open_;
  std::intptr_t nextHandle_ = 100;
};

}  // namespace fake
