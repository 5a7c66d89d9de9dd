#include "saver/dialogs/settings_dialog.h"

#include <QCheckBox>
#include <QEventLoop>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>

#include "platform/help_viewer.h"
#include "platform/profile.h"
#include "platform/shell.h"
#include "resources/settings_saving.h"
#include "resources/strings.h"
#include "saver/dialogs/about_dialog.h"
#include "saver/dialogs/dialog_pictures.h"
#include "saver/dialogs/manage_images_dialog.h"
#include "saver/picture_lists.h"
#include "saver/saver_options.h"
#include "saver/saver_text_ids.h"
#include "support/controls/dialog_kit.h"
#include "support/controls/hrx_dialog_item.h"
#include "support/string_table.h"

CSettingsDialog::CSettingsDialog(QWidget* parent) : QDialog(parent) {
  SetUpDialog(this, 384, 185, QString::fromStdString(GetProductTitle()), SaverIcon());
  setFixedSize(size());
  InitControls();
  const ScreensaverOptions options = ReadScreensaverOptions();
  m_closeMouseMove = options.closeMouseMove ? 1 : 0;
  m_showFps = options.showFps ? 1 : 0;
  Check(kSettingsCloseOnMouseMove)->setChecked(m_closeMouseMove != 0);
  Check(kSettingsShowFps)->setChecked(m_showFps != 0);
  Check(kSettingsLimitFps)->setChecked(options.limitFpsToRefreshRate);
}

void CSettingsDialog::InitControls() {
  AddBoldGroup(this, kSettingsImagesGroup, DialogText(IDS_SAVER_GROUP_IMAGES),
               DialogUnits(this, 7, 7, 370, 50));
  AddWrappingLabel(this, 0, DialogText(IDS_SAVER_IMAGES_NOTE), DialogUnits(this, 16, 22, 250, 28));
  auto* manage = AddButton(this, kSettingsManageImages, DialogText(IDS_SAVER_MANAGE_IMAGES),
                           DialogUnits(this, 276, 24, 92, 16), EnterKey::ToFocused);
  AddBoldGroup(this, kSettingsOptionsGroup, DialogText(IDS_SAVER_GROUP_OPTIONS),
               DialogUnits(this, 7, 63, 370, 90));
  AddCheckBox(this, kSettingsCloseOnMouseMove, DialogText(IDS_SAVER_CLOSE_MOUSE_MOVE),
              DialogUnits(this, 16, 78, 352, 12));
  AddCheckBox(this, kSettingsShowFps, DialogText(IDS_SAVER_SHOW_FPS), DialogUnits(this, 16, 96, 352, 12));
  AddWrappingCheckBox(this, kSettingsLimitFps, DialogText(IDS_SAVER_LIMIT_FPS),
                      DialogUnits(this, 16, 114, 352, 26), MarkBeside::FirstLine);
  auto* help = AddButton(this, kSettingsHelp, DialogText(IDS_SAVER_HELP), DialogUnits(this, 7, 162, 60, 16),
                         EnterKey::ToFocused);
  auto* about = AddButton(this, kSettingsAbout, DialogText(IDS_SAVER_ABOUT),
                          DialogUnits(this, 71, 162, 60, 16), EnterKey::ToFocused);
  auto* checkUpdates = AddButton(this, kSettingsCheckUpdates, DialogText(IDS_SAVER_CHECK_UPDATES),
                                 DialogUnits(this, 135, 162, 80, 16), EnterKey::ToFocused);
  checkUpdates->hide();
  auto* ok = AddButton(this, IDOK, DialogText(IDS_SAVER_OK), DialogUnits(this, 253, 162, 60, 16),
                       EnterKey::ToFocused);
  auto* cancel = AddButton(this, IDCANCEL, DialogText(IDS_SAVER_CANCEL), DialogUnits(this, 317, 162, 60, 16),
                           EnterKey::ToFocused);
  ok->setDefault(true);
  connect(manage, &QPushButton::clicked, this, [this] { OnBnClickedManageImages(); });
  connect(help, &QPushButton::clicked, this, [this] { OnBnClickedHelp(); });
  connect(about, &QPushButton::clicked, this, [this] { OnBnClickedAbout(); });
  connect(ok, &QPushButton::clicked, this, [this] { OnBnClickedOk(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  auto* f1 = new QShortcut(QKeySequence::HelpContents, this);
  connect(f1, &QShortcut::activated, this, [this] { OnBnClickedHelp(); });
}

QCheckBox* CSettingsDialog::Check(int id) const { return static_cast<QCheckBox*>(GetDlgItem(this, id)); }

void CSettingsDialog::OnBnClickedManageImages() {
  CManageImagesDialog dialog(this);
  dialog.exec();
}

void CSettingsDialog::OnBnClickedAbout() {
  CSaverAboutDialog dialog(this);
  dialog.exec();
}

void CSettingsDialog::OnBnClickedHelp() { ShowSaverHelp(); }

void CSettingsDialog::OnBnClickedOk() {
  m_closeMouseMove = Check(kSettingsCloseOnMouseMove)->isChecked() ? 1 : 0;
  m_showFps = Check(kSettingsShowFps)->isChecked() ? 1 : 0;
  const ProfileChange change =
      ProfileChange()
          .SetBool(kSaverOptionsSection, "CloseMouseMove", m_closeMouseMove != 0)
          .SetBool(kSaverOptionsSection, "ShowFPS", m_showFps != 0)
          .SetBool(kSaverOptionsSection, "LimitFPSToRefreshRate", Check(kSettingsLimitFps)->isChecked());
  if (SaveSettingsOrSay(change, GetProductTitle())) accept();
}

void RunSettingsDialog(QWidget* parent) {
  {
    CSettingsDialog dialog(parent);
    dialog.exec();
  }
  // Help opened from the settings stays to be read until its reader closes it.
  QPointer<QWidget> help = HelpViewerWindow();
  if (!help || !help->isVisible()) return;
  QEventLoop loop;
  QObject::connect(help, &QObject::destroyed, &loop, &QEventLoop::quit);
  loop.exec();
}
