#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>

#include "conversion.h"
#include "fake_platform.h"
#include "platform.h"
#include "test_support.h"

namespace {

using fake::Call;

constexpr std::size_t kMiB = 1024 * 1024;

// Returns an export of contacts at least size bytes long, in lines ended by CR LF.
std::string Export(std::size_t size) {
  std::string log;
  for (int n = 1; log.size() < size; ++n) {
    log += test::ContactWith({{1, "HB" + std::to_string(n)}}) + "\r\n";
  }
  return log;
}

// Returns the first bytes of an output file up to the end of its last whole record among them.
std::string WholeRecordsIn(const std::string& output, std::size_t bytes) {
  const std::size_t end = output.rfind("\r\n", bytes - 2);
  return end == std::string::npos ? std::string() : output.substr(0, end + 2);
}

std::string RecordsWritten(std::size_t records) {
  if (records == 0) return "No records were written; marigold.txt was not changed.";
  return std::to_string(records) + (records == 1 ? " record was" : " records were") +
         " written to marigold.txt.";
}

constexpr const char* kNotRenamed =
    "The device did not confirm the records given to it, so marigold.txt.partial was not "
    "renamed.";

constexpr const char* kUnconfirmed =
    "The device did not confirm the records given to it; marigold.txt may be incomplete. "
    "Convert again before importing it.";

// Converts logs/LOG.CSV on a fake disk whose calls each test scripts.
class FakeFaultTest : public testing::Test {
 protected:
  FakeFaultTest() { disk.AddFolder(kDir); }

  // Runs a conversion as START does; returns the one message shown.
  std::string Run() {
    form.xx = 0;
    form.NomeFile = "LOG.CSV";
    form.NomeUtente = "NAME";
    host.messages.clear();
    conversion::ConvertFile(form, kDir, host);
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(disk.OpenCount(), 0u) << "every file is closed after the run";
    return host.messages.empty() ? std::string() : host.messages.back();
  }

  // Converts log without faults; returns the output it gives.
  std::string CleanOutput(const std::string& log) {
    disk.Put(Path("LOG.CSV"), log);
    EXPECT_TRUE(Run().starts_with("FINISH MARIGOLD.TXT with "));
    return Output();
  }

  static std::string Path(const std::string& name) {
    return conversion::platform::JoinPath(kDir, name);
  }
  std::string Output() const { return disk.Get(Path("marigold.txt")); }

  // Makes every call of a kind on path fail with error.
  void FailAlways(Call call, std::errc error, const std::string& path) {
    for (int nth = 1; nth <= 20; ++nth) disk.Fail(call, nth, error, 0, path);
  }

  // Returns the pauses made for a file that another program keeps holding:
  // about 1 s of them on Windows, none elsewhere.
  std::vector<int> WaitsOfHeldFiles() const {
    if (!disk.windowsRules) return {};
    return {10, 20, 40, 80, 160, 320, 370};
  }

