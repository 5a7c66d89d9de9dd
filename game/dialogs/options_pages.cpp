#include "game/dialogs/options_pages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <algorithm>

#include "game/game_profile.h"
#include "resources/strings.h"
#include "support/support.h"

// Sections: page base - General - Pieces - New versions

// ---- page base ---------------------------------------------------------------------
CPrefPageBaseDialog::CPrefPageBaseDialog(QWidget* parent) : CGameDialog(0, parent) {
  setWindowFlags(Qt::Widget);
  hide();
}

void CPrefPageBaseDialog::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      event->accept();  // ends nothing
      return;
    case Qt::Key_Escape:
      if (auto* owner = qobject_cast<QDialog*>(parentWidget())) owner->reject();
      return;
    default: event->ignore();  // F1 and the rest go on to the options dialog
  }
}

// ---- General ----------------------------------------------------------------------------
COptionsPageGeneral::COptionsPageGeneral(QWidget* parent) : CPrefPageBaseDialog(parent) {
  AddGroup(this, kNoItemId, DialogText(IDS_GENERAL_CAMERA), Units(7, 7, 271, 40));
  AddLabel(this, kNoItemId, DialogText(IDS_GENERAL_HEIGHT), Units(15, 24, 75, 10));
  m_height = Place(this, new QLineEdit, kGeneralHeight, Units(92, 22, 36, 13));
  m_height->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), m_height));
  m_height->installEventFilter(this);
  // The up-down control on the edit's right: the upper arrow raises.
  auto* updown = Place(this, new QWidget, kGeneralHeightUpDown, Units(128, 22, 10, 13));
  auto* up = new QToolButton(updown);
  auto* down = new QToolButton(updown);
  up->setArrowType(Qt::UpArrow);
  down->setArrowType(Qt::DownArrow);
  up->setGeometry(0, 0, updown->width(), updown->height() / 2);
  down->setGeometry(0, updown->height() / 2, updown->width(), updown->height() - updown->height() / 2);
  connect(up, &QToolButton::clicked, this, [this] { Step(+1); });
  connect(down, &QToolButton::clicked, this, [this] { Step(-1); });
  AddLabel(this, kNoItemId, DialogText(IDS_GENERAL_CENTIMETERS), Units(143, 24, 100, 10));

  AddGroup(this, kNoItemId, DialogText(IDS_GENERAL_DISPLAY), Units(7, 54, 271, 58));
  m_limitFps = AddWrappingCheckBox(this, kGeneralLimitFps, DialogText(IDS_GENERAL_LIMIT_FPS),
                                   Units(15, 68, 256, 40), MarkBeside::MiddleLine);
}

void COptionsPageGeneral::Step(int by) {
  bool number = false;
  const int now = m_height->text().toInt(&number);
  const int next = number ? std::clamp(now + by, kMinCameraHeight, kMaxCameraHeight) : kMinCameraHeight;
  m_height->setText(QString::number(next));
}

bool COptionsPageGeneral::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_height && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
      Step(key == Qt::Key_Up ? +1 : -1);
      return true;
    }
  }
  return CPrefPageBaseDialog::eventFilter(watched, event);
}

bool COptionsPageGeneral::Validate() {
  bool number = false;
  const int height = m_height->text().trimmed().toInt(&number);
  std::string problem;
  if (!number)
    problem = LoadResString(IDS_ENTER_INTEGER);
  else if (height < kMinCameraHeight || height > kMaxCameraHeight)
    problem =
        FormatString(LoadResString(IDS_ENTER_INTEGER_RANGE).c_str(), kMinCameraHeight, kMaxCameraHeight);
  if (problem.empty()) return true;
  Shell().MessageBox(problem, DialogText(IDS_OPTIONS_TITLE).toStdString(), MB_OK | MB_ICONWARNING);
  m_height->setFocus();
  m_height->selectAll();
  return false;
}

bool COptionsPageGeneral::LoadSettings() {
  m_height->setText(QString::number(ReadProfileInt(profile::kCameraDefaultHeight)));
  if (ReadProfileBool(profile::kLimitFPSToRefreshRate)) m_limitFps->setChecked(true);
  return true;
}

void COptionsPageGeneral::CollectSettings(GameProfileChange& change) const {
  change.Set(profile::kCameraDefaultHeight, m_height->text().trimmed().toInt())
      .Set(profile::kLimitFPSToRefreshRate, m_limitFps->isChecked());
}

