// The run layer's input name: finds the export a typed name means, ignoring case, and tells a
// missing export from other failures to open it.

#pragma once

#include <string>
#include <system_error>
#include <vector>

namespace conversion {

// Finds the file the typed input name means in dir: the name as typed when
// such a file exists, else the one file of dir whose name matches it ignoring
// case. Sets path and returns true; returns false with the matching names,
// sorted, when several fit.
bool ResolveInput(const std::string& dir, const std::string& typed, std::string& path,
                  std::vector<std::string>& matches);

// Returns true when the folder dir is folder itself or lies inside it, their
// long forms compared ignoring case; false when folder is empty.
bool LiesIn(const std::string& dir, const std::string& folder);

// Returns true when the input could not be opened because no file of the typed
// name is in dir: not for a bad path, a missing folder or a refusal.
bool InputAbsent(const std::string& typed, const std::error_code& error);

}  // namespace conversion
