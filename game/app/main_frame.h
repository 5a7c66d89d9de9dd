#pragma once
// The game's only top-level window: the menu bar (five popups, texts of the
// current language), the accelerators, the 3D view over the whole client
// area, and the frame driver. Every command, whatever its source, goes
// through the frame's CFrameCommands; keys for piece actions go to them
// first and then on to the accelerators. The client area is at least
// 750 x 500; a resize reaches the engine through CKVREngine::Resize;
// closing shuts the game down.
//
// The window is also the game object's host (IGameHost) and the commands'
// window (IFrameWindow).
//
// Sections: view - frame
#include <QMainWindow>
#include <memory>
#include <vector>

#include "game/frame_commands.h"
#include "game/frame_driver.h"
#include "game/game_host.h"
#include "platform/d3d9/gl/gl_host_widget.h"

class QShortcut;

// ---- view --------------------------------------------------------------------------------
// The client window: draws nothing itself; Tab does not move the focus
// away from it (the play screen reads Tab).
class CChildView : public GLHostWidget {
  Q_OBJECT
 public:
  using GLHostWidget::GLHostWidget;

 protected:
  bool focusNextPrevChild(bool) override { return false; }
};

// ---- frame --------------------------------------------------------------------------------
class CMainFrame : public QMainWindow, public IFrameWindow, public IGameHost {
  Q_OBJECT
 public:
  static constexpr int kMinClientWidth = 750;
  static constexpr int kMinClientHeight = 500;

  CMainFrame(CPuzzleGame& game, IGameDialogs& dialogs, ISavedGames& saved);
  ~CMainFrame() override;

  // The window, its view, the stored language (menus, accelerators) and the
  // title. false when the window could not be made.
  bool LoadFrame();
  // The automatic update check when due, the game's start-up, the first
  // tutorial. Frames run from here on.
  InitResult StartGame();
  // A second instance's query and wake-up.
  int OnCheckAppValidity() const { return 8888; }
  void OnShowMainWindow();

  // Menus and accelerators come here; a command arriving inside a frame
  // waits for the frame's end.
  void RunCommand(UINT id);
  CFrameCommands& Commands() { return m_commands; }
  FrameDriver& Driver() { return m_driver; }
  CChildView* View() const { return m_view; }
  bool Initialised() const { return m_initialised; }

  // IFrameWindow
  void CloseWindow() override { close(); }
  bool IsFullScreen() const override { return m_fullScreen; }
  void SetFullScreen(bool on) override;
  void ReloadMenus() override;
  void SetWaitCursor(bool on) override;

  // IGameHost
  HWND DeviceWindow() override { return m_view; }
  bool CreateInput() override;
  bool CreateSound() override;
  POINT CursorPos() override;
  void PostCommand(UINT id) override { m_driver.Post(id); }
  void MinimizeWindow() override { showMinimized(); }
  int ShowCursor(bool show) override;
  void SetCursorPos(POINT layout) override;
  int WheelScrollLines() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildMenuBar();
  void BuildAccelerators();
  void UpdateMenu(QMenu* menu);
  void OnSize();

  CPuzzleGame& m_game;
  IGameDialogs& m_dialogs;
  CChildView* m_view = nullptr;
  CFrameCommands m_commands;
  FrameDriver m_driver;
  std::vector<QShortcut*> m_accelerators;
  bool m_fullScreen = false;
  Qt::WindowStates m_savedState;
  QRect m_savedGeometry;
  bool m_initialised = false;
  int m_cursorCount = 0;  // the cursor shows while this is 0 or more
};
