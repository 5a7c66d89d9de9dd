// Every dialog of the game that saves settings: one OK saves all its values
// in one write, and a save that fails is said in one box naming the file and
// the reason, in English and French. The settings dialogs then stay open;
// the tutorials close and a new puzzle is made all the same.
#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <filesystem>

#include "dialog_fixture.h"
#include "game/dialogs/change_environment_dialog.h"
#include "game/dialogs/new_puzzle_dialog.h"
#include "game/dialogs/options_dialog.h"
#include "game/dialogs/tutorial_dialog.h"
#include "profile_watch.h"

namespace {

class SettingsSaving_Offscreen : public DialogFixture {
 protected:
  void SetUp() override {
    DialogFixture::SetUp();
    for (const char* name : {"Wood", "Marble"}) {
      const std::string file = std::string(name) == "Wood" ? "001.txt" : "002.txt";
      m_dir.WriteFile("Environments/" + file, std::string("<Environment><NameEnglish>") + name +
                                                  "</NameEnglish><TextureFileName>t.png</TextureFileName>"
                                                  "<Width>600</Width></Environment>");
    }
    Picture("Environments/Textures/t.png", 64, 64);
    m_dir.WriteFile("Tutorials/english/01.html", "<html><body>One</body></html>");
    m_sample = Picture("PuzzleSamples/a.png", 400, 300);
  }
  // Presses OK (the tutorials' Close) and lets a window that closed go.
  static void Confirm(QDialog* dialog) {
    static_cast<QPushButton*>(GetDlgItem(dialog, IDOK))->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  std::string m_sample;
};

struct Stored {
  const char* section;
  const char* entry;
  std::string value;
};

struct Case {
  const char* what;
  std::function<QDialog*()> open;  // the dialog with the player's changes
  bool staysOpen;                  // after a save that failed
  std::vector<Stored> values;      // what one OK stores
};

}  // namespace

TEST_F(SettingsSaving_Offscreen, OneOkIsOneWriteAndAFailedSaveIsSaidWhereItWasMade) {
  PuzzleChoice current;
  current.picturePath = m_sample;
  current.columns = 4;
  current.rows = 3;
  const std::vector<Case> cases = {
      {"Options",
       [] {
         auto* d = new COptionsDialog;
         qobject_cast<QLineEdit*>(GetDlgItem(d->Pages()[0].m_page, kGeneralHeight))->setText("120");
         return d;
       },
       true,
       {{"GameOptions", "CameraDefaultHeight", "120"},
        {"GameOptions", "LimitFPSToRefreshRate", "1"},
        {"GameOptions", "PuzzleDefinition", "3"},
        {"GameOptions", "ShinyPieces", "1"},
        {"GameOptions", "NewVersionsCheckAuto", "1"},
        {"GameOptions", "NewVersionsCheckXDays", "15"}}},
      {"Change Environment",
       [] {
         auto* d = new CChangeEnvironmentDialog;
         d->Item<QListWidget>(kEnvList)->setCurrentRow(0);  // "Marble"
         return d;
       },
       true,
       {{"Environments", "LastEnvFile", "002.txt"}, {"Environments", "LastEnvCustomFile", ""}}},
      {"New puzzle",
       [current] { return new CCreateNewPuzzleDialog(current); },
       false,
       {{"MenuSel", "LastPuzzlePictureFilePath", m_sample},
        {"MenuSel", "LastPuzzleSizeX", "4"},
        {"MenuSel", "LastPuzzleSizeY", "3"},
        {"MenuSel", "LastRotatePieces", "0"},
        {"MenuSel", "LastPieceShape", "1"},
        {"MenuSel", "LastPieceIrregularity", "70"}}},
      {"Tutorials",
       [] {
         auto* d = new CTutorialDialog;
         d->Item<QCheckBox>(kTutorialAtStart)->setChecked(false);
         return d;
       },
       false,
       {{"", "ShowTutorialDialog", "0"}}},
  };
  const std::string french =
      QCoreApplication::applicationDirPath().toStdString() + "/LanguageFrench/RavelleGame.strings";
  for (const bool inFrench : {false, true}) {
    if (inFrench) {
      ASSERT_TRUE(LoadLanguageStrings(french));
    }
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.what) + (inFrench ? " in French" : ""));
      const ScopedProfileFile profile(m_dir.WriteFile(
          std::string(c.what) + (inFrench ? "-fr" : "") + "/profile.ini", "[General]\nOther=1\n"));
      const std::string pipe = testkit::BlockProfileWrites();
      m_shell.boxes.clear();
      QPointer<QDialog> dialog = c.open();
      dialog->show();
      Confirm(dialog);
      ASSERT_EQ(m_shell.boxes.size(), 1u);
      EXPECT_EQ(m_shell.boxes[0].text, testkit::BlockedProfileBox(inFrench));
      EXPECT_EQ(m_shell.boxes[0].caption, "Ravelle");
      EXPECT_EQ(dialog && dialog->isVisible(), c.staysOpen);
      EXPECT_EQ(std::filesystem::file_size(ProfileFilePath()), 18u);  // as it was

      // Once the profile takes writes again, OK saves every value at once.
      std::filesystem::remove(pipe);
      if (!c.staysOpen) {
        delete dialog.data();
        dialog = c.open();
        dialog->show();
      }
      testkit::FileReplacements replacements(ProfileFilePath());
      Confirm(dialog);
      EXPECT_EQ(replacements.Count(), 1);
      EXPECT_EQ(m_shell.boxes.size(), 1u);
      EXPECT_FALSE(dialog && dialog->isVisible());
      for (const Stored& v : c.values) EXPECT_EQ(Profile(v.section, v.entry), v.value) << v.entry;
      delete dialog.data();
    }
  }
}
