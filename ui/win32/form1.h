// The Win32 window on Windows: the export's name, the operator's name, START, INFO and the
// counter a conversion updates.

#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "conversion.h"
#include "counter_pace.h"
#include "form1_controls.h"

// Shows the program's one window: the export's file name, the operator's name,
// START and INFO, and the counter a conversion updates while it runs.
class Form1 : public conversion::Host {
 public:
  // Shows a modal message box; tests put a recorder in its place.
  using MessageBoxFn =
      std::function<void(HWND owner, const std::wstring& title, const std::wstring& text)>;
  // Shows the system's open-file dialog, modal to owner, in a folder; returns
  // the chosen file's path, or an empty text when the user cancels. Tests put a
  // stand-in in its place.
  using FileDialogFn = std::function<std::wstring(HWND owner, const std::wstring& folder)>;

  // programDir is the folder that holds the export and receives marigold.txt.
  explicit Form1(std::filesystem::path programDir);
  // Destroys the window without ending the thread's message loop.
  ~Form1() override;

  // Creates the window, hidden, where Windows places new windows, sized for the
  // monitor's DPI; returns false when Windows refuses.
  bool Create(HINSTANCE instance);
  HWND Handle() const { return hwnd_; }
  // Returns a control by its name in the control table, or nullptr.
  HWND Control(std::string_view name) const;

  // Gives Tab, Shift+Tab and the arrow keys the meaning they have in a dialog;
  // returns true when the message was handled and must not be dispatched.
  bool PreTranslate(MSG& msg);

  // Replaces how the window shows its message boxes.
  void SetMessageBox(MessageBoxFn box) { showBox_ = std::move(box); }
  // Replaces the file dialog that the button beside Text1 opens.
  void SetFileDialog(FileDialogFn dialog) { chooseFile_ = std::move(dialog); }

  // Draws the counter at most once per screen frame; a forced repaint per line
  // would slow a long log down by seconds.
  void RepaintCounter() override;
  // Only stores the text; the next due repaint puts it on screen.
  void SetCounterText(std::string_view text) override;
  void ShowMessage(std::string_view text) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK EditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                   UINT_PTR id, DWORD_PTR self);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

  void Command1_Click();
  void Command2_Click();
  // Opens the file dialog in the folder Text1's name leads to; a chosen file
  // puts its full path into Text1 as a drop does. Starts no run.
  void Command3_Click();
  void Text1_KeyPress(wchar_t& KeyAscii);
  void Text2_KeyPress(wchar_t& KeyAscii);
  // Puts the full path of one dropped file into Text1 as it is, a shortcut's
  // own path included; several files or a folder change nothing. Starts no run.
  void Form_DragDrop(HDROP drop);

  void CreateControls(HINSTANCE instance);
  // Makes fonts and lays out the controls and the window for dpi; a suggested
  // window rectangle, when given, places the window.
  void ApplyDpi(UINT dpi, const RECT* suggested);
  // Returns the brush a label paints its background with, after setting dc's colours.
  HBRUSH LabelColours(HWND label, HDC dc) const;
  // Moves the stored counter text to Label2 and draws it now.
  void FlushCounter();

  HWND hwnd_ = nullptr;
  std::array<HWND, form1::kControls.size()> controls_{};
  HWND Command1 = nullptr;
  HWND Command2 = nullptr;
  HWND Command3 = nullptr;
  HWND Label1 = nullptr;
  HWND Label2 = nullptr;
  HWND Label3 = nullptr;
  HWND Label4 = nullptr;
  HWND Label5 = nullptr;
  HWND Text1 = nullptr;
  HWND Text2 = nullptr;
  HWND focus_ = nullptr;      // control that gets the focus back when the window is activated
  std::vector<HFONT> fonts_;  // fonts made for the current DPI

  conversion::FormState form_;
  std::filesystem::path programDir_;
  MessageBoxFn showBox_;
  FileDialogFn chooseFile_;
  std::string counterText_{"0"};  // text Label2 shows at the next repaint, UTF-8
  conversion::CounterPace counterPace_;
};
