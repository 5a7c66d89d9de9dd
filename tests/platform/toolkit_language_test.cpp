// The toolkit's own texts follow the programs' language, and go back.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "platform/toolkit_language.h"

namespace {
struct Shown {
  QString lookIn, fileName, accept, yes, no, replace;
};

// What a file dialog and a yes/no box made now say by themselves.
Shown WhatDialogsSay() {
  QFileDialog files;
  files.setOption(QFileDialog::DontUseNativeDialog);
  QMessageBox box;
  box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
  return {files.labelText(QFileDialog::LookIn),
          files.labelText(QFileDialog::FileName),
          files.labelText(QFileDialog::Accept),
          box.button(QMessageBox::Yes)->text(),
          box.button(QMessageBox::No)->text(),
          QCoreApplication::translate("QFileDialog", "%1 already exists.\nDo you want to replace it?")};
}
}  // namespace

TEST(ToolkitLanguage_Offscreen, StandardDialogsSpeakTheChosenLanguage) {
  const Shown english = WhatDialogsSay();
  ASSERT_TRUE(SetToolkitLanguage("french")) << "the toolkit's French translations are not installed";
  const Shown french = WhatDialogsSay();
  EXPECT_EQ(french.lookIn, QString::fromUtf8("Voir dans :"));
  for (const auto& [en, fr] : {std::pair{english.fileName, french.fileName},
                               {english.accept, french.accept},
                               {english.yes, french.yes},
                               {english.no, french.no},
                               {english.replace, french.replace}})
    EXPECT_NE(en, fr) << en.toStdString();
  ASSERT_TRUE(SetToolkitLanguage("english"));
  const Shown back = WhatDialogsSay();
  EXPECT_EQ(back.lookIn, english.lookIn);
  EXPECT_EQ(back.yes, english.yes);
  EXPECT_EQ(back.replace, english.replace);
}
