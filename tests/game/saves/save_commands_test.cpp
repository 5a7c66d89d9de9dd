// Save Puzzle and Load Saved Puzzle on the game object: a played game saved
// and loaded into a fresh game, loading over a running puzzle, saving twice,
// refused files and failed saves, each of which leaves the game as it was.
#include "game/saves/save_commands.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QApplication>
#include <QFileDialog>
#include <QImage>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "demo_picture.h"
#include "game/command_ids.h"
#include "game/frame_commands.h"
#include "game/game_text_ids.h"
#include "platform/d3d9/d3d9_resources.h"
#include "platform/data_file.h"
#include "platform/shell.h"
#include "support/string_table.h"
#include "support/support.h"
#include "tests/game/play_fixture.h"
#include "tests/game/saves/saves_fixture.h"

namespace {

class ScriptedChooser : public IFileChooser {
 public:
  std::string ChooseSaveFile(const std::string& title, const std::string& folder,
                             const std::string&) override {
    m_calls.push_back({title, folder});
    return m_answer;
  }
  std::string ChooseOpenFile(const std::string& title, const std::string& folder,
                             const std::string&) override {
    m_calls.push_back({title, folder});
    return m_answer;
  }
  struct Call {
    std::string title, folder;
  };
  std::vector<Call> m_calls;
  std::string m_answer;
};

// Notes whether each new view of a puzzle kept its stored view (no fly-in).
class NamingPlayScreen : public FakePlayScreen {
 public:
  void ResetPlayView(bool flyIn) override {
    FakePlayScreen::ResetPlayView(flyIn);
    m_namedAtReset.push_back(!flyIn);
  }
  std::vector<bool> m_namedAtReset;
};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class SavedGamesTest : public SavedPuzzleTest {
 protected:
  void SetUp() override {
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(m_dir.MakeFolder("data")));
    SavedPuzzleTest::SetUp();
  }
  void PlugScreens() override { m_game->SetPlayScreen(&m_screen); }
  void TearDown() override {
    qunsetenv("XDG_DATA_HOME");
    SavedPuzzleTest::TearDown();
  }
  // The play screen current, as after a new puzzle.
  void ShowPlayScreen() {
    m_game->SetScreen(kScreenPlay);
    m_screen.ResetPlayView(true);
  }
  // A fresh game object on a new device, on its start screen.
  void FreshGame() {
    m_game->Shutdown();
    m_game = std::make_unique<CPuzzleGame>();
    g_Game = m_game.get();
    PlugScreens();
    StartGame();
    m_saved = std::make_unique<CSavedGames>(*m_game, m_chooser);
  }
  CSavedGames& Saved() {
    if (!m_saved) m_saved = std::make_unique<CSavedGames>(*m_game, m_chooser);
    return *m_saved;
  }
  // Saves the game on the table to a new file of that name in m_dir.
  std::string SaveAs(const std::string& name) {
    m_chooser.m_answer = m_dir / name;
    m_game->m_settings.m_currentFile.clear();
    Saved().Save();
    return m_game->m_settings.m_currentFile;
  }
  // What a refused load or save must leave alone.
  struct Snapshot {
    SavedGame record;
    std::string file;
    std::string picture;
    IDirect3DTexture9* texture;
    ScreenType screen;
    bool timerRunning;
  };
  Snapshot Take() {
    const PuzzleSettings& s = m_game->m_settings;
    return Snapshot{Saved().Capture(),    s.m_currentFile,
                    s.picturePath,        s.m_pictureTexture.m_d3dTexture,
                    m_game->m_screenType, m_game->m_playTimer.m_running};
  }
  void ExpectUnchanged(const Snapshot& before) {
    const Snapshot now = Take();
    EXPECT_EQ(now.record, before.record);
    EXPECT_EQ(now.file, before.file);
    EXPECT_EQ(now.picture, before.picture);
    EXPECT_EQ(now.texture, before.texture);
    EXPECT_EQ(now.screen, before.screen);
    EXPECT_EQ(now.timerRunning, before.timerRunning);
    EXPECT_EQ(m_game->m_settings.m_board.m_imageTexture, &m_game->m_settings.m_pictureTexture);
  }

