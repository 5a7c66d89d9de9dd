#pragma once
// The game object: the one CPuzzleGame, g_Game. It owns the screens (the
// start screen by value; the play screen and the icon bar plug into their
// slots), the current puzzle's settings and board, the start-up camera, the
// three shared fonts, the play timer, the fading status band and the FPS
// display. It never opens a dialog or handles a window message: whatever a
// screen or the bar wants done is posted to the host as a menu command.
//
// Time is NowSeconds() (platform/clock.h) throughout.
//
// Sections: settings - screen types - game object - global
#include <string>

#include "engine/camera.h"
#include "engine/draw_resources.h"
#include "engine/timer.h"
#include "game/puzzle_choice.h"
#include "game/screens/start_screen.h"
#include "puzzle/puzzle_board.h"
#include "support/init_result.h"

// ---- settings --------------------------------------------------------------------------
// The current puzzle: the player's choice it was made from, its picture,
// seed, board and view.
struct PuzzleSettings : PuzzleChoice {
  PuzzleSettings();
  // The choice part, and back.
  PuzzleChoice Choice() const { return *this; }
  void SetChoice(const PuzzleChoice& choice) { static_cast<PuzzleChoice&>(*this) = choice; }

  CKVRTexture m_pictureTexture;
  std::int32_t m_seed = 0;
  CPuzzleBoard m_board;
  CKVRCamera m_viewCamera;
  std::string m_currentFile;  // the saved game the puzzle came from; "" for a new one
};

// ---- screen types ------------------------------------------------------------------------
enum ScreenType : std::int32_t {
  kScreenNone = 0,
  kScreenStarting = 1,
  kScreenStart = 2,
  kScreenPlay = 3,
};

// Text of the FPS display for a rate ("FPS = %4.0f").
std::string FormatFPS(double fps);

// ---- game object ---------------------------------------------------------------------------
class CPuzzleGame {
 public:
  static constexpr int kFontCount = 3;
  // Top-bar commands 1..7 and the menu command each one posts.
  static UINT TopBarMenuCommand(int barCommand);

  CPuzzleGame();
  ~CPuzzleGame();
  CPuzzleGame(const CPuzzleGame&) = delete;
  CPuzzleGame& operator=(const CPuzzleGame&) = delete;

  // Plugs the play screen and the icon bar in (not owned; null empties the
  // slot). Only before Init or after Shutdown.
  void SetPlayScreen(IPlayScreen* screen) { m_playScreen = screen; }
  void SetTopBar(ITopBar* bar) { m_topBar = bar; }
  IPlayScreen* PlayScreen() const { return m_playScreen; }
  ITopBar* TopBar() const { return m_topBar; }

  // Device, input, sound, fonts, default picture, bar, band, start screen.
  // A failing step shuts down again and answers its result.
  InitResult Init();
  // Releases whatever Init made; skips what was never made.
  void Shutdown();
  // One frame, in this order: the polled input is read (g_Input.Read, the
  // frame's only read); the icon bar's Update turns a press on an icon into
  // the frame's bar command (m_barCommand; skipped while the camera moves);
  // the current screen's Update dispatches the mouse to it
  // (CGUIInterface::DispatchMouseInput: presses and releases at their own
  // places, after OnPointerAt there, in the order they happened relative
  // to the frame's motion); then drawing, not when the bar issued a
  // command.
  void RunFrame();
  // Draws one frame without updating anything. When the device ran out of
  // memory drawing the play screen, posts ID_PUZZLE_TOO_LARGE (once per
  // puzzle).
  void Render();
  // FPS text, status band, end of scene and present.
  void EndFrame();
  void SetScreen(ScreenType type);
  // A band with the text fading out over the seconds (0 or less: gone at once).
  void ShowStatusMessage(const std::string& text, float seconds);
  void RotateSelection(int direction);
  // Shows or hides the command helper, storing nothing (F6 stores it).
  void SetCommandHelperVisible(bool visible);
  bool LoadPuzzleSettings();
  void SavePuzzleSettings();
  bool ChooseDefaultPicture();
  // A new board from m_settings. On failure (the picture does not load or
  // the board cannot be made) the puzzle on the table keeps its picture,
  // board and settings, unless the device ran out of memory while making
  // the board (OutOfMemoryCount grew): then it has none, and the caller
  // drops the puzzle.
  bool CreatePuzzle(PuzzleSettings& settings);
  // The puzzle of a saved game: the choice into m_settings and a board made
  // from it with the given seed and an already loaded picture, which takes
  // the current picture's place (the old one is left in `picture`). Pieces
  // stay at home, the play timer is not touched. On failure the puzzle on
  // the table keeps its picture, board and settings, as for CreatePuzzle.
  bool RestorePuzzle(const PuzzleChoice& choice, int seed, CKVRTexture& picture);
  // Gives up the puzzle memory could not hold (making or drawing it): board
  // and picture released, play time stopped and kept so, the start screen
  // current.
  void DropPuzzle();
  void CreateFonts();
  void ReleaseDeviceObjects();
  void PausePlayTime();
  // Only while the puzzle is not complete, and not after DropPuzzle until
  // the next board is made.
  void ResumePlayTime();
  // The play time around a minimised window: pause without looking at the
  // completion; resume as ResumePlayTime, only for a running puzzle.
  void PauseForMinimise();
  void ResumeAfterMinimise();

  bool IsPlayScreenCurrent() const { return m_screenType == kScreenPlay && m_currentScreen; }

  CKVRCamera m_camera;
  CKVRFont m_fonts[kFontCount];
  PuzzleSettings m_settings;
  bool m_puzzleRunning = false;
  CKVRTimer m_playTimer;
  ScreenType m_screenType = kScreenNone;
  CGUIInterface* m_currentScreen = nullptr;
  CGUIInterfaceStartMenu m_startScreen;
  CKVRTransition m_statusTransition;
  std::string m_statusText;
  CKVRSprite m_rectSprite;
  CKVRTexture m_rectTexture;
  bool m_showFPS = false;
  bool m_showCommandHelper = false;
  // The bar command of the current frame (0 when the bar issued none); the
  // play screen ignores a press in such a frame.
  int m_barCommand = 0;

 private:
  void SwitchToNoScreen(ScreenType type);
  // A board from settings with the seed; picture swaps in on success. On
  // failure the board, its levels and the picture stay as they were.
  bool MakeBoard(PuzzleSettings& settings, CKVRTexture& picture, int seed);

  IPlayScreen* m_playScreen = nullptr;
  ITopBar* m_topBar = nullptr;
  bool m_topBarActive = false;
  bool m_hasPuzzle = false;       // a board was made; m_lastChoice holds its choices
  bool m_tooLargePosted = false;  // ID_PUZZLE_TOO_LARGE posted for the puzzle on the table
  bool m_dropped = false;         // DropPuzzle gave the last puzzle up
  PuzzleChoice m_lastChoice;
};

// ---- global ----------------------------------------------------------------------------------
extern CPuzzleGame* g_Game;
