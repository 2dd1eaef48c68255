#include <gtest/gtest.h>

#include <string>

#include "conversion.h"
#include "fake_platform.h"
#include "platform.h"
#include "test_support.h"

namespace {

using conversion::platform::kSeparator;

// Joins steps after a root with the system's separator.
std::string Under(const std::string& root, std::initializer_list<std::string> steps) {
  std::string path = root;
  for (const std::string& step : steps) path += std::string(1, kSeparator) + step;
  return path;
}

// The root of a full path on the system the tests run on, without its separator.
const std::string kRoot = kSeparator == '/' ? "" : "C:";
const std::string kProgram = Under(kRoot, {"Marigold"});
const std::string kOther = Under(kRoot, {"Users", "Op"});
const std::string kNoRecords = "\nNo records were written; marigold.txt was not changed.";

// Names the export by a path on a fake disk whose program folder holds no export.
class InputPathTest : public testing::Test {
 protected:
  InputPathTest() {
    disk.AddFolder(kRoot + kSeparator);
    disk.AddFolder(kProgram);
    disk.AddFolder(Under(kRoot, {"Users"}));
    disk.AddFolder(kOther);
    disk.AddFolder(Under(kOther, {"Exports"}));
    disk.Put(Under(kOther, {"Exports", "log.csv"}), test::kContact);
  }

  std::string Run(const std::string& typed) { return test::Convert(kProgram, typed); }

  static std::string CannotOpen(const std::string& path, const std::string& line = {}) {
    return "Cannot open the input file \"" + path +
           "\": " + test::Reason(std::errc::no_such_file_or_directory) + "." + line + kNoRecords;
  }

  fake::Disk disk;
};

TEST_F(InputPathTest, OpensAFullOrRelativePathAndWritesBesideTheProgram) {
  const std::string finish = "FINISH MARIGOLD.TXT with 1 DATA in FILE";
  // Typed in capitals, each step found ignoring case; pasted in quotes.
  const std::string typed = Under(kRoot, {"USERS", "OP", "EXPORTS", "LOG.CSV"});
  for (const std::string& name : {typed, "\"" + typed + "\""}) {
    SCOPED_TRACE(name);
    disk.Remove(Under(kProgram, {"marigold.txt"}));
    EXPECT_EQ(Run(name), finish);
    EXPECT_EQ(test::Records(disk.Get(Under(kProgram, {"marigold.txt"}))).size(), 1u);
    EXPECT_FALSE(disk.Has(Under(kOther, {"Exports", "marigold.txt"})));
  }
  // A relative folder, from the program's.
  disk.AddFolder(Under(kProgram, {"Exports"}));
  disk.Put(Under(kProgram, {"Exports", "LOG.CSV"}), test::kContact);
  EXPECT_EQ(Run("exports/LOG.CSV"), finish);
}

TEST_F(InputPathTest, AMissingFileOrFolderIsNamedAsTyped) {
  const std::string typed = Under(kRoot, {"USERS", "OP", "EXPORTS", "NONE.CSV"});
  // No "Save the export in" line: a full path says where the export is.
  EXPECT_EQ(Run(typed), CannotOpen(typed));
  EXPECT_EQ(Run("\"" + typed + "\""), CannotOpen(typed));
  const std::string old = Under(kRoot, {"USERS", "OP", "OLD", "LOG.CSV"});
  EXPECT_EQ(Run(old),
            CannotOpen(old, "\nThe folder \"" + Under(kOther, {"OLD"}) + "\" does not exist."));
  EXPECT_EQ(Run(Under("OLD", {"LOG.CSV"})),
            CannotOpen(Under(kProgram, {"OLD", "LOG.CSV"}),
                       "\nThe folder \"" + Under(kProgram, {"OLD"}) + "\" does not exist."));
  EXPECT_FALSE(disk.Has(Under(kProgram, {"marigold.txt"})));
}

TEST_F(InputPathTest, SeveralNamesOfAStepStopTheRunAndAreNamed) {
  disk.AddFolder(Under(kOther, {"exports"}));
  const std::string advice =
      ".\nPaste the path or drop the file on the window: both keep its case. Nothing was changed.";
  EXPECT_EQ(Run(Under(kRoot, {"USERS", "OP", "EXPORTS", "LOG.CSV"})),
            "The name \"EXPORTS\" fits several folders in \"" + kOther +
                "\" that differ only in case: Exports, exports" + advice);
  disk.Put(Under(kOther, {"Exports", "Log.csv"}), test::kContact);
  EXPECT_EQ(Run(Under(kOther, {"Exports", "LOG.CSV"})),
            "The name \"LOG.CSV\" fits several files in \"" + Under(kOther, {"Exports"}) +
                "\" that differ only in case: Log.csv, log.csv" + advice);
  EXPECT_FALSE(disk.Has(Under(kProgram, {"marigold.txt"})));
}

TEST_F(InputPathTest, RefusesMarigoldAndADeviceBeforeTouchingAnything) {
  const std::string output = Under(kProgram, {"marigold.txt"});
  disk.Put(output, "earlier");
  EXPECT_EQ(Run(Under(kRoot, {"MARIGOLD", "MARIGOLD.TXT"})),
            "The input file \"" + output +
                "\" is marigold.txt itself, the file this conversion writes.\n"
                "Type the name of the exported log instead. Nothing was changed.");
  const std::string device = Under(kOther, {"pipe"});
  disk.PutDevice(device);
  EXPECT_EQ(Run(device), "The input file \"" + device +
                             "\" is a device or a pipe, not a file that holds an export.\n"
                             "Type the name of the exported log instead. Nothing was changed.");
  EXPECT_EQ(disk.Get(output), "earlier");
}

TEST_F(InputPathTest, RefusesADriveOrARootAlone) {
  if (kSeparator != '\\') GTEST_SKIP() << "every name here is a full path or a relative one";
  for (const std::string typed : {"C:LOG.CSV", "\\LOG.CSV", "/LOG.CSV"}) {
    EXPECT_EQ(Run(typed), "The name \"" + typed +
                              "\" leaves out the drive or the folder it starts from.\n"
                              "Type the whole path, such as C:\\Exports\\LOG.CSV, or the name of "
                              "a file beside the program. Nothing was changed.");
  }
}

}  // namespace
