#pragma once
// The pictures the screen saver's dialogs show, drawn by the program: the
// screen saver's icon (a puzzle piece), the about box's picture and a list
// row's folder.
#include <QIcon>
#include <QPixmap>

inline constexpr int kSaverIconId = 128;
inline constexpr int kAboutPictureId = 161;   // 64 x 64
inline constexpr int kFolderBitmapId = 2132;  // 16 x 16

// The picture with the id; any other id gives the icon's picture.
QPixmap SaverPicture(int id);
// The dialogs' window icon.
QIcon SaverIcon();
