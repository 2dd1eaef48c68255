// The run layer's public interface: the calls that convert an export, with the form state, the
// Host a window implements and the conversion of a line, which the line layer holds.

#pragma once

#include <filesystem>
#include <string>

#include "form_state.h"
#include "regional_dates.h"

namespace conversion {

// Returns true when filename names a file that can be opened for reading.
// Never fails: every error, a folder included, gives false.
bool FileExists(const std::string& filename);

struct RunOutcome;

// Converts the export named NomeFile in programDir into programDir/marigold.txt
// and returns how it went, which run_outcome.h describes; the caller sets xx
// to 0 first and words the outcome.
RunOutcome RunConversion(FormState& form, const std::filesystem::path& programDir, Host& host);

// Converts the export named NomeFile in programDir into programDir/marigold.txt
// and tells the user the outcome through host. The caller sets xx to 0 first.
void ConvertFile(FormState& form, const std::filesystem::path& programDir, Host& host);

}  // namespace conversion
