// The Linux program's start-up: creates the Qt application and shows the window for the
// folder that holds the program.

#include <QApplication>
#include <filesystem>
#include <system_error>

#include "form1.h"

namespace {

// Returns the folder that holds the running program, as the file system's own
// bytes, which need not be UTF-8; empty when the system does not say, which
// START then tells.
std::filesystem::path ProgramDir() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path() : program.parent_path();
}

}  // namespace

int main(int argc, char* argv[]) {
  // QApplication sets the C locale from the environment on Unix; the date and
  // time of field 47 follow it.
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("swisslog-to-marigold"));

  Form1 form(ProgramDir());
  form.show();
  return QApplication::exec();
}
