#pragma once
// The play screen: the table, the pieces, the rubber band, the preview
// window and the command helper, and the input state machine of the puzzle
// (PlayScreenState): which mouse button does what in which situation.
//
//   1 idle                     4 dragging while the right button moves the view
//   2 dragging held pieces     5 moving the view with the right button
//   3 drawing a rubber band    6 rubber band while the right button moves the view
//
// The left button picks the top piece under the cursor (its joined group,
// or the whole rubber-band selection it belongs to) and drags it over the
// table; the held pieces lift onto the lowest stack layer nothing else
// occupies and the pieces that lay on them settle. Releasing drops them
// with the join test (the connect sound, the completion, and the
// congratulation at 100 %). The left button on bare table draws a rubber
// band. The right button moves the view (Shift turns and tilts, Ctrl
// changes the height) with the cursor hidden; the wheel turns held pieces
// or changes the height; Space (Ctrl+Space) snaps the view straight down
// (and back to the default height); Tab shows the large picture.
//
// The operations are split over three files: play_screen.cpp (lifecycle,
// frame, drawing, state machine), play_camera.cpp (the view) and
// play_pieces.cpp (picking, dragging, stacking, selecting, dropping). Only
// play_screen.cpp changes the state; the steps of the other two answer
// what they did.
//
// Sections: state - pieces in hand - the screen - free helpers
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "engine/draw_resources.h"
#include "engine/timer.h"
#include "game/environment.h"
#include "game/screens/command_helper.h"
#include "game/screens/gui_interface.h"
#include "game/screens/preview_window.h"
#include "game/selection_rect.h"
#include "puzzle/puzzle_piece.h"

class CKVASound;
class CKVRCamera;
class CPuzzleBoard;

// ---- state -----------------------------------------------------------------------------
enum PlayScreenState : std::int32_t {
  kPlayIdle = 1,
  kPlayDragging = 2,
  kPlayBanding = 3,
  kPlayDraggingView = 4,
  kPlayMovingView = 5,
  kPlayBandingView = 6,
};

// ---- pieces in hand ------------------------------------------------------------------------
// The pieces the screen is working on: the held group (and the piece picked
// in it), the other pieces, those of them that overlap the held group, the
// rubber-band selection, and whether a restack is due.
struct PieceHandling {
  CPuzzlePiece* heldPiece = nullptr;
  D3DXVECTOR3 grabPoint{0, 0, 0};  // the table point the cursor holds
  PieceGroup held;
  PieceGroup others;
  PieceGroup touching;
  bool holding = false;
  bool rubberBandActive = false;
  D3DXVECTOR3 rubberCorner1{0, 0, 0};
  D3DXVECTOR3 rubberCorner2{0, 0, 0};
  PieceGroup selection;
  bool restackPending = false;
};

// ---- the screen ----------------------------------------------------------------------------
// Its public calls are what the game object and the main frame ask (the
// screen and play screen slots) and what it answers about itself. Tests
// and benchmarks reach the pieces in hand and single steps through
// PlayScreenTestAccess (tests/game/play_screen_access.h).
struct PlayScreenTestAccess;

class CGUIInterfacePlayPuzzle : public IPlayScreen {
 public:
  CGUIInterfacePlayPuzzle();
  ~CGUIInterfacePlayPuzzle() override;

  // Lifecycle and frame (play_screen.cpp).
  void Deactivate() override;
  void Activate() override;
  int Update() override;
  void Render() override;
  void OnLButtonDown(int x, int y) override;
  void OnLButtonUp(int x, int y) override;
  void OnRButtonDown(int x, int y) override;
  void OnRButtonUp(int x, int y) override;
  void OnMouseWheel(int delta) override;
  void OnMouseMove(int x, int y, int dx, int dy) override;
  // The command helper's cursor (while it shows) and the preview's follow.
  void OnPointerAt(int x, int y) override;

  void ResetPlayView(bool flyIn) override;
  bool IsMovingCamera() const override { return m_state == kPlayMovingView; }
  void SetCommandHelperVisible(bool visible) override;
  void TogglePreview() override;
  void LoadEnvironment() override;
  // Ends a camera move before something modal opens: the cursor shows at
  // the right press point, held pieces are let go without a join test.
  void EndCameraMove() override;

  // The held pieces (play_pieces.cpp).
  void RotateSelection(int direction) override;
  void DisconnectSelectedPiece() override;

