// The run layer's output file: written as marigold.txt.partial and renamed to
// marigold.txt once whole, so that a stopped run leaves the earlier one as it was.

#pragma once

#include <algorithm>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "platform.h"

namespace conversion {

struct RunOutcome;
enum class Stop;
class Notes;

inline constexpr std::string_view kOutputName = "marigold.txt";
inline constexpr std::string_view kPartialName = "marigold.txt.partial";

// Holds the paths of a run's output, made at its start so that its end
// allocates nothing.
struct OutputPaths {
  explicit OutputPaths(const std::string& dir);

  std::string output;                                     // marigold.txt, as messages show it
  std::string partial;                                    // the temporary file, as messages show it
  std::filesystem::path folder, outputPath, partialPath;  // as the system takes them
  platform::FileId made;  // the temporary file this run made, which alone it renames
};

// Makes call until it succeeds or fails in a way that no waiting mends. A file
// that another program holds for a moment gets pauses of 10, 20, 40 … ms
// between tries, 1 s in all.
template <class Call>
std::error_code Retried(Call call) {
  constexpr int kLongestWait = 1000;  // ms
  std::error_code error = call();
  for (int pause = 10, waited = 0; error && platform::MayClear(error) && waited < kLongestWait;
       pause *= 2) {
    const int ms = std::min(pause, kLongestWait - waited);
    platform::Pause(ms);
    waited += ms;
    error = call();
  }
  return error;
}

// Makes sure that the earlier marigold.txt, which stays until the rename,
// could then be replaced, and removes a temporary file that a killed run left.
// Returns the stop, its error in outcome, when either cannot be; nothing is
// changed then.
Stop ClearOutput(const OutputPaths& paths, RunOutcome& outcome);

// Creates the temporary file, new and never through a link, and notes it in paths.
std::error_code CreateOutput(OutputPaths& paths, platform::File& output);

// Makes the temporary file marigold.txt once the run has ended, whole records
// only that the device confirmed; removes it instead when a fault came before
// the first record, and leaves marigold.txt as it was; leaves both when the
// device did not confirm the records. A name that no longer leads to the file
// written, a rename or a folder flush that fails is noted in outcome. The
// notes go with marigold.txt: the earlier ones are removed right before its
// rename, the new ones renamed right after it, and both stay as they were
// when marigold.txt does.
void PublishOutput(const OutputPaths& paths, Notes& notes, RunOutcome& outcome);

}  // namespace conversion
