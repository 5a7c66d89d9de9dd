#include "game/dialogs/dialog_kit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QRadioButton>
#include <QStringList>
#include <algorithm>
#include <cctype>

#include "game/dialog_services.h"
#include "resources/strings.h"
#include "support/controls/hrx_font.h"
#include "support/string_table.h"
#include "support/support.h"

// Sections: dialog base - pictures - desktop seams

QString DialogText(unsigned id) { return QString::fromStdString(LoadResString(id)); }

// ---- dialog base ---------------------------------------------------------------
CGameDialog::CGameDialog(int helpTopic, QWidget* parent) : QDialog(parent), m_helpTopic(helpTopic) {
  const QFontMetrics metrics(font());
  // The average width of the letters, as dialog units are measured.
  const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  m_unitX = metrics.horizontalAdvance(letters) / 52.0 / 4.0;
  m_unitY = metrics.height() / 8.0;
}

QRect CGameDialog::Units(int x, int y, int width, int height) const {
  const int left = static_cast<int>(x * m_unitX + 0.5);
  const int top = static_cast<int>(y * m_unitY + 0.5);
  const int right = static_cast<int>((x + width) * m_unitX + 0.5);
  const int bottom = static_cast<int>((y + height) * m_unitY + 0.5);
  return QRect(left, top, right - left, bottom - top);
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

QGroupBox* CGameDialog::AddGroup(int id, const QString& text, int x, int y, int w, int h) {
  return Place(new QGroupBox(text), id, x, y, w, h);
}

QLabel* CGameDialog::AddLabel(int id, const QString& text, int x, int y, int w, int h, bool wrap) {
  QLabel* label = Place(new QLabel(text), id, x, y, w, h);
  label->setWordWrap(wrap);
  label->setAlignment(wrap ? Qt::AlignLeft | Qt::AlignTop : Qt::AlignLeft | Qt::AlignVCenter);
  return label;
}

QPushButton* CGameDialog::AddButton(int id, const QString& text, int x, int y, int w, int h) {
  QPushButton* button = Place(new QPushButton(text), id, x, y, w, h);
  button->setAutoDefault(false);
  return button;
}

namespace {
// Room the check mark or radio circle takes beside the text.
constexpr int kIndicatorWidth = 24;

template <class Button>
Button* WithText(Button* button, const QString& text, bool wrap) {
  button->setText(wrap ? WrapText(text, button->font(), button->width() - kIndicatorWidth) : text);
  return button;
}
}  // namespace

QCheckBox* CGameDialog::AddCheck(int id, const QString& text, int x, int y, int w, int h, bool wrap) {
  return WithText(Place(new QCheckBox, id, x, y, w, h), text, wrap);
}

QRadioButton* CGameDialog::AddRadio(int id, const QString& text, int x, int y, int w, int h, bool wrap) {
  return WithText(Place(new QRadioButton, id, x, y, w, h), text, wrap);
}

QString WrapText(const QString& text, const QFont& font, int width) {
  const QFontMetrics metrics(font);
  QStringList out;
  for (const QString& paragraph : text.split('\n')) {
    QString line;
    for (const QString& word : paragraph.split(' ', Qt::SkipEmptyParts)) {
      const QString longer = line.isEmpty() ? word : line + ' ' + word;
      if (!line.isEmpty() && metrics.horizontalAdvance(longer) > width) {
        out << line;
        line = word;
      } else {
        line = longer;
      }
    }
    out << line;
  }
  return out.join('\n');
}

QComboBox* CGameDialog::AddDropList(int id, int x, int y, int w, int h) {
  return Place(new QComboBox, id, x, y, w, h);
}

QPushButton* CGameDialog::AddHelpButton(int x, int y, int w, int h) {
  QPushButton* help = AddButton(kHelpButtonId, DialogText(IDS_DLG_HELP), x, y, w, h);
  connect(help, &QPushButton::clicked, this, [this] { OnHelp(); });
  return help;
}

void CGameDialog::MakeBold(std::initializer_list<int> ids) {
  if (ids.size() == 0 || !GetDlgItem(this, *ids.begin())) return;
  CHRXFont bold(GetDlgItem(this, *ids.begin())->font());
  bold.setWeight(QFont::Weight(700));
  for (int id : ids)
    if (QWidget* control = GetDlgItem(this, id)) control->setFont(bold);
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
  return FitPicturePreview(ReadPictureFile(path), boxWidth, boxHeight);
}

void ShowPicturePreview(QLabel* preview, QLabel* sizeText, const PicturePreview& picture) {
  preview->setPixmap(picture.preview);
  preview->resize(picture.preview.size());
  sizeText->setText(
      QString::fromStdString(FormatString(LoadResString(IDS_IMAGE_SIZE).c_str(), picture.width, picture.height)));
}

namespace {
PictureLister& CurrentPictureLister() {
  static PictureLister lister = ListPictureFiles;
  return lister;
}
}  // namespace

std::vector<std::string> ListFolderPictures(const std::string& folder) { return CurrentPictureLister()(folder); }

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

std::string DesktopFile(QWidget* parent, const QString& caption, const std::string& folder, const QString& filter) {
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
