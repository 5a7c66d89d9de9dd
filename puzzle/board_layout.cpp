#include "puzzle/board_layout.h"

#include <cmath>
#include <cstddef>

#include "platform/crt_random.h"

// Sections: board height - corners and homes - edges

namespace {

bool GridFits(size_t cornerCount, int columns, int rows) {
  return columns >= 1 && rows >= 1 &&
         cornerCount == static_cast<size_t>(columns + 1) * static_cast<size_t>(rows + 1);
}

// s x (d / 20) x (irregularity / 100) for a sign s and d = CrtRand() % 50.
float CornerJitter(float irregularity) {
  const float sign = static_cast<float>(CrtRandomSign());
  const float d = static_cast<float>(CrtRand() % 50);
  return (sign * (d / 20.0f)) * (irregularity / 100.0f);
}

// What one interior edge needs from the grid around it.
struct InteriorEdge {
  D3DXVECTOR3 a, b;               // start and end corner
  const D3DXVECTOR3* plusPiece;   // home of the piece on the larger row / column
  const D3DXVECTOR3* minusPiece;  // home of the piece on the smaller one
  bool alongY;
};

void BuildInteriorEdge(CPuzzleEdge& edge, const InteriorEdge& e, int shape, int definition) {
  const float t = RandomTab();
  const int g = t > 0.0f ? 1 : -1;
  const D3DXVECTOR3& cPlus = g > 0 ? *e.plusPiece : *e.minusPiece;
  const D3DXVECTOR3& cMinus = g > 0 ? *e.minusPiece : *e.plusPiece;
  const float f1 = RandomTabFraction();
  const float f2 = RandomTabFraction();
  const std::vector<D3DXVECTOR3> polygon = ClassicControlPolygon(e.a, e.b, cPlus, cMinus, f1, f2);
  edge.m_definition = definition;
  int kind = EdgeKindClassic;
  if (shape == PieceShapeSquare) {
    kind = EdgeKindStraight;
  } else if (shape == PieceShapeRound) {
    kind = EdgeKindRound;
  } else if (shape == PieceShapeRandomMix) {
    const int j = CrtRand() % 3;
    kind = j == 1 ? EdgeKindStraight : j == 2 ? EdgeKindRound : EdgeKindClassic;
  }
  if (kind == EdgeKindStraight) {
    BuildStraightEdge(edge, e.a, e.b, e.alongY);
  } else if (kind == EdgeKindRound) {
    const D3DXVECTOR3 bump = e.alongY ? D3DXVECTOR3(t, 0, 0) : D3DXVECTOR3(0, t, 0);
    BuildRoundEdge(edge, e.a, e.b, bump, g, *e.plusPiece);
  } else {
    BuildClassicEdge(edge, polygon, g);
  }
}

}  // namespace

// ---- board height ------------------------------------------------------------------
int BoardHeightFor(int width, int pictureWidth, int pictureHeight) {
  if (width <= 0 || pictureWidth <= 0 || pictureHeight <= 0) return 0;
  const float aspect = static_cast<float>(static_cast<double>(pictureWidth) / pictureHeight);
  const double height = static_cast<double>(width) / aspect;
  return height >= 2.0e9 ? 2000000000 : static_cast<int>(height);
}

// ---- corners and homes -----------------------------------------------------------------
bool GenerateCornerGrid(std::vector<D3DXVECTOR3>& corners, int columns, int rows, int width, int height,
                        float irregularity) {
  corners.clear();
  if (columns < 1 || rows < 1) return false;
  corners.resize(static_cast<size_t>(columns + 1) * static_cast<size_t>(rows + 1));
  for (int i = 0; i <= rows; ++i) {
    for (int k = 0; k <= columns; ++k) {
      float x = static_cast<float>(static_cast<double>(k) / columns * width);
      float y = static_cast<float>(static_cast<double>(i) / rows * height);
      if (0 < k && k < columns) x += CornerJitter(irregularity);
      if (0 < i && i < rows) y += CornerJitter(irregularity);
      corners[static_cast<size_t>(CornerIndex(i, k, columns))] = D3DXVECTOR3(x, y, 0.0f);
    }
  }
  return true;
}

bool ComputeHomePositions(std::vector<D3DXVECTOR3>& homes, const std::vector<D3DXVECTOR3>& corners,
                          int columns, int rows) {
  homes.clear();
  if (!GridFits(corners.size(), columns, rows)) return false;
  homes.reserve(static_cast<size_t>(columns) * static_cast<size_t>(rows));
  auto corner = [&](int i, int k) { return corners[static_cast<size_t>(CornerIndex(i, k, columns))]; };
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      const D3DXVECTOR3 sum = corner(r, c) + corner(r, c + 1) + corner(r + 1, c) + corner(r + 1, c + 1);
      const D3DXVECTOR3 home = sum * 0.25f;
      homes.emplace_back(home.x, home.y, 0.0f);
    }
  }
  return true;
}

// ---- edges ---------------------------------------------------------------------------------
float RandomTab() {
  const float sign = static_cast<float>(CrtRandomSign());
  float magnitude = static_cast<float>(CrtRand() % 45) / 10.0f;
  if (magnitude < 1.0f) magnitude = 1.0f;
  return sign * magnitude;
}

float RandomTabFraction() {
  const float r = static_cast<float>(CrtRand() % 1001);
  return 0.5f + (r / 1000.0f) * 0.3f - 0.15f;
}

bool GenerateEdgeShapes(std::vector<CPuzzleEdge>& horizontal, std::vector<CPuzzleEdge>& vertical,
                        const std::vector<D3DXVECTOR3>& corners, const std::vector<D3DXVECTOR3>& homes,
                        int columns, int rows, int shape, int definition) {
  if (!GridFits(corners.size(), columns, rows) ||
      homes.size() != static_cast<size_t>(columns) * static_cast<size_t>(rows))
    return false;
  auto corner = [&](int i, int k) { return corners[static_cast<size_t>(CornerIndex(i, k, columns))]; };
  auto home = [&](int r, int c) { return &homes[static_cast<size_t>(r * columns + c)]; };
  horizontal.resize(static_cast<size_t>(columns) * static_cast<size_t>(rows + 1));
  vertical.resize(static_cast<size_t>(columns + 1) * static_cast<size_t>(rows));
  for (int i = 0; i <= rows; ++i) {
    for (int k = 0; k < columns; ++k) {
      CPuzzleEdge& edge = horizontal[static_cast<size_t>(HorizontalEdgeIndex(i, k, columns))];
      if (i == 0 || i == rows) {
        BuildStraightEdge(edge, corner(i, k), corner(i, k + 1), false);
        continue;
      }
      BuildInteriorEdge(edge, {corner(i, k), corner(i, k + 1), home(i, k), home(i - 1, k), false}, shape,
                        definition);
    }
  }
  for (int k = 0; k <= columns; ++k) {
    for (int i = 0; i < rows; ++i) {
      CPuzzleEdge& edge = vertical[static_cast<size_t>(VerticalEdgeIndex(i, k, rows))];
      if (k == 0 || k == columns) {
        BuildStraightEdge(edge, corner(i, k), corner(i + 1, k), true);
        continue;
      }
      BuildInteriorEdge(edge, {corner(i, k), corner(i + 1, k), home(i, k), home(i, k - 1), true}, shape,
                        definition);
    }
  }
  return true;
}
