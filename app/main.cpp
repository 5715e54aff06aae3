// vorlane: the window. Arguments: an optional output format name, then
// files and folders to convert; or --version alone.
#include <QApplication>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "app/form1.h"

int main(int argc, char** argv) {
  // Answered before the toolkit starts, so it needs no display.
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::cout << "vorlane " VORLANE_VERSION "\n";
    return std::cout.flush() ? 0 : 1;
  }
  QApplication application(argc, argv);
  // Ties the window to vorlane.desktop, whose icon the desktop then shows.
  QGuiApplication::setDesktopFileName(QStringLiteral("vorlane"));
  // The arguments byte for byte, as the file system names them; the
  // toolkit has taken its own options out of argv already.
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  vorlane::TForm1 form(arguments);
  form.show();
  return application.exec();
}
