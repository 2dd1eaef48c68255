#pragma once

#include <string>
#include <vector>

namespace conversion {

// Finds the file the typed input name means in dir: the name as typed when
// such a file exists, else the one file of dir whose name matches it ignoring
// case. Sets path and returns true; returns false with the matching names,
// sorted, when several fit.
bool ResolveInput(const std::string& dir, const std::string& typed, std::string& path,
                  std::vector<std::string>& matches);

}  // namespace conversion
