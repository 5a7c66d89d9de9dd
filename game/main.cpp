// RavelleGame: start-up. The window is a bare frame until the game object,
// its screens and menus arrive.
#include <QApplication>
#include <QMainWindow>

#include "platform/shell.h"
#include "resources/strings.h"
#include "support/string_table.h"
#include "support/support.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  SetBuiltInStrings(&GameStrings());
  // Without an installation there is nothing to read: say where we looked.
  if (const std::string missing = MissingInstallationMessage(); !missing.empty()) {
    Shell().MessageBox(missing, LoadResString(IDS_PRODUCT_TITLE), MB_OK | MB_ICONERROR);
    return 1;
  }
  QMainWindow frame;
  frame.setWindowTitle(QString::fromStdString(LoadResString(IDS_PRODUCT_TITLE)));
  frame.resize(1024, 768);
  frame.show();
  return app.exec();
}