  // What the screen answers about itself.
  std::int32_t State() const { return m_state; }
  const CKVRTransition& CameraAnimation() const { return m_cameraAnimation; }
  const CCommandHelperWindow& CommandHelper() const { return m_commandHelper; }
  bool HasConnectSound() const { return m_connectSound != nullptr; }

 private:
  friend struct PlayScreenTestAccess;

  // The board of the current puzzle; null without a game object.
  static CPuzzleBoard* Board();
  void UpdateCommandHelperEntries();

  // The view (play_camera.cpp).
  void UpdateCameraDrag(int dx, int dy);
  void ZoomCamera(float delta);
  void UpdateCameraAnimation();
  void StartCameraAnimation(double seconds, bool adjustHeight);

  // The pieces (play_pieces.cpp).
  // The left press in state 1: takes the top piece under (x, y) and
  // answers kPlayDragging, or begins a rubber band there and answers
  // kPlayBanding; kPlayIdle (nothing done) off the table or without a
  // board. The caller makes the answer the state.
  PlayScreenState PickAt(int x, int y);
  // Takes piece's group in hand, grabbed at the table point: the selection
  // when the piece is in it, else the piece's joined group (and the
  // selection is dropped).
  void SelectPieceGroup(const D3DXVECTOR3& point, CPuzzlePiece* piece);
  void CollectOtherPieces(const PieceGroup& group, PieceGroup& out);
  void DragSelection(int x, int y);
  // The held pieces moved by offset, after collecting the pieces they
  // overlap; a restack is then due. Nothing without held pieces.
  void MoveSelection(const D3DXVECTOR3& offset);
  void CollectOverlappingPieces();
  void RestackSelection();
  void SettleStackedGroups();
  void RestackGroupOfPiece(CPuzzlePiece* piece);
  void UpdateRubberBand(int x, int y);
  void FinishRubberBand();
  void MarkSelection(bool flag);
  void DropSelection();

  // Nothing held, no rubber band, no selection, no pending restack.
  void ForgetPieces();
  // Lets the held pieces go where they lie, without a join test.
  void LetGo();
  void HideCursor();
  void ShowCursor();
  // SetCursorPos at the right press point.
  void PutCursorBack();
  // The table point under a layout pixel; false when the ray does not point
  // down at the table.
  bool TablePointAt(int x, int y, D3DXVECTOR3& point, D3DXVECTOR3* origin = nullptr,
                    D3DXVECTOR3* direction = nullptr) const;

  D3DLIGHT9 m_light;
  CKVRCamera* m_camera = nullptr;
  CEnvironment m_environment;
  CCommandHelperWindow m_commandHelper;
  CImagePreviewWindow m_preview;
  CKVRTexture m_selectionFillTexture;
  CKVRTexture m_selectionMarkTexture;
  std::unique_ptr<CKVASound> m_connectSound;
  CKVRTransition m_cameraAnimation;
  D3DXVECTOR3 m_animStartDirection{0, 0, 0};
  D3DXVECTOR3 m_animStartUp{0, 0, 0};
  D3DXVECTOR3 m_animStartEye{0, 0, 0};
  // The eye's height at the animation's end, when it goes to the default
  // height (read from the profile once, when the animation starts).
  std::optional<float> m_animEndHeight;
  std::int32_t m_state = kPlayIdle;
  POINT m_rightPressPoint{};
  PieceHandling m_hand;
  CSelectionRect m_selectionRect;
  bool m_ignoreNextMove = false;
  bool m_cursorHidden = false;  // this screen hid the cursor for a camera move
};

// ---- free helpers -------------------------------------------------------------------------------
// Where the ray meets the table plane z = 0 (direction normalised first;
// only for directions with a negative z).
D3DXVECTOR3 IntersectRayWithTable(const D3DXVECTOR3& direction, const D3DXVECTOR3& origin);
// Partitions a list of pieces into their joined groups, in the order of
// their first members.
void SplitIntoGroups(const PieceGroup& list, std::vector<PieceGroup>& out);
// The zoom step of a wheel delta: (delta / -5) / lines on integers; a line
// count of 0 or less counts as 3.
int WheelZoomStep(int delta, int scrollLines);
// The large preview: the picture fitted into (32, 44, W - 32, H - 32) and
// centred there.
RECT LargePreviewRect(LONG width, LONG height, const RECT& picture);
// The first stack layer 0..6 that the record leaves free, else 7.
std::int32_t FirstFreeLayer(const std::int32_t occupied[kLayerCount]);
