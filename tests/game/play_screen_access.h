#pragma once
// The play screen's one test-access point. Tests and benchmarks reach here
// what the screen keeps to itself: the pieces in hand, the command helper
// and the play camera, to look at them and to set up situations that input
// reaches only slowly, and single steps of its state machine, to check or
// time one step alone. Everything else they ask through the screen's public calls.
#include "game/screens/play_screen.h"

struct PlayScreenTestAccess {
  CGUIInterfacePlayPuzzle& screen;

  PieceHandling& Hand() const { return screen.m_hand; }
  CCommandHelperWindow& CommandHelper() const { return screen.m_commandHelper; }
  const CImagePreviewWindow& Preview() const { return screen.m_preview; }

  // The view: the play camera (null before the screen was first activated
  // with a game object).
  CKVRCamera* Camera() const { return screen.m_camera; }
  void UpdateCameraDrag(int dx, int dy) const { screen.UpdateCameraDrag(dx, dy); }
  void ZoomCamera(float delta) const { screen.ZoomCamera(delta); }

  // The pieces.
  PlayScreenState PickAt(int x, int y) const { return screen.PickAt(x, y); }
  void SelectPieceGroup(const D3DXVECTOR3& point, CPuzzlePiece* piece) const {
    screen.SelectPieceGroup(point, piece);
  }
  void CollectOtherPieces(const PieceGroup& group, PieceGroup& out) const {
    screen.CollectOtherPieces(group, out);
  }
  void DragSelection(int x, int y) const { screen.DragSelection(x, y); }
  void MoveSelection(const D3DXVECTOR3& offset) const { screen.MoveSelection(offset); }
  void CollectOverlappingPieces() const { screen.CollectOverlappingPieces(); }
  void RestackSelection() const { screen.RestackSelection(); }
  void SettleStackedGroups() const { screen.SettleStackedGroups(); }
};
