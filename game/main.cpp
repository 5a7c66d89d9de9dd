// RavelleGame: start-up. The window is a bare frame until the game object,
// its screens and menus arrive.
#include <QApplication>
#include <QMainWindow>

#include "resources/strings.h"
#include "support/string_table.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  SetBuiltInStrings(&GameStrings());
  QMainWindow frame;
  frame.setWindowTitle(QString::fromStdString(LoadResString(IDS_PRODUCT_TITLE)));
  frame.resize(1024, 768);
  frame.show();
  return app.exec();
}
