// The Linux program's start-up: creates the Qt application and shows the window for the
// folder that holds the program.

#include <QApplication>
#include <QFile>
#include <filesystem>

#include "form1.h"

int main(int argc, char* argv[]) {
  // QApplication sets the C locale from the environment on Unix; the date and
  // time of field 47 follow it.
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("swisslog-to-marigold"));

  const std::filesystem::path programDir(
      QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
  Form1 form(programDir);
  form.show();
  return QApplication::exec();
}
