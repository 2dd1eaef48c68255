#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "conversion.h"
#include "fake_platform.h"
#include "platform.h"
#include "test_support.h"

namespace {

using fake::Call;

// Mixes drawn at random at each point of a log, beside the states every point has.
constexpr int kSampled = 24;

// Returns an export of count contacts whose call signs start with prefix, in lines ended by CR LF.
std::string Export(int count, const std::string& prefix) {
  std::string log;
  for (int n = 1; n <= count; ++n) {
    log +=
        test::ContactWith({{1, prefix + std::to_string(n)}, {10, std::string(40, 'c')}}) + "\r\n";
  }
  return log;
}

// Returns an export as Export does in which every fifth contact has a band no
// table holds and every seventh line is too short for a record: each gets a
// line in the notes.
std::string NotedExport(int count, const std::string& prefix) {
  std::string log;
  for (int n = 1; n <= count; ++n) {
    std::string line = test::ContactWith({{1, prefix + std::to_string(n)},
                                          {5, n % 5 == 0 ? "99m" : "20m"},
                                          {10, std::string(40, 'c')}});
    if (n % 7 == 0) {
      std::size_t cut = 0;
      for (int field = 0; field < 10; ++field) cut = line.find(',', cut) + 1;
      line.resize(cut - 1);
    }
    log += line + "\r\n";
  }
  return log;
}

// Tells what a run without faults leaves of one export.
struct Outcome {
  std::string input;                 // the export
  std::string all;                   // marigold.txt
  std::string finish;                // the message
  std::optional<std::string> notes;  // marigold-notes.txt; none when nothing was noted
};

// Returns the first records of an output file, with their CR LF.
std::string FirstRecords(const std::string& output, std::size_t records) {
  std::size_t end = 0;
  for (std::size_t n = 0; n < records; ++n) end = output.find("\r\n", end) + 2;
  return output.substr(0, end);
}

// Marks the disk's log where the run shows its message.
class MarkingHost : public test::Recorder {
 public:
  void ShowMessage(std::string_view text) override {
    fake::Disk::Current().Mark("the message");
    Recorder::ShowMessage(text);
  }
};

// Tells what marigold.txt may be after a power cut in one run.
struct Promise {
  std::optional<std::string> earlier;  // the earlier marigold.txt; none when there was none
  std::optional<std::string> fresh;    // the new one the message tells of; none when not renamed
  bool freshOnceShown = false;         // the message is shown only once fresh is on the device
  bool earlierOnceShown = false;       // the message says that the earlier one stays
  std::optional<std::string> earlierNotes;  // the notes beside the earlier one, if any
  std::optional<std::string> freshNotes;    // the notes the run leaves beside fresh, if any
};

// Returns why a crash state breaks a rule, or nothing; shown tells that the
// cut came after the message. Runs that write more than marigold.txt add
// their own rules, such as one for files that belong to the marigold.txt beside them.
using Rule = std::function<std::string(const fake::Image& state, bool shown)>;

// Tells what the crash states of one run gave.
struct Tally {
  std::size_t states = 0;    // crash states checked
  std::size_t distinct = 0;  // of them different disks converted again by START
  std::vector<std::string> bad;
};

// Returns a file's bytes in short: absent, the earlier one, the new one or how it differs.
std::string Told(const std::optional<std::string>& file, const Promise& promise) {
  if (!file) return "absent";
  if (file == promise.earlier) return "the earlier one";
  if (file == promise.fresh) return "the new one";
  return std::to_string(file->size()) + " bytes that are neither the earlier nor the new one";
}

// Returns a step of the log as a reader of a failure looks for it.
std::string Told(const fake::Step& step) {
  static constexpr auto kNames = std::to_array<const char*>(
      {"Create", "Write", "Truncate", "Sync", "Remove", "Rename", "SyncFolder", "Mark"});
  std::string text = kNames.at(static_cast<std::size_t>(step.change)) + (" " + step.path);
  if (step.change == fake::Change::Rename || step.change == fake::Change::Mark) {
    text += " " + step.to;
  }
  if (step.change == fake::Change::Write) {
    text += " " + std::to_string(step.bytes.size()) + " bytes at " + std::to_string(step.offset);
  }
  return text;
}

// Converts logs/LOG.CSV on a fake disk and checks every disk a power cut
// may leave during the run against the table of stops.
class PowerCutTest : public testing::Test {
 protected:
  PowerCutTest() {
    disk.AddFolder(kDir);
    disk.most = 1500;  // a block of records goes out in many writes
    disk.Put(Path("LOG.CSV"), Export(25, "DL"));
    earlier = Converted();
    disk.Put(Path("LOG.CSV"), NotedExport(25, "DL"));
    earlierNoted = Converted();
    earlierNotes = disk.Get(Path("marigold-notes.txt"));
    disk.Remove(Path("marigold-notes.txt"));
    plain = Clean(Export(80, "HB"));
    noted = Clean(NotedExport(80, "HB"));
    all = plain.all;
  }