  static constexpr const char* kDir = "logs";
  fake::Disk disk;
  conversion::FormState form;
  test::Recorder host;
};

TEST_F(FakeFaultTest, AFailingReadKeepsTheRecordsOfTheLinesReadBeforeIt) {
  const std::string log = Export(3 * kMiB);
  const std::string all = CleanOutput(log);
  const std::size_t lines = test::Records(all).size();

  // Reads of 64 KiB: 39 bring 2.4 MiB of lines, several blocks of records, and the 40th fails.
  disk.most = 64 * 1024;
  disk.Fail(Call::Read, 40, std::errc::io_error);
  const std::string message = Run();
  // A line is read once its CR is.
  const auto whole =
      static_cast<std::size_t>(std::count(log.begin(), log.begin() + 39 * 64 * 1024, '\r'));
  ASSERT_LT(whole, lines);
  EXPECT_EQ(message, "Cannot read the input file \"" + Path("LOG.CSV") + "\": " +
                         test::Reason(std::errc::io_error) + ".\n" + RecordsWritten(whole));
  EXPECT_EQ(test::Records(Output()).size(), whole);
  EXPECT_EQ(Output(), all.substr(0, Output().size()));

  // A first read that fails leaves the earlier marigold.txt as it was.
  const std::string earlier = Output();
  disk.Fail(Call::Read, 1, std::errc::io_error);
  EXPECT_EQ(Run(), "Cannot read the input file \"" + Path("LOG.CSV") +
                       "\": " + test::Reason(std::errc::io_error) + ".\n" + RecordsWritten(0));
  EXPECT_EQ(Output(), earlier);
  EXPECT_FALSE(disk.Has(Path("marigold.txt.partial")));
}

TEST_F(FakeFaultTest, ADiskFullAfterAShortWriteCutsTheFileBackToWholeRecords) {
  const std::string all = CleanOutput(Export(64 * 1024));
  // The one write of the records comes back short after 5000 bytes; the next
  // writes 3000 more and fails within a record.
  ASSERT_NE(all[8000 - 1], '\n');
  disk.Put(Path("marigold.txt"), "earlier");
  disk.Short(Call::Write, 1, 5000);
  disk.Fail(Call::Write, 2, std::errc::no_space_on_device, 3000);
  const std::string message = Run();

  const std::string kept = WholeRecordsIn(all, 8000);
  EXPECT_EQ(disk.Peak(Path("marigold.txt.partial")), 8000u);
  EXPECT_EQ(Output(), kept);
  EXPECT_EQ(message, "Cannot write the output file \"" + Path("marigold.txt") +
                         "\": " + test::Reason(std::errc::no_space_on_device) + ".\n" +
                         RecordsWritten(test::Records(kept).size()) + " Each of them is whole.");

  // Full from the first byte: nothing written, nothing cut, the earlier output kept.
  disk.Fail(Call::Write, 1, std::errc::no_space_on_device);
  EXPECT_EQ(Run(), "Cannot write the output file \"" + Path("marigold.txt") + "\": " +
                       test::Reason(std::errc::no_space_on_device) + ".\n" + RecordsWritten(0));
  EXPECT_EQ(Output(), kept);
}

TEST_F(FakeFaultTest, ACutRecordThatCannotBeCutOffIsNotCalledWhole) {
  const std::string all = CleanOutput(Export(64 * 1024));
  disk.Fail(Call::Write, 1, std::errc::no_space_on_device, 8000);
  disk.Fail(Call::Truncate, 1, std::errc::io_error);
  EXPECT_EQ(Run(), "Cannot write the output file \"" + Path("marigold.txt") +
                       "\": " + test::Reason(std::errc::no_space_on_device) + ".\n" + kUnconfirmed);
  EXPECT_EQ(Output(), all.substr(0, 8000));
}

TEST_F(FakeFaultTest, InterruptedAndShortReadsAndWritesGoOnToTheEnd) {
  const std::string log = Export(3 * kMiB / 2);
  const std::string all = CleanOutput(log);
  const int reads = disk.Count(Call::Read);
  const std::string finish =
      "FINISH MARIGOLD.TXT with " + std::to_string(test::Records(all).size()) + " DATA in FILE";

  disk.Fail(Call::Read, 2, std::errc::interrupted);
  disk.Fail(Call::Write, 1, std::errc::interrupted);
  disk.Fail(Call::Write, 2, std::errc::interrupted, 100);
  disk.Fail(Call::Sync, 1, std::errc::interrupted);
  EXPECT_EQ(Run(), finish);
  EXPECT_EQ(Output(), all);
  EXPECT_EQ(disk.Count(Call::Read), 2 * reads + 1);

  // Every read and write moves at most 1000 bytes.
  disk.most = 1000;
  EXPECT_EQ(Run(), finish);
  EXPECT_EQ(Output(), all);
}

TEST_F(FakeFaultTest, AFlushOrACloseThatFailsIsNeverFinish) {
  const std::string all = CleanOutput(Export(64 * 1024));
  const std::string records = std::to_string(test::Records(all).size()) + " whole records";
  // The records the device did not confirm are not renamed.
  disk.Fail(Call::Sync, 1, std::errc::io_error, 0, Path("marigold.txt.partial"));
  disk.Put(Path("marigold.txt"), "earlier");
  EXPECT_EQ(Run(), "Cannot write the output file \"" + Path("marigold.txt") +
                       "\": " + test::Reason(std::errc::io_error) + ".\n" + kNotRenamed +
                       "\nmarigold.txt is still the earlier one: do not import it as this "
                       "conversion. marigold.txt.partial holds the " +
                       records +
                       " of this conversion. The next START replaces "
                       "marigold.txt.partial.");
  EXPECT_EQ(Output(), "earlier");
  EXPECT_EQ(disk.Get(Path("marigold.txt.partial")), all);

  // A close that fails after the flush: the records are on the device, renamed.
  disk.Fail(Call::Close, 1, std::errc::io_error, 0, Path("marigold.txt.partial"));
  EXPECT_EQ(Run(), "Cannot write the output file \"" + Path("marigold.txt") +
                       "\": " + test::Reason(std::errc::io_error) + ".\n" + kUnconfirmed);
  EXPECT_EQ(Output(), all);
}

TEST_F(FakeFaultTest, TheWholeRecordsKeptAfterAFailedWriteAreFlushedBeforeTheRename) {
  const std::string all = CleanOutput(Export(64 * 1024));
  disk.Put(Path("marigold.txt"), "earlier");
  const int syncs = disk.Count(Call::Sync);
  disk.Fail(Call::Write, 1, std::errc::no_space_on_device, 8000);
  const std::string kept = WholeRecordsIn(all, 8000);
  const std::size_t records = test::Records(kept).size();
  EXPECT_EQ(Run(), "Cannot write the output file \"" + Path("marigold.txt") +
                       "\": " + test::Reason(std::errc::no_space_on_device) + ".\n" +
                       RecordsWritten(records) + " Each of them is whole.");
  EXPECT_EQ(Output(), kept);
  EXPECT_EQ(disk.Count(Call::Sync), syncs + 1);

  // A flush refused after the failed write leaves the earlier marigold.txt and says where
  // the records are.
  disk.Put(Path("marigold.txt"), "earlier");
  const int renames = disk.Count(Call::Rename);
  disk.Fail(Call::Write, 1, std::errc::no_space_on_device, 8000);
  disk.Fail(Call::Sync, 1, std::errc::io_error);
  EXPECT_EQ(Run(), "Cannot write the output file \"" + Path("marigold.txt") +
                       "\": " + test::Reason(std::errc::io_error) + ".\n" + kNotRenamed +
                       "\nmarigold.txt is still the earlier one: do not import it as this "
                       "conversion. marigold.txt.partial holds the " +
                       std::to_string(records) +
                       " whole records of this conversion. The next START replaces "
                       "marigold.txt.partial.");
  EXPECT_EQ(Output(), "earlier");
  EXPECT_EQ(disk.Get(Path("marigold.txt.partial")), kept);
  EXPECT_EQ(disk.Count(Call::Rename), renames) << "nothing was renamed";

  // With nothing kept, the temporary file goes.
  disk.Fail(Call::Write, 1, std::errc::no_space_on_device);
  disk.Fail(Call::Sync, 1, std::errc::io_error);
  EXPECT_EQ(Run(), "Cannot write the output file \"" + Path("marigold.txt") +
                       "\": " + test::Reason(std::errc::io_error) + ".\n" + RecordsWritten(0));
  EXPECT_EQ(Output(), "earlier");
  EXPECT_FALSE(disk.Has(Path("marigold.txt.partial")));
}

TEST_F(FakeFaultTest, AnEarlierOutputThatCannotBeRemovedStopsTheRunBeforeAnythingIsMade) {
  CleanOutput(Export(4 * 1024));
  const std::string held =
      "Another program has it open: close it there, or let the logbook's import finish, then "
      "press START again.\n";
  for (const std::errc error : {std::errc::device_or_resource_busy, std::errc::permission_denied}) {
    SCOPED_TRACE(test::Reason(error));
    disk.Put(Path("marigold.txt"), "earlier");
    FailAlways(Call::Remove, error, Path("marigold.txt"));
    const int creates = disk.Count(Call::Create);
    EXPECT_EQ(Run(), "Cannot replace the output file \"" + Path("marigold.txt") +
                         "\": " + test::Reason(error) + ".\n" +
                         (error == std::errc::device_or_resource_busy ? held : "") +
                         "No records were written; marigold.txt was not changed.");
    EXPECT_EQ(Output(), "earlier");
    EXPECT_EQ(disk.Count(Call::Create), creates) << "no temporary file was made";
    EXPECT_EQ(disk.pauses, WaitsOfHeldFiles());
    disk.ClearFaults();
    disk.pauses.clear();
  }
}

TEST_F(FakeFaultTest, ATemporaryFileThatCannotBeMadeIsNamedInTheMessage) {
  const std::string all = CleanOutput(Export(4 * 1024));
  // The earlier marigold.txt stays as it was.
  disk.Fail(Call::Create, 1, std::errc::permission_denied);
  EXPECT_EQ(Run(), "Cannot create the output file \"" + Path("marigold.txt.partial") + "\": " +
                       test::Reason(std::errc::permission_denied) + ".\n" + RecordsWritten(0));
  EXPECT_EQ(Output(), all);

  // With no earlier marigold.txt, nothing of it was changed.
  disk.Fail(Call::Create, 1, std::errc::device_or_resource_busy);
  EXPECT_EQ(Run(), "Cannot create the output file \"" + Path("marigold.txt.partial") +
                       "\": " + test::Reason(std::errc::device_or_resource_busy) +
                       ".\nAnother program has it open: close it there, or let the logbook's "
                       "import finish, then press START again.\n"
                       "No records were written; marigold.txt was not changed.");
  EXPECT_EQ(disk.Get(Path("LOG.CSV")), Export(4 * 1024));
  EXPECT_EQ(CleanOutput(Export(4 * 1024)), all);
}

TEST_F(FakeFaultTest, MarigoldAppearsWholeOnlyOnceTheRunEnds) {
  const std::string log = Export(4 * 1024);
  const std::string all = CleanOutput(log);
  const std::string finish =
      "FINISH MARIGOLD.TXT with " + std::to_string(test::Records(all).size()) + " DATA in FILE";
  EXPECT_FALSE(disk.Has(Path("marigold.txt.partial")));

  // A killed run's temporary file and the earlier output both give way.
  disk.Put(Path("marigold.txt.partial"), "left by a killed run");
  disk.Put(Path("marigold.txt"), "earlier");
  EXPECT_EQ(Run(), finish);
  EXPECT_EQ(Output(), all);
  EXPECT_FALSE(disk.Has(Path("marigold.txt.partial")));

  // A rename that fails keeps the records in the temporary file, and the
  // earlier marigold.txt is not taken for them.
  FailAlways(Call::Rename, std::errc::permission_denied, Path("marigold.txt.partial"));
  disk.Put(Path("marigold.txt"), "earlier");
  const std::string records = std::to_string(test::Records(all).size()) + " whole records";
  EXPECT_EQ(Run(), "Cannot rename \"" + Path("marigold.txt.partial") + "\" to \"" +
                       Path("marigold.txt") + "\": " + test::Reason(std::errc::permission_denied) +
                       ".\nmarigold.txt is still the earlier one: do not import it as this "
                       "conversion. marigold.txt.partial holds the " +
                       records +
                       " of this conversion. The next START replaces "
                       "marigold.txt.partial.");
  EXPECT_EQ(Output(), "earlier");
  EXPECT_EQ(disk.Get(Path("marigold.txt.partial")), all);
  disk.pauses.clear();
  disk.Remove(Path("marigold.txt"));
  EXPECT_EQ(Run(), "Cannot rename \"" + Path("marigold.txt.partial") + "\" to \"" +
                       Path("marigold.txt") + "\": " + test::Reason(std::errc::permission_denied) +
                       ".\nmarigold.txt.partial holds the " + records +
                       " written; there is no marigold.txt. The next START replaces "
                       "marigold.txt.partial.");
  EXPECT_EQ(disk.pauses, WaitsOfHeldFiles());
  disk.ClearFaults();

  // A folder that does not confirm the new name is never FINISH.
  disk.Fail(Call::SyncFolder, 1, std::errc::io_error);
  EXPECT_EQ(Run(), "Cannot write the output file \"" + Path("marigold.txt") +
                       "\": " + test::Reason(std::errc::io_error) + ".\n" + kUnconfirmed);
  EXPECT_EQ(Output(), all);

  // A fault before the first record leaves the earlier marigold.txt and no temporary file.
  disk.Fail(Call::Write, 1, std::errc::no_space_on_device);
  EXPECT_EQ(Run(), "Cannot write the output file \"" + Path("marigold.txt") + "\": " +
                       test::Reason(std::errc::no_space_on_device) + ".\n" + RecordsWritten(0));
  EXPECT_EQ(Output(), all);
  EXPECT_FALSE(disk.Has(Path("marigold.txt.partial")));
}

TEST_F(FakeFaultTest, AFileHeldForAMomentIsTriedAgainOnWindowsOnly) {
  const std::string all = CleanOutput(Export(4 * 1024));
  const std::string finish =
      "FINISH MARIGOLD.TXT with " + std::to_string(test::Records(all).size()) + " DATA in FILE";
  // A virus scanner opens the new file three times in a row.
  for (int nth = 1; nth <= 3; ++nth) {
    disk.Fail(Call::Rename, nth, std::errc::device_or_resource_busy, 0,
              Path("marigold.txt.partial"));
  }
  const std::string message = Run();
  if (disk.windowsRules) {
    EXPECT_EQ(message, finish);
    EXPECT_EQ(disk.pauses, (std::vector<int>{10, 20, 40}));
    EXPECT_EQ(Output(), all);
  } else {
    EXPECT_TRUE(message.starts_with("Cannot rename ")) << message;
    EXPECT_TRUE(disk.pauses.empty());
  }

  // Another program that holds marigold.txt open keeps it on Windows alone.
  disk.ClearFaults();
  disk.pauses.clear();
  disk.Put(Path("marigold.txt"), "earlier");
  {
    conversion::platform::File logbook;
    ASSERT_FALSE(conversion::platform::File::OpenForReading(Path("marigold.txt"), logbook));
    form.xx = 0;
    form.NomeFile = "LOG.CSV";
    host.messages.clear();
    conversion::ConvertFile(form, kDir, host);
  }
  ASSERT_EQ(host.messages.size(), 1u);
  if (disk.windowsRules) {
    EXPECT_TRUE(host.messages[0].starts_with("Cannot replace the output file "))
        << host.messages[0];
    EXPECT_EQ(Output(), "earlier");
    EXPECT_EQ(disk.pauses, WaitsOfHeldFiles());
  } else {
    EXPECT_EQ(host.messages[0], finish);
    EXPECT_EQ(Output(), all);
  }
}

TEST_F(FakeFaultTest, AnExportThatIsTheOutputOrItsTemporaryFileIsRefused) {
  CleanOutput(Export(4 * 1024));
  disk.Put(Path("marigold.txt"), "earlier");
  disk.Put(Path("marigold.txt.partial"), Export(4 * 1024));
  for (const std::string name : {"marigold.txt", "marigold.txt.partial"}) {
    form.xx = 0;
    form.NomeFile = name;
    host.messages.clear();
    conversion::ConvertFile(form, kDir, host);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0],
              "The input file \"" + Path(name) + "\" is " +
                  (name == "marigold.txt"
                       ? "marigold.txt itself, the file this conversion writes.\n"
                       : "marigold.txt.partial, the file this conversion writes before it names "
                         "it marigold.txt.\n") +
                  "Type the name of the exported log instead. Nothing was changed.");
  }
  EXPECT_EQ(Output(), "earlier");
  EXPECT_EQ(disk.Get(Path("marigold.txt.partial")), Export(4 * 1024));
}

