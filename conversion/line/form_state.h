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
  std::string_view Linea;     // input line being converted, without its terminator
  std::string Linea1;         // output record being built
  std::int32_t xx = 0;        // records converted in this run
  std::string CheckMarigold;  // value handed to and returned by CheckField
  std::int32_t XCheck = 0;    // check CheckField applies: 2, 7 or 33
  std::string NomeUtente;     // operator name as typed, UTF-8
  std::string NomeFile;       // input file name as typed, in the file system's encoding
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
