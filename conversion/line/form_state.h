// The line layer's shared state: the form state, the Host a window implements,
// and the conversion of one line with its field check.

#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

#include "regional_dates.h"

namespace conversion {

// Holds the state the window shares with every procedure of a conversion run.
// All texts are empty and all numbers 0 when the window is created; they keep
// their values between runs.
struct FormState {
  // Holds the export line being converted, without its line end: ConvertFile
  // sets it to each line in turn and empties it after the line; ConvertLine reads it.
  std::string_view Linea;
  // Holds the records ConvertLine builds, each appended as its 48 fields between
  // bars; a run writes its records to marigold.txt straight from the line's
  // fields instead and leaves it empty.
  std::string Linea1;
  // Counts the records of this run: START sets it to 0, ConvertLine adds one a
  // record, and the closing message shows it; it keeps the count until the next START.
  std::int32_t xx = 0;
  // Holds the value a field check is given and gives back: CheckField reads it
  // and writes the result in its place; after a line it holds the DXCC prefix
  // as check 33 gave it.
  std::string CheckMarigold;
  // Names the check CheckField applies by the number of the record field it
  // serves: 2 the base call, 7 the band's frequency, 33 the DXCC prefix; any
  // other number applies none. ConvertLine sets it; 33 after a line.
  std::int32_t XCheck = 0;
  // Holds the operator's name as typed into Text2, UTF-8: START copies it,
  // and every record shows it in field 3.
  std::string NomeUtente;
  // Holds the export's file name as typed into Text1, in the file system's
  // encoding: START copies it, and ConvertFile looks for it in the program's folder.
  std::string NomeFile;
};

// The window-system operations and the clock a run uses. The window implements
// them; tests and benchmarks put recorders or no-ops in their place.
class Host {
 public:
  Host() = default;
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;
  virtual ~Host() = default;

  // Draws the counter display with its current text at once.
  virtual void RepaintCounter() = 0;
  // Replaces the counter display's text; the screen shows it at the next repaint.
  virtual void SetCounterText(std::string_view text) = 0;
  // Shows a modal message box with the exclamation icon and one OK button and
  // returns when the user dismisses it. The text is UTF-8 and may hold line breaks.
  virtual void ShowMessage(std::string_view text) = 0;
  // Returns the current time; field 47 of every record shows it. Called once
  // per record, so it must be cheap: the system clock by default.
  virtual std::time_t Now();
  // Returns how the user's regional settings write dates and times; asked once per run.
  virtual RegionalDates Regional();
};

enum class LineStatus {
  Converted,  // Linea1 holds the record and xx counts it
  Skipped,    // the line has fewer than 26 fields; nothing changed
  Overflow,   // xx cannot count one more record; nothing changed
};

// Tells what converting one line gave besides the record.
struct LineResult {
  LineStatus status = LineStatus::Skipped;
  bool placeholderDate = false;  // the record got 01/01/2050 or 12:12:12
  bool datesInOrder = false;     // its date was read in the run's order of day and month
  // The band written as it stands in field 7 because the band table lacks it;
  // empty for a known band, an empty one and the header line. Views the line.
  std::string_view unknownBand;
};

// Turns Linea into one record appended to Linea1, counts it in xx and updates
// the counter display. NomeUtente is written as it stands.
LineResult ConvertLine(FormState& form, Host& host);

// Applies the check XCheck names (2 base call, 7 band, 33 DXCC prefix) to
// CheckMarigold in place; any other XCheck leaves it unchanged.
void CheckField(FormState& form);

}  // namespace conversion