  ScopedRecordingShell m_shell;
  ScriptedChooser m_chooser;
  NamingPlayScreen m_screen;
  std::unique_ptr<CSavedGames> m_saved;
};

}  // namespace

TEST_F(SavedGamesTest, APlayedGameComesBackInAFreshGame) {
  ShowPlayScreen();
  Play(Board());
  m_game->m_playTimer.Start(754.25);
  CKVRCamera& camera = m_game->m_settings.m_viewCamera;
  camera.SetEye(12.5f, -310.25f, 420.0f);
  camera.LookAt(30.0f, 40.0f, 0.0f);
  m_chooser.m_answer = m_dir / "evening";  // no extension typed
  Saved().Save();

  // Into a new folder of the player's data, with the dialog's title.
  ASSERT_EQ(m_chooser.m_calls.size(), 1u);
  EXPECT_EQ(m_chooser.m_calls[0].title, "Save Puzzle");
  EXPECT_EQ(m_chooser.m_calls[0].folder, m_dir / "data/Halvorn/RavelleGame/SavedPuzzles");
  EXPECT_TRUE(std::filesystem::is_directory(m_chooser.m_calls[0].folder));
  const std::string file = m_dir / "evening.rvpuzzle";
  EXPECT_EQ(m_game->m_settings.m_currentFile, file);
  EXPECT_EQ(m_game->m_statusText, "Puzzle saved: evening.rvpuzzle");
  EXPECT_TRUE(m_shell.boxes.empty());
  const SavedGame saved = Saved().Capture();
  const float completion = Board().m_completion;
  const D3DXMATRIX view = camera.m_view;

  FreshGame();
  m_chooser.m_answer = file;
  Saved().Load();
  EXPECT_TRUE(m_shell.boxes.empty());
  EXPECT_EQ(Saved().Capture(), saved);  // pieces, picture, grid, seed, time, camera
  EXPECT_EQ(Board().m_completion, completion);
  EXPECT_EQ(m_game->m_settings.m_viewCamera.m_view, view);
  EXPECT_EQ(m_game->m_settings.m_currentFile, file);
  EXPECT_EQ(m_game->m_screenType, kScreenPlay);
  EXPECT_TRUE(m_game->m_puzzleRunning);
  EXPECT_EQ(m_screen.m_namedAtReset, (std::vector<bool>{false, true}));  // no fly-in this time
  m_clock.Advance(2.0);
  EXPECT_EQ(m_game->m_playTimer.GetElapsed(), 756.25);
  EXPECT_EQ(m_game->m_statusText, "Puzzle loaded");
  // Play goes on: the next drop joins.
  EXPECT_EQ(DropNextTo(Board(), 2, 1, 1.0f, 1.0f), kGroupsJoined);
}

TEST_F(SavedGamesTest, SavingTwiceOverwritesAndLoadingReplacesTheTable) {
  ShowPlayScreen();
  const std::string file = SaveAs("twice.rvpuzzle");
  ASSERT_FALSE(file.empty());
  Board().m_pieces[7].SetPosition(D3DXVECTOR3{111.0f, 222.0f, 0.0f});
  Saved().Save();
  EXPECT_EQ(m_chooser.m_calls.size(), 1u);  // the current file, no dialog
  SavedGame onDisk;
  ASSERT_EQ(ReadSavedGame(ReadFile(file), onDisk).status, SavedGameStatus::kOk);
  EXPECT_EQ(onDisk.pieces[7].position, (SavedVector{111.0f, 222.0f, 0.0f}));
  const SavedGame saved = Saved().Capture();

  // A new puzzle of another size on the table, then the file loaded over it.
  PuzzleSettings& s = m_game->m_settings;
  s.columns = s.rows = 3;
  ASSERT_TRUE(m_game->CreatePuzzle(s));
  EXPECT_TRUE(s.m_currentFile.empty());
  ASSERT_TRUE(Saved().LoadFrom(file));
  EXPECT_EQ(Saved().Capture(), saved);
  EXPECT_EQ(s.columns, 6);
  EXPECT_EQ(s.PieceCount(), 30);

  // A file whose camera cannot be used opens with the fly-in.
  std::string text = ReadFile(file);
  text.replace(text.find("\"eye\": ["), 8, "\"eye\": [null, ");
  const std::string noCamera = m_dir.WriteFile("no camera.rvpuzzle", text);
  ASSERT_TRUE(Saved().LoadFrom(noCamera));
  EXPECT_EQ(m_screen.m_namedAtReset, (std::vector<bool>{false, true, false}));
  EXPECT_EQ(s.m_currentFile, noCamera);
}

