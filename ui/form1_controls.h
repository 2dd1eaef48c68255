// The window's control table: the controls and texts that the Qt and the Win32 window both lay
// out.

#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "column_table.h"

// The window's controls and texts, read by the window of each system. Positions
// are twips (1/1440 inch) of the client area; texts are UTF-8.
namespace form1 {

inline constexpr std::string_view kProgramName = "swisslog-to-marigold";
inline constexpr std::string_view kCaption = "From SWISSLOG exported in CVS to MARIGOLD.TXT";
inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kClientWidth = 6660;
inline constexpr int kClientHeight = 2355;

inline constexpr std::string_view kInfoTitle = "MARIGOLD CVS FORMAT";
// Holds INFO's text: how to export, then the columns' names as the header line lists them.
inline constexpr auto kInfoBytes = [] {
  constexpr std::string_view kLead =
      "For to work correctly please make this format of data in CVS format:\r\n\r\n";
  std::array<char, kLead.size() + conversion::kColumnNames.size()> bytes{};
  std::size_t at = 0;
  for (const char c : kLead) bytes.at(at++) = c;
  for (const char c : conversion::kColumnNames) bytes.at(at++) = c;
  return bytes;
}();
inline constexpr std::string_view kInfoText(kInfoBytes.data(), kInfoBytes.size());

enum class Kind { PushButton, Label, TextBox };

// A point size of 0 means the system's default font for the kind of control.
struct Font {
  double points = 0;
  bool bold = false;
};

struct Control {
  std::string_view name;
  Kind kind;
  std::string_view text;
  int left = 0, top = 0, width = 0, height = 0;
  Font font{};
  bool centred = false;
  bool red = false;         // red text on the window's background
  bool fieldLook = false;   // one-line border, window background and window-text colours
  bool wrapsLines = false;  // a label whose text breaks into lines; others keep one line
  // What a screen reader calls the control, and its tooltip; empty for its text or its label.
  std::string_view accessibleName{};
};

// Lists the controls as the window is laid out; kCreationOrder gives the order they are made in.
// The credit text ends with S2M_PROJECT_VERSION, which the build defines from project().
inline constexpr std::array<Control, 10> kControls = {{
    {"Command1", Kind::PushButton, "START", 135, 90, 1485, 405, {13.5, true}},
    {"Command2", Kind::PushButton, "INFO", 1695, 165, 615, 255, {}},
    {.name = "Label3",
     .kind = Kind::Label,
     .text = "SWISSLOG to MARIGOLD converter\nFree to use and to pass on\nGood luck in the "
             "pile-ups, 73!\nMIT licence, version " S2M_PROJECT_VERSION,
     .left = 2445,
     .top = 165,
     .width = 3960,
     .height = 1080,
     .font = {9.75, true},
     .centred = true,
     .red = true,
     .wrapsLines = true},
    {"Label4", Kind::Label, "FileName in path:", 135, 660, 1500, 225, {8.25, true}},
    {"Text1", Kind::TextBox, "LOG.CSV", 135, 900, 1800, 345, {}},
    // Opens the system's file dialog to choose the export; ends where Text2 ends.
    {.name = "Command3",
     .kind = Kind::PushButton,
     .text = "...",
     .left = 2010,
     .top = 900,
     .width = 360,
     .height = 345,
     .accessibleName = "Choose the export file"},
    {"Label5", Kind::Label, "Operator Name:", 135, 1320, 1500, 225, {8.25, true}},
    {"Text2", Kind::TextBox, "NAME", 135, 1560, 2235, 345, {}},
    {.name = "Label2",
     .kind = Kind::Label,
     .text = "0",
     .left = 5100,
     .top = 1590,
     .width = 1380,
     .height = 390,
     .font = {13.5, true},
     .centred = true,
     .fieldLook = true},
    {"Label1", Kind::Label, "EXPORT MARIGOLD.TXT format.", 105, 1980, 3540, 315, {9.75, true}},
}};

// Returns the position of a control in kControls; a name not there fails to compile.
consteval std::size_t IndexOf(std::string_view name) {
  for (std::size_t i = 0; i < kControls.size(); ++i) {
    if (kControls[i].name == name) return i;
  }
  throw "no such control";
}

// Lists every control in tab order; labels take no focus, so Tab moves from
// START to INFO, then to Text1, the button that chooses the export, and Text2.
inline constexpr std::array<std::size_t, kControls.size()> kTabOrder = {
    IndexOf("Command1"), IndexOf("Label1"), IndexOf("Label2"),   IndexOf("Label3"),
    IndexOf("Command2"), IndexOf("Text1"),  IndexOf("Command3"), IndexOf("Label4"),
    IndexOf("Text2"),    IndexOf("Label5")};

// Pairs each text box with the label above it, which names the box for a
// screen reader.
struct FieldLabel {
  std::size_t label;  // positions in kControls
  std::size_t box;
};

inline constexpr std::array<FieldLabel, 2> kFieldLabels = {{
    {IndexOf("Label4"), IndexOf("Text1")},
    {IndexOf("Label5"), IndexOf("Text2")},
}};

// Returns true when the control is the label of a text box.
consteval bool LabelsABox(std::size_t control) {
  for (const FieldLabel& field : kFieldLabels) {
    if (field.label == control) return true;
  }
  return false;
}

// Lists every control in the order a window creates them: the tab order, with
// each box's label moved to just before its box, where the system looks for the
// name of a box. Labels take no focus, so Tab still follows kTabOrder.
consteval std::array<std::size_t, kControls.size()> CreationOrder() {
  std::array<std::size_t, kControls.size()> order{};
  std::size_t next = 0;
  for (const std::size_t control : kTabOrder) {
    if (LabelsABox(control)) continue;
    for (const FieldLabel& field : kFieldLabels) {
      if (field.box == control) order[next++] = field.label;
    }
    order[next++] = control;
  }
  return order;
}

inline constexpr std::array<std::size_t, kControls.size()> kCreationOrder = CreationOrder();

// The title of the file dialog that chooses the export.
inline constexpr std::string_view kChooseTitle = "Choose the export file";

// Returns a length in twips as pixels at dpi dots per inch, rounded to nearest.
constexpr int TwipsToPixels(int twips, int dpi) {
  return (twips * dpi + kTwipsPerInch / 2) / kTwipsPerInch;
}

}  // namespace form1
