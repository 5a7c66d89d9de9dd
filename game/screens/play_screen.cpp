// Sections: construction - lifecycle - frame - drawing - command helper and
// preview - state machine - cursor - free helpers
#include "game/screens/play_screen.h"

#include "engine/engine.h"
#include "game/game_host.h"
#include "game/game_profile.h"
#include "game/puzzle_game.h"
#include "game/screens/screen_kit.h"
#include "platform/input/input.h"
#include "puzzle/puzzle_board.h"
#include "sound/sound_manager.h"
#include "support/support.h"

namespace {
bool KeyDown(BYTE code) { return (g_Input.m_keys[code] & 0x80) != 0; }
bool ButtonDown(int button) { return (g_Input.m_mouseState.rgbButtons[button] & 0x80) != 0; }
bool MovingView(std::int32_t state) {
  return state == kPlayDraggingView || state == kPlayMovingView || state == kPlayBandingView;
}
}  // namespace

// ---- construction -------------------------------------------------------------------------
CGUIInterfacePlayPuzzle::CGUIInterfacePlayPuzzle() = default;
CGUIInterfacePlayPuzzle::~CGUIInterfacePlayPuzzle() = default;

CPuzzleBoard* CGUIInterfacePlayPuzzle::Board() { return g_Game ? &g_Game->m_settings.m_board : nullptr; }

// ---- lifecycle -------------------------------------------------------------------------------
void CGUIInterfacePlayPuzzle::Activate() {
  m_environment.Reload();
  if (g_Game) {
    m_camera = &g_Game->m_settings.m_viewCamera;
    m_camera->m_nearPlane = 1.0f;
    m_camera->m_farPlane = 128000.0f;
    m_camera->UpdateView();
    g_Engine.SetCamera(m_camera);
  }
  g_Engine.SetClearColor(0xFF204080);
  LoadTextureArt(m_selectionFillTexture, "PieceSelectionFill.png", 0);
  LoadTextureArt(m_selectionMarkTexture, "PieceSelectionMark.png", 0);
  m_connectSound.reset();
  if (g_SoundManager.m_initialized)
    g_SoundManager.CreateSound(m_connectSound, GetSoundsDir() + kPathSeparator + "ConnectPieces.wav",
                               GUID_NULL);

  SetSceneLight(m_light, D3DXVECTOR3(0.25f, 0.25f, -0.25f));

  m_commandHelper.Hide();
  if (ReadProfileBool(profile::kShowCommandHelper)) {
    m_commandHelper.Show();
    UpdateCommandHelperEntries();
  }
  m_selectionRect.Create(&m_selectionFillTexture);
  m_selectionRect.SetCorners(0, 0, 0, 0);
  m_hand.rubberBandActive = false;
}

void CGUIInterfacePlayPuzzle::Deactivate() {
  EndCameraMove();
  m_state = kPlayIdle;
  if (CPuzzleBoard* board = Board()) board->Clear();
  ForgetPieces();
  m_environment.m_plane.ReleaseBuffers();
  m_environment.m_tableTexture.Release();
  m_commandHelper.Hide();
  m_preview.Close();
  m_selectionFillTexture.Release();
  m_selectionMarkTexture.Release();
  m_connectSound.reset();
  m_selectionRect.m_quad.ReleaseBuffers();
}

void CGUIInterfacePlayPuzzle::ResetPlayView(bool flyIn) {
  EndCameraMove();
  CPuzzleBoard* board = Board();
  if (!board || !g_Game) return;
  board->UpdateCompletion();
  if (flyIn && m_camera) {
    const float half = static_cast<float>(board->m_height / 2);
    m_camera->SetEye(0.0f, -half, 2000.0f);
    m_camera->LookAt(0.0f, -half - 1.0f, 1.0f);
    StartCameraAnimation(4.0, true);
  } else {
    // A saved puzzle keeps its stored view: an animation still running from
    // the previous puzzle would carry it away.
    m_cameraAnimation.m_active = false;
  }
  for (CPuzzlePiece& piece : board->m_pieces) piece.m_highlight.m_texture = &m_selectionMarkTexture;
  const bool visible = m_preview.Visible();
  m_preview.Close();
  m_preview.Open(&g_Game->m_settings.m_pictureTexture);
  m_preview.SetVisible(visible);
  m_preview.ClampToScreen();
  ForgetPieces();
  UpdateCommandHelperEntries();
  m_ignoreNextMove = false;
  m_state = kPlayIdle;
  TakeButtonsAlreadyDown();
  g_Game->m_puzzleRunning = true;
}

void CGUIInterfacePlayPuzzle::ForgetPieces() {
  LetGo();
  m_hand.rubberBandActive = false;
  m_hand.selection.clear();
}

