#include "input_name.h"

#include <algorithm>
#include <utility>

#include "platform.h"
#include "text.h"

namespace conversion {

bool ResolveInput(const std::string& dir, const std::string& typed, std::string& path,
                  std::vector<std::string>& matches) {
  path = platform::JoinPath(dir, typed);
  matches.clear();
  if (!platform::Missing(path) || typed.empty() ||
      typed.find_first_of(std::string{'/', platform::kSeparator}) != std::string::npos) {
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

}  // namespace conversion
