// The run layer's replacing of marigold.txt: clears the way at a run's start
// and renames the temporary file at its end.

#include "output_file.h"

#include "run_outcome.h"

namespace conversion {

namespace {

// Removes the file at path when there is one; removed tells whether one was.
std::error_code RemoveIfThere(const std::string& text, const std::filesystem::path& path,
                              bool& removed) {
  removed = false;
  if (platform::Missing(text)) return {};
  const std::error_code error = Retried([&] { return platform::Remove(path); });
  if (error == std::errc::no_such_file_or_directory) return {};
  removed = !error;
  return error;
}

}  // namespace

OutputPaths::OutputPaths(const std::string& dir)
    : output(platform::JoinPath(dir, kOutputName)),
      partial(platform::JoinPath(dir, kPartialName)),
      folder(platform::SystemPath(dir)),
      outputPath(platform::SystemPath(output)),
      partialPath(platform::SystemPath(partial)) {}

std::error_code ClearOutput(const OutputPaths& paths, bool& removed) {
  if (const std::error_code error = RemoveIfThere(paths.output, paths.outputPath, removed)) {
    return error;
  }
  bool leftover = false;
  static_cast<void>(RemoveIfThere(paths.partial, paths.partialPath, leftover));
  return {};
}

void PublishOutput(const OutputPaths& paths, RunOutcome& outcome) {
  if (outcome.stop != Stop::kNone && outcome.records == 0) {
    // A temporary file that stays is removed by the next run.
    static_cast<void>(Retried([&] { return platform::Remove(paths.partialPath); }));
    return;
  }
  if (const std::error_code error =
          Retried([&] { return platform::Rename(paths.partialPath, paths.outputPath); })) {
    outcome.stop = Stop::kNotRenamed;
    outcome.error = error;
    return;
  }
  const std::error_code error = platform::SyncFolder(paths.folder);
  if (error && outcome.stop == Stop::kNone) {
    outcome.stop = Stop::kUnconfirmedFlush;
    outcome.error = error;
  }
}

}  // namespace conversion