void CGUIInterfacePlayPuzzle::LoadEnvironment() { m_environment.Reload(); }

// ---- frame ----------------------------------------------------------------------------------
int CGUIInterfacePlayPuzzle::Update() {
  DispatchMouseInput();
  if (KeyDown(DIK_SPACE) && !m_cameraAnimation.m_active)
    StartCameraAnimation(0.75, KeyDown(DIK_LCONTROL) || KeyDown(DIK_RCONTROL));
  if (m_cameraAnimation.m_active) {
    UpdateCameraAnimation();
    if (m_cameraAnimation.GetProgress() >= 1.0) {
      m_cameraAnimation.m_duration = 0.0;
      m_cameraAnimation.m_timer.Start(0.0);
      m_cameraAnimation.m_active = false;
    }
  }
  if (m_hand.restackPending) {
    RestackSelection();
    SettleStackedGroups();
  }
  return 0;
}

// ---- drawing ----------------------------------------------------------------------------------
void CGUIInterfacePlayPuzzle::Render() {
  g_Engine.SetFillMode(D3DFILL_SOLID);
  g_Engine.SetAmbientColor(0xFFFFFFFF);
  m_environment.Render();
  if (CPuzzleBoard* board = Board()) board->Render();
  if (m_hand.rubberBandActive) m_selectionRect.Render();
  if (KeyDown(DIK_TAB) && g_Game) {
    const D3DXIMAGE_INFO& info = g_Game->m_settings.m_pictureTexture.m_imageInfo;
    m_preview.RenderLarge(
        LargePreviewRect(LayoutWidth(), LayoutHeight(), RECT{0, 0, LONG(info.Width), LONG(info.Height)}));
  } else {
    m_preview.Render();
  }
  m_commandHelper.Render();
}

// ---- command helper and preview --------------------------------------------------------------
void CGUIInterfacePlayPuzzle::UpdateCommandHelperEntries() {
  CCommandHelperWindow& h = m_commandHelper;
  h.EnableEntry(kHelpSelect, !m_hand.holding);
  h.EnableEntry(kHelpMove, m_hand.holding);
  const bool rotate = m_hand.holding && g_Game && g_Game->m_settings.rotatePieces;
  h.EnableEntry(kHelpRotate, rotate);
  bool joined = false;
  if (m_hand.holding && m_hand.heldPiece)
    for (bool side : m_hand.heldPiece->m_joined) joined = joined || side;
  h.EnableEntry(kHelpDisconnect, joined);
  h.EnableEntry(kHelpViewIdle, !MovingView(m_state));
  h.EnableEntry(kHelpViewMoving, MovingView(m_state));
}

void CGUIInterfacePlayPuzzle::SetCommandHelperVisible(bool visible) {
  m_commandHelper.Hide();
  if (!visible) return;
  m_commandHelper.Show();
  UpdateCommandHelperEntries();
}

void CGUIInterfacePlayPuzzle::TogglePreview() {
  m_preview.SetVisible(!m_preview.Visible());
  m_preview.ClampToScreen();
}

// ---- state machine -----------------------------------------------------------------------------
void CGUIInterfacePlayPuzzle::OnLButtonDown(int x, int y) {
  // A press the icon bar turned into a command this frame is its alone.
  if (g_Game && g_Game->m_barCommand != 0) return;
  if (y < kTopStripHeight) return;
  const POINT at{x, y};
  if (m_commandHelper.Visible() && PtInRect(m_commandHelper.m_panelRect, at)) {
    if (PtInRect(m_commandHelper.m_closeRect, at)) m_commandHelper.OnCloseClicked();
    return;
  }
  if (m_preview.Visible() && PtInRect(m_preview.m_rect, m_preview.Cursor())) {
    m_preview.OnLButtonDown(x, y);
    return;
  }
  if (m_state != kPlayIdle) return;
  m_state = PickAt(x, y);
  if (m_state != kPlayIdle) UpdateCommandHelperEntries();
}

void CGUIInterfacePlayPuzzle::OnLButtonUp(int, int) {
  m_preview.OnLButtonUp();
  const std::int32_t state = m_state;
  if (state == kPlayDragging || state == kPlayDraggingView)
    DropSelection();
  else if (state == kPlayBanding || state == kPlayBandingView)
    FinishRubberBand();
  // Only a camera move that is under way goes on without the left button.
  m_state = MovingView(state) && (RightDown() || ButtonDown(1)) ? kPlayMovingView : kPlayIdle;
  UpdateCommandHelperEntries();
}