TEST_F(SavedGamesTest, ACompletePuzzleLoadsWithItsTimeStopped) {
  ShowPlayScreen();
  SavedGame g = Saved().Capture();
  for (SavedPiece& p : g.pieces) {  // every piece home and joined
    p.turns = 0;
    const D3DXVECTOR3& home = Board().m_pieces[size_t(p.id - 1)].m_homePosition;
    p.position = SavedVector{home.x, home.y, 0.0f};
    for (int side = 0; side < 4; ++side) p.joined[side] = SavedNeighbourIndex(p.id - 1, side, 6, 5) >= 0;
  }
  g.playTime = 99.5;
  const std::string file = m_dir.WriteFile("done.rvpuzzle", WriteSavedGame(g));
  m_chooser.m_answer = file;
  Saved().Load();  // between the command's pause and resume
  EXPECT_EQ(Board().m_completion, 100.0f);
  EXPECT_FALSE(m_game->m_playTimer.m_running);
  EXPECT_EQ(m_game->m_playTimer.GetElapsed(), 99.5);
}

TEST_F(SavedGamesTest, ARefusedFileShowsItsBoxAndLeavesTheGameAlone) {
  ShowPlayScreen();
  Play(Board());
  const std::string good = ReadFile(SaveAs("good.rvpuzzle"));
  ASSERT_FALSE(good.empty());
  const SavedGame record = Saved().Capture();
  auto edited = [&](const std::string& from, const std::string& to) {
    std::string text = good;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  auto withPicture = [&](const std::string& path, int width) {
    SavedGame g = record;
    g.picturePath = path;
    g.sampleName.clear();
    g.pictureWidth = width;
    return WriteSavedGame(g);
  };
  const std::string damaged =
      "The file could not be loaded. It is damaged or is not a saved puzzle of this game.";
  const std::string newer =
      "This puzzle was saved by a newer version of the game and cannot be loaded by this one.";
  const std::string otherSize = m_dir / "other size.png";
  QImage(40, 30, QImage::Format_RGB32).save(QString::fromStdString(otherSize));
  const struct {
    const char* label;
    std::string text;
    std::string box;
  } cases[] = {
      {"truncated file", good.substr(0, good.size() - 40), damaged},
      {"wrong tag", edited("RavelleGame saved puzzle", "Brindle scene"), damaged},
      {"version 2", edited("\"version\": 1", "\"version\": 2"), newer},
      {"layer 9", edited("\"layer\": 0", "\"layer\": 9"), damaged},
      {"a 5 MiB file", std::string(5 * 1024 * 1024, ' ') + good, damaged},
      {"a picture of another size", withPicture(otherSize, 40),
       "The picture of the saved puzzle is missing, cannot be read or has changed:\n" + otherSize},
      {"a missing picture", withPicture(m_dir / "gone.png", record.pictureWidth),
       "The picture of the saved puzzle is missing, cannot be read or has changed:\n" + (m_dir / "gone.png")},
  };
  m_game->m_settings.m_currentFile = "the table's own.rvpuzzle";
  const Snapshot before = Take();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    m_shell.boxes.clear();
    m_chooser.m_answer = m_dir.WriteFile("bad.rvpuzzle", c.text);
    Saved().Load();
    ASSERT_EQ(m_shell.boxes.size(), 1u);
    EXPECT_EQ(m_shell.boxes[0].text, c.box);
    EXPECT_EQ(m_shell.boxes[0].caption, "Error");
    EXPECT_EQ(m_shell.boxes[0].flags, MB_ICONERROR);
    ExpectUnchanged(before);
  }
  // A pipe (no writer ever comes), a device and a folder are no saved
  // puzzles: refused at once, the table untouched.
  const std::string pipe = m_dir / "pipe.rvpuzzle";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  for (const std::string& path : {pipe, std::string("/dev/zero"), m_dir.path()}) {
    SCOPED_TRACE(path);
    m_shell.boxes.clear();
    EXPECT_FALSE(Saved().LoadFrom(path));
    ASSERT_EQ(m_shell.boxes.size(), 1u);
    EXPECT_EQ(m_shell.boxes[0].text, damaged);
    ExpectUnchanged(before);
  }
  // Files that cannot be read at all name the reason.
  for (const std::string& path : {m_dir / "vanished.rvpuzzle"}) {
    SCOPED_TRACE(path);
    m_shell.boxes.clear();
    EXPECT_FALSE(Saved().LoadFrom(path));
    ASSERT_EQ(m_shell.boxes.size(), 1u);
    EXPECT_EQ(m_shell.boxes[0].text.rfind("The file could not be opened:\n" + path + "\n\n", 0), 0u);
    EXPECT_GT(m_shell.boxes[0].text.size(), path.size() + 32);  // with a reason
    ExpectUnchanged(before);
  }
  EXPECT_EQ(m_screen.m_namedAtReset.size(), 1u);  // never shown again

  // The box in French.
  ASSERT_TRUE(LoadLanguageStrings(GetInstallDir() + "/LanguageFrench/RavelleGame.strings"));
  m_shell.boxes.clear();
  m_chooser.m_answer = m_dir.WriteFile("bad.rvpuzzle", "{}");
  Saved().Load();
  ASSERT_EQ(m_shell.boxes.size(), 1u);
  EXPECT_EQ(m_shell.boxes[0].text,
            "Le fichier n'a pas pu être chargé. Il est endommagé ou ce n'est pas un casse-tête sauvegardé de "
            "ce jeu.");
}