  // Returns what a run without faults leaves of input, on a disk with nothing else.
  Outcome Clean(const std::string& input) {
    Outcome outcome;
    outcome.input = input;
    disk.Remove(Path("marigold.txt"));
    disk.Put(Path("LOG.CSV"), input);
    outcome.finish = Run();
    EXPECT_TRUE(outcome.finish.starts_with("FINISH MARIGOLD.TXT with ")) << outcome.finish;
    outcome.all = disk.Get(Path("marigold.txt"));
    if (disk.Has(Path("marigold-notes.txt"))) outcome.notes = disk.Get(Path("marigold-notes.txt"));
    disk.Remove(Path("marigold.txt"));
    disk.Remove(Path("marigold-notes.txt"));
    return outcome;
  }

  static std::string Path(const std::string& name) {
    return conversion::platform::JoinPath(kDir, name);
  }

  // Runs a conversion as START does; returns the one message shown.
  std::string Run() {
    form.xx = 0;
    form.NomeFile = "LOG.CSV";
    form.NomeUtente = "NAME";
    host.messages.clear();
    conversion::ConvertFile(form, kDir, host);
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(disk.OpenCount(), 0u);
    return host.messages.empty() ? std::string() : host.messages.back();
  }

  std::string Converted() {
    EXPECT_TRUE(Run().starts_with("FINISH MARIGOLD.TXT with "));
    return disk.Get(Path("marigold.txt"));
  }

  std::string Finish() const {
    return "FINISH MARIGOLD.TXT with " + std::to_string(test::Records(all).size()) +
           " DATA in FILE";
  }

  // Returns the rule that notes, when present, belong to the marigold.txt beside them.
  static Rule NotesBelong(const Promise& promise) {
    return [promise](const fake::Image& state, bool /*shown*/) -> std::string {
      const std::string path = Path("marigold-notes.txt");
      if (!state.Has(path)) return {};
      const std::string notes = state.Get(path);
      const std::optional<std::string> file = state.Has(Path("marigold.txt"))
                                                  ? std::optional(state.Get(Path("marigold.txt")))
                                                  : std::nullopt;
      if (file == promise.earlier && notes == promise.earlierNotes) return {};
      if (promise.fresh && file == promise.fresh && notes == promise.freshNotes) return {};
      const std::string told = notes == promise.earlierNotes ? "the earlier notes"
                               : notes == promise.freshNotes
                                   ? "the new notes"
                                   : std::to_string(notes.size()) +
                                         " bytes of notes that are neither the earlier nor the new";
      return told + " beside a marigold.txt that is " + Told(file, promise);
    };
  }

  // Checks each state a power cut may leave after the run just logged: what
  // marigold.txt is, the rules given, and that START converts again there.
  Tally CheckCrashStates(const Promise& promise, const std::vector<Rule>& rules = {}) {
    const std::vector<fake::Step> log = disk.Log();
    std::size_t shownAt = log.size() + 1;  // steps made before the message
    for (std::size_t i = 0; i < log.size(); ++i) {
      if (log[i].change == fake::Change::Mark) shownAt = i + 1;
    }
    const std::vector<fake::CrashState> states = fake::CrashStates(disk, kSampled);
    Tally tally;
    std::set<std::size_t> seen;  // the disks met so far
    std::set<std::size_t> met;   // their names and marigold.txt
    for (const fake::CrashState& state : states) {
      ++tally.states;
      const bool shown = state.steps >= shownAt;
      const std::string output = Path("marigold.txt");
      const std::optional<std::string> file =
          state.image.Has(output) ? std::optional(state.image.Get(output)) : std::nullopt;
      std::vector<std::string> broken;
      if (file != promise.earlier && (!promise.fresh || file != promise.fresh)) {
        broken.push_back("marigold.txt is " + Told(file, promise));
      } else if (shown && promise.freshOnceShown && file != promise.fresh) {
        broken.push_back("the message was shown, but marigold.txt is " + Told(file, promise));
      } else if (shown && promise.earlierOnceShown && file != promise.earlier) {
        broken.push_back("the message says the earlier marigold.txt stays, but it is " +
                         Told(file, promise));
      }
      for (const Rule& rule : rules) {
        if (std::string why = rule(state.image, shown); !why.empty()) broken.push_back(why);
      }
      // START meets every set of names and marigold.txt, and one in four of
      // the other disks, which differ in what it removes only: that fits the
      // runs under Wine into the test's time.
      const bool meets = met.insert(Key(state.image, true)).second;
      if (seen.insert(Key(state.image, false)).second && (meets || seen.size() % 4 == 0)) {
        ++tally.distinct;
        if (std::string why = StartAgain(state.image); !why.empty()) broken.push_back(why);
      }
      for (const std::string& why : broken) {
        tally.bad.push_back(
            "cut after step " + std::to_string(state.steps) +
            (state.steps > 0 ? " (" + Told(log[state.steps - 1]) + ")" : std::string()) + ", " +
            state.how + ": " + why);
      }
    }
    return tally;
  }

