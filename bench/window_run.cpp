// The benchmark's window run: drives an offscreen Qt window through one conversion and counts
// the counter's repaints.

#include "window_run.h"

#include <sys/stat.h>

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QObject>
#include <QPushButton>
#include <chrono>
#include <cstdlib>

#include "form1.h"

namespace bench {

namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
 public:
  long paints = 0;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

WindowRun ConvertThroughWindow(const std::filesystem::path& dir, const std::string& name, int argc,
                               char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  if (::getenv("XDG_RUNTIME_DIR") == nullptr) {
    // Spares the warning Qt prints without one.
    const std::filesystem::path runtime = dir / "runtime";
    ::mkdir(runtime.c_str(), 0700);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  }
  QApplication app(argc, argv);
  Form1 form(dir);
  WindowRun run;
  form.SetMessageBox(
      [&run](const QString& /*title*/, const QString& text) { run.message = text.toStdString(); });
  form.show();
  QApplication::processEvents();

  auto* fileName = form.findChild<QLineEdit*>(QStringLiteral("Text1"));
  auto* operatorName = form.findChild<QLineEdit*>(QStringLiteral("Text2"));
  auto* start = form.findChild<QPushButton*>(QStringLiteral("Command1"));
  auto* counter = form.findChild<QLabel*>(QStringLiteral("Label2"));
  if (fileName == nullptr || operatorName == nullptr || start == nullptr || counter == nullptr) {
    run.message = "the window lacks Text1, Text2, Command1 or Label2";
    return run;
  }
  fileName->setText(QString::fromStdString(name));
  operatorName->setText(QStringLiteral("NAME"));
  PaintCounter paints;
  counter->installEventFilter(&paints);
  const auto begin = std::chrono::steady_clock::now();
  start->click();
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  counter->removeEventFilter(&paints);
  run.counter = counter->text().toStdString();
  run.repaints = paints.paints;
  return run;
}

}  // namespace bench
