#pragma once
// What the game's dialogs share beyond the dialog kit
// (support/controls/dialog_kit.h: texts, dialog units, the builders of
// their controls): a dialog base laid out in dialog units of its font, with
// help on button 1001 and F1; picture previews;
// the picture list of a folder; and the seams through which a dialog asks
// the desktop for a folder or a file (tests put their own answer in place).
//
// Controls are direct children of their dialog and carry their item ids
// (support/controls/hrx_dialog_item.h); GetDlgItem finds them. Controls
// without an id of their own get kNoItemId. The game's buttons leave Enter
// to the dialog's default button (EnterKey::ToDefault), and a wrapping
// check box or radio button has its mark in the middle of its lines
// (MarkBeside::MiddleLine).
//
// Sections: dialog base - pictures - desktop seams
#include <QDialog>
#include <QImage>
#include <QPixmap>
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "game/dialog_services.h"
#include "platform/shell.h"  // IDOK, IDCANCEL: the item ids of OK and Cancel
#include "support/controls/dialog_kit.h"
#include "support/controls/hrx_dialog_item.h"

class QLabel;
class QPushButton;

inline constexpr int kNoItemId = -1;
inline constexpr int kHelpButtonId = 1001;

// ---- dialog base ---------------------------------------------------------------
// A dialog whose controls are placed in dialog units of its font. With a help topic, button 1001 and F1 show
// that help page.
class CGameDialog : public QDialog {
  Q_OBJECT

 public:
  // helpTopic 0: the dialog has no help.
  explicit CGameDialog(int helpTopic, QWidget* parent = nullptr);

  // The control with the id, as the asked type (null when absent or of
  // another type).
  template <class W>
  W* Item(int id) const {
    return qobject_cast<W*>(GetDlgItem(this, id));
  }
  // Dialog units to pixels.
  QRect Units(int x, int y, int width, int height) const;
  // Fixed client size in dialog units (not resizable).
  void SetFixedUnits(int width, int height);

 protected:
  // Shows the dialog's help topic.
  virtual void OnHelp();
  void keyPressEvent(QKeyEvent* event) override;

  // The Help button (id 1001) at rect, connected to OnHelp.
  QPushButton* AddHelpButton(const QRect& rect);

 private:
  int m_helpTopic;
  DialogUnit m_unit;
};

// ---- pictures ------------------------------------------------------------------
// A picture file loaded for a preview.
struct PicturePreview {
  bool loaded = false;
  bool unreadable = false;  // a picture was named but did not load (missing, damaged)
  int width = 0;            // the picture's own size in pixels
  int height = 0;
  QPixmap preview;  // fitted into the box from its top-left corner
};

// Loads the picture (its format read from the file's content) and fits it
// into a box of boxWidth x boxHeight keeping its aspect (FitRectKeepAspect;
// small pictures are enlarged). A fitted side is at least 1 pixel, so a
// very narrow picture still shows. Not loaded when the file is missing or
// damaged (unreadable then), or when the path is empty.
PicturePreview LoadPicturePreview(const std::string& path, int boxWidth, int boxHeight);
// Shows a loaded picture in the preview label (which takes its size) and its
// size in pixels in the size text ("Image size = %d X %d pixels"); for one
// that did not load, empties the preview, and the size text says that the
// picture cannot be read (IDS_PICTURE_UNREADABLE) or, with no picture
// named, nothing.
void ShowPicturePreview(QLabel* preview, QLabel* sizeText, const PicturePreview& picture);
// The same from a picture already in memory.
PicturePreview FitPicturePreview(const QImage& image, int boxWidth, int boxHeight);

// Gives the names (without folder) of a folder's picture files; the game may
// put its own list in place of ListPictureFiles (game/dialog_services.h; a
// null function restores it).
using PictureLister = std::function<std::vector<std::string>(const std::string& folder)>;
std::vector<std::string> ListFolderPictures(const std::string& folder);  // through the lister in use
void SetPictureLister(PictureLister lister);

// Paths compared without regard to letter case (ASCII letters).
bool SamePathIgnoringCase(const std::string& a, const std::string& b);

// ---- desktop seams -------------------------------------------------------------
// Asks the player for a folder; "" when cancelled.
using FolderChooser =
    std::function<std::string(QWidget* parent, const QString& caption, const std::string& start)>;
// Asks the player for an existing file; filter in the Qt form ("Name
// (*.a *.b);;..."); "" when cancelled.
using FileChooser = std::function<std::string(QWidget* parent, const QString& caption,
                                              const std::string& folder, const QString& filter)>;
// The choosers in use (the desktop's dialogs by default); a null function
// restores the default.
FolderChooser& CurrentFolderChooser();
FileChooser& CurrentFileChooser();
void SetFolderChooser(FolderChooser chooser);
void SetFileChooser(FileChooser chooser);

// The "Name|*.a;*.b|...||" filter of the string table in the Qt form. Each
// pattern is given in lower and upper case, so that PHOTO.JPG shows beside
// photo.jpg on file systems that tell letter case apart.
QString QtFileFilter(const std::string& pipeFilter);
