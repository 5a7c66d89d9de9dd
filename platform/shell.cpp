#include "platform/shell.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QProcess>
#include <QStringList>
#include <QUrl>

namespace {

class QtShell : public IShell {
 public:
  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
  bool OpenDocument(const std::string& path) override {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
  }
  bool OpenAddress(const std::string& address) override {
    return QDesktopServices::openUrl(QUrl(QString::fromStdString(address)));
  }
  bool LaunchProgram(const std::string& program, const std::vector<std::string>& arguments) override {
    QStringList list;
    for (const std::string& a : arguments) list << QString::fromStdString(a);
    return QProcess::startDetached(QString::fromStdString(program), list);
  }
};

QMessageBox::Icon IconOf(unsigned flags) {
  switch (flags & 0xF0u) {
    case MB_ICONERROR: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONWARNING: return QMessageBox::Warning;
    case MB_ICONINFORMATION: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

int QtShell::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  if (!qApp) return IDCANCEL;
  QMessageBox box(IconOf(flags), QString::fromStdString(caption), QString::fromStdString(text),
                  QMessageBox::NoButton, QApplication::activeWindow());
  switch (flags & 0xFu) {
    case MB_OKCANCEL: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case MB_YESNOCANCEL:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
    case MB_YESNO: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    default: box.setStandardButtons(QMessageBox::Ok); break;
  }
  switch (box.exec()) {
    case QMessageBox::Ok: return IDOK;
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    default: return IDCANCEL;
  }
}

QtShell g_qtShell;
IShell* g_shell = nullptr;

}  // namespace

IShell& Shell() { return g_shell ? *g_shell : g_qtShell; }
void SetShell(IShell* shell) { g_shell = shell; }

int RecordingShell::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  boxes.push_back({text, caption, flags});
  return answer;
}

bool RecordingShell::OpenDocument(const std::string& path) {
  documents.push_back(path);
  return openSucceeds;
}

bool RecordingShell::OpenAddress(const std::string& address) {
  addresses.push_back(address);
  return openSucceeds;
}

bool RecordingShell::LaunchProgram(const std::string& program, const std::vector<std::string>& arguments) {
  launches.push_back({program, arguments});
  return openSucceeds;
}
