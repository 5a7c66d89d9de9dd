// Ravelle, the screen saver: start-up. A black full-window placeholder that
// closes on any key or button until the scenes arrive.
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include "platform/shell.h"
#include "resources/strings.h"
#include "support/string_table.h"
#include "support/support.h"

namespace {
class BlankWindow : public QWidget {
 protected:
  void keyPressEvent(QKeyEvent*) override { close(); }
  void mousePressEvent(QMouseEvent*) override { close(); }
};
}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  SetBuiltInStrings(&SaverStrings());
  // Without an installation there is nothing to read: say where we looked.
  if (const std::string missing = MissingInstallationMessage(); !missing.empty()) {
    Shell().MessageBox(missing, LoadResString(IDS_SAVER_PRODUCT_TITLE), MB_OK | MB_ICONERROR);
    return 1;
  }
  BlankWindow window;
  window.setWindowTitle(QString::fromStdString(LoadResString(IDS_SAVER_PRODUCT_TITLE)));
  window.setStyleSheet("background: black;");
  window.resize(800, 600);
  window.show();
  return app.exec();
}
