#include "game/saves/board_record.h"

#include <cmath>

#include "puzzle/piece_group.h"

namespace {
// Every piece lies where the anchor places it, within the slack, on the
// anchor's layer.
bool GroupInPlace(const PieceGroup& group, const CPuzzlePiece& anchor) {
  const D3DXVECTOR3& r = anchor.m_currentPosition;
  for (const CPuzzlePiece* q : group) {
    const D3DXVECTOR3 place =
        RotateOffset(r, r + (q->m_homePosition - anchor.m_homePosition), q->m_quarterTurns);
    const D3DXVECTOR3 d = q->m_currentPosition - place;
    if (q->m_layer != anchor.m_layer || std::hypot(d.x, d.y) > kSavedGroupSlack) return false;
  }
  return true;
}
}  // namespace

void CaptureBoard(const CPuzzleBoard& board, SavedGame& out) {
  out.seed = board.m_seed;
  out.columns = board.m_columns;
  out.rows = board.m_rows;
  out.shape = board.m_shape;
  out.irregularity = static_cast<std::int32_t>(std::lround(board.m_irregularity));
  out.pieces.clear();
  for (const CPuzzlePiece& p : board.m_pieces) {
    SavedPiece s;
    s.id = p.m_id;
    s.position = ToSaved(p.m_currentPosition);
    s.layer = p.m_layer;
    s.turns = p.m_quarterTurns;
    for (int side = 0; side < 4; ++side) s.joined[side] = p.m_joined[side];
    out.pieces.push_back(s);
  }
}

bool ApplySavedPieces(const SavedGame& game, CPuzzleBoard& board) {
  if (board.m_columns != game.columns || board.m_rows != game.rows ||
      board.m_pieces.size() != game.pieces.size())
    return false;
  for (size_t i = 0; i < game.pieces.size(); ++i) {
    const SavedPiece& s = game.pieces[i];
    CPuzzlePiece& p = board.m_pieces[i];
    p.SetQuarterTurns(static_cast<std::uint8_t>(s.turns));
    p.m_layer = s.layer;
    p.SetPosition(FromSaved(s.position));
    for (int side = 0; side < 4; ++side) p.m_joined[side] = s.joined[side];
  }
  std::vector<bool> placed(board.m_pieces.size(), false);
  for (CPuzzlePiece& anchor : board.m_pieces) {
    if (placed[size_t(anchor.m_id - 1)]) continue;
    PieceGroup group;
    anchor.CollectGroup(group);
    for (const CPuzzlePiece* q : group) placed[size_t(q->m_id - 1)] = true;
    if (!GroupInPlace(group, anchor)) AlignGroupTo(group, anchor);
  }
  board.UpdateCompletion();
  return true;
}