  // Returns what tells one disk from another; with names only, the names in
  // the folder and the bytes of marigold.txt, which tell what START meets.
  static std::size_t Key(const fake::Image& image, bool namesOnly) {
    std::string text = image.Get(Path("marigold.txt"));
    for (const auto& [path, id] : image.names) {
      text += '\0' + path + '\0' + (namesOnly ? std::string() : image.Get(path));
    }
    return std::hash<std::string>()(text);
  }

  // Presses START on the disk of a crash state, with the lock file a killed
  // Windows run leaves; returns why it did not convert again, or nothing.
  std::string StartAgain(const fake::Image& image) {
    const bool ignored = disk.flushesIgnored;
    disk.ClearFaults();
    disk.flushesIgnored = false;
    disk.Restore(image);
    disk.Put(Path("marigold.txt.lock"), "");
    const std::string message = Run();
    disk.flushesIgnored = ignored;
    if (message != current->finish) return "START there says: " + message;
    if (disk.Get(Path("marigold.txt")) != current->all) {
      return "START there leaves another marigold.txt";
    }
    if (disk.Has(Path("marigold-notes.txt")) != current->notes.has_value() ||
        (current->notes && disk.Get(Path("marigold-notes.txt")) != *current->notes)) {
      return "START there leaves other notes";
    }
    if (disk.Has(Path("marigold.txt.partial"))) return "START there leaves marigold.txt.partial";
    return {};
  }