// A saved game memory cannot hold, wherever in its load memory runs out
// (its picture, the edge texture, the pieces' buffers): one box says so,
// the table is given up for the start screen with the play time stopped,
// and the same file loads once memory is there.
TEST_F(SavedGamesTest, ASavedGameMemoryCannotHoldShowsOneBoxAndTheStartScreen) {
  ShowPlayScreen();
  const std::string file = SaveAs("large.rvpuzzle");
  ASSERT_FALSE(file.empty());
  const SavedGame saved = Saved().Capture();
  long long allocations = 0;
  {
    const ScopedAllocationFailure counting(-1);
    ASSERT_TRUE(Saved().LoadFrom(file));
    allocations = counting.Count();
  }
  ASSERT_GE(allocations, 3);
  for (long long n : testkit::FirstMiddleAndLast(allocations, 6)) {
    SCOPED_TRACE(n);
    ShowPlayScreen();
    m_game->m_playTimer.Start(0.0);
    m_shell.boxes.clear();
    {
      const ScopedAllocationFailure failing(n, true);
      EXPECT_FALSE(Saved().LoadFrom(file));
    }
    ASSERT_EQ(m_shell.boxes.size(), 1u);
    EXPECT_EQ(m_shell.boxes[0].text,
              "There is not enough memory for a puzzle of this size.  Choose fewer pieces, or close other "
              "programs, and try again.");
    EXPECT_EQ(m_game->m_screenType, kScreenStart);
    EXPECT_FALSE(m_game->m_playTimer.m_running);
    EXPECT_TRUE(Board().m_pieces.empty());
    EXPECT_EQ(m_game->m_settings.m_pictureTexture.m_d3dTexture, nullptr);
    EXPECT_TRUE(m_game->m_settings.m_currentFile.empty());
    m_script.m_unexpectedFailures.clear();  // the device's answers that memory ran out
    ASSERT_TRUE(Saved().LoadFrom(file));
    EXPECT_EQ(Saved().Capture(), saved);
  }
}

