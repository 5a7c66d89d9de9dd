#include "game/app/game_app.h"

#include <QApplication>
#include <memory>

#include "game/app/connected_dialogs.h"
#include "game/app/main_frame.h"
#include "game/app/single_instance.h"
#include "game/app/window_placement.h"
#include "game/frame_commands.h"
#include "game/game_profile.h"
#include "game/game_text_ids.h"
#include "game/puzzle_game.h"
#include "game/saves/save_commands.h"
#include "game/screens/play_screen.h"
#include "game/screens/top_bar.h"
#include "platform/address_limit.h"
#include "platform/d3d9/gl/gl_device.h"
#include "platform/data_file.h"
#include "platform/shell.h"
#include "platform/toolkit_scale.h"
#include "support/string_table.h"
#include "support/support.h"

namespace {
// Whether this start goes on: false when another game runs (it was raised,
// or the player was told it does not respond).
bool PassSingleInstanceGuard(SingleInstance& guard) {
  switch (guard.Start()) {
    case InstanceCheck::kAlone: return true;
    case InstanceCheck::kShownRunning: return false;  // the running game comes to the front instead
    case InstanceCheck::kNotResponding:
      Shell().MessageBox(LoadResString(IDS_GAME_NOT_RESPONDING), LoadResString(IDS_APP_NAME),
                         MB_OK | MB_ICONWARNING);
      return false;
    case InstanceCheck::kFolderRefused:
      // Ending here would let whoever made the folder keep the player out.
      Shell().MessageBox(
          FormatString(LoadResString(IDS_INSTANCE_FOLDER_REFUSED).c_str(), guard.Folder().c_str()),
          LoadResString(IDS_APP_NAME), MB_OK | MB_ICONWARNING);
      return true;
  }
  return true;
}
}  // namespace

int RunRavelleGame(int argc, char** argv) {
  KeepWithinAddressLimit();
  IgnoreFileSizeSignal();
  DropUnusableToolkitScale("RavelleGame");
  QApplication app(argc, argv);
  SetBuiltInStrings(&GameStrings());
  // Without an installation there is nothing to read: say where we looked.
  if (const std::string missing = MissingInstallationMessage(); !missing.empty()) {
    Shell().MessageBox(missing, LoadResString(IDS_APP_NAME), MB_OK | MB_ICONERROR);
    return 1;
  }
  CFrameCommands::LoadLanguage(CFrameCommands::StoredLanguage());
  SetDirect3DFactory([] { return Direct3DCreate9GL(); });
  SingleInstance guard;
  if (!PassSingleInstanceGuard(guard)) return 0;

  CConnectedGameDialogs dialogs;
  auto game = std::make_unique<CPuzzleGame>();
  g_Game = game.get();
  CGUIInterfacePlayPuzzle playScreen;
  CPlayPuzzleTopMenuBar topBar;
  game->SetPlayScreen(&playScreen);
  game->SetTopBar(&topBar);
  QtFileChooser fileChooser;
  CSavedGames savedGames(*game, fileChooser);
  int exitCode = 1;
  {
    CMainFrame frame(*game, dialogs, savedGames);
    dialogs.SetParent(&frame);
    fileChooser.SetParent(&frame);
    if (frame.LoadFrame()) {
      guard.SetHandlers([&frame] { return frame.OnCheckAppValidity(); },
                        [&frame] { frame.OnShowMainWindow(); });
      // The main window first, so that what the start opens comes up above it.
      ShowMaximisedOnScreen(frame, QSize(CMainFrame::kMinClientWidth, CMainFrame::kMinClientHeight));
      const InitResult started = frame.StartGame();
      if (started.success) {
        exitCode = app.exec();
        game->Shutdown();  // closing did this already, unless the loop ended another way
      } else {
        frame.hide();
        Shell().MessageBox(
            FormatString(LoadResString(IDS_ENGINE_INIT_FAILED).c_str(), started.message.c_str()),
            LoadResString(IDS_APP_NAME), MB_OK);
      }
    }
  }
  g_Game = nullptr;
  return exitCode;
}