  static constexpr const char* kDir = "logs";
  fake::Disk disk;
  conversion::FormState form;
  MarkingHost host;
  std::string earlier;       // the output of another export, there before the run
  std::string all;           // the output of a run without faults
  std::string earlierNoted;  // the output of another export with notices, there before the run
  std::string earlierNotes;  // its notes
  Outcome plain;             // a run of an export with nothing to note
  Outcome noted;             // a run of an export with contacts noted
  const Outcome* current = &plain;  // the run the states are checked of
};

// Names a stop of the table and scripts the faults that end a run in it.
struct StopCase {
  const char* name;
  std::function<void(fake::Disk&)> script;
  enum { kRenamed, kNotRenamed, kPerhapsRenamed } renamed;
};

TEST_F(PowerCutTest, EveryStateAPowerCutLeavesIsARowOfTheTableOfStops) {
  const std::string partial = Path("marigold.txt.partial");
  const std::vector<StopCase> stops = {
      {"FINISH", [](fake::Disk&) {}, StopCase::kRenamed},
      {"the disk fills mid-run",
       [](fake::Disk& d) { d.Fail(Call::Write, 4, std::errc::no_space_on_device, 300); },
       StopCase::kRenamed},
      {"the disk fills, then the flush is refused",
       [](fake::Disk& d) {
         d.Fail(Call::Write, 4, std::errc::no_space_on_device, 300);
         d.Fail(Call::Sync, 1, std::errc::io_error);
       },
       StopCase::kNotRenamed},
      {"the flush of the file is refused",
       [](fake::Disk& d) { d.Fail(Call::Sync, 1, std::errc::io_error); }, StopCase::kNotRenamed},
      {"the flush of the folder is refused",
       [](fake::Disk& d) { d.Fail(Call::SyncFolder, 1, std::errc::io_error); },
       StopCase::kPerhapsRenamed},
      {"the rename is refused",
       [&](fake::Disk& d) {
         for (int nth = 1; nth <= 20; ++nth) {
           d.Fail(Call::Rename, nth, std::errc::permission_denied, 0, partial);
         }
       },
       StopCase::kNotRenamed},
  };
  const std::regex counted(R"(\n(\d+) records? (was|were) written to marigold\.txt\.)");
  // What was there before the run: nothing, an earlier marigold.txt, or one with its notes.
  enum Before { kNone, kEarlier, kEarlierNoted };
  struct Variant {
    const Outcome* run;
    Before before;
    bool everyStop;  // false: FINISH and the refused rename only
  };
  const std::vector<Variant> variants = {
      {&plain, kEarlier, true},      {&plain, kNone, true}, {&plain, kEarlierNoted, false},
      {&noted, kEarlierNoted, true}, {&noted, kNone, true},
  };
  for (const StopCase& stop : stops) {
    for (const Variant& variant : variants) {
      const std::string stopName = stop.name;
      if (!variant.everyStop && stopName != "FINISH" && stopName != "the rename is refused") {
        continue;
      }
      current = variant.run;
      all = current->all;
      const std::string name =
          stopName + (variant.run == &noted ? ", contacts noted" : "") +
          (variant.before == kNone      ? ", none before"
           : variant.before == kEarlier ? ", an earlier marigold.txt"
                                        : ", an earlier marigold.txt and its notes");
      SCOPED_TRACE(name);
      fake::Image start;
      start.names[Path("LOG.CSV")] = 1;
      start.files[1] = current->input;
      Promise promise;
      if (variant.before != kNone) {
        promise.earlier = variant.before == kEarlier ? earlier : earlierNoted;
        start.names[Path("marigold.txt")] = 2;
        start.files[2] = *promise.earlier;
      }
      if (variant.before == kEarlierNoted) {
        promise.earlierNotes = earlierNotes;
        start.names[Path("marigold-notes.txt")] = 3;
        start.files[3] = earlierNotes;
      }
      disk.ClearFaults();
      disk.Restore(start);
      stop.script(disk);
      const std::string message = Run();
      disk.ClearFaults();
      const bool before = variant.before != kNone;
      std::smatch count;
      if (stop.renamed == StopCase::kNotRenamed) {
        promise.earlierOnceShown = true;
        EXPECT_NE(message.find(before ? "marigold.txt is still the earlier one"
                                      : "there is no marigold.txt"),
                  std::string::npos)
            << message;
      } else if (message == current->finish) {
        promise.fresh = all;
        promise.freshOnceShown = true;
      } else if (std::regex_search(message, count, counted)) {
        promise.fresh = FirstRecords(all, std::stoul(count[1]));
        promise.freshOnceShown = true;
      } else {
        promise.fresh = all;
        EXPECT_EQ(stop.renamed, StopCase::kPerhapsRenamed) << message;
      }
      EXPECT_EQ(stopName == "FINISH", message == current->finish) << message;
      // The notes the run leaves on a disk without a cut are those of marigold.txt there.
      if (promise.fresh && disk.Get(Path("marigold.txt")) == *promise.fresh &&
          disk.Has(Path("marigold-notes.txt"))) {
        promise.freshNotes = disk.Get(Path("marigold-notes.txt"));
      }
      if (stopName == "FINISH") {
        EXPECT_EQ(promise.freshNotes, current->notes);
      }

      const Tally tally = CheckCrashStates(promise, {NotesBelong(promise)});
      std::printf("[ power cut ] %s: %zu states checked, %zu disks started again, %zu bad\n",
                  name.c_str(), tally.states, tally.distinct, tally.bad.size());
      EXPECT_GE(tally.distinct, 10u);
      for (std::size_t i = 0; i < tally.bad.size() && i < 5; ++i) ADD_FAILURE() << tally.bad[i];
    }
  }
}

TEST_F(PowerCutTest, ADeviceThatIgnoresTheFlushIsCaught) {
  fake::Image start;
  start.names[Path("LOG.CSV")] = 1;
  start.files[1] = Export(80, "HB");
  start.names[Path("marigold.txt")] = 2;
  start.files[2] = earlier;
  disk.Restore(start);
  disk.flushesIgnored = true;
  ASSERT_EQ(Run(), Finish());
  Promise promise;
  promise.earlier = earlier;
  promise.fresh = all;
  promise.freshOnceShown = true;
  const Tally tally = CheckCrashStates(promise);
  disk.flushesIgnored = false;
  std::printf("[ power cut ] the flush ignored: %zu states checked, %zu bad, such as\n  %s\n",
              tally.states, tally.bad.size(), tally.bad.empty() ? "" : tally.bad[0].c_str());
  ASSERT_FALSE(tally.bad.empty());
  // The device's own state once the message was shown: the new name with none of its bytes.
  EXPECT_TRUE(std::any_of(tally.bad.begin(), tally.bad.end(), [](const std::string& bad) {
    return bad.find("Mark  the message), all lost: marigold.txt is 0 bytes") != std::string::npos;
  })) << tally.bad[0];
}

}  // namespace
