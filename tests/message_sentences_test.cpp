#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "platform.h"
#include "run_outcome.h"

namespace {

using conversion::RunOutcome;
using conversion::Stop;

struct Sentence {
  const char* pattern;  // the whole sentence as a message shows it, an ECMAScript regex
  const char* phrase;   // what docs/messages.txt quotes it by, to say what it means and what to do
};

// Every sentence a message can hold. A sentence missing here fails the test
// below, and so does a phrase missing from docs/messages.txt.
const auto kSentences = std::to_array<Sentence>({
    // Completion and its notices.
    {R"(FINISH MARIGOLD\.TXT with \d+ DATA in FILE)", "FINISH MARIGOLD.TXT with N DATA in FILE"},
    {R"(Skipped \d+ lines? with fewer than \d+ fields: lines? [\d, …]+)",
     "with fewer than 26 fields"},
    {R"(Columns were found by the names in the export's first line, which orders them otherwise than INFO\.)",
     "Columns were found by the names in the export's first line"},
    {R"(Columns the export's first line does not name, their fields of marigold\.txt left blank: [^ ()]+ \(fields? \d+( and \d+)?\)(, [^ ()]+ \(fields? \d+( and \d+)?\))*\.)",
     "Columns the export's first line does not name"},
    {R"(Placeholder date 01/01/2050 or time 12:12:12 written for \d+ records? whose date or time is in no form that is read: lines? [\d, …]+)",
     "Placeholder date 01/01/2050 or time 12:12:12"},
    {R"(Written to "[^"]*marigold\.txt"\.)", "Written to"},
    {R"(Every noticed contact, with its call, date and time: "[^"]*marigold-notes\.txt"\.)",
     "Every noticed contact, with its call, date and time"},
    {R"(Cannot write the list of noticed contacts "[^"]*marigold-notes\.txt": .*\.)",
     "Cannot write the list of noticed contacts"},
    {R"(There is no marigold-notes\.txt beside marigold\.txt\.)",
     "There is no marigold-notes.txt beside marigold.txt"},
    {R"(Band kept as written in field 7 \(not in the band table\) for \d+ records?: .*)",
     "Band kept as written in field 7"},
    // Notices of how the dates were read; the conversion that decides them words them so.
    {R"(The export's header differs from the expected columns: column \d+ is "[^"]*" where "[^"]*" is expected(, column \d+ is "[^"]*" where "[^"]*" is expected){0,2}\.)",
     "The export's header differs from the expected columns"},
    {R"(Dates were read month first, as [^ ]+ shows\.)",
     "Dates were read month first, as 12/31/2017 shows"},
    {R"(Dates were read month first, as this PC's regional settings write them\.)",
     "Dates were read month first, as this PC's regional settings write them"},
    {R"(Dates were read day first, as this PC's regional settings write them\.)",
     "Dates were read day first, as this PC's regional settings write them"},
    // The export.
    {R"(Used [^ ]+ in "[^"]*", not .+, which differs? from it only in case\.)",
     "which differs from it only in case"},
    {R"(Cannot open the input file "[^"]*": .*\.)", "Cannot open the input file"},
    {R"(Type the name of the exported log, such as LOG\.CSV, then press START\.)",
     "Type the name of the exported log, such as LOG.CSV"},
    {R"(Cannot find the folder that holds the program, where the export and marigold\.txt belong\.)",
     "Cannot find the folder that holds the program"},
    {R"(Save the export in "[^"]*", beside the program\.)", "Save the export in"},
    {R"(The program runs from inside the zip, in a temporary folder: copy swisslog-to-marigold\.exe into a folder of your own, put the export beside it and start it there\.)",
     "The program runs from inside the zip"},
    {R"(The name "[^"]*" fits several files in "[^"]*" that differ only in case: .*\.)",
     "fits several files"},
    {R"(Rename all but one of them\.)", "Rename all but one of them"},
    {R"(The input file "[^"]*" is marigold\.txt itself, the file this conversion writes\.)",
     "is marigold.txt itself"},
    {R"(The input file "[^"]*" is marigold\.txt\.partial, the file this conversion writes before it names it marigold\.txt\.)",
     "is marigold.txt.partial"},
    {R"(The input file "[^"]*" is marigold-notes\.txt, the list of noticed contacts this conversion writes beside marigold\.txt\.)",
     "is marigold-notes.txt, the list of noticed contacts"},
    {R"(The input file "[^"]*" is marigold-notes\.txt\.partial, the file this conversion writes before it names it marigold-notes\.txt\.)",
     "is marigold-notes.txt.partial"},
    {R"(Type the name of the exported log instead\.)", "Type the name of the exported log"},
    {R"(The folder "[^"]*" does not exist\.)", "The folder \"...\" does not exist"},
    {R"(The name "[^"]*" leaves out the drive or the folder it starts from\.)",
     "leaves out the drive or the folder it starts from"},
    {R"(Type the whole path, such as C:\\Exports\\LOG\.CSV, or the name of a file beside the program\.)",
     "Type the whole path"},
    {R"(The name "[^"]*" fits several folders in "[^"]*" that differ only in case: .*\.)",
     "fits several folders"},
    {R"(Paste the path or drop the file on the window: both keep its case\.)",
     "Paste the path or drop the file on the window"},
    {R"(The input file "[^"]*" is a device or a pipe, not a file that holds an export\.)",
     "is a device or a pipe"},
    {R"(Cannot read the input file "[^"]*": .*\.)", "Cannot read the input file"},
    {R"(Line \d+ of the input file "[^"]*" is longer than \d+ MiB: the file does not look like an export of the log\.)",
     "does not look like an export of the log"},
    {R"(The input file "[^"]*" holds more records than can be counted: line \d+ would be record \d+\.)",
     "more records than can be counted"},
    // marigold.txt.
    {R"(Cannot replace the output file "[^"]*": .*\.)", "Cannot replace the output file"},
    {R"(Cannot create the output file "[^"]*": .*\.)", "Cannot create the output file"},
    {R"(Another program has it open: close it there, or let the logbook's import finish, then press START again\.)",
     "Another program has it open"},
    {R"(Cannot write the output file "[^"]*": .*\.)", "Cannot write the output file"},
    {R"(The device did not confirm the records given to it; marigold\.txt may be incomplete\.)",
     "The device did not confirm the records"},
    {R"(Convert again before importing it\.)", "Convert again before importing it"},
    {R"(The device did not confirm the records given to it, so marigold\.txt\.partial was not renamed\.)",
     "so marigold.txt.partial was not renamed"},
    {R"(Another conversion is writing marigold\.txt in "[^"]*" at this moment\.)",
     "Another conversion is writing marigold.txt"},
    {R"(Wait until it has finished, then press START again\.)", "Wait until it has finished"},
    {R"(Cannot rename "[^"]*" to "[^"]*": .*\.)", "Cannot rename"},
    {R"(marigold\.txt\.partial holds the \d+ whole records? written; there is no marigold\.txt\.)",
     "marigold.txt.partial holds the N whole records written"},
    {R"(marigold\.txt is still the earlier one: do not import it as this conversion\.)",
     "marigold.txt is still the earlier one"},
    {R"(marigold\.txt\.partial holds the \d+ whole records? of this conversion\.)",
     "marigold.txt.partial holds the N whole records of this conversion"},
    {R"(Cannot remove "[^"]*", left by an earlier conversion: .*\.)",
     "left by an earlier conversion"},
    {R"(Cannot remove "[^"]*marigold-notes\.txt", the list of noticed contacts of the earlier marigold\.txt: .*\.)",
     "the list of noticed contacts of the earlier marigold.txt"},
    {R"(Remove it, or start the program from a folder of your own, then press START again\.)",
     "Remove it, or start the program from a folder of your own"},
    {R"(The temporary file "[^"]*" was replaced by another program while this conversion wrote it, so it was not renamed\.)",
     "was replaced by another program while this conversion wrote it"},
    {R"(marigold\.txt was not changed\.)", "marigold.txt was not changed."},
    {R"(Press START again\.)", "Press START again."},
    {R"(The next START replaces marigold\.txt\.partial\.)",
     "The next START replaces marigold.txt.partial"},
    // What was written.
    {R"(No records were written; marigold\.txt was not changed\.)",
     "No records were written; marigold.txt was not changed"},
    {R"(No records were written\.)", "No records were written."},
    {R"((No|\d+) records? (was|were) written to marigold\.txt\.)", "written to marigold.txt"},
    {R"(Each of them is whole\.)", "Each of them is whole"},
    {R"(Nothing was changed\.)", "Nothing was changed"},
    // Memory.
    {R"(There is not enough memory to start the conversion\.)",
     "not enough memory to start the conversion"},
    {R"(There is not enough memory to convert line \d+ of the input file "[^"]*"\.)",
     "not enough memory to convert line"},
});

// Returns every message a run can end with: each stop, with each of the
// details that change its words, and a completion with every notice.
std::vector<std::string> EveryMessage() {
  RunOutcome base;
  base.folder = "C:\\Marigold";
  base.typedName = "LOG.CSV";
  base.names = {"Log.csv", "log.csv"};
  base.step = "EXPORTS";
  base.stepFolder = "C:\\Users\\Op";
  base.inputPath = base.folder + "\\LOG.CSV";
  base.outputPath = base.folder + "\\marigold.txt";
  base.partialPath = base.folder + "\\marigold.txt.partial";
  base.notesPath = base.folder + "\\marigold-notes.txt";
  base.notesPartialPath = base.folder + "\\marigold-notes.txt.partial";
  base.line = 7;
  base.count = 12;
  base.twinFolder = base.folder;
  base.twinTaken = "LOG.CSV";
  base.twins = {"Log.csv", "log.csv"};
  base.longestLine = std::size_t{16} << 20;
  for (const std::uint64_t line : {3U, 5U, 8U}) {
    base.skipped.Add(line);
    base.placeholders.Add(line);
  }
  base.unknownBands.Add("99m");
  base.unknownBands.Add("88m");
  base.headerDifference =
      "column 6 is \"Mode\" where \"Band\" is expected, column 7 is \"Band\" where \"Mode\" "
      "is expected";
  base.datesInOrder = true;
  base.columnsMoved = true;
  base.missingColumns = {conversion::column::QSLMgr, conversion::column::Mode};
  using conversion::DateOrder;
  using conversion::OrderReason;
  const std::vector<conversion::OrderDecision> orders = {
      {DateOrder::MonthFirst, OrderReason::Dates, "12/31/2017"},
      {DateOrder::MonthFirst, OrderReason::Settings, ""},
      {DateOrder::DayFirst, OrderReason::Settings, ""}};

  std::vector<std::string> messages;
  for (int stop = 0;; ++stop) {
    RunOutcome outcome = base;
    outcome.stop = static_cast<Stop>(stop);
    if (conversion::Describe(outcome).empty()) break;  // past the last kind of stop
    for (const std::errc error :
         {std::errc::no_such_file_or_directory, std::errc::device_or_resource_busy}) {
      outcome.error = conversion::platform::SystemError(error);
      for (const std::uint64_t records : {0U, 1U, 3U}) {
        outcome.records = records;
        outcome.outputThere = records == 1;
        outcome.notesInTheWay = records == 3;
        for (const int where : {0, 1, 2}) {
          outcome.inputAbsent = where > 0;
          outcome.inputIsPartial = where == 1;
          outcome.inTempFolder = where > 1;
          outcome.missingFolder = where == 0 ? "C:\\Old" : "";
          outcome.stepIsFolder = where == 0;
          outcome.notesWritten = where == 1;
          outcome.notesError = where == 2 ? outcome.error : std::error_code();
          for (const conversion::OrderDecision& order : orders) {
            outcome.dateOrder = order;
            messages.push_back(conversion::Describe(outcome));
          }
        }
      }
    }
  }
  return messages;
}

// Splits a message into its sentences, at line breaks and at a full stop
// followed by a blank.
std::vector<std::string> Sentences(const std::string& message) {
  std::vector<std::string> sentences;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= message.size(); ++i) {
    const bool end = i == message.size() || message[i] == '\n' ||
                     (message[i] == ' ' && i > 0 && message[i - 1] == '.');
    if (!end) continue;
    if (i > start) sentences.push_back(message.substr(start, i - start));
    start = i + 1;
  }
  return sentences;
}

// Returns a file of the source tree with every run of blanks and line breaks as one blank.
std::string Flowed(const std::string& name) {
  std::ifstream in(std::string(S2M_SOURCE_DIR) + "/" + name, std::ios::binary);
  EXPECT_TRUE(in.is_open()) << name;
  std::string flowed;
  for (auto it = std::istreambuf_iterator<char>(in); it != std::istreambuf_iterator<char>(); ++it) {
    const bool blank = *it == ' ' || *it == '\r' || *it == '\n' || *it == '\t';
    if (!blank) {
      flowed += *it;
    } else if (!flowed.empty() && flowed.back() != ' ') {
      flowed += ' ';
    }
  }
  return flowed;
}

TEST(MessageSentences, EverySentenceShownIsListed) {
  std::set<std::string> unlisted;
  std::size_t count = 0;
  for (const std::string& message : EveryMessage()) {
    for (const std::string& sentence : Sentences(message)) {
      ++count;
      const bool listed = std::any_of(kSentences.begin(), kSentences.end(), [&](const Sentence& s) {
        return std::regex_match(sentence, std::regex(s.pattern));
      });
      if (!listed) unlisted.insert(sentence);
    }
  }
  EXPECT_GT(count, 0u);
  for (const std::string& sentence : unlisted) ADD_FAILURE() << "not listed: " << sentence;
}

TEST(MessageSentences, EverySentenceIsExplainedOnceForBothSystems) {
  // The one source of both lists, and the Windows read-me written from it by
  // scripts/make-messages.sh, which the test command checks against it.
  const std::string source = Flowed("docs/messages.txt");
  const std::string zip = Flowed("scripts/windows-readme.txt");
  for (const Sentence& sentence : kSentences) {
    EXPECT_NE(source.find(sentence.phrase), std::string::npos)
        << "docs/messages.txt: " << sentence.phrase;
    EXPECT_NE(zip.find(sentence.phrase), std::string::npos)
        << "scripts/windows-readme.txt: " << sentence.phrase;
  }
  // The read-me is plain text for Windows: no Markdown marks, no Linux paths.
  EXPECT_EQ(zip.find('`'), std::string::npos) << "a backtick in scripts/windows-readme.txt";
  EXPECT_EQ(zip.find("/home"), std::string::npos) << "a Linux path in scripts/windows-readme.txt";
}

}  // namespace
