// The run layer's input name: finds the export by its typed name, ignoring case where needed,
// and tells whether one folder lies inside another.

#include "input_name.h"

#include <algorithm>
#include <filesystem>
#include <utility>
#include <vector>

#include "platform.h"
#include "text.h"

namespace conversion {

namespace {

// Returns true when a typed name leads into a folder rather than naming a file of dir.
bool NamesAFolder(std::string_view typed) {
  return std::any_of(typed.begin(), typed.end(), platform::IsSeparator);
}

// Returns the path of name in the folder at, which may be a root that ends in a separator.
std::string Joined(const std::string& at, std::string_view name) {
  if (!at.empty() && platform::IsSeparator(at.back())) return at + std::string(name);
  return platform::JoinPath(at, name);
}

// Splits a path into its steps, without empty ones.
std::vector<std::string_view> Steps(std::string_view path) {
  std::vector<std::string_view> steps;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= path.size(); ++i) {
    if (i < path.size() && !platform::IsSeparator(path[i])) continue;
    if (i > start) steps.push_back(path.substr(start, i - start));
    start = i + 1;
  }
  return steps;
}

// Returns the entries of the folder at whose names match step ignoring case, sorted.
std::vector<std::string> Matches(const std::string& at, std::string_view step) {
  const std::u32string wanted = FoldName(step);
  std::vector<std::string> names;
  std::vector<std::string> matches;
  // A folder that cannot be listed holds no match.
  static_cast<void>(platform::ListFolder(at, names));
  for (std::string& name : names) {
    if (FoldName(name) == wanted) matches.push_back(std::move(name));
  }
  std::sort(matches.begin(), matches.end());
  return matches;
}

// Notes in outcome the other entries of the folder at that differ from step
// only in case, when step is one of them exactly and none was noted before.
void NoteTwins(const std::string& at, std::string_view step, RunOutcome& outcome) {
  if (!outcome.twins.empty()) return;
  std::vector<std::string> matches = Matches(at, step);
  const auto exact = std::find(matches.begin(), matches.end(), step);
  if (matches.size() < 2 || exact == matches.end()) return;
  matches.erase(exact);
  outcome.twinFolder = at;
  outcome.twinTaken = step;
  outcome.twins = std::move(matches);
}

// Resolves the steps of a path one by one from the folder at, as ResolveInput
// tells; a plain name is one step in the program's folder.
Stop Walk(std::string at, const std::vector<std::string_view>& steps, bool plainName,
          RunOutcome& outcome) {
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const std::string_view step = steps[i];
    const bool last = i + 1 == steps.size();
    std::string next = Joined(at, step);
    if (step == "." || step == "..") {
      at = std::move(next);
      continue;
    }
    if (!platform::Missing(next)) {
      NoteTwins(at, step, outcome);
      at = std::move(next);
      continue;
    }
    std::vector<std::string> matches = Matches(at, step);
    if (matches.size() == 1) {
      at = Joined(at, matches.front());
      continue;
    }
    if (matches.empty()) {
      if (!last) outcome.missingFolder = std::move(next);
      return Stop::kNone;
    }
    outcome.names = std::move(matches);
    if (plainName) return Stop::kSeveralFiles;
    outcome.stepFolder = std::move(at);
    outcome.step = step;
    outcome.stepIsFolder = !last;
    return Stop::kSeveralOnTheWay;
  }
  outcome.inputPath = std::move(at);
  return Stop::kNone;
}

// Returns true when path names a folder; false when it cannot be looked at.
bool IsFolder(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_directory(platform::SystemPath(path), error);
}

}  // namespace

std::string_view Unquoted(std::string_view typed) {
  if (typed.size() >= 2 && typed.front() == '"' && typed.back() == '"') {
    return typed.substr(1, typed.size() - 2);
  }
  return typed;
}

Stop ResolveInput(const std::string& dir, const std::string& typed, RunOutcome& outcome) {
  const std::string_view name = Unquoted(typed);
  outcome.typedName = name;
  outcome.names.clear();
  outcome.twins.clear();
  if (name.empty()) return Stop::kNoName;
  if (platform::PartlyRooted(name)) return Stop::kPartPath;
  const std::size_t root = platform::RootLength(name);
  // A full path is shown as typed; any other name inside the program's folder.
  outcome.inputPath = root > 0 ? std::string(name) : platform::JoinPath(dir, name);
  const std::vector<std::string_view> steps = Steps(name.substr(root));
  // A device's name opens the device in any folder, even one that is missing.
  if (std::any_of(steps.begin(), steps.end(), platform::IsDeviceName)) return Stop::kNotAFile;
  std::string asTyped = outcome.inputPath;
  const bool missing = platform::Missing(asTyped);
  const std::string start = root > 0 ? std::string(name.substr(0, root)) : dir;
  // Walks an existing path too, for the entries that differ from it only in case.
  const Stop stop = Walk(start, steps, root == 0 && !NamesAFolder(name), outcome);
  if (stop != Stop::kNone) return stop;
  if (!missing) {
    outcome.inputPath = std::move(asTyped);
    outcome.missingFolder.clear();
  }
  // Refused before it is opened, which may wait on a pipe or reach a device.
  return platform::IsDevice(outcome.inputPath) ? Stop::kNotAFile : Stop::kNone;
}

std::string ExportFolder(const std::string& dir, const std::string& typed) {
  const std::string_view name = Unquoted(typed);
  std::size_t last = name.size();
  while (last > 0 && !platform::IsSeparator(name[last - 1])) --last;
  // The name itself, then its folder part; a root keeps its separator.
  const std::string_view folderPart =
      last == 0 ? std::string_view()
                : name.substr(0, std::max(last - 1, platform::RootLength(name)));
  for (const std::string_view candidate : {name, folderPart}) {
    if (candidate.empty()) continue;
    RunOutcome outcome;
    if (ResolveInput(dir, std::string(candidate), outcome) == Stop::kNone &&
        IsFolder(outcome.inputPath)) {
      return outcome.inputPath;
    }
  }
  return dir;
}

bool LiesIn(const std::string& dir, const std::string& folder) {
  if (folder.empty()) return false;
  const std::u32string inner = FoldName(platform::LongPath(dir));
  std::u32string outer = FoldName(platform::LongPath(folder));
  const auto separator = static_cast<char32_t>(platform::kSeparator);
  // A drive's root keeps its closing separator; every other folder drops it.
  if (!outer.empty() && outer.back() == separator) outer.pop_back();
  return inner.starts_with(outer) &&
         (inner.size() == outer.size() || inner[outer.size()] == separator);
}

bool InputAbsent(const std::string& typed, const std::error_code& error) {
  // The system's own code for a missing file: Windows reports a missing folder
  // and a bad name with codes of their own.
  return error == platform::SystemError(std::errc::no_such_file_or_directory) &&
         !NamesAFolder(typed);
}

}  // namespace conversion