TEST_F(FakeFaultTest, ABusyFolderChangesNothing) {
  CleanOutput(Export(4 * 1024));
  disk.Put(Path("marigold.txt"), "earlier");
  const int creates = disk.Count(Call::Create);
  {
    conversion::platform::FolderLock held;
    ASSERT_FALSE(conversion::platform::FolderLock::Take(kDir, held));
    form.xx = 0;
    form.NomeFile = "LOG.CSV";
    host.messages.clear();
    conversion::ConvertFile(form, kDir, host);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], "Another conversion is writing marigold.txt in \"" +
                                    std::string(kDir) +
                                    "\" at this moment.\nWait until it has finished, then press "
                                    "START again. Nothing was changed.");
    EXPECT_EQ(Output(), "earlier");
    EXPECT_EQ(disk.Count(Call::Create), creates);
  }
  EXPECT_TRUE(Run().starts_with("FINISH MARIGOLD.TXT with ")) << "the lock is free again";
}

// Puts a file of another in place of the temporary file once the run has made its first record.
class Planter : public test::Recorder {
 public:
  explicit Planter(fake::Disk& disk, std::string path) : disk_(disk), path_(std::move(path)) {}
  void SetCounterText(std::string_view text) override {
    Recorder::SetCounterText(text);
    if (text == "1") disk_.Put(path_, "planted");
  }

