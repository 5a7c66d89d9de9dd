// The play screen's operations on the pieces: picking the top piece under
// the cursor, holding its joined group or the rubber-band selection it
// belongs to, dragging the held pieces over the table (a step that would
// take a piece centre off the table is refused whole), keeping them and the
// pieces that lay on them on sensible stack layers, the rubber band,
// dropping with the join test, quarter turns and separating a piece.
//
// Sections: picking and holding - dragging - stacking - rubber band -
// dropping - turning and separating - free helpers
#include <algorithm>
#include <cmath>
#include <utility>

#include "engine/engine.h"
#include "game/frame_driver.h"
#include "game/game_text_ids.h"
#include "game/puzzle_game.h"
#include "game/screens/play_screen.h"
#include "platform/shell.h"
#include "puzzle/piece_group.h"
#include "puzzle/puzzle_board.h"
#include "puzzle/table_cell_index.h"
#include "sound/sound_manager.h"
#include "support/string_table.h"

// ---- picking and holding -------------------------------------------------------------------
bool CGUIInterfacePlayPuzzle::TablePointAt(int x, int y, D3DXVECTOR3& point, D3DXVECTOR3* origin,
                                           D3DXVECTOR3* direction) const {
  D3DXVECTOR3 o, d;
  g_Engine.GetScreenRay(&o, &d, x, y);
  if (!(d.z < 0.0f)) return false;
  point = IntersectRayWithTable(d, o);
  if (origin) *origin = o;
  if (direction) *direction = d;
  return true;
}

PlayScreenState CGUIInterfacePlayPuzzle::PickAt(int x, int y) {
  CPuzzleBoard* board = Board();
  D3DXVECTOR3 point, origin, direction;
  if (!board || !TablePointAt(x, y, point, &origin, &direction)) return kPlayIdle;
  CPuzzlePiece* best = nullptr;
  std::int32_t bestLayer = 0;
  for (CPuzzlePiece& piece : board->m_pieces) {
    // Unsigned as in the design's layer count: every piece's layer is 0..7,
    // where this is the signed order; one out of range would win the pick.
    if (static_cast<std::uint32_t>(piece.m_layer) < static_cast<std::uint32_t>(bestLayer)) continue;
    if (!piece.HitTest(origin, direction)) continue;
    best = &piece;
    bestLayer = piece.m_layer;
  }
  PlayScreenState next;
  if (best) {
    SelectPieceGroup(point, best);
    next = kPlayDragging;
    MoveSelection(D3DXVECTOR3(0, 0, 0));
  } else {
    MarkSelection(false);
    m_hand.selection.clear();
    m_hand.rubberCorner1 = m_hand.rubberCorner2 = point;
    m_hand.rubberBandActive = true;
    m_selectionRect.SetCorners(point.x, point.y, point.x, point.y);
    next = kPlayBanding;
  }
  return next;
}

void CGUIInterfacePlayPuzzle::SelectPieceGroup(const D3DXVECTOR3& point, CPuzzlePiece* piece) {
  m_hand.heldPiece = piece;
  m_hand.holding = true;
  m_hand.grabPoint = point;
  const bool inSelection = GroupContains(m_hand.selection, *piece);
  m_hand.held.clear();
  if (inSelection)
    m_hand.held = m_hand.selection;
  else
    piece->CollectGroup(m_hand.held);
  CollectOtherPieces(m_hand.held, m_hand.others);
  if (!inSelection) {
    MarkSelection(false);
    m_hand.selection.clear();
    m_hand.rubberBandActive = false;
  }
}

void CGUIInterfacePlayPuzzle::CollectOtherPieces(const PieceGroup& group, PieceGroup& out) {
  out.clear();
  CPuzzleBoard* board = Board();
  if (!board) return;
  const PieceIdSet ids(group);
  for (CPuzzlePiece& piece : board->m_pieces)
    if (!ids.Contains(piece.m_id)) out.push_back(&piece);
}

// ---- dragging -----------------------------------------------------------------------------------
void CGUIInterfacePlayPuzzle::DragSelection(int x, int y) {
  if (!m_hand.holding && !m_hand.rubberBandActive) return;
  D3DXVECTOR3 point;
  if (!TablePointAt(x, y, point)) return;
  const D3DXVECTOR3 d = point - m_hand.grabPoint;
  if (m_hand.holding) {
    const float h = m_environment.m_halfExtent;
    for (const CPuzzlePiece* piece : m_hand.held) {
      const float nx = piece->m_currentPosition.x + d.x;
      const float ny = piece->m_currentPosition.y + d.y;
      if (!(nx >= -h && nx <= h && ny >= -h && ny <= h)) return;  // refused whole
    }
  }
  MoveSelection(d);
  m_hand.grabPoint = point;
}

