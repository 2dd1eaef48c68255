// The run layer's input name: finds the export a typed name means, ignoring case, and tells a
// missing export from other failures to open it.

#pragma once

#include <string>
#include <string_view>
#include <system_error>

#include "run_outcome.h"

namespace conversion {

// Returns the typed input name without the two quotes that enclose all of it,
// as a copied path comes; any other name as it is.
std::string_view Unquoted(std::string_view typed);

// Finds the file the typed input name means and notes it in outcome: its name
// as shown (typedName) and the path to open (inputPath). A full path is taken
// as it is, any other name from the folder dir. Each step missing as typed is
// the one entry of its folder that matches it ignoring case; a step that
// matches none leaves the path as typed, noting a missing folder on the way.
// The entries that differ from a step only in case, where the step matches one
// exactly, are noted for the closing message. An empty name is refused, and so
// is any name of a device or a pipe, before anything is opened.
// Returns the stop when the name cannot be resolved, else Stop::kNone.
Stop ResolveInput(const std::string& dir, const std::string& typed, RunOutcome& outcome);

// Returns the folder a file dialog for the export opens in: the folder that the
// typed input name leads to, or that holds the file it names, found as
// ResolveInput finds the export; dir when there is no such folder.
std::string ExportFolder(const std::string& dir, const std::string& typed);

// Returns true when the folder dir is folder itself or lies inside it, their
// long forms compared ignoring case; false when folder is empty.
bool LiesIn(const std::string& dir, const std::string& folder);

// Returns true when the input could not be opened because no file of the typed
// name is in dir: not for a path, a missing folder or a refusal.
bool InputAbsent(const std::string& typed, const std::error_code& error);

}  // namespace conversion
