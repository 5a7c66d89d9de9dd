#include "game/dialogs/game_dialog.h"

#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <cctype>

#include "game/dialog_services.h"
#include "resources/strings.h"
#include "support/string_table.h"
#include "support/support.h"

// Sections: dialog base - pictures - desktop seams

// ---- dialog base ---------------------------------------------------------------
CGameDialog::CGameDialog(int helpTopic, QWidget* parent)
    : QDialog(parent), m_helpTopic(helpTopic), m_unit(DialogUnitOf(font())) {}

QRect CGameDialog::Units(int x, int y, int width, int height) const {
  return UnitsToPixels(m_unit, x, y, width, height);
}

void CGameDialog::SetFixedUnits(int width, int height) { setFixedSize(Units(0, 0, width, height).size()); }

void CGameDialog::OnHelp() {
  if (m_helpTopic != 0) ShowHelp(m_helpTopic);
}

void CGameDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F1 && m_helpTopic != 0) {
    OnHelp();
    return;
  }
  QDialog::keyPressEvent(event);
}

QPushButton* CGameDialog::AddHelpButton(const QRect& rect) {
  QPushButton* help = AddButton(this, kHelpButtonId, DialogText(IDS_DLG_HELP), rect, EnterKey::ToDefault);
  connect(help, &QPushButton::clicked, this, [this] { OnHelp(); });
  return help;
}

// ---- pictures ------------------------------------------------------------------
PicturePreview FitPicturePreview(const QImage& image, int boxWidth, int boxHeight) {
  PicturePreview out;
  if (image.isNull()) return out;
  out.loaded = true;
  out.width = image.width();
  out.height = image.height();
  RECT fitted{};
  FitRectKeepAspect(RECT{0, 0, out.width, out.height}, RECT{0, 0, boxWidth, boxHeight}, fitted);
  const int w = std::max<int>(1, fitted.right - fitted.left);
  const int h = std::max<int>(1, fitted.bottom - fitted.top);
  out.preview = QPixmap::fromImage(image.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
  return out;
}

PicturePreview LoadPicturePreview(const std::string& path, int boxWidth, int boxHeight) {
  if (path.empty()) return {};
  PicturePreview picture = FitPicturePreview(ReadPictureFile(path), boxWidth, boxHeight);
  picture.unreadable = !picture.loaded;
  return picture;
}

void ShowPicturePreview(QLabel* preview, QLabel* sizeText, const PicturePreview& picture) {
  if (!picture.loaded) {
    preview->clear();
    sizeText->setText(picture.unreadable ? DialogText(IDS_PICTURE_UNREADABLE) : QString());
    return;
  }
  preview->setPixmap(picture.preview);
  preview->resize(picture.preview.size());
  sizeText->setText(QString::fromStdString(
      FormatString(LoadResString(IDS_IMAGE_SIZE).c_str(), picture.width, picture.height)));
}

namespace {
PictureLister& CurrentPictureLister() {
  static PictureLister lister = ListPictureFiles;
  return lister;
}
}  // namespace

std::vector<std::string> ListFolderPictures(const std::string& folder) {
  return CurrentPictureLister()(folder);
}

void SetPictureLister(PictureLister lister) {
  CurrentPictureLister() = lister ? std::move(lister) : PictureLister(ListPictureFiles);
}

bool SamePathIgnoringCase(const std::string& a, const std::string& b) {
  std::string x = a, y = b;
  ToLowerString(x);
  ToLowerString(y);
  return x == y;
}

// ---- desktop seams -------------------------------------------------------------
namespace {
std::string DesktopFolder(QWidget* parent, const QString& caption, const std::string& start) {
  return QFileDialog::getExistingDirectory(parent, caption, QString::fromStdString(start)).toStdString();
}

std::string DesktopFile(QWidget* parent, const QString& caption, const std::string& folder,
                        const QString& filter) {
  return QFileDialog::getOpenFileName(parent, caption, QString::fromStdString(folder), filter).toStdString();
}
}  // namespace

FolderChooser& CurrentFolderChooser() {
  static FolderChooser chooser = DesktopFolder;
  return chooser;
}

FileChooser& CurrentFileChooser() {
  static FileChooser chooser = DesktopFile;
  return chooser;
}

void SetFolderChooser(FolderChooser chooser) {
  CurrentFolderChooser() = chooser ? std::move(chooser) : FolderChooser(DesktopFolder);
}

void SetFileChooser(FileChooser chooser) {
  CurrentFileChooser() = chooser ? std::move(chooser) : FileChooser(DesktopFile);
}

QString QtFileFilter(const std::string& pipeFilter) {
  const QStringList fields = QString::fromStdString(pipeFilter).split('|');
  QStringList filters;
  for (int i = 0; i + 1 < fields.size(); i += 2) {
    if (fields[i].isEmpty()) break;
    QStringList patterns;
    for (const QString& pattern : fields[i + 1].split(QRegularExpression("[;,]"), Qt::SkipEmptyParts)) {
      patterns << pattern.toLower();
      if (pattern.toUpper() != pattern.toLower()) patterns << pattern.toUpper();
    }
    QString name = fields[i];
    const qsizetype open = name.lastIndexOf(" (");
    if (open > 0 && name.endsWith(')')) name.truncate(open);
    filters << name + " (" + patterns.join(' ') + ")";
  }
  return filters.join(";;");
}
