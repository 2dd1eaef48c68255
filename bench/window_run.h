// The benchmark's window run: converts an export from an offscreen Qt window as a click on
// START does, and times it.

#pragma once

#include <filesystem>
#include <string>

namespace bench {

// Outcome of one conversion started from the window.
struct WindowRun {
  double seconds = 0;   // from the START click until the closing message
  std::string message;  // the closing message
  std::string counter;  // what the counter display shows afterwards
  long repaints = 0;    // times the counter display was drawn during the run
};

// Converts dir/name from an offscreen window, as a click on START does, with
// message boxes that close at once. Creates the application object, so it runs
// once per process.
WindowRun ConvertThroughWindow(const std::filesystem::path& dir, const std::string& name, int argc,
                               char** argv);

}  // namespace bench
