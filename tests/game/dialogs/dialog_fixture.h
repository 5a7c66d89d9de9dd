#pragma once
// An installation in a temporary folder for the dialog tests: the profile,
// the machine-wide settings naming the folder, the English texts and a
// recording shell; pictures and files are written on demand.
#include <gtest/gtest.h>

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <fstream>
#include <functional>
#include <string>

#include "platform/profile.h"
#include "platform/shell.h"
#include "resources/strings.h"
#include "support/string_table.h"
#include "testkit.h"

class DialogFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    SetBuiltInStrings(&GameStrings());
    SetProfileFile(m_dir / "profile.ini");
  }
  void TearDown() override {
    SetProfileFile("");
    UnloadLanguageStrings();
    SetBuiltInStrings(nullptr);
  }

  // A picture of the size below the installation; answers its full path.
  std::string Picture(const std::string& relative, int width, int height,
                      QColor colour = QColor(40, 120, 200)) {
    const std::string path = m_dir.WriteFile(relative, "");
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    const std::string ext = relative.substr(relative.rfind('.') + 1);
    const std::string format = ext == "jpg" || ext == "JPG"   ? "JPG"
                               : ext == "bmp" || ext == "BMP" ? "BMP"
                                                              : "PNG";
    EXPECT_TRUE(image.save(QString::fromStdString(path), format.c_str())) << path;
    return path;
  }
  std::string Samples() const { return m_dir / "PuzzleSamples"; }
  std::string Profile(const char* section, const char* entry) const {
    return ProfileGetString(section, entry, "<none>");
  }

  testkit::TempDir m_dir;
  testkit::ScopedInstallation m_install{m_dir.path()};
  ScopedRecordingShell m_shell;
};

// Runs action on the next modal dialog once it is open (for a dialog that
// another one runs with exec()).
inline void OnNextModal(std::function<void(QWidget*)> action) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, action] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      timer->stop();
      timer->deleteLater();
      action(modal);
    }
  });
  timer->start();
}