 private:
  fake::Disk& disk_;
  std::string path_;
};

TEST_F(FakeFaultTest, WhatStandsInTheWayOfTheOutputStopsTheRunBeforeAnythingChanges) {
  const std::string all = CleanOutput(Export(4 * 1024));
  const int creates = disk.Count(Call::Create);
  // A temporary file that cannot be removed: another account's, or a folder.
  disk.Put(Path("marigold.txt.partial"), "another account's");
  FailAlways(Call::Remove, std::errc::operation_not_permitted, Path("marigold.txt.partial"));
  EXPECT_EQ(Run(), "Cannot remove \"" + Path("marigold.txt.partial") +
                       "\", left by an earlier conversion: " +
                       test::Reason(std::errc::operation_not_permitted) +
                       ".\nRemove it, or start the program from a folder of your own, then press "
                       "START again. Nothing was changed.");
  EXPECT_EQ(disk.Get(Path("marigold.txt.partial")), "another account's");
  disk.ClearFaults();
  disk.Remove(Path("marigold.txt.partial"));
  disk.AddFolder(Path("marigold.txt.partial"));
  EXPECT_TRUE(Run().starts_with("Cannot remove \"" + Path("marigold.txt.partial") + "\""));
  EXPECT_EQ(Output(), all);
  EXPECT_EQ(disk.Count(Call::Create), creates) << "no temporary file was made";
}

