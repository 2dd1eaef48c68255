// The run layer's output file: written as marigold.txt.partial and renamed to
// marigold.txt once whole, so that a stopped run leaves it whole or absent.

#pragma once

#include <algorithm>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "platform.h"

namespace conversion {

struct RunOutcome;

inline constexpr std::string_view kOutputName = "marigold.txt";
inline constexpr std::string_view kPartialName = "marigold.txt.partial";

// Holds the paths of a run's output, made at its start so that its end
// allocates nothing.
struct OutputPaths {
  explicit OutputPaths(const std::string& dir);

  std::string output;                                     // marigold.txt, as messages show it
  std::string partial;                                    // the temporary file, as messages show it
  std::filesystem::path folder, outputPath, partialPath;  // as the system takes them
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

// Removes an earlier marigold.txt and a temporary file that a killed run left.
// Returns the error that keeps marigold.txt in place, which stops the run;
// a temporary file that stays is told when it cannot be created.
std::error_code ClearOutput(const OutputPaths& paths, bool& removed);

// Makes the temporary file marigold.txt once the run has ended, whole records
// only; removes it instead when a fault came before the first record. A rename
// or folder flush that fails is noted in outcome.
void PublishOutput(const OutputPaths& paths, RunOutcome& outcome);

}  // namespace conversion