// ---- Pieces ---------------------------------------------------------------------------
COptionsPagePieces::COptionsPagePieces(QWidget* parent) : CPrefPageBaseDialog(parent) {
  AddGroup(this, kNoItemId, DialogText(IDS_PIECES_PROPERTIES), Units(7, 7, 271, 100));
  AddLabel(this, kNoItemId, DialogText(IDS_PIECES_DEFINITION), Units(15, 24, 90, 10));
  m_definition = AddDropList(this, kPiecesDefinition, Units(108, 22, 100, 14));
  m_shiny = AddCheckBox(this, kPiecesShiny, DialogText(IDS_PIECES_SHINY), Units(15, 44, 256, 12));
  AddWrappingLabel(this, kNoItemId, DialogText(IDS_PIECES_NOTE), Units(15, 64, 256, 50));
  for (unsigned id :
       {IDS_DEFINITION_VERY_LOW, IDS_DEFINITION_LOW, IDS_DEFINITION_NORMAL, IDS_DEFINITION_HIGH})
    m_definition->addItem(DialogText(id));
  m_definition->setCurrentIndex(0);
}

bool COptionsPagePieces::LoadSettings() {
  const int definition = ReadProfileInt(profile::kPuzzleDefinition);
  m_definition->setCurrentIndex(definition >= 1 && definition <= 4 ? definition - 1 : 0);
  m_shiny->setChecked(ReadProfileBool(profile::kShinyPieces));
  return true;
}

void COptionsPagePieces::CollectSettings(GameProfileChange& change) const {
  change.Set(profile::kPuzzleDefinition, std::max(0, m_definition->currentIndex()) + 1)
      .Set(profile::kShinyPieces, m_shiny->isChecked());
}

// ---- New versions -------------------------------------------------------------------
COptionsPageNewVersions::COptionsPageNewVersions(QWidget* parent) : CPrefPageBaseDialog(parent) {
  m_manual = AddWrappingRadioButton(this, kVersionsManual, DialogText(IDS_VERSIONS_MANUAL),
                                    Units(7, 7, 271, 20), MarkBeside::MiddleLine);
  AddWrappingLabel(this, kVersionsManualNote, DialogText(IDS_VERSIONS_MANUAL_NOTE), Units(22, 29, 256, 20));
  m_auto = AddWrappingRadioButton(this, kVersionsAuto, DialogText(IDS_VERSIONS_NOTIFY), Units(7, 58, 271, 12),
                                  MarkBeside::MiddleLine);
  AddLabel(this, kVersionsCheckEvery, DialogText(IDS_VERSIONS_CHECK_EVERY), Units(22, 76, 56, 10));
  m_interval = AddDropList(this, kVersionsInterval, Units(80, 74, 80, 14));
  AddWrappingLabel(this, kVersionsNote, DialogText(IDS_VERSIONS_NOTE), Units(22, 96, 256, 30));
  for (int days : kCheckIntervals)
    m_interval->addItem(QString::fromStdString(FormatString(LoadResString(IDS_DAYS).c_str(), days)));
  m_interval->setCurrentIndex(0);
  connect(m_manual, &QRadioButton::clicked, this, [this] { EnableControls(); });
  connect(m_auto, &QRadioButton::clicked, this, [this] { EnableControls(); });
}

bool COptionsPageNewVersions::LoadSettings() {
  (ReadProfileBool(profile::kNewVersionsCheckAuto) ? m_auto : m_manual)->setChecked(true);
  const int days = GetNewVersionsCheckXDays();
  for (int line = 0; line < 4; ++line)
    if (kCheckIntervals[line] == days) m_interval->setCurrentIndex(line);
  EnableControls();
  return true;
}

void COptionsPageNewVersions::CollectSettings(GameProfileChange& change) const {
  change.Set(profile::kNewVersionsCheckAuto, m_auto->isChecked())
      .Set(profile::kNewVersionsCheckXDays, kCheckIntervals[std::clamp(m_interval->currentIndex(), 0, 3)]);
}

void COptionsPageNewVersions::EnableControls() {
  const bool automatic = m_auto->isChecked();
  for (int id : {kVersionsCheckEvery, kVersionsInterval, kVersionsNote})
    GetDlgItem(this, id)->setEnabled(automatic);
  GetDlgItem(this, kVersionsManualNote)->setEnabled(!automatic);
}
