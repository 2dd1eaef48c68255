// The run layer's completion message: FINISH with the count, then a line for each notice of what
// the run met, and where marigold.txt was written.

#include <string>
#include <vector>

#include "message_words.h"
#include "platform.h"
#include "run_outcome.h"

namespace conversion {

namespace {

constexpr std::size_t kShownBytes = 24;  // a longer value is no band; its start names it

// Returns "line 3" or "lines 3, 7, 12", ending in ", …" when more were counted.
std::string Lines(const LineList& list) {
  std::string text = list.count() == 1 ? "line " : "lines ";
  for (const std::uint64_t line : list.first()) {
    if (line != list.first().front()) text += ", ";
    text += std::to_string(line);
  }
  if (list.count() > list.first().size()) text += ", …";
  return text;
}

// Returns "99m, 88m." or the first values ending in ", …" when more came.
std::string Values(const ValueList& list) {
  std::string text;
  for (const std::string& value : list.first()) {
    if (!text.empty()) text += ", ";
    text += value.size() > kShownBytes ? value.substr(0, kShownBytes) + "…" : value;
  }
  return text + (list.more() ? ", …" : ".");
}

// Says in which order day and month were read, unless the dates showed day first.
std::string DateOrderNotice(const RunOutcome& outcome) {
  const OrderDecision& decision = outcome.dateOrder;
  if (!outcome.datesInOrder || decision.order == DateOrder::Unknown) return {};
  const std::string order = decision.order == DateOrder::MonthFirst ? "month" : "day";
  if (decision.reason == OrderReason::Settings) {
    return "\nDates were read " + order + " first, as this PC's regional settings write them.";
  }
  if (decision.order == DateOrder::MonthFirst) {
    return "\nDates were read month first, as " + decision.example + " shows.";
  }
  return {};
}

// Names the columns that the export's first line lacks and the fields of marigold.txt
// they leave blank, or nothing.
std::string MissingColumns(const RunOutcome& outcome) {
  if (outcome.missingColumns.empty()) return {};
  std::string text =
      "\nColumns the export's first line does not name, their fields of marigold.txt left blank:";
  for (const std::size_t c : outcome.missingColumns) {
    std::vector<std::size_t> shown;
    for (std::size_t k = 0; k < kRecord.size(); ++k) {
      if (Shows(kRecord[k], c)) shown.push_back(k + 1);
    }
    text += (c == outcome.missingColumns.front() ? " " : ", ") + std::string(kColumnList[c]) +
            (shown.size() == 1 ? " (field " : " (fields ");
    for (const std::size_t k : shown) {
      text += (k == shown.front() ? "" : k == shown.back() ? " and " : ", ") + std::to_string(k);
    }
    text += ")";
  }
  return text + ".";
}

}  // namespace

// Returns the line naming the entries that differ only in case from the one taken, or nothing.
std::string Twins(const RunOutcome& outcome) {
  if (outcome.twins.empty()) return {};
  std::string others;
  for (const std::string& name : outcome.twins) {
    if (!others.empty()) others += &name == &outcome.twins.back() ? " or " : ", ";
    others += Shown(name);
  }
  return "Used " + Shown(outcome.twinTaken) + " in " + Quoted(outcome.twinFolder) + ", not " +
         others + (outcome.twins.size() == 1 ? ", which differs" : ", which differ") +
         " from it only in case.";
}

std::string Completion(const RunOutcome& outcome) {
  std::string text = "FINISH MARIGOLD.TXT with " + std::to_string(outcome.count) + " DATA in FILE";
  if (outcome.skipped.count() > 0) {
    text += "\nSkipped " + Plural(outcome.skipped.count(), "line", "lines") + " with fewer than " +
            std::to_string(outcome.fields) + " fields: " + Lines(outcome.skipped);
  }
  if (outcome.placeholders.count() > 0) {
    text += "\nPlaceholder date 01/01/2050 or time 12:12:12 written for " +
            Plural(outcome.placeholders.count(), "record", "records") +
            " whose date or time is in no form that is read: " + Lines(outcome.placeholders);
  }
  if (outcome.unknownBands.count() > 0) {
    text += "\nBand kept as written in field 7 (not in the band table) for " +
            Plural(outcome.unknownBands.count(), "record", "records") + ": " +
            Values(outcome.unknownBands);
  }
  if (outcome.columnsMoved) {
    text +=
        "\nColumns were found by the names in the export's first line, which orders them "
        "otherwise than INFO.";
  }
  text += MissingColumns(outcome);
  if (!outcome.headerDifference.empty()) {
    text += "\nThe export's header differs from the expected columns: " + outcome.headerDifference +
            ".";
  }
  const std::string twins = Twins(outcome);
  return text + DateOrderNotice(outcome) + (twins.empty() ? "" : "\n" + twins) +
         NotesLine(outcome) + "\nWritten to " + Quoted(outcome.outputPath) + ".";
}

std::string NotesLine(const RunOutcome& outcome) {
  if (outcome.notesError) {
    return "\nCannot write the list of noticed contacts " + Quoted(outcome.notesPath) + ": " +
           platform::Reason(outcome.notesError) +
           ".\nThere is no marigold-notes.txt beside marigold.txt.";
  }
  if (!outcome.notesWritten) return {};
  return "\nEvery noticed contact, with its call, date and time: " + Quoted(outcome.notesPath) +
         ".";
}

}  // namespace conversion