void CGUIInterfacePlayPuzzle::MoveSelection(const D3DXVECTOR3& offset) {
  if (!m_hand.holding) return;
  CollectOverlappingPieces();
  for (CPuzzlePiece* piece : m_hand.held) piece->SetPosition(piece->m_currentPosition + offset);
  m_hand.restackPending = true;
}

// ---- stacking -------------------------------------------------------------------------------------
// For every other piece above the lowest held one, the first held piece (in
// held order) that lies lower and overlaps it; the pieces found, ordered by
// that held piece and then by their own order, are exactly what the plain
// double loop over held and other pieces appends. Only held pieces near an
// other piece are tested (a table-cell index over the held pieces).
void CGUIInterfacePlayPuzzle::CollectOverlappingPieces() {
  m_hand.touching.clear();
  if (m_hand.held.empty()) return;
  std::uint32_t lowest = ~0u;
  for (const CPuzzlePiece* h : m_hand.held) lowest = std::min(lowest, static_cast<std::uint32_t>(h->m_layer));
  PieceGroup above;  // no other piece can lie on a held one
  for (CPuzzlePiece* o : m_hand.others)
    if (static_cast<std::uint32_t>(o->m_layer) > lowest) above.push_back(o);
  if (above.empty()) return;
  TableCellIndex index;
  const bool indexed = index.Build(m_hand.held);
  std::vector<std::pair<std::size_t, CPuzzlePiece*>> found;  // (held position, other piece)
  std::vector<std::size_t> near;
  for (CPuzzlePiece* o : above) {
    const std::uint32_t layer = static_cast<std::uint32_t>(o->m_layer);
    const double x = o->m_currentPosition.x, y = o->m_currentPosition.y, r = std::fabs(o->GetRadius());
    near.clear();
    if (indexed && std::isfinite(x) && std::isfinite(y) && std::isfinite(r)) {
      if (!index.MayReach(x, y, r)) continue;
      index.AnyNear(x, y, r, [&](std::size_t i) {
        near.push_back(i);
        return false;
      });
      std::sort(near.begin(), near.end());
    } else {
      for (std::size_t i = 0; i < m_hand.held.size(); ++i) near.push_back(i);
    }
    for (std::size_t i : near) {
      const CPuzzlePiece* h = m_hand.held[i];
      if (static_cast<std::uint32_t>(h->m_layer) < layer && PiecesOverlap(*h, *o)) {
        found.emplace_back(i, o);
        break;
      }
    }
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& f : found) m_hand.touching.push_back(f.second);
}

void CGUIInterfacePlayPuzzle::RestackSelection() {
  m_hand.restackPending = false;
  if (!m_hand.holding || m_hand.held.empty()) return;  // nothing held: nothing may fall through
  std::int32_t occupied[kLayerCount];
  OccupiedLayers(occupied, m_hand.held, m_hand.others);
  const std::int32_t free = FirstFreeLayer(occupied);
  std::uint32_t lowest = 7;
  for (const CPuzzlePiece* piece : m_hand.held)
    lowest = std::min(lowest, static_cast<std::uint32_t>(piece->m_layer));
  for (CPuzzlePiece* piece : m_hand.held) {
    std::int64_t layer =
        static_cast<std::int64_t>(static_cast<std::uint32_t>(piece->m_layer)) - lowest + free;
    layer = std::clamp<std::int64_t>(layer, 0, 7);
    piece->m_layer = static_cast<std::int32_t>(layer);
    D3DXVECTOR3 p = piece->m_currentPosition;
    p.z = static_cast<float>(static_cast<std::uint32_t>(layer)) * kLayerHeight;
    if (!(p == piece->m_currentPosition)) piece->SetPosition(p);  // already there: nothing to redo
  }
}

