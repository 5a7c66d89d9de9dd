#pragma once
// Pieces binned by their table position, for "which pieces may touch this
// circle" queries over large groups: the stacking tests of the puzzle model
// and the play screen's drag step.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "puzzle/puzzle_piece.h"

// The pieces of a group binned by their table position into square cells at
// least as wide as two of the group's largest bounding radius, so that every
// piece whose bounding circle can touch a given circle lies in the few cells
// that circle covers. Visiting order within the query is the group order.
class TableCellIndex {
 public:
  // False when the group cannot be binned (a position or radius that is not
  // finite); the caller then uses the plain loop.
  bool Build(const PieceGroup& group) {
    if (group.empty()) return false;
    double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
    m_maxRadius = 0.0;
    for (const CPuzzlePiece* p : group) {
      const double x = p->m_currentPosition.x, y = p->m_currentPosition.y, r = p->GetRadius();
      if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(r)) return false;
      minX = std::min(minX, x);
      minY = std::min(minY, y);
      maxX = std::max(maxX, x);
      maxY = std::max(maxY, y);
      m_maxRadius = std::max(m_maxRadius, std::fabs(r));
    }
    m_cell = std::max(1.0, 2.0 * m_maxRadius);
    const double limit = 4.0 * double(group.size()) + 64.0;  // cells kept near the piece count
    while (((maxX - minX) / m_cell + 1.0) * ((maxY - minY) / m_cell + 1.0) > limit) m_cell *= 2.0;
    m_minX = minX;
    m_minY = minY;
    m_maxX = maxX;
    m_maxY = maxY;
    m_nx = std::int64_t((maxX - minX) / m_cell) + 1;
    m_ny = std::int64_t((maxY - minY) / m_cell) + 1;
    std::vector<std::int64_t> cellOf(group.size());
    m_starts.assign(std::size_t(m_nx * m_ny + 1), 0);
    for (std::size_t i = 0; i < group.size(); ++i) {
      cellOf[i] = CellX(group[i]->m_currentPosition.x) + CellY(group[i]->m_currentPosition.y) * m_nx;
      ++m_starts[std::size_t(cellOf[i]) + 1];
    }
    for (std::size_t c = 1; c < m_starts.size(); ++c) m_starts[c] += m_starts[c - 1];
    m_members.assign(group.size(), 0);
    std::vector<std::size_t> fill(m_starts.begin(), m_starts.end() - 1);
    for (std::size_t i = 0; i < group.size(); ++i) m_members[fill[std::size_t(cellOf[i])]++] = i;
    return true;
  }

  // Whether a circle (x, y, radius) may reach the circle of any piece: false
  // when it misses the box round all of them.
  bool MayReach(double x, double y, double radius) const {
    const double reach = radius + m_maxRadius + Margin(x, y, radius);
    return x + reach >= m_minX && x - reach <= m_maxX && y + reach >= m_minY && y - reach <= m_maxY;
  }

  // Calls visit(position in group) for every piece whose bounding circle may
  // reach the circle (x, y, radius), until visit answers true; answers
  // whether it did. Exact circle tests are left to visit.
  template <class Visit>
  bool AnyNear(double x, double y, double radius, Visit visit) const {
    const double reach = radius + m_maxRadius + Margin(x, y, radius);
    const double lo = -reach;
    const double hi = reach;
    const std::int64_t x0 = CellX(x + lo), x1 = CellX(x + hi);
    const std::int64_t y0 = CellY(y + lo), y1 = CellY(y + hi);
    for (std::int64_t cy = y0; cy <= y1; ++cy) {
      for (std::int64_t cx = x0; cx <= x1; ++cx) {
        const std::size_t c = std::size_t(cx + cy * m_nx);
        for (std::size_t k = m_starts[c]; k < m_starts[c + 1]; ++k)
          if (visit(m_members[k])) return true;
      }
    }
    return false;
  }

 private:
  // Far above the rounding of the float circle test.
  double Margin(double x, double y, double radius) const {
    return 1.0 + 1e-4 * (std::fabs(x) + std::fabs(y) + radius + m_maxRadius + std::fabs(m_minX) +
                         std::fabs(m_maxX) + std::fabs(m_minY) + std::fabs(m_maxY));
  }
  std::int64_t Clamp(double v, std::int64_t n) const {
    if (!(v > 0.0)) return 0;
    if (v >= double(n - 1)) return n - 1;
    return std::int64_t(v);
  }
  std::int64_t CellX(double x) const { return Clamp((x - m_minX) / m_cell, m_nx); }
  std::int64_t CellY(double y) const { return Clamp((y - m_minY) / m_cell, m_ny); }

  double m_minX = 0, m_minY = 0, m_maxX = 0, m_maxY = 0, m_cell = 1, m_maxRadius = 0;
  std::int64_t m_nx = 1, m_ny = 1;
  std::vector<std::size_t> m_starts;
  std::vector<std::size_t> m_members;
};