TEST_F(SavedGamesTest, AFailedSaveKeepsTheOldFileAndTheCurrentName) {
  ShowPlayScreen();
  const std::string file = SaveAs("kept.rvpuzzle");
  const std::string old = ReadFile(file);
  Board().m_pieces[3].SetPosition(D3DXVECTOR3{-50.0f, 60.0f, 0.0f});

  // The disk fills up while the new file is written.
  m_shell.boxes.clear();
  IgnoreFileSizeSignal();  // as both programs do at start-up
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  const rlimit saved = limit;
  limit.rlim_cur = 512;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  EXPECT_FALSE(Saved().SaveTo(file));
  setrlimit(RLIMIT_FSIZE, &saved);
  ASSERT_EQ(m_shell.boxes.size(), 1u);
  EXPECT_EQ(m_shell.boxes[0].text, "The puzzle could not be saved to\n" + file + "\n\nFile too large");
  EXPECT_EQ(ReadFile(file), old);
  for (const auto& entry : std::filesystem::directory_iterator(m_dir.path()))  // no temporary file left
    EXPECT_NE(entry.path().filename().string().rfind("kept.rvpuzzle.", 0), 0u) << entry.path();

  // A folder the player may not write to (root may write anywhere).
  const std::string locked = m_dir.MakeFolder("locked");
  const std::string lockedFile = locked + "/old.rvpuzzle";
  std::filesystem::copy_file(file, lockedFile);
  std::filesystem::permissions(locked,
                               std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  if (geteuid() != 0) {
    m_shell.boxes.clear();
    m_game->m_settings.m_currentFile = lockedFile;
    Saved().Save();
    EXPECT_EQ(m_shell.boxes.size(), 1u);
    EXPECT_EQ(ReadFile(lockedFile), old);
    EXPECT_EQ(m_game->m_settings.m_currentFile, lockedFile);
  }
  std::filesystem::permissions(locked, std::filesystem::perms::owner_all);

  // Over a pipe, a device or a folder nothing is written: the save says so and
  // each stays what it was (a rename would have put a regular file there).
  std::vector<std::string> targets = {m_dir / "pipe.rvpuzzle", m_dir.MakeFolder("folder.rvpuzzle")};
  ASSERT_EQ(::mkfifo(targets[0].c_str(), 0600), 0);
  if (geteuid() == 0 && ::mknod((m_dir / "null.rvpuzzle").c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0)
    targets.push_back(m_dir / "null.rvpuzzle");
  m_game->m_settings.m_currentFile = file;
  for (const std::string& target : targets) {
    SCOPED_TRACE(target);
    const auto type = std::filesystem::symlink_status(target).type();
    m_shell.boxes.clear();
    EXPECT_FALSE(Saved().SaveTo(target));
    ASSERT_EQ(m_shell.boxes.size(), 1u);
    EXPECT_EQ(m_shell.boxes[0].text,
              "The puzzle could not be saved to\n" + target +
                  "\n\nIt is not a regular file (a pipe, a device or a folder); the game "
                  "does not write over it.");
    EXPECT_EQ(std::filesystem::symlink_status(target).type(), type);
    EXPECT_EQ(m_game->m_settings.m_currentFile, file);
  }
}

// A clock far beyond any real game still saves a file that loads again.
TEST_F(SavedGamesTest, APlayTimeBeyondTheBoundSavesAsTheBound) {
  ShowPlayScreen();
  m_game->m_playTimer.Start(3e9);
  m_game->m_playTimer.Pause();
  const std::string file = SaveAs("old.rvpuzzle");
  ASSERT_FALSE(file.empty());
  EXPECT_EQ(Saved().Capture().playTime, kMaxSavedPlayTime);
  m_shell.boxes.clear();
  ASSERT_TRUE(Saved().LoadFrom(file));
  EXPECT_TRUE(m_shell.boxes.empty());
  EXPECT_NEAR(m_game->m_playTimer.GetElapsed(), kMaxSavedPlayTime, 1.0);
}

TEST_F(SavedGamesTest, CancelledDialogsChangeNothing) {
  ShowPlayScreen();
  const Snapshot before = Take();
  m_chooser.m_answer.clear();
  Saved().Save();
  Saved().Load();
  EXPECT_EQ(m_chooser.m_calls.size(), 2u);
  EXPECT_EQ(m_chooser.m_calls[1].title, "Load Saved Puzzle");
  EXPECT_TRUE(m_shell.boxes.empty());
  ExpectUnchanged(before);
}

// ---- on the real play screen ---------------------------------------------------------------
namespace {
class SavedGamesOnPlayScreen : public PlayTest {
 protected:
  void NewSamplePuzzle(int columns, int rows) {
    PuzzleSettings& s = m_game->m_settings;
    s.columns = columns;
    s.rows = rows;
    s.rotatePieces = true;
    ASSERT_TRUE(m_game->CreatePuzzle(s));
    m_game->SetScreen(kScreenPlay);
    m_screen.ResetPlayView(true);
  }
  ScopedRecordingShell m_shell;
  ScriptedChooser m_chooser;
};
}  // namespace

TEST_F(SavedGamesOnPlayScreen, ALoadedViewStaysWhereItWasSavedEvenDuringAFlyIn) {
  CSavedGames saved(*m_game, m_chooser);
  NewSamplePuzzle(6, 5);
  m_clock.Advance(4.5);
  Frame();  // the fly-in is over
  CKVRCamera& camera = m_game->m_settings.m_viewCamera;
  camera.SetEye(-40.0f, -260.0f, 350.0f);
  camera.LookAt(10.0f, 20.0f, 0.0f);
  camera.UpdateView();
  const std::string file = m_dir / "view.rvpuzzle";
  ASSERT_TRUE(saved.SaveTo(file));
  const D3DXVECTOR3 eye = camera.m_eye, direction = camera.m_direction, up = camera.m_up;

  NewSamplePuzzle(3, 3);  // a new puzzle flying in
  m_clock.Advance(1.0);
  Frame();
  ASSERT_TRUE(saved.LoadFrom(file));
  for (int frame = 0; frame < 3; ++frame) {
    m_clock.Advance(1.0);
    Frame();
    EXPECT_EQ(camera.m_eye, eye);
    EXPECT_EQ(camera.m_direction, direction);
    EXPECT_EQ(camera.m_up, up);
  }
  EXPECT_EQ(m_game->m_settings.m_board.m_pieceCount, 30);
  EXPECT_TRUE(m_game->m_puzzleRunning);
  EXPECT_TRUE(m_shell.boxes.empty());
  EXPECT_GT(m_script.m_log.Count("DrawIndexedPrimitive"), 0);  // the loaded board is drawn
}

TEST_F(SavedGamesTest, TheMenuCommandsSaveAndLoad) {
  ShowPlayScreen();
  NoFrameWindow window;
  UnconnectedGameDialogs dialogs;
  CFrameCommands commands(*m_game, window, dialogs, Saved());
  m_chooser.m_answer = m_dir / "by command";
  ASSERT_TRUE(commands.Dispatch(ID_SAVE_PUZZLE));
  EXPECT_TRUE(std::filesystem::exists(m_dir / "by command.rvpuzzle"));
  const SavedGame saved = Saved().Capture();

  ASSERT_TRUE(commands.Dispatch(ID_SHOW_START_SCREEN));
  EXPECT_FALSE(commands.Router().IsEnabled(ID_SAVE_PUZZLE));  // nothing to save
  m_chooser.m_answer = m_dir / "by command.rvpuzzle";
  ASSERT_TRUE(commands.Dispatch(ID_LOAD_PUZZLE));
  EXPECT_EQ(Saved().Capture(), saved);
  EXPECT_EQ(m_game->m_screenType, kScreenPlay);
  EXPECT_TRUE(commands.Router().IsEnabled(ID_SAVE_PUZZLE));
  EXPECT_TRUE(m_shell.boxes.empty());
}

// ---- the Qt file dialog --------------------------------------------------------------------
// Also writes the dialog to <build>/demo/dialogs/save_dialog.png.
TEST(SavedGamesDialog_Offscreen, TheSaveDialogAddsTheExtensionBeforeItChecksForAnOldFile) {
  testkit::TempDir dir;
  QtFileChooser chooser;
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Save Puzzle");
    dialog->selectFile("evening");
    EXPECT_TRUE(testkit::SaveDemoPicture(dialog->grab().toImage(), "dialogs", "save_dialog"));
    static_cast<QDialog*>(dialog)->accept();  // as the Save button does
  });
  EXPECT_EQ(chooser.ChooseSaveFile("Save Puzzle", dir.path(), "Saved puzzles (*.rvpuzzle)"),
            dir / "evening.rvpuzzle");
}