TEST_F(FakeFaultTest, ATemporaryFileReplacedWhileWrittenIsNeitherRenamedNorRemoved) {
  disk.Put(Path("LOG.CSV"), Export(4 * 1024));
  disk.Put(Path("marigold.txt"), "earlier");
  Planter planter(disk, Path("marigold.txt.partial"));
  form.NomeFile = "LOG.CSV";
  conversion::ConvertFile(form, kDir, planter);
  ASSERT_EQ(planter.messages.size(), 1u);
  EXPECT_EQ(planter.messages[0], "The temporary file \"" + Path("marigold.txt.partial") +
                                     "\" was replaced by another program while this conversion "
                                     "wrote it, so it was not renamed.\nmarigold.txt was not "
                                     "changed. Press START again.");
  EXPECT_EQ(Output(), "earlier");
  EXPECT_TRUE(disk.Has(Path("marigold.txt.partial")));
}

TEST_F(FakeFaultTest, AnUnknownProgramFolderChangesNothing) {
  form.NomeFile = "LOG.CSV";
  conversion::ConvertFile(form, "", host);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0],
            "Cannot find the folder that holds the program, where the export and marigold.txt "
            "belong. Nothing was changed.");
  EXPECT_EQ(disk.Count(Call::Lock) + disk.Count(Call::OpenForReading), 0);
}

