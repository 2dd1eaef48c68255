#include "fake_platform.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

#include "platform.h"

namespace fake {

namespace {

Disk* current = nullptr;

// Ends the tests at a misuse of the fake, which no test can go on from.
[[noreturn]] void Misuse(const char* what) {
  std::fprintf(stderr, "fake disk: %s\n", what);
  std::abort();
}

// Returns the folder a path lies in.
std::string FolderOf(const std::string& path) {
  const std::size_t cut = path.rfind(conversion::platform::kSeparator);
  return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

}  // namespace

std::string Image::Get(const std::string& path) const {
  const auto name = names.find(path);
  if (name == names.end()) return {};
  const auto bytes = files.find(name->second);
  return bytes == files.end() ? std::string() : bytes->second;
}

void Image::Apply(const Step& step, std::size_t keep) {
  switch (step.change) {
    case Change::Create:
      names[step.path] = step.file;
      files[step.file];
      break;
    case Change::Write: {
      std::string& bytes = files[step.file];
      const std::size_t kept = std::min(keep, step.bytes.size());
      if (kept == 0) break;
      if (bytes.size() < step.offset + kept) bytes.resize(step.offset + kept);
      std::memcpy(bytes.data() + step.offset, step.bytes.data(), kept);
      break;
    }
    case Change::Truncate:
      files[step.file].resize(step.offset);
      break;
    case Change::Remove:
      if (const auto name = names.find(step.path);
          name != names.end() && name->second == step.file) {
        names.erase(name);
      }
      break;
    case Change::Rename:
      // A new name may last without the old one's removal: a file gone from neither.
      names[step.to] = step.file;
      if (const auto name = names.find(step.path);
          name != names.end() && name->second == step.file) {
        names.erase(name);
      }
      break;
    case Change::Sync:
    case Change::SyncFolder:
    case Change::Mark:
      break;
  }
}

Disk::Disk() {
  if (current != nullptr) Misuse("two disks at a time");
  current = this;
}

Disk::~Disk() { current = nullptr; }

Disk& Disk::Current() {
  if (current == nullptr) Misuse("a file call without a disk");
  return *current;
}

std::string Disk::Get(const std::string& path) const {
  const auto found = files_.find(path);
  return found == files_.end() ? std::string() : found->second;
}

std::size_t Disk::Peak(const std::string& path) const {
  const auto found = peaks_.find(path);
  return found == peaks_.end() ? 0 : found->second;
}

std::vector<std::uint64_t> Disk::WriteEnds(const std::string& path) const {
  const auto found = writeEnds_.find(path);
  return found == writeEnds_.end() ? std::vector<std::uint64_t>() : found->second;
}

std::vector<Hint> Disk::Hints(const std::string& path) const {
  const auto found = hints_.find(path);
  return found == hints_.end() ? std::vector<Hint>() : found->second;
}

int Disk::Count(Call call) const {
  const auto found = counts_.find(call);
  return found == counts_.end() ? 0 : found->second;
}

const Fault* Disk::Take(Call call, const std::string& path) {
  ++counts_[call];
  const Fault* taken = nullptr;
  for (Scripted& scripted : faults_) {
    const Fault& fault = scripted.fault;
    if (fault.call != call || (!fault.path.empty() && fault.path != path)) continue;
    if (++scripted.seen == fault.nth && taken == nullptr) taken = &fault;
  }
  return taken;
}

std::intptr_t Disk::AddOpen(Open open) {
  open_[nextHandle_] = std::move(open);
  return nextHandle_++;
}

Disk::Open* Disk::FindOpen(std::intptr_t handle) {
  const auto found = open_.find(handle);
  if (found == open_.end()) Misuse("a call on a file that is not open");
  return &found->second;
}

bool Disk::IsOpen(const std::string& path) const {
  return std::any_of(open_.begin(), open_.end(), [&](const auto& entry) {
    return !entry.second.lock && entry.second.path == path;
  });
}

bool Disk::Locked(const std::string& dir) const {
  return std::any_of(open_.begin(), open_.end(), [&](const auto& entry) {
    return entry.second.lock && entry.second.path == dir;
  });
}

std::string* Disk::File(const std::string& path) {
  const auto found = files_.find(path);
  return found == files_.end() ? nullptr : &found->second;
}

std::string& Disk::Written(const std::string& path) {
  std::string* bytes = File(path);
  if (bytes == nullptr) Misuse("a write to a file removed while open");
  return *bytes;
}

void Disk::NoteSize(const std::string& path) {
  std::size_t& peak = peaks_[path];
  peak = std::max(peak, files_[path].size());
}

Image Disk::Now() const {
  Image image;
  for (const auto& [path, bytes] : files_) {
    image.names[path] = IdOf(path);
    image.files[IdOf(path)] = bytes;
  }
  return image;
}

void Disk::StartLog() {
  start_ = Now();
  log_.clear();
}

void Disk::Restore(const Image& image) {
  if (!open_.empty()) Misuse("a restore while files are open");
  files_.clear();
  ids_.clear();
  for (const auto& [path, id] : image.names) {
    const auto bytes = image.files.find(id);
    files_[path] = bytes == image.files.end() ? std::string() : bytes->second;
    ids_[path] = id;
    nextId_ = std::max(nextId_, id + 1);
  }
  for (const auto& [id, bytes] : image.files) nextId_ = std::max(nextId_, id + 1);
  StartLog();
}

bool Disk::Lasting(std::size_t i, std::size_t steps) const {
  const Step& step = log_[i];
  const auto any = [&](std::size_t from, auto&& ends) {
    for (std::size_t j = from; j < steps; ++j) {
      if (ends(log_[j])) return true;
    }
    return false;
  };
  switch (step.change) {
    case Change::Write:
    case Change::Truncate:
      return any(i + 1, [&](const Step& later) {
        return later.change == Change::Sync && later.file == step.file;
      });
    case Change::Create:
    case Change::Remove:
    case Change::Rename: {
      const std::string folder = FolderOf(step.change == Change::Rename ? step.to : step.path);
      if (durability == Durability::kWriteThroughRename) {
        return any(i, [&](const Step& later) {
          return later.change == Change::Rename && FolderOf(later.to) == folder;
        });
      }
      return any(i + 1, [&](const Step& later) {
        return later.change == Change::SyncFolder && later.path == folder;
      });
    }
    case Change::Sync:
    case Change::SyncFolder:
    case Change::Mark:
      return true;
  }
  return true;
}

Image Disk::Device(std::size_t steps) const {
  Image image = start_;
  for (std::size_t i = 0; i < steps; ++i) {
    if (Lasting(i, steps)) image.Apply(log_[i]);
  }
  return image;
}

std::vector<std::string> Disk::Names(const std::string& dir) const {
  // A root ends in its separator already.
  const std::string prefix = dir.ends_with(conversion::platform::kSeparator)
                                 ? dir
                                 : dir + conversion::platform::kSeparator;
  std::vector<std::string> names;
  const auto add = [&](const std::string& path) {
    if (path.starts_with(prefix) &&
        path.find(conversion::platform::kSeparator, prefix.size()) == std::string::npos) {
      names.push_back(path.substr(prefix.size()));
    }
  };
  for (const auto& [path, bytes] : files_) add(path);
  for (const std::string& path : folders_) add(path);
  return names;
}

std::vector<CrashState> CrashStates(const Disk& disk, int sampled) {
  constexpr std::size_t kSector = 512;
  const std::vector<Step>& log = disk.Log();
  std::vector<CrashState> states;
  std::mt19937 random(2026);
  for (std::size_t steps = 0; steps <= log.size(); ++steps) {
    std::vector<std::size_t> pending;  // the steps not on the device yet, in order
    for (std::size_t i = 0; i < steps; ++i) {
      if (!disk.Lasting(i, steps)) pending.push_back(i);
    }
    // Returns the sector boundaries within a pending write, as bytes of it kept.
    const auto tears = [&](std::size_t p) {
      std::vector<std::size_t> kept;
      const Step& step = log[pending[p]];
      if (step.change != Change::Write) return kept;
      for (std::uint64_t at = (step.offset / kSector + 1) * kSector;
           at < step.offset + step.bytes.size(); at += kSector) {
        kept.push_back(static_cast<std::size_t>(at - step.offset));
      }
      return kept;
    };
    // Adds the state that keeps of each pending step the bytes keep says, 0 for none.
    const auto add = [&](const std::vector<std::size_t>& keep, std::string how) {
      Image image = disk.LogStart();
      for (std::size_t i = 0, p = 0; i < steps; ++i) {
        if (p < pending.size() && pending[p] == i) {
          if (keep[p] > 0) image.Apply(log[i], keep[p]);
          ++p;
        } else {
          image.Apply(log[i]);
        }
      }
      states.push_back({std::move(image), steps, std::move(how)});
    };
    const std::size_t n = pending.size();
    const auto name = [&](std::size_t p) { return "step " + std::to_string(pending[p] + 1); };
    for (std::size_t kept = 0; kept <= n; ++kept) {
      std::vector<std::size_t> keep(n, 0);
      std::fill(keep.begin(), keep.begin() + static_cast<std::ptrdiff_t>(kept), Image::kWhole);
      add(keep, kept == 0   ? "all lost"
                : kept == n ? "all kept"
                            : "the first " + std::to_string(kept) + " kept");
    }
    for (std::size_t p = 0; p < n && n > 1; ++p) {
      std::vector<std::size_t> keep(n, Image::kWhole);
      keep[p] = 0;
      add(keep, name(p) + " alone lost");
      keep.assign(n, 0);
      keep[p] = Image::kWhole;
      add(keep, name(p) + " alone kept");
    }
    for (std::size_t p = 0; p < n; ++p) {
      const std::vector<std::size_t> at = tears(p);
      if (at.empty()) continue;
      for (const std::size_t kept : {at.front(), at.back()}) {
        std::vector<std::size_t> keep(n, Image::kWhole);
        keep[p] = kept;
        add(keep, name(p) + " torn after " + std::to_string(kept) + " bytes, the rest kept");
        std::fill(keep.begin() + static_cast<std::ptrdiff_t>(p) + 1, keep.end(), 0);
        add(keep, name(p) + " torn after " + std::to_string(kept) + " bytes, those after lost");
      }
    }
    for (int draw = 0; draw < sampled && n > 1; ++draw) {
      std::vector<std::size_t> keep(n, 0);
      std::string how = "drawn:";
      for (std::size_t p = 0; p < n; ++p) {
        const std::vector<std::size_t> at = tears(p);
        const auto pick = random() % (at.empty() ? 2U : 3U);
        keep[p] = pick == 0 ? 0 : pick == 1 ? Image::kWhole : at[random() % at.size()];
        how += " " + name(p) + (pick == 0 ? " lost" : pick == 1 ? " kept" : " torn");
      }
      add(keep, how);
    }
  }
  return states;
}

}  // namespace fake

namespace conversion::platform {

namespace {

using fake::Call;
using fake::Disk;
using Made = fake::Change;

// Returns the folder a path lies in.
std::string Parent(const std::string& path) {
  const std::size_t cut = path.rfind(kSeparator);
  return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

// Moves what a scripted read or write moves before it fails or comes back short.
std::size_t Moved(const fake::Fault* fault, std::size_t size) {
  return fault == nullptr ? size : std::min(size, fault->bytes);
}

std::error_code Failure(const fake::Fault* fault) {
  if (fault == nullptr || fault->error == std::errc{}) return {};
  return SystemError(fault->error);
}

}  // namespace

std::error_code Handle::reset(std::intptr_t value) noexcept {
  const std::intptr_t old = std::exchange(value_, value);
  if (old == kNone) return {};
  Disk& disk = Disk::Current();
  const std::string path = disk.FindOpen(old)->path;
  disk.CloseOpen(old);  // closed even when the close fails, as on Linux
  return Failure(disk.Take(Call::Close, path));
}

std::error_code File::OpenForReading(const std::string& path, File& file) {
  Disk& disk = Disk::Current();
  if (const fake::Fault* fault = disk.Take(Call::OpenForReading, path)) return Failure(fault);
  if (disk.IsFolder(path)) return SystemError(std::errc::is_a_directory);
  if (!disk.Has(path)) return SystemError(std::errc::no_such_file_or_directory);
  file.handle_ = Handle(disk.AddOpen({path}));
  return {};
}

std::error_code File::Create(const std::string& path, File& file) {
  Disk& disk = Disk::Current();
  if (const fake::Fault* fault = disk.Take(Call::Create, path)) return Failure(fault);
  if (disk.IsFolder(path) || disk.Has(path)) return SystemError(std::errc::file_exists);
  if (!disk.IsFolder(Parent(path))) return SystemError(std::errc::no_such_file_or_directory);
  disk.Put(path, "");
  disk.Note({Made::Create, path, {}, disk.IdOf(path), 0, {}});
  file.handle_ = Handle(disk.AddOpen({path}));
  return {};
}

std::error_code File::Read(char* data, std::size_t size, std::size_t& done) {
  Disk& disk = Disk::Current();
  Disk::Open& open = *disk.FindOpen(handle_.get());
  const fake::Fault* fault = disk.Take(Call::Read, open.path);
  const std::string* bytes = disk.File(open.path);
  const std::size_t left =
      bytes == nullptr || open.position >= bytes->size() ? 0 : bytes->size() - open.position;
  done = Moved(fault, std::min({size, left, disk.most}));
  if (done > 0) std::memcpy(data, bytes->data() + open.position, done);
  open.position += done;
  return Failure(fault);
}

std::error_code File::Write(const char* data, std::size_t size, std::size_t& done) {
  Disk& disk = Disk::Current();
  Disk::Open& open = *disk.FindOpen(handle_.get());
  const fake::Fault* fault = disk.Take(Call::Write, open.path);
  std::string& bytes = disk.Written(open.path);
  done = Moved(fault, std::min(size, disk.most));
  if (bytes.size() < open.position + done) bytes.resize(open.position + done);
  std::memcpy(bytes.data() + open.position, data, done);
  if (done > 0) {
    disk.Note(
        {Made::Write, open.path, {}, disk.IdOf(open.path), open.position, std::string(data, done)});
  }
  open.position += done;
  disk.NoteSize(open.path);
  disk.NoteWriteEnd(open.path, open.position);
  return Failure(fault);
}

std::error_code File::Truncate(std::uint64_t size) {
  Disk& disk = Disk::Current();
  const Disk::Open& open = *disk.FindOpen(handle_.get());
  if (const fake::Fault* fault = disk.Take(Call::Truncate, open.path)) return Failure(fault);
  disk.Written(open.path).resize(size);
  disk.Note({Made::Truncate, open.path, {}, disk.IdOf(open.path), size, {}});
  return {};
}

std::error_code File::Sync() {
  Disk& disk = Disk::Current();
  const std::string& path = disk.FindOpen(handle_.get())->path;
  if (const fake::Fault* fault = disk.Take(Call::Sync, path)) return Failure(fault);
  if (!disk.flushesIgnored) disk.Note({Made::Sync, path, {}, disk.IdOf(path), 0, {}});
  return {};
}

void File::StartWriteBack(std::uint64_t from, std::uint64_t length) {
  Disk& disk = Disk::Current();
  const std::string& path = disk.FindOpen(handle_.get())->path;
  static_cast<void>(disk.Take(Call::StartWriteBack, path));  // a hint cannot fail
  disk.NoteHint(path, {Call::StartWriteBack, from, length, disk.Written(path).size()});
}

void File::DropWritten(std::uint64_t from, std::uint64_t length) {
  Disk& disk = Disk::Current();
  const std::string& path = disk.FindOpen(handle_.get())->path;
  static_cast<void>(disk.Take(Call::DropWritten, path));
  disk.NoteHint(path, {Call::DropWritten, from, length, disk.Written(path).size()});
}

std::error_code File::Id(FileId& id) const {
  Disk& disk = Disk::Current();
  id = {1, disk.IdOf(disk.FindOpen(handle_.get())->path)};
  return {};
}

bool File::Is(const std::string& path) const {
  return Disk::Current().FindOpen(handle_.get())->path == path;
}

std::error_code FolderLock::Take(const std::string& dir, FolderLock& lock) {
  Disk& disk = Disk::Current();
  if (const fake::Fault* fault = disk.Take(Call::Lock, dir)) return Failure(fault);
  if (!disk.IsFolder(dir)) return SystemError(std::errc::no_such_file_or_directory);
  if (disk.Locked(dir)) return SystemError(std::errc::operation_would_block);
  lock.handle_ = Handle(disk.AddOpen({dir, 0, true}));
  return {};
}

bool Missing(const std::string& path) {
  const Disk& disk = Disk::Current();
  return !disk.Has(path) && !disk.IsFolder(path);
}

bool IsDevice(const std::string& path) { return Disk::Current().IsDevice(path); }

bool Leads(const std::filesystem::path& path, const FileId& id) {
  const Disk& disk = Disk::Current();
  const std::string text = PathText(path);
  return disk.Has(text) && FileId{1, disk.IdOf(text)} == id;
}

std::error_code Replaceable(const std::filesystem::path& systemPath) {
  Disk& disk = Disk::Current();
  const std::string path = PathText(systemPath);
  // A refusal scripted for a removal refuses the replacing too.
  if (const fake::Fault* fault = disk.Take(Call::Remove, path)) return Failure(fault);
  if (disk.IsFolder(path)) return SystemError(std::errc::is_a_directory);
  if (disk.windowsRules && disk.IsOpen(path)) {
    return SystemError(std::errc::device_or_resource_busy);
  }
  return {};
}

std::filesystem::path SystemPath(const std::string& path) { return path; }

std::error_code Remove(const std::filesystem::path& systemPath) {
  Disk& disk = Disk::Current();
  const std::string path = PathText(systemPath);
  if (const fake::Fault* fault = disk.Take(Call::Remove, path)) return Failure(fault);
  if (disk.IsFolder(path)) return SystemError(std::errc::is_a_directory);
  if (!disk.Has(path)) return SystemError(std::errc::no_such_file_or_directory);
  if (disk.windowsRules && disk.IsOpen(path)) {
    return SystemError(std::errc::device_or_resource_busy);
  }
  disk.Note({Made::Remove, path, {}, disk.IdOf(path), 0, {}});
  disk.Remove(path);
  return {};
}

std::error_code Rename(const std::filesystem::path& systemFrom,
                       const std::filesystem::path& systemTo) {
  Disk& disk = Disk::Current();
  const std::string from = PathText(systemFrom);
  const std::string to = PathText(systemTo);
  if (const fake::Fault* fault = disk.Take(Call::Rename, from)) return Failure(fault);
  if (!disk.Has(from)) return SystemError(std::errc::no_such_file_or_directory);
  if (disk.IsFolder(to)) return SystemError(std::errc::is_a_directory);
  if (disk.windowsRules && (disk.IsOpen(from) || disk.IsOpen(to))) {
    return SystemError(std::errc::device_or_resource_busy);
  }
  disk.Note({Made::Rename, from, to, disk.IdOf(from), 0, {}});
  disk.Move(from, to);
  return {};
}

std::error_code SyncFolder(const std::filesystem::path& dir) {
  Disk& disk = Disk::Current();
  const std::string path = PathText(dir);
  if (const fake::Fault* fault = disk.Take(Call::SyncFolder, path)) return Failure(fault);
  disk.Note({Made::SyncFolder, path, {}, 0, 0, {}});
  return {};
}

bool MayClear(const std::error_code& error) {
  return Disk::Current().windowsRules &&
         (error == SystemError(std::errc::device_or_resource_busy) ||
          error == SystemError(std::errc::permission_denied));
}

void Pause(int ms) { Disk::Current().pauses.push_back(ms); }

std::error_code ListFolder(const std::string& dir, std::vector<std::string>& names) {
  const Disk& disk = Disk::Current();
  if (!disk.IsFolder(dir)) return SystemError(std::errc::no_such_file_or_directory);
  names = disk.Names(dir);
  return {};
}

std::string TempFolder() { return Disk::Current().tempFolder; }

std::string LongPath(const std::string& path) {
  const Disk& disk = Disk::Current();
  const auto found = disk.longPaths.find(path);
  return found == disk.longPaths.end() ? path : found->second;
}

}  // namespace conversion::platform
