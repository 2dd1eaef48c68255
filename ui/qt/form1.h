// The Qt window on Linux: the export's name, the operator's name, START, INFO and the counter a
// conversion updates.

#pragma once

#include <QWidget>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "conversion.h"
#include "counter_pace.h"

namespace form1 {
struct Control;
}

class QDropEvent;
class QEvent;
class QLabel;
class QLineEdit;
class QPushButton;

// Shows the program's one window: the export's file name, the operator's name,
// START and INFO, and the counter a conversion updates while it runs.
class Form1 : public QWidget, public conversion::Host {
  Q_OBJECT

 public:
  // Shows a modal message box; tests put a recorder in its place.
  using MessageBox = std::function<void(const QString& title, const QString& text)>;
  // Shows the system's open-file dialog, modal, in a folder; returns the chosen
  // file's path, or an empty text when the user cancels. Tests put a stand-in
  // in its place.
  using FileDialog = std::function<QString(const QString& folder)>;

  // programDir is the folder that holds the export and receives marigold.txt.
  explicit Form1(std::filesystem::path programDir, QWidget* parent = nullptr);

  // Replaces how the window shows its message boxes.
  void SetMessageBox(MessageBox box) { showBox_ = std::move(box); }
  // Replaces the file dialog that the button beside Text1 opens.
  void SetFileDialog(FileDialog dialog) { chooseFile_ = std::move(dialog); }

  // Draws the counter at most once per screen frame; a forced repaint per line
  // would slow a long log down by seconds.
  void RepaintCounter() override;
  // Only stores the text; the next due repaint puts it on screen.
  void SetCounterText(std::string_view text) override;
  void ShowMessage(std::string_view text) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void Command1_Click();
  void Command2_Click();
  // Opens the file dialog in the folder Text1's name leads to; a chosen file
  // puts its full path into Text1 as a drop does. Starts no run.
  void Command3_Click();
  bool Text1_KeyPress(QEvent* event);
  bool Text2_KeyPress(QEvent* event);
  // Takes a drag or a drop on the window or on Text1 over: one local file is
  // accepted and, when dropped, puts its full path into Text1 as it is; any
  // other is refused. Starts no run.
  bool Form_DragDrop(QEvent* event);

  // Creates one control of the table, without its name, font and place.
  QWidget* MakeControl(const form1::Control& control);
  // Lays a widget out at a rectangle given in twips of the client area.
  void PlaceTwips(QWidget* widget, int left, int top, int width, int height) const;
  // Lays a one-line label out like PlaceTwips, widened to its text when needed.
  void PlaceLabel(QLabel* label, int left, int top, int width, int height) const;
  // Moves the stored counter text to Label2 and draws it now.
  void FlushCounter();

  QPushButton* Command1 = nullptr;
  QPushButton* Command2 = nullptr;
  QPushButton* Command3 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label5 = nullptr;
  QLineEdit* Text1 = nullptr;
  QLineEdit* Text2 = nullptr;

  conversion::FormState form_;
  std::filesystem::path programDir_;
  MessageBox showBox_;
  FileDialog chooseFile_;
  std::string counterText_{"0"};  // text Label2 shows at the next repaint
  conversion::CounterPace counterPace_;
};
