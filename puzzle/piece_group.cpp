// Groups of pieces: joining, aligning, turning and the stack-layer overlap
// tests.
//
// Sections: grid-cell index (joining) - joining - turning - stacking helpers -
// stacking
#include "puzzle/piece_group.h"

#include "puzzle/table_cell_index.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

// Below this many pairs the plain double loops are used.
constexpr std::size_t kIndexedPairs = 256;

// ---- grid-cell index (joining) ---------------------------------------------------------
// The pieces of a group sorted by (row, column) and then by their place in
// the group, so that the pieces of a cell can be visited in group order.
// The pieces of a group by grid cell (row, column), each cell's pieces in
// group order: a dense table over the rows and columns the group spans, or,
// when that table would be far larger than the group, a sorted list.
class GridCellIndex {
 public:
  explicit GridCellIndex(const PieceGroup& group) {
    if (group.empty()) return;
    m_row0 = m_row1 = group[0]->m_row;
    m_column0 = m_column1 = group[0]->m_column;
    for (const CPuzzlePiece* p : group) {
      m_row0 = std::min<std::int64_t>(m_row0, p->m_row);
      m_row1 = std::max<std::int64_t>(m_row1, p->m_row);
      m_column0 = std::min<std::int64_t>(m_column0, p->m_column);
      m_column1 = std::max<std::int64_t>(m_column1, p->m_column);
    }
    m_width = m_column1 - m_column0 + 1;
    const std::int64_t cells = (m_row1 - m_row0 + 1) * m_width;
    m_dense = cells <= 4 * std::int64_t(group.size()) + 64;
    if (m_dense) {
      m_starts.assign(std::size_t(cells + 1), 0);
      for (const CPuzzlePiece* p : group) ++m_starts[Cell(p->m_row, p->m_column) + 1];
      for (std::size_t c = 1; c < m_starts.size(); ++c) m_starts[c] += m_starts[c - 1];
      m_items.resize(group.size());
      std::vector<std::size_t> fill(m_starts.begin(), m_starts.end() - 1);
      for (std::size_t i = 0; i < group.size(); ++i)
        m_items[fill[Cell(group[i]->m_row, group[i]->m_column)]++] = i;
      return;
    }
    m_entries.reserve(group.size());
    for (std::size_t i = 0; i < group.size(); ++i)
      m_entries.push_back({group[i]->m_row, group[i]->m_column, i});
    std::sort(m_entries.begin(), m_entries.end());
  }
  // Appends the group positions of the pieces in cell (row, column).
  void Collect(std::int64_t row, std::int64_t column, std::vector<std::size_t>& out) const {
    if (m_dense) {
      if (row < m_row0 || row > m_row1 || column < m_column0 || column > m_column1) return;
      const std::size_t c = Cell(row, column);
      out.insert(out.end(), m_items.begin() + std::ptrdiff_t(m_starts[c]),
                 m_items.begin() + std::ptrdiff_t(m_starts[c + 1]));
      return;
    }
    auto it = std::lower_bound(m_entries.begin(), m_entries.end(), Entry{row, column, 0});
    for (; it != m_entries.end() && it->row == row && it->column == column; ++it) out.push_back(it->position);
  }

 private:
  struct Entry {
    std::int64_t row, column;
    std::size_t position;
    bool operator<(const Entry& o) const {
      if (row != o.row) return row < o.row;
      if (column != o.column) return column < o.column;
      return position < o.position;
    }
  };
  std::size_t Cell(std::int64_t row, std::int64_t column) const {
    return std::size_t((row - m_row0) * m_width + (column - m_column0));
  }
  std::int64_t m_row0 = 0, m_row1 = -1, m_column0 = 0, m_column1 = -1, m_width = 0;
  bool m_dense = false;
  std::vector<std::size_t> m_starts, m_items;
  std::vector<Entry> m_entries;
};

FittingPair FindFittingPairPlain(const PieceGroup& groupA, const PieceGroup& groupB) {
  for (CPuzzlePiece* a : groupA) {
    for (CPuzzlePiece* b : groupB) {
      if (PiecesFit(*b, *a)) return {a, b};
    }
  }
  return {};
}

// Only grid neighbours (or a piece with itself) can fit, so for each a only
// the pieces of b's five cells around a's cell are tested, in group order.
FittingPair FindFittingPairIndexed(const PieceGroup& groupA, const PieceGroup& groupB) {
  const GridCellIndex index(groupB);
  std::vector<std::size_t> candidates;
  for (CPuzzlePiece* a : groupA) {
    candidates.clear();
    const std::int64_t r = a->m_row, c = a->m_column;
    index.Collect(r, c, candidates);
    index.Collect(r, c - 1, candidates);
    index.Collect(r, c + 1, candidates);
    index.Collect(r - 1, c, candidates);
    index.Collect(r + 1, c, candidates);
    std::sort(candidates.begin(), candidates.end());
    for (std::size_t j : candidates) {
      if (PiecesFit(*groupB[j], *a)) return {a, groupB[j]};
    }
  }
  return {};
}

void SetLayerAndHeight(CPuzzlePiece& piece, std::int32_t layer) {
  piece.m_layer = layer;
  D3DXVECTOR3 position = piece.m_currentPosition;
  position.z = float(layer) * kLayerHeight;
  piece.SetPosition(position);
}

}  // namespace

// ---- joining ------------------------------------------------------------------------------
FittingPair FindFittingPair(const PieceGroup& groupA, const PieceGroup& groupB) {
  if (groupA.size() * groupB.size() < kIndexedPairs) return FindFittingPairPlain(groupA, groupB);
  return FindFittingPairIndexed(groupA, groupB);
}

