// Sections: file chooser - folder and record - saving - loading
#include "game/saves/save_commands.h"

#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>
#include <algorithm>
#include <filesystem>

#include "game/game_text_ids.h"
#include "game/saves/board_record.h"
#include "platform/d3d9/d3d9_resources.h"
#include "platform/data_file.h"
#include "platform/shell.h"
#include "support/string_table.h"
#include "support/support.h"

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }

void ErrorBox(const std::string& text) {
  Shell().MessageBox(text, LoadResString(IDS_ERROR_CAPTION), MB_ICONERROR);
}

std::string FileName(const std::string& path) { return std::filesystem::path(path).filename().string(); }

// The path with the saved-puzzle extension added when it has another one.
std::string WithExtension(const std::string& path) {
  const std::string dotted = std::string(".") + kSavedGameExtension;
  return std::filesystem::path(path).extension() == dotted ? path : path + dotted;
}

// The file name when the picture lies in the installation's sample folder.
std::string SampleNameOf(const std::string& picture) {
  std::error_code folderError, pathError;
  const std::filesystem::path folder = std::filesystem::weakly_canonical(GetPuzzleSamplesDir(), folderError);
  const std::filesystem::path path = std::filesystem::weakly_canonical(picture, pathError);
  return !folderError && !pathError && path.parent_path() == folder ? path.filename().string()
                                                                    : std::string();
}
}  // namespace