void CGUIInterfacePlayPuzzle::OnRButtonDown(int x, int y) {
  if (y < kTopStripHeight) return;
  m_rightPressPoint = POINT{x, y};
  if (m_state == kPlayDragging) {
    m_state = kPlayDraggingView;
    HideCursor();
  } else if (m_state == kPlayBanding) {
    m_state = kPlayBandingView;
  } else {
    m_state = kPlayMovingView;
    HideCursor();
  }
  UpdateCommandHelperEntries();
}

void CGUIInterfacePlayPuzzle::OnRButtonUp(int, int) {
  switch (m_state) {
    case kPlayBanding: break;
    case kPlayDraggingView:
      PutCursorBack();
      m_ignoreNextMove = true;
      if (LeftStillHeld()) {
        m_state = kPlayDragging;
      } else {
        m_state = kPlayIdle;
        LetGo();
      }
      ShowCursor();
      break;
    case kPlayMovingView:
      PutCursorBack();
      m_state = kPlayIdle;
      ShowCursor();
      break;
    case kPlayBandingView: m_state = kPlayBanding; break;
    default: m_state = kPlayIdle; break;
  }
  UpdateCommandHelperEntries();
}

void CGUIInterfacePlayPuzzle::EndCameraMove() {
  switch (m_state) {
    case kPlayDraggingView:
      PutCursorBack();
      LetGo();
      m_state = kPlayIdle;
      break;
    case kPlayMovingView:
      PutCursorBack();
      m_state = kPlayIdle;
      break;
    case kPlayBandingView: m_state = kPlayBanding; break;
    default: break;
  }
  ShowCursor();
}

void CGUIInterfacePlayPuzzle::LetGo() {
  m_hand.holding = false;
  m_hand.heldPiece = nullptr;
  m_hand.held.clear();
  m_hand.others.clear();
  m_hand.touching.clear();
  m_hand.restackPending = false;
}

void CGUIInterfacePlayPuzzle::OnMouseWheel(int delta) {
  if (m_hand.holding)
    RotateSelection(delta <= 0 ? +1 : -1);
  else
    ZoomCamera(static_cast<float>(WheelZoomStep(delta, GameHost().WheelScrollLines())));
}

void CGUIInterfacePlayPuzzle::OnPointerAt(int x, int y) {
  m_commandHelper.OnPointerAt(x, y);
  m_preview.OnPointerAt(x, y);
}

void CGUIInterfacePlayPuzzle::OnMouseMove(int x, int y, int dx, int dy) {
  // The panels' cursors are already at (x, y): OnPointerAt came first.
  m_preview.OnMouseMove(x, y);
  switch (m_state) {
    case kPlayDragging:
      if (!m_ignoreNextMove) DragSelection(x, y);
      break;
    case kPlayDraggingView:
      UpdateCameraDrag(dx, dy);
      DragSelection(m_rightPressPoint.x, m_rightPressPoint.y);
      break;
    case kPlayMovingView: UpdateCameraDrag(dx, dy); break;
    case kPlayBandingView:
      UpdateCameraDrag(dx, dy);
      UpdateRubberBand(x, y);
      break;
    case kPlayBanding: UpdateRubberBand(x, y); break;
    default: break;
  }
  m_ignoreNextMove = false;
}

// ---- cursor --------------------------------------------------------------------------------------
void CGUIInterfacePlayPuzzle::HideCursor() {
  for (int i = 0; i < 64 && GameHost().ShowCursor(false) >= 0; ++i) {
  }
  m_cursorHidden = true;
}

void CGUIInterfacePlayPuzzle::ShowCursor() {
  if (!m_cursorHidden) return;
  for (int i = 0; i < 64 && GameHost().ShowCursor(true) < 0; ++i) {
  }
  m_cursorHidden = false;
}

void CGUIInterfacePlayPuzzle::PutCursorBack() { GameHost().SetCursorPos(m_rightPressPoint); }

// ---- free helpers ---------------------------------------------------------------------------------
int WheelZoomStep(int delta, int scrollLines) {
  // 0 would divide by zero and -1 (page scrolling) would zoom the other way.
  const int lines = scrollLines > 0 ? scrollLines : 3;
  return (delta / -5) / lines;
}

RECT LargePreviewRect(LONG width, LONG height, const RECT& picture) {
  const RECT r{32, 44, width - 32, height - 32};
  RECT p;
  FitRectKeepAspect(picture, r, p);
  const LONG dx = ((r.right - r.left) - (p.right - p.left)) / 2;
  const LONG dy = ((r.bottom - r.top) - (p.bottom - p.top)) / 2;
  return RECT{p.left + dx, p.top + dy, p.right + dx, p.bottom + dy};
}