int JoinGroups(const PieceGroup& moving, const PieceGroup& target) {
  const FittingPair pair = FindFittingPair(moving, target);
  if (!pair.a) return kGroupsNotJoined;
  CPuzzlePiece& a = *pair.a;
  CPuzzlePiece& b = *pair.b;
  const std::int32_t layer = b.m_layer;
  CPuzzlePiece* joined = nullptr;
  for (CPuzzlePiece* p : moving) {
    if (JoinPieces(*p, b)) {
      joined = p;
      break;
    }
  }
  if (!joined) return kGroupsNotJoined;
  a.PlaceRelativeTo(b);
  SetLayerAndHeight(*joined, layer);
  AlignGroupTo(moving, a);
  PieceGroup merged;
  a.CollectGroup(merged);
  JoinSidesWithinGroup(merged);
  return kGroupsJoined;
}

void AlignGroupTo(const PieceGroup& group, const CPuzzlePiece& anchor) {
  // PlaceRelativeTo and then the layer's height, in one SetPosition: the
  // first placement would be overwritten whole.
  const D3DXVECTOR3& r = anchor.m_currentPosition;
  for (CPuzzlePiece* q : group) {
    if (q == &anchor) continue;
    D3DXVECTOR3 position =
        RotateOffset(r, r + (q->m_homePosition - anchor.m_homePosition), q->m_quarterTurns);
    q->m_layer = anchor.m_layer;
    position.z = float(anchor.m_layer) * kLayerHeight;
    q->SetPosition(position);
  }
}

void JoinSidesWithinGroup(const PieceGroup& group) {
  const PieceIdSet members(group);
  for (CPuzzlePiece* q : group) {
    for (int j = 0; j < 4; ++j) {
      const CPuzzlePiece* n = q->m_neighbours[j];
      if (n && !q->m_joined[j] && members.Contains(n->m_id)) q->m_joined[j] = true;
    }
  }
}

// ---- turning ------------------------------------------------------------------------------
void RotateGroup(const PieceGroup& group, int delta, CPuzzlePiece& pivot) {
  const std::uint8_t sum = std::uint8_t(pivot.m_quarterTurns + std::int8_t(delta));
  const std::uint8_t turns = sum % 4;
  pivot.SetQuarterTurns(turns);
  for (CPuzzlePiece* q : group) {
    q->SetQuarterTurns(turns);
    q->PlaceRelativeTo(pivot);
  }
}

// ---- stacking helpers ------------------------------------------------------------------
namespace {

bool ValidLayer(std::int32_t layer) { return layer >= 0 && layer < kLayerCount; }

void OccupiedLayersPlain(std::int32_t out[kLayerCount], const PieceGroup& groupA, const PieceGroup& groupB) {
  for (const CPuzzlePiece* q : groupB) {
    if (!ValidLayer(q->m_layer) || out[q->m_layer] == 1) continue;
    for (const CPuzzlePiece* p : groupA) {
      if (PiecesOverlap(*q, *p)) out[q->m_layer] = 1;
    }
  }
}

}  // namespace

// ---- stacking -----------------------------------------------------------------------------
bool IsPointOverPiece(const CPuzzlePiece& piece, const D3DXVECTOR3& point) {
  return piece.IsPointOver(point);
}

namespace {

// True when an outline point of `outer`, in its current placement, lies over
// the top of `under`.
bool OutlineOver(const CPuzzlePiece& outer, const CPuzzlePiece& under) {
  return under.AnyOutlinePointOver(outer, kProbeHeight);
}

}  // namespace

bool PiecesOverlap(const CPuzzlePiece& a, const CPuzzlePiece& b) {
  const float s = a.GetRadius() + b.GetRadius();
  if (s * s < PieceDistanceSquared(a, b)) return false;
  return OutlineOver(b, a) || OutlineOver(a, b);
}

void OccupiedLayers(std::int32_t out[kLayerCount], const PieceGroup& groupA, const PieceGroup& groupB) {
  for (int i = 0; i < kLayerCount; ++i) out[i] = 0;
  if (groupA.empty() || groupB.empty()) return;
  // Whether q overlaps some piece of A does not depend on the order A is
  // visited in, so only the pieces of A near q are tested: none when q's
  // circle misses the box round A's circles, else those the cell index (for
  // a large A) or the plain loop finds.
  // A single held piece: PiecesOverlap's own circle test is the cheapest
  // reject.
  TableCellIndex index;
  if (groupA.size() == 1 || !index.Build(groupA)) {
    OccupiedLayersPlain(out, groupA, groupB);
    return;
  }
  const bool indexed = groupA.size() >= 16 && groupA.size() * groupB.size() >= kIndexedPairs;
  for (const CPuzzlePiece* q : groupB) {
    if (!ValidLayer(q->m_layer) || out[q->m_layer] == 1) continue;
    const double radius = q->GetRadius();
    const double x = q->m_currentPosition.x, y = q->m_currentPosition.y;
    bool any = false;
    if (!std::isfinite(radius) || !std::isfinite(x) || !std::isfinite(y)) {
      for (const CPuzzlePiece* p : groupA) any = any || PiecesOverlap(*q, *p);
    } else if (!index.MayReach(x, y, std::fabs(radius))) {
      continue;
    } else if (indexed) {
      any = index.AnyNear(x, y, std::fabs(radius),
                          [&](std::size_t i) { return PiecesOverlap(*q, *groupA[i]); });
    } else {
      for (const CPuzzlePiece* p : groupA) {
        if (PiecesOverlap(*q, *p)) {
          any = true;
          break;
        }
      }
    }
    if (any) out[q->m_layer] = 1;
  }
}