TEST_F(FakeFaultTest, TheNotesBelongToTheMarigoldTxtBesideThemAfterEveryFault) {
  // An export of many contacts after a line cut short, which is noticed.
  const std::string log = "short\r\n" + Export(4 * 1024);
  const std::string all = CleanOutput(log);
  const std::string notes = disk.Get(Path("marigold-notes.txt"));
  ASSERT_TRUE(notes.starts_with("\xEF\xBB\xBFNoticed contacts of the conversion of "));
  const std::size_t records = test::Records(all).size();
  const std::string finish = "FINISH MARIGOLD.TXT with " + std::to_string(records) +
                             " DATA in FILE\nSkipped 1 line with fewer than 26 fields: line 1";
  const std::string notesPartial = Path("marigold-notes.txt.partial");
  const auto earlier = [&] {
    disk.ClearFaults();
    disk.pauses.clear();
    disk.Put(Path("marigold.txt"), "earlier");
    disk.Put(Path("marigold-notes.txt"), "earlier notes");
  };

  // A failure of the notes alone: marigold.txt as ever, no notes at all.
  struct Step {
    Call call;
    std::errc error;
  };
  const std::array<Step, 4> alone = {{{Call::Create, std::errc::no_space_on_device},
                                      {Call::Write, std::errc::no_space_on_device},
                                      {Call::Sync, std::errc::io_error},
                                      {Call::Rename, std::errc::permission_denied}}};
  for (const auto& fault : alone) {
    earlier();
    FailAlways(fault.call, fault.error, notesPartial);
    EXPECT_EQ(Run(), finish + "\nCannot write the list of noticed contacts \"" +
                         Path("marigold-notes.txt") + "\": " + test::Reason(fault.error) +
                         ".\nThere is no marigold-notes.txt beside marigold.txt.")
        << static_cast<int>(fault.call);
    EXPECT_EQ(host.notesLine, "");
    EXPECT_EQ(Output(), all);
    EXPECT_FALSE(disk.Has(Path("marigold-notes.txt")));
    EXPECT_FALSE(disk.Has(notesPartial));
  }

  // Earlier notes that cannot be removed keep the earlier marigold.txt with them.
  earlier();
  // The first call on the name asks whether it could be replaced, the next ones remove it.
  for (int nth = 2; nth <= 20; ++nth) {
    disk.Fail(Call::Remove, nth, std::errc::permission_denied, 0, Path("marigold-notes.txt"));
  }
  EXPECT_EQ(Run(), "Cannot remove \"" + Path("marigold-notes.txt") +
                       "\", the list of noticed contacts of the earlier marigold.txt: " +
                       test::Reason(std::errc::permission_denied) +
                       ".\nmarigold.txt is still the earlier one: do not import it as this "
                       "conversion. marigold.txt.partial holds the " +
                       std::to_string(records) +
                       " whole records of this conversion. The next START replaces "
                       "marigold.txt.partial.");
  EXPECT_EQ(Output(), "earlier");
  EXPECT_EQ(disk.Get(Path("marigold-notes.txt")), "earlier notes");
  EXPECT_FALSE(disk.Has(notesPartial));

  // A fault before the first record leaves both earlier files as they were.
  earlier();
  disk.Fail(Call::Write, 1, std::errc::no_space_on_device, 0, Path("marigold.txt.partial"));
  EXPECT_TRUE(Run().starts_with("Cannot write the output file"));
  EXPECT_EQ(Output(), "earlier");
  EXPECT_EQ(disk.Get(Path("marigold-notes.txt")), "earlier notes");
  EXPECT_FALSE(disk.Has(notesPartial));

  // A fault after some records renames them, and their notes with them.
  earlier();
  disk.Short(Call::Write, 1, 1000);
  disk.Fail(Call::Write, 2, std::errc::no_space_on_device, 0, Path("marigold.txt.partial"));
  const std::string cut = Run();
  EXPECT_TRUE(cut.starts_with("Cannot write the output file")) << cut;
  EXPECT_TRUE(cut.ends_with("\nEvery noticed contact, with its call, date and time: \"" +
                            Path("marigold-notes.txt") + "\"."))
      << cut;
  EXPECT_EQ(Output(), WholeRecordsIn(all, 1000));
  EXPECT_TRUE(disk.Get(Path("marigold-notes.txt"))
                  .ends_with(" " + std::to_string(test::Records(Output()).size()) +
                             " records in marigold.txt.\r\n"));
  EXPECT_FALSE(disk.Has(notesPartial));

  // A leftover of a killed run and earlier notes give way; the new notes are the run's.
  earlier();
  disk.Put(notesPartial, "left by a killed run");
  EXPECT_EQ(Run(), finish);
  EXPECT_EQ(host.notesLine, "Every noticed contact, with its call, date and time: \"" +
                                Path("marigold-notes.txt") + "\".");
  EXPECT_EQ(Output(), all);
  EXPECT_EQ(disk.Get(Path("marigold-notes.txt")).substr(notes.find("\r\n")),
            notes.substr(notes.find("\r\n")));
  EXPECT_FALSE(disk.Has(notesPartial));

  // Both names of the notes are refused as the export.
  for (const std::string name : {"marigold-notes.txt", "marigold-notes.txt.partial"}) {
    disk.Put(Path(name), log);
    form.NomeFile = name;
    host.messages.clear();
    conversion::ConvertFile(form, kDir, host);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_TRUE(
        host.messages[0].starts_with("The input file \"" + Path(name) + "\" is " + name + ", "))
        << host.messages[0];
    EXPECT_EQ(Output(), all);
  }
}

}  // namespace
