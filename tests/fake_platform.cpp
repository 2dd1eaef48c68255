#include "fake_platform.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform.h"

namespace fake {

namespace {

Disk* current = nullptr;

// Ends the tests at a misuse of the fake, which no test can go on from.
[[noreturn]] void Misuse(const char* what) {
  std::fprintf(stderr, "fake disk: %s\n", what);
  std::abort();
}

}  // namespace

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

}  // namespace fake

namespace conversion::platform {

namespace {

using fake::Call;
using fake::Disk;

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
  return {};
}

std::error_code File::Sync() {
  Disk& disk = Disk::Current();
  return Failure(disk.Take(Call::Sync, disk.FindOpen(handle_.get())->path));
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
  disk.Move(from, to);
  return {};
}

std::error_code SyncFolder(const std::filesystem::path& dir) {
  return Failure(Disk::Current().Take(Call::SyncFolder, PathText(dir)));
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
