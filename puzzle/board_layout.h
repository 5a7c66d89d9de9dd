#pragma once
// The seeded geometry of a board: its height, the jittered corner grid, the
// piece home positions and the edge shapes. These are the steps the board
// runs when it is created and rebuilt; they are free functions over plain
// vectors so that they can be checked draw by draw without any device.
//
// Random draws go through the program's generator (platform/crt_random.h) in
// a fixed order, so the same seed gives the same board bit for bit:
// - GenerateCornerGrid: per corner (i, k), row-major, the x jitter when
//   0 < k < columns (a sign, then CrtRand() % 50), then the y jitter when
//   0 < i < rows (the same two draws). The draws are made at irregularity 0
//   too.
// - GenerateEdgeShapes: per interior edge, horizontal grid lines first, then
//   vertical ones: the tab (a sign, then % 45), f1 and f2 (% 1001 each), and
//   for Random Mix the kind (% 3). Square and Round take the same draws.
//
// Layout: the board spans x 0 .. width and y 0 .. height, row 0 at the
// smallest y. Corner (i, k) is at index i x (columns + 1) + k; horizontal
// edge i x columns + k runs from corner (i, k) to (i, k + 1); vertical edge
// k x rows + i runs from corner (i, k) to (i + 1, k).
//
// Sections: shapes and indices - board height - corners and homes - edges
#include <cstdint>
#include <vector>

#include "platform/d3d9/d3dx_math.h"
#include "puzzle/puzzle_edge.h"

// ---- shapes and indices -------------------------------------------------------
// Any other code builds classic edges.
enum PieceShape : std::int32_t {
  PieceShapeClassic = 1,
  PieceShapeSquare = 2,
  PieceShapeRound = 3,
  PieceShapeRandomMix = 51,
};

// Whether the number is one of the four shapes (1, 2, 3, 51).
inline constexpr bool IsPieceShape(std::int32_t number) {
  return number == PieceShapeClassic || number == PieceShapeSquare || number == PieceShapeRound ||
         number == PieceShapeRandomMix;
}

// A piece is this many units wide.
inline constexpr int kPieceSize = 25;

inline int CornerIndex(int i, int k, int columns) { return i * (columns + 1) + k; }
inline int HorizontalEdgeIndex(int i, int k, int columns) { return i * columns + k; }
inline int VerticalEdgeIndex(int i, int k, int rows) { return k * rows + i; }

// ---- board height ---------------------------------------------------------------
// truncate(width / a) with a = pictureWidth / pictureHeight computed in double
// and rounded to float, the division in double: 1024 x 768 at 250 units wide
// gives 187. A picture without area answers 0.
int BoardHeightFor(int width, int pictureWidth, int pictureHeight);

// ---- corners and homes ------------------------------------------------------------
// Fills corners with the (columns + 1) x (rows + 1) grid: corner (i, k) at
// (k / columns x width, i / rows x height, 0) (double, stored as float),
// interior coordinates moved by s x (d / 20) x (irregularity / 100) in
// single precision, at most 2.45 units at irregularity 100. Border corners
// move only along the border, so the outline stays a rectangle. Draws as
// described at the top. False (and corners empty, nothing drawn) when
// columns or rows is below 1.
bool GenerateCornerGrid(std::vector<D3DXVECTOR3>& corners, int columns, int rows, int width, int height,
                        float irregularity);

// Home position of every piece, row-major: 0.25 x the sum of its corners
// (r, c), (r, c + 1), (r + 1, c), (r + 1, c + 1), z 0. False (and homes
// empty) when corners does not hold the grid of columns x rows pieces.
bool ComputeHomePositions(std::vector<D3DXVECTOR3>& homes, const std::vector<D3DXVECTOR3>& corners,
                          int columns, int rows);

// ---- edges ----------------------------------------------------------------------------
// A signed tab value: a sign, then d = CrtRand() % 45; magnitude d / 10,
// raised to 1.0 when smaller: -4.4 .. -1.0 or 1.0 .. 4.4 in steps of 0.1.
float RandomTab();

// A knob fraction 0.5 + (r / 1000) x 0.3 - 0.15 for r = CrtRand() % 1001
// (0.35 .. 0.65), in single precision.
float RandomTabFraction();

// Builds every edge of the board: resizes both vectors (columns x (rows + 1)
// horizontal, (columns + 1) x rows vertical; existing edges are rebuilt in
// place) and fills them. Border edges are straight and draw nothing. Each
// interior edge draws its tab and fractions, builds the classic control
// polygon (whatever the shape), takes `definition`, and is then built by
// shape: Square straight, Round round (bump (0, t) on horizontal lines,
// (t, 0) on vertical ones), Random Mix by a further draw (1 straight,
// 2 round, 0 classic), any other code classic. The outline bulges toward
// the larger row / column when the tab is positive. False (nothing built,
// nothing drawn) when the corners or homes do not match the grid.
bool GenerateEdgeShapes(std::vector<CPuzzleEdge>& horizontal, std::vector<CPuzzleEdge>& vertical,
                        const std::vector<D3DXVECTOR3>& corners, const std::vector<D3DXVECTOR3>& homes,
                        int columns, int rows, int shape, int definition);
