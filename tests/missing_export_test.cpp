#include <gtest/gtest.h>

#include <string>

#include "conversion.h"
#include "fake_platform.h"
#include "input_name.h"
#include "platform.h"
#include "test_support.h"

namespace {

using conversion::platform::kSeparator;
using fake::Call;

// Joins the parts of a path with the system's separator.
std::string PathOf(std::initializer_list<std::string> parts) {
  std::string path;
  for (const std::string& part : parts)
    path += (path.empty() ? "" : std::string(1, kSeparator)) + part;
  return path;
}

const std::string kTemp = PathOf({"C:", "Users", "JOHNSM~1", "AppData", "Local", "Temp"});
const std::string kLongTemp = PathOf({"C:", "Users", "John Smith", "AppData", "Local", "Temp"});
// The folder Explorer runs a program from when it is started inside its zip.
const std::string kZipRun =
    PathOf({"c:", "users", "john smith", "appdata", "local", "temp", "Temp1_s2m.zip"});
const std::string kOwn = PathOf({"C:", "Marigold"});

// Converts on a fake disk whose temporary folder comes back in 8.3 short form.
class MissingExportTest : public testing::Test {
 protected:
  MissingExportTest() {
    disk.tempFolder = kTemp;
    disk.longPaths[kTemp] = kLongTemp;
    disk.AddFolder(kZipRun);
    disk.AddFolder(kOwn);
  }

  // Runs a conversion of name in dir as START does; returns the one message shown.
  std::string Run(const std::string& dir, const std::string& name = "LOG.CSV") {
    test::Recorder host;
    return test::Convert(dir, name, host);
  }

  // Returns the failure message for an export that could not be opened, with the
  // line between the reason and the rest.
  static std::string CannotOpen(const std::string& path, std::errc reason,
                                const std::string& line) {
    return "Cannot open the input file \"" + path + "\": " + test::Reason(reason) + ".\n" + line +
           "No records were written; marigold.txt was not changed.";
  }

  fake::Disk disk;
};

TEST_F(MissingExportTest, IsToldWhereTheExportBelongs) {
  EXPECT_EQ(Run(kOwn), CannotOpen(PathOf({kOwn, "LOG.CSV"}), std::errc::no_such_file_or_directory,
                                  "Save the export in \"" + kOwn + "\", beside the program.\n"));
  // A folder whose name merely starts like the temporary folder's lies outside it.
  const std::string beside = kLongTemp + "2";
  disk.AddFolder(beside);
  EXPECT_EQ(Run(beside),
            CannotOpen(PathOf({beside, "LOG.CSV"}), std::errc::no_such_file_or_directory,
                       "Save the export in \"" + beside + "\", beside the program.\n"));
}

TEST_F(MissingExportTest, InsideTheZipIsToldToCopyTheProgramOut) {
  const std::string zip = std::string(test::kRunsFromTheZip) + "\n";
  EXPECT_EQ(Run(kZipRun),
            CannotOpen(PathOf({kZipRun, "LOG.CSV"}), std::errc::no_such_file_or_directory, zip));
  // The temporary folder itself, named as the system names it.
  disk.AddFolder(kTemp);
  EXPECT_EQ(Run(kTemp),
            CannotOpen(PathOf({kTemp, "LOG.CSV"}), std::errc::no_such_file_or_directory, zip));
  EXPECT_FALSE(disk.Has(PathOf({kZipRun, "marigold.txt"})));

  // An export that is there converts as anywhere else.
  disk.Put(PathOf({kZipRun, "LOG.CSV"}), test::kContact);
  EXPECT_EQ(Run(kZipRun), "FINISH MARIGOLD.TXT with 1 DATA in FILE");
}

TEST_F(MissingExportTest, OtherFailuresToOpenAddNothing) {
  // The reason says what is wrong; the export may well be where it belongs.
  for (const std::string& dir : {kOwn, kZipRun}) {
    SCOPED_TRACE(dir);
    disk.Put(PathOf({dir, "LOG.CSV"}), test::kContact);
    disk.Fail(Call::OpenForReading, 1, std::errc::permission_denied);
    EXPECT_EQ(Run(dir), CannotOpen(PathOf({dir, "LOG.CSV"}), std::errc::permission_denied, ""));

    disk.AddFolder(PathOf({dir, "LOGS"}));
    EXPECT_EQ(Run(dir, "LOGS"), CannotOpen(PathOf({dir, "LOGS"}), std::errc::is_a_directory, ""));

    // A path typed into the field: the folder it names is what is missing.
    const std::string typed = PathOf({"OLD", "LOG.CSV"});
    EXPECT_EQ(Run(dir, typed),
              CannotOpen(PathOf({dir, typed}), std::errc::no_such_file_or_directory,
                         "The folder \"" + PathOf({dir, "OLD"}) + "\" does not exist.\n"));
  }
}

TEST(LiesIn, ComparesWholeFolderNamesIgnoringCase) {
  fake::Disk disk;
  using conversion::LiesIn;
  EXPECT_TRUE(LiesIn(PathOf({"C:", "TEMP", "X"}), PathOf({"c:", "temp"})));
  EXPECT_TRUE(LiesIn(PathOf({"C:", "TEMP"}), PathOf({"c:", "temp"}) + kSeparator));
  EXPECT_TRUE(LiesIn(PathOf({"C:", "\xC3\x9C", "X"}), PathOf({"C:", "\xC3\xBC"})));
  EXPECT_FALSE(LiesIn(PathOf({"C:", "TEMPORARY"}), PathOf({"C:", "TEMP"})));
  EXPECT_FALSE(LiesIn(PathOf({"C:", "TEMP"}), ""));
  // A drive's root holds every folder on it.
  EXPECT_TRUE(LiesIn(PathOf({"C:", "TEMP"}), std::string("C:") + kSeparator));
}

}  // namespace
