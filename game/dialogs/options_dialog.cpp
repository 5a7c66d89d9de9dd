#include "game/dialogs/options_dialog.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>

#include "resources/strings.h"

// Sections: layout - pages - OK

// ---- layout ----------------------------------------------------------------------
COptionsDialog::COptionsDialog(QWidget* parent) : CGameDialog(kOptionsHelpTopic, parent) {
  setWindowTitle(DialogText(IDS_OPTIONS_TITLE));
  SetFixedUnits(416, 268);
  m_tree = Place(this, new QTreeWidget, kOptionsTree, Units(7, 7, 110, 232));
  m_tree->setHeaderHidden(true);
  m_tree->setRootIsDecorated(false);
  m_caption = AddLabel(this, kOptionsCaption, "Caption", Units(124, 7, 285, 16));
  m_caption->setFrameStyle(QFrame::Panel | QFrame::Raised);
  m_caption->setIndent(6);
  auto* area = Place(this, new QFrame, kOptionsPageArea, Units(124, 28, 285, 211));
  area->setFrameStyle(QFrame::Box | QFrame::Plain);
  auto* separator = Place(this, new QFrame, kNoItemId, Units(7, 244, 402, 1));
  separator->setFrameStyle(QFrame::HLine | QFrame::Sunken);
  AddHelpButton(Units(7, 249, 60, 15));
  QPushButton* ok =
      AddButton(this, IDOK, DialogText(IDS_DLG_OK), Units(282, 249, 60, 15), EnterKey::ToDefault);
  ok->setDefault(true);
  QPushButton* cancel =
      AddButton(this, IDCANCEL, DialogText(IDS_DLG_CANCEL), Units(349, 249, 60, 15), EnterKey::ToDefault);
  connect(ok, &QPushButton::clicked, this, [this] { OnOk(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  m_general = new COptionsPageGeneral(this);
  m_pieces = new COptionsPagePieces(this);
  m_newVersions = new COptionsPageNewVersions(this);
  InitPages();
  for (const PREF_DIALOG_DATA& record : m_pages)
    if (record.m_page) record.m_page->LoadSettings();
}

COptionsDialog::~COptionsDialog() = default;

// ---- pages -----------------------------------------------------------------------
void COptionsDialog::InitPages() {
  MakeBold(m_caption);
  const QRect area = GetDlgItem(this, kOptionsPageArea)->geometry();
  for (CPrefPageBaseDialog* page :
       {static_cast<CPrefPageBaseDialog*>(m_general), static_cast<CPrefPageBaseDialog*>(m_pieces),
        static_cast<CPrefPageBaseDialog*>(m_newVersions)})
    page->setGeometry(area.adjusted(1, 1, -1, -1));
  const struct {
    unsigned text;
    CPrefPageBaseDialog* page;
  } tree[] = {
      {IDS_PAGE_GENERAL, m_general}, {IDS_PAGE_PIECES, m_pieces}, {IDS_PAGE_NEW_VERSIONS, m_newVersions}};
  {
    const QSignalBlocker quiet(m_tree);
    for (const auto& entry : tree) {
      auto* item = new QTreeWidgetItem(m_tree, QStringList(DialogText(entry.text)));
      AddPage(item, DialogText(entry.text), entry.page);
    }
  }
  connect(m_tree, &QTreeWidget::currentItemChanged, this, [this] { SelectPage(); });
  m_pages.front().m_item->setExpanded(true);
  m_currentItem = m_pages.front().m_item;
  m_tree->setCurrentItem(m_currentItem);
  SelectPage();
}

void COptionsDialog::AddPage(QTreeWidgetItem* item, const QString& caption, CPrefPageBaseDialog* page) {
  m_pages.push_back(PREF_DIALOG_DATA{item, caption, page});
}

const PREF_DIALOG_DATA* COptionsDialog::Record(const QTreeWidgetItem* item) const {
  for (const PREF_DIALOG_DATA& record : m_pages)
    if (record.m_item == item) return &record;
  return nullptr;
}

CPrefPageBaseDialog* COptionsDialog::CurrentPage() const {
  const PREF_DIALOG_DATA* record = Record(m_currentItem);
  return record ? record->m_page : nullptr;
}

void COptionsDialog::SelectPage() {
  QTreeWidgetItem* caret = m_tree->currentItem();
  if (caret != m_currentItem) {
    const PREF_DIALOG_DATA* current = Record(m_currentItem);
    if (current && current->m_page && !current->m_page->Validate()) {
      // The page shown stays, and so does its tree item.
      const QSignalBlocker quiet(m_tree);
      m_tree->setCurrentItem(m_currentItem);
      return;
    }
  }
  ShowRecord(caret);
}

void COptionsDialog::ShowRecord(QTreeWidgetItem* item) {
  m_currentItem = item;
  for (const PREF_DIALOG_DATA& record : m_pages)
    if (record.m_page) record.m_page->hide();
  m_caption->setText(QString());
  if (const PREF_DIALOG_DATA* record = Record(m_currentItem)) {
    m_caption->setText(record->m_caption);
    if (record->m_page) record->m_page->show();
  }
}

// ---- OK ---------------------------------------------------------------------------
bool COptionsDialog::ValidateAndSaveAll() {
  for (const PREF_DIALOG_DATA& record : m_pages) {
    if (!record.m_page) continue;
    if (!record.m_page->Validate()) {
      const QSignalBlocker quiet(m_tree);
      m_tree->setCurrentItem(record.m_item);
      ShowRecord(record.m_item);
      return false;
    }
  }
  GameProfileChange change;
  for (const PREF_DIALOG_DATA& record : m_pages)
    if (record.m_page) record.m_page->CollectSettings(change);
  return change.SaveOrSay();
}

void COptionsDialog::OnOk() {
  if (ValidateAndSaveAll()) accept();
}