namespace {
// OccupiedLayers (group, below) with the pieces of below found through their
// index, the nearest first: the same layers (a set does not depend on the
// order it is filled in), and a layer once taken is not tested again.
void OccupiedLayersNear(std::int32_t out[kLayerCount], const PieceGroup& group, const PieceGroup& below,
                        const TableCellIndex& index) {
  for (int i = 0; i < kLayerCount; ++i) out[i] = 0;
  std::vector<std::pair<double, std::size_t>> near;
  for (const CPuzzlePiece* p : group) {
    const double x = p->m_currentPosition.x, y = p->m_currentPosition.y, r = std::fabs(p->GetRadius());
    near.clear();
    if (std::isfinite(x) && std::isfinite(y) && std::isfinite(r)) {
      if (!index.MayReach(x, y, r)) continue;
      index.AnyNear(x, y, r, [&](std::size_t i) {
        const double dx = below[i]->m_currentPosition.x - x, dy = below[i]->m_currentPosition.y - y;
        near.emplace_back(dx * dx + dy * dy, i);
        return false;
      });
      std::sort(near.begin(), near.end());
    } else {
      for (std::size_t i = 0; i < below.size(); ++i) near.emplace_back(0.0, i);
    }
    for (const auto& [distance, i] : near) {
      const CPuzzlePiece* q = below[i];
      const std::int32_t layer = q->m_layer;
      if (layer >= 0 && layer < kLayerCount && out[layer] == 0 && PiecesOverlap(*q, *p)) out[layer] = 1;
    }
  }
}

void PutGroupOnLayer(const PieceGroup& group, std::int32_t layer) {
  for (CPuzzlePiece* piece : group) {
    piece->m_layer = layer;
    D3DXVECTOR3 p = piece->m_currentPosition;
    p.z = static_cast<float>(static_cast<std::uint32_t>(layer)) * kLayerHeight;
    piece->SetPosition(p);
  }
}
}  // namespace

// Pass k takes the lying pieces on layer k: each one's group drops onto the
// first layer that the pieces below k and the held pieces leave free under
// it. Passes without such a piece are skipped; the pieces below a pass are
// indexed once for the pass (their places do not change during it).
void CGUIInterfacePlayPuzzle::SettleStackedGroups() {
  if (!m_hand.holding || m_hand.touching.empty()) return;
  PieceGroup below, group;
  TableCellIndex index;
  for (std::uint32_t k = 1; k <= 7; ++k) {
    const bool any = std::any_of(m_hand.touching.begin(), m_hand.touching.end(), [k](const CPuzzlePiece* t) {
      return static_cast<std::uint32_t>(t->m_layer) == k;
    });
    if (!any) continue;
    below.clear();
    for (CPuzzlePiece* o : m_hand.others)
      if (static_cast<std::uint32_t>(o->m_layer) < k) below.push_back(o);
    below.insert(below.end(), m_hand.held.begin(), m_hand.held.end());
    const bool indexed = index.Build(below);
    for (CPuzzlePiece* t : m_hand.touching) {
      if (static_cast<std::uint32_t>(t->m_layer) != k) continue;
      group.clear();
      t->CollectGroup(group);
      std::int32_t occupied[kLayerCount];
      if (indexed)
        OccupiedLayersNear(occupied, group, below, index);
      else
        OccupiedLayers(occupied, group, below);
      PutGroupOnLayer(group, FirstFreeLayer(occupied));
    }
  }
}

void CGUIInterfacePlayPuzzle::RestackGroupOfPiece(CPuzzlePiece* piece) {
  if (!piece) return;
  PieceGroup group, others;
  piece->CollectGroup(group);
  CollectOtherPieces(group, others);
  std::int32_t occupied[kLayerCount];
  OccupiedLayers(occupied, group, others);
  PutGroupOnLayer(group, FirstFreeLayer(occupied));
}

// ---- rubber band ------------------------------------------------------------------------------------
void CGUIInterfacePlayPuzzle::UpdateRubberBand(int x, int y) {
  D3DXVECTOR3 point;
  if (!TablePointAt(x, y, point) || !m_hand.rubberBandActive) return;
  m_hand.rubberCorner2 = point;
  m_selectionRect.SetCorners(m_hand.rubberCorner1.x, m_hand.rubberCorner1.y, point.x, point.y);
}

void CGUIInterfacePlayPuzzle::FinishRubberBand() {
  m_hand.rubberBandActive = false;
  CPuzzleBoard* board = Board();
  if (!board) return;
  PieceGroup inside;
  m_selectionRect.CollectPiecesInside(*board, inside);
  m_hand.selection.insert(m_hand.selection.end(), inside.begin(), inside.end());
  PieceIdSet ids(m_hand.selection);
  const std::size_t n = m_hand.selection.size();
  for (std::size_t i = 0; i < n; ++i) {
    PieceGroup group;
    m_hand.selection[i]->CollectGroup(group);
    for (CPuzzlePiece* piece : group) {
      if (ids.Contains(piece->m_id)) continue;
      ids.Insert(piece->m_id);
      m_hand.selection.push_back(piece);
    }
  }
  MarkSelection(true);
}

