// The run layer's input name: finds the export by its typed name, ignoring case where needed,
// and tells whether one folder lies inside another.

#include "input_name.h"

#include <algorithm>
#include <utility>

#include "platform.h"
#include "text.h"

namespace conversion {

namespace {

// Returns true when a typed name leads into a folder rather than naming a file of dir.
bool NamesAFolder(const std::string& typed) {
  return typed.find_first_of(std::string{'/', platform::kSeparator}) != std::string::npos;
}

}  // namespace

bool ResolveInput(const std::string& dir, const std::string& typed, std::string& path,
                  std::vector<std::string>& matches) {
  path = platform::JoinPath(dir, typed);
  matches.clear();
  if (!platform::Missing(path) || typed.empty() || NamesAFolder(typed)) {
    return true;
  }
  const std::u32string wanted = FoldName(typed);
  std::vector<std::string> names;
  // A folder that cannot be listed holds no match.
  static_cast<void>(platform::ListFolder(dir, names));
  for (std::string& name : names) {
    if (FoldName(name) == wanted) matches.push_back(std::move(name));
  }
  if (matches.size() == 1) path = platform::JoinPath(dir, matches.front());
  if (matches.size() <= 1) return true;
  std::sort(matches.begin(), matches.end());
  return false;
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
