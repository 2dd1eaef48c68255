// The run layer's replacing of marigold.txt: clears the way at a run's start
// and renames the temporary file at its end.

#include "output_file.h"

#include "notes_file.h"
#include "run_outcome.h"

namespace conversion {

OutputPaths::OutputPaths(const std::string& dir)
    : output(platform::JoinPath(dir, kOutputName)),
      partial(platform::JoinPath(dir, kPartialName)),
      folder(platform::SystemPath(dir)),
      outputPath(platform::SystemPath(output)),
      partialPath(platform::SystemPath(partial)) {}

Stop ClearOutput(const OutputPaths& paths, RunOutcome& outcome) {
  outcome.outputThere = !platform::Missing(paths.output);
  if ((outcome.error = Retried([&] { return platform::Replaceable(paths.outputPath); }))) {
    return Stop::kOutputNotRemoved;
  }
  if (platform::Missing(paths.partial)) return Stop::kNone;
  // A link by the name goes, never the file it leads to.
  outcome.error = Retried([&] { return platform::Remove(paths.partialPath); });
  if (outcome.error == std::errc::no_such_file_or_directory) outcome.error.clear();
  return outcome.error ? Stop::kPartialInTheWay : Stop::kNone;
}

std::error_code CreateOutput(OutputPaths& paths, platform::File& output) {
  std::error_code error = platform::File::Create(paths.partial, output);
  if (!error && (error = output.Id(paths.made))) {
    static_cast<void>(output.Close());
    static_cast<void>(platform::Remove(paths.partialPath));
  }
  return error;
}

namespace {

// Removes the notes of the earlier marigold.txt before it is replaced; when
// they stay, marigold.txt stays too, and the new notes go.
bool ClearEarlierNotes(Notes& notes, RunOutcome& outcome) {
  const std::error_code error = notes.ClearEarlier();
  if (!error) return true;
  outcome.stop = Stop::kNotRenamed;
  outcome.error = error;
  outcome.notesInTheWay = true;
  notes.Drop();
  return false;
}

}  // namespace

void PublishOutput(const OutputPaths& paths, Notes& notes, RunOutcome& outcome) {
  // Another file in place of the one written is neither removed nor renamed.
  const bool ours = platform::Leads(paths.partialPath, paths.made);
  if (outcome.stop != Stop::kNone && outcome.records == 0) {
    // A temporary file that stays is removed by the next run.
    if (ours) static_cast<void>(Retried([&] { return platform::Remove(paths.partialPath); }));
    notes.Drop();
    return;
  }
  if (!ours) {
    outcome.stop = Stop::kPartialReplaced;
    notes.Drop();
    return;
  }
  // Records the device did not confirm never take the earlier marigold.txt's
  // place: a power cut could leave the new name with none of their bytes.
  if (outcome.stop == Stop::kNotFlushed) {
    notes.Drop();
    return;
  }
  if (!ClearEarlierNotes(notes, outcome)) return;
  if (const std::error_code error =
          Retried([&] { return platform::Rename(paths.partialPath, paths.outputPath); })) {
    outcome.stop = Stop::kNotRenamed;
    outcome.error = error;
    notes.Drop();
    return;
  }
  notes.Publish(outcome);
  const std::error_code error = platform::SyncFolder(paths.folder);
  if (error && outcome.stop == Stop::kNone) {
    outcome.stop = Stop::kUnconfirmedFlush;
    outcome.error = error;
  }
}

}  // namespace conversion