void CGUIInterfacePlayPuzzle::MarkSelection(bool flag) {
  if (m_hand.selection.empty()) return;
  for (CPuzzlePiece* piece : m_hand.held) piece->m_selected = flag;
  for (CPuzzlePiece* piece : m_hand.selection) piece->m_selected = flag;
}

// ---- dropping ------------------------------------------------------------------------------------------
void CGUIInterfacePlayPuzzle::DropSelection() {
  if (!m_hand.holding) return;
  MoveSelection(D3DXVECTOR3(0, 0, 0));
  RestackSelection();
  std::vector<PieceGroup> groups;
  SplitIntoGroups(m_hand.held, groups);
  CPuzzleBoard* board = Board();
  for (const PieceGroup& group : groups) {
    if (JoinGroups(group, m_hand.others) != kGroupsJoined) continue;
    if (m_connectSound) m_connectSound->Play();
    if (board) board->UpdateCompletion();
    MarkSelection(false);
    m_hand.selection.clear();
    m_hand.rubberBandActive = false;
    RestackGroupOfPiece(m_hand.heldPiece);
    if (board && board->m_completion >= 100.0f && g_Game) {
      // The time shown stays put from here on; no frame runs while the box is up.
      g_Game->m_playTimer.Pause();
      ModalGuard modal;
      Shell().MessageBox(LoadResString(IDS_CONGRATULATION), LoadResString(IDS_APP_NAME), MB_ICONINFORMATION);
    }
  }
  LetGo();
}

// ---- turning and separating ---------------------------------------------------------------------------
void CGUIInterfacePlayPuzzle::RotateSelection(int direction) {
  if (!m_hand.holding || !m_hand.heldPiece || !g_Game || !g_Game->m_settings.rotatePieces) return;
  m_hand.held.clear();
  m_hand.others.clear();
  m_hand.touching.clear();
  m_hand.heldPiece->CollectGroup(m_hand.held);
  CollectOtherPieces(m_hand.held, m_hand.others);
  MarkSelection(false);
  CollectOverlappingPieces();
  RotateGroup(m_hand.held, direction, *m_hand.heldPiece);
  m_hand.restackPending = true;
}

void CGUIInterfacePlayPuzzle::DisconnectSelectedPiece() {
  if (!m_hand.holding || !m_hand.heldPiece || !m_hand.heldPiece->Disconnect()) return;
  if (m_connectSound) m_connectSound->Play();
  if (CPuzzleBoard* board = Board()) board->UpdateCompletion();
  MarkSelection(false);
  m_hand.rubberBandActive = false;
  m_hand.selection.clear();
  m_hand.held.clear();
  m_hand.others.clear();
  m_hand.touching.clear();
  m_hand.heldPiece->CollectGroup(m_hand.held);
  CollectOtherPieces(m_hand.held, m_hand.others);
  RestackGroupOfPiece(m_hand.heldPiece);
}

// ---- free helpers -----------------------------------------------------------------------------------------
D3DXVECTOR3 IntersectRayWithTable(const D3DXVECTOR3& direction, const D3DXVECTOR3& origin) {
  D3DXVECTOR3 d;
  D3DXVec3Normalize(&d, &direction);
  const float t = origin.z / d.z;
  return D3DXVECTOR3(origin.x - d.x * t, origin.y - d.y * t, origin.z - d.z * t);
}

void SplitIntoGroups(const PieceGroup& list, std::vector<PieceGroup>& out) {
  PieceGroup work = list;
  while (!work.empty()) {
    PieceGroup group;
    work.front()->CollectGroup(group);
    const PieceIdSet ids(group);
    work.erase(std::remove_if(work.begin(), work.end(),
                              [&](const CPuzzlePiece* p) { return ids.Contains(p->m_id); }),
               work.end());
    out.push_back(std::move(group));
  }
}

std::int32_t FirstFreeLayer(const std::int32_t occupied[kLayerCount]) {
  for (std::int32_t layer = 0; layer < 7; ++layer)
    if (occupied[layer] == 0) return layer;
  return 7;
}
