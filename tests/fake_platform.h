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

// Names a change that a call made to the disk, as the log keeps it.
enum class Change { Create, Write, Truncate, Sync, Remove, Rename, SyncFolder, Mark };

// Tells one change of the log and what it changed.
struct Step {
  Change change;
  std::string path;          // the file, or the folder of a SyncFolder; Rename: the old name
  std::string to;            // Rename: the new name; Mark: what the test marked
  std::uint64_t file = 0;    // the file's id
  std::uint64_t offset = 0;  // Write: where its bytes went; Truncate: the size left
  std::string bytes;         // Write: the bytes written
};

// Holds what a disk or its device has: the names and, by id, the bytes of each file.
struct Image {
  static constexpr std::size_t kWhole = std::numeric_limits<std::size_t>::max();

  bool Has(const std::string& path) const { return names.contains(path); }
  // Returns a file's bytes; an empty text when there is no such file.
  std::string Get(const std::string& path) const;
  // Makes the change of step; a Write keeps only its first keep bytes, as a
  // write torn by a power cut.
  void Apply(const Step& step, std::size_t keep = kWhole);

  std::map<std::string, std::uint64_t> names;
  std::map<std::uint64_t, std::string> files;
};

// Tells when a change to a folder's names is on the device.
enum class Durability {
  kFolderFlush,         // after the next flush of the folder, as on Linux
  kWriteThroughRename,  // at the next rename in it, written through, as on Windows
};

// Holds the files and folders of one test and installs itself as the disk the
// file calls see while it lives.
//
// It keeps a log of every change the calls make, in order, from the time the
// log was started, and learns from it what the device has: each file's bytes
// as of its last Sync, each folder's names as of the change that made them
// lasting under the rules of durability.
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

  // Tells when a folder's names reach the device.
  Durability durability = windowsRules ? Durability::kWriteThroughRename : Durability::kFolderFlush;
  // Makes Sync succeed without moving anything onto the device, as a device
  // that ignores flushes, for a test that must catch a broken run.
  bool flushesIgnored = false;

  // Starts the log afresh; what the disk has now is on the device.
  void StartLog();
  // Replaces every file on the disk, none of them open, by those of image,
  // and starts the log.
  void Restore(const Image& image);
  // Notes a point of the run in the log, such as its message.
  void Mark(std::string what) { log_.push_back({Change::Mark, {}, std::move(what), 0, 0, {}}); }
  const std::vector<Step>& Log() const { return log_; }
  // Returns what the disk had when the log started.
  const Image& LogStart() const { return start_; }
  // Tells whether the change of step i is on the device once the first
  // `steps` steps of the log were made.
  bool Lasting(std::size_t i, std::size_t steps) const;
  // Returns what the device has once the first `steps` steps were made.
  Image Device(std::size_t steps) const;
  // Returns what the disk has now.
  Image Now() const;
  void Note(Step step) { log_.push_back(std::move(step)); }

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
  std::vector<Step> log_;
  Image start_;
};

// Tells one disk that a power cut may leave.
struct CrashState {
  Image image;
  std::size_t steps;  // the steps of the log made before the cut
  std::string how;    // which changes not yet on the device it kept, lost or tore
};

// Returns the disks a power cut may leave at each point of the disk's log:
// what the device has there, and on top of it the changes not yet on the
// device kept or lost in any order, as a file system without ordering promises
// may leave them: all lost, all kept, each prefix, each change alone lost or
// kept, each write torn at a 512-byte sector, and `sampled` mixes a point
// drawn at random, the same on every run.
std::vector<CrashState> CrashStates(const Disk& disk, int sampled);

}  // namespace fake