// ---- file chooser ----------------------------------------------------------------------------
std::string QtFileChooser::ChooseSaveFile(const std::string& title, const std::string& folder,
                                          const std::string& filter) {
  // The dialog adds the extension itself, so that it asks before replacing
  // the file that will really be written.
  QFileDialog dialog(m_parent, Q(title), Q(folder), Q(filter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QString::fromLatin1(kSavedGameExtension));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::string();
  return dialog.selectedFiles().front().toStdString();
}

std::string QtFileChooser::ChooseOpenFile(const std::string& title, const std::string& folder,
                                          const std::string& filter) {
  return QFileDialog::getOpenFileName(m_parent, Q(title), Q(folder), Q(filter)).toStdString();
}

// ---- folder and record -----------------------------------------------------------------------
std::string SavedPuzzlesFolder() {
  const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  return (data + "/Halvorn/RavelleGame/SavedPuzzles").toStdString();
}

SavedGame CSavedGames::Capture() const {
  const PuzzleSettings& s = m_game.m_settings;
  SavedGame g;
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(s.picturePath, error);
  g.picturePath = error ? s.picturePath : absolute.string();
  g.sampleName = SampleNameOf(s.picturePath);
  g.pictureWidth = static_cast<std::int32_t>(s.m_pictureTexture.m_imageInfo.Width);
  g.pictureHeight = static_cast<std::int32_t>(s.m_pictureTexture.m_imageInfo.Height);
  g.rotatePieces = s.rotatePieces;
  CaptureBoard(s.m_board, g);
  g.playTime = std::clamp(m_game.m_playTimer.GetElapsed(), 0.0, kMaxSavedPlayTime);  // so it loads again
  const CKVRCamera& c = s.m_viewCamera;
  g.hasCamera = true;
  g.camera = SavedCamera{ToSaved(c.m_eye), ToSaved(c.m_direction), ToSaved(c.m_up), ToSaved(c.m_right)};
  return g;
}

// ---- saving ------------------------------------------------------------------------------------
void CSavedGames::Save() {
  if (m_game.m_settings.m_board.m_pieces.empty()) return;
  m_game.PausePlayTime();
  std::string path = m_game.m_settings.m_currentFile;
  if (path.empty()) {
    const std::string folder = SavedPuzzlesFolder();
    QDir().mkpath(Q(folder));
    path =
        m_chooser.ChooseSaveFile(LoadResString(IDS_TIP_SAVE), folder, LoadResString(IDS_SAVED_PUZZLE_FILTER));
    if (!path.empty()) path = WithExtension(path);
  }
  if (!path.empty()) SaveTo(path);
  m_game.ResumePlayTime();
}

bool CSavedGames::SaveTo(const std::string& path) {
  const std::string bytes = WriteSavedGame(Capture());
  std::string failure = ReplaceFileWhole(path, bytes);
  if (failure == kNotRegularFileReason) failure = LoadResString(IDS_SAVE_NOT_A_FILE);
  if (!failure.empty()) {
    ErrorBox(FormatString(LoadResString(IDS_SAVE_FAILED).c_str(), path.c_str(), failure.c_str()));
    return false;
  }
  m_game.m_settings.m_currentFile = path;
  m_game.ShowStatusMessage(FormatString(LoadResString(IDS_PUZZLE_SAVED).c_str(), FileName(path).c_str()),
                           kStatusSeconds);
  return true;
}

// ---- loading -----------------------------------------------------------------------------------
void CSavedGames::Load() {
  m_game.PausePlayTime();
  const std::string path = m_chooser.ChooseOpenFile(
      LoadResString(IDS_CAPTION_LOAD_PUZZLE), SavedPuzzlesFolder(), LoadResString(IDS_SAVED_PUZZLE_FILTER));
  if (!path.empty()) LoadFrom(path);
  m_game.ResumePlayTime();
}

bool CSavedGames::LoadFrom(const std::string& path) {
  // A pipe, device or folder is no saved puzzle (and opening it never waits).
  std::string bytes, why;
  DataFileFault fault = DataFileFault::kNone;
  if (!ReadDataFile(path, kMaxSavedGameBytes, bytes, &why, &fault) &&
      (fault == DataFileFault::kCannotOpen || fault == DataFileFault::kCannotRead)) {
    ErrorBox(FormatString(LoadResString(IDS_SAVED_PUZZLE_UNREADABLE).c_str(), path.c_str(), why.c_str()));
    return false;
  }
  SavedGame staged;
  const SavedGameReadResult read =
      fault == DataFileFault::kNone ? ReadSavedGame(bytes, staged) : SavedGameReadResult{};
  if (read.status != SavedGameStatus::kOk) {
    ErrorBox(LoadResString(read.status == SavedGameStatus::kNewerVersion ? IDS_SAVED_PUZZLE_NEWER
                                                                         : IDS_SAVED_PUZZLE_DAMAGED));
    return false;
  }
  CKVRTexture picture;
  std::string picturePath;
  const unsigned long long lacks = OutOfMemoryCount();
  const auto ranOut = [&] {
    if (OutOfMemoryCount() == lacks) return false;
    m_game.DropPuzzle();
    ErrorBox(LoadResString(IDS_PUZZLE_TOO_LARGE));
    return true;
  };
  if (!LoadPicture(staged, picture, picturePath)) {
    if (ranOut()) return false;
    ErrorBox(FormatString(LoadResString(IDS_SAVED_PICTURE_MISSING).c_str(),
                          (staged.picturePath.empty() ? staged.sampleName : staged.picturePath).c_str()));
    return false;
  }
  PuzzleChoice choice;
  choice.picturePath = picturePath;
  choice.columns = staged.columns;
  choice.rows = staged.rows;
  choice.rotatePieces = staged.rotatePieces;
  choice.pieceShape = static_cast<PieceShape>(staged.shape);  // checked by the reader
  choice.irregularity = staged.irregularity;
  if (!m_game.RestorePuzzle(choice, staged.seed, picture)) {
    if (ranOut()) return false;
    ErrorBox(LoadResString(IDS_PUZZLE_NOT_CREATED));
    return false;
  }
  Commit(staged, path);
  return true;  // the old picture goes with `picture`
}

bool CSavedGames::LoadPicture(const SavedGame& game, CKVRTexture& picture, std::string& path) const {
  std::vector<std::string> candidates;
  if (!game.sampleName.empty())
    candidates.push_back(GetPuzzleSamplesDir() + kPathSeparator + game.sampleName);
  if (!game.picturePath.empty()) candidates.push_back(game.picturePath);
  for (const std::string& candidate : candidates) {
    if (picture.LoadFromFile(candidate, 0) && picture.m_imageInfo.Width == UINT(game.pictureWidth) &&
        picture.m_imageInfo.Height == UINT(game.pictureHeight)) {
      path = candidate;
      return true;
    }
    picture.Release();
  }
  return false;
}

void CSavedGames::Commit(const SavedGame& game, const std::string& file) {
  PuzzleSettings& s = m_game.m_settings;
  ApplySavedPieces(game, s.m_board);
  m_game.m_playTimer.Start(game.playTime);
  if (s.m_board.m_completion >= 100.0f) m_game.m_playTimer.Pause();
  if (game.hasCamera) {
    CKVRCamera& c = s.m_viewCamera;
    c.m_eye = FromSaved(game.camera.eye);
    c.m_direction = FromSaved(game.camera.direction);
    c.m_up = FromSaved(game.camera.up);
    c.m_right = FromSaved(game.camera.right);
    c.UpdateView();
  }
  s.m_currentFile = file;
  m_game.SetScreen(kScreenPlay);
  // A puzzle without a usable camera opens with the fly-in, as a new one does.
  if (m_game.IsPlayScreenCurrent()) m_game.PlayScreen()->ResetPlayView(!game.hasCamera);
  m_game.ShowStatusMessage(LoadResString(IDS_PUZZLE_LOADED), kStatusSeconds);
}
