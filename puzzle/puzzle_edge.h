#pragma once
// Edge outlines of puzzle pieces.
//
// A puzzle is cut along the segments of a grid of corner points; each segment
// is one CPuzzleEdge: the two corners it joins and the outline between them.
// An outline is straight (the Square shape and every border edge), round (a
// smooth bump) or classic (a knob with a narrow neck and two shoulders).
// Round and classic outlines are control polygons sampled through a uniform
// cubic B-spline; the samples are then thinned so that neighbouring points
// near the ends lie at least one unit apart. Coordinates are board units (a
// piece is 25 units wide) in the board's x/y plane; outline points have z 0.
//
// None of these operations draws random numbers: the board draws them and
// passes the results in, so an edge rebuilt from the same inputs at another
// definition level keeps its corners, kind, tab side and control polygon.
//
// Sections: the edge record - sampling density - builders - sampling
#include <cstdint>
#include <vector>

#include "platform/d3d9/d3dx_math.h"

// ---- the edge record ---------------------------------------------------------
enum EdgeKind : std::int32_t {
  EdgeKindStraight = 0,
  EdgeKindRound = 1,
  EdgeKindClassic = 2,
};

// One edge between two grid corners. A plain copyable value: the board holds
// vectors of them and each piece keeps copies of its four.
class CPuzzleEdge {
 public:
  // The corner where the outline begins.
  D3DXVECTOR3 m_start;
  // The corner where the outline ends.
  D3DXVECTOR3 m_end;
  // The outline from m_start to m_end (first point == m_start, last ==
  // m_end exactly), z 0.
  std::vector<D3DXVECTOR3> m_points;
  // Classic edges: outline indices that bracket the knob region; -1 for the
  // other kinds.
  std::int32_t m_tabStart = -1;
  std::int32_t m_tabEnd = -1;
  // EdgeKind.
  std::int32_t m_kind = EdgeKindStraight;
  // Round edges: the bump vector V; (0, 0, 0) for the other kinds.
  D3DXVECTOR3 m_tabOffset;
  // Side into which the outline bulges: +1 toward larger y on an edge along
  // x and toward larger x on an edge along y, -1 the other way; 0 straight.
  std::int32_t m_tabSide = 0;
  // Definition level 1..4 that chooses the sampling density.
  std::int32_t m_definition = 3;
};

// ---- sampling density ----------------------------------------------------------
// Samples per B-spline span for an edge kind at a definition level:
// 2, 4, 6, 8 at levels 1..4; any other level gives 4 for round edges and 16
// for classic ones. Straight edges are not sampled (answers 0).
int SamplesPerSpan(int kind, int definition);

// ---- builders ------------------------------------------------------------------
// Each builder first empties m_points, so an edge can be rebuilt in place.
// m_definition is read, never written. Thinning never removes the first or
// the last sample, so every outline starts and ends exactly at its corners
// (also a degenerate one, shorter than a unit, that keeps only those two).

// Straight outline of four points: A, A moved 0.5 along the axis, B moved
// 0.5 back, B. The axis is x (edges running left to right) unless alongY.
// Every inner point takes A's z.
void BuildStraightEdge(CPuzzleEdge& edge, const D3DXVECTOR3& a, const D3DXVECTOR3& b, bool alongY);

// Round outline from A to B bulging by the bump vector V (parallel to a grid
// axis; its sign tells toward which piece). g is the tab side, C the home
// position of the piece on the + side of the edge, used to drop samples that
// run backwards around it.
void BuildRoundEdge(CPuzzleEdge& edge, const D3DXVECTOR3& a, const D3DXVECTOR3& b, const D3DXVECTOR3& bump,
                    int tabSide, const D3DXVECTOR3& center);

// The ten-point classic control polygon from the corners A and B, the home
// positions of the piece the knob bulges into (cPlus) and of the other piece
// (cMinus), and the fractions f1, f2 (0.35 .. 0.65). Single precision, every
// difference, product and sum rounded to float.
std::vector<D3DXVECTOR3> ClassicControlPolygon(const D3DXVECTOR3& a, const D3DXVECTOR3& b,
                                               const D3DXVECTOR3& cPlus, const D3DXVECTOR3& cMinus, float f1,
                                               float f2);

// Classic outline through a control polygon (normally the ten points of
// ClassicControlPolygon). The first and the last three segments come out at
// least 1.0 long; m_tabStart / m_tabEnd are the outline indices nearest the
// neck points (control points 3 and m - 4, clamped into a shorter polygon),
// widened by two away from the middle. An empty polygon gives an empty
// outline with tab indices -1.
void BuildClassicEdge(CPuzzleEdge& edge, const std::vector<D3DXVECTOR3>& polygon, int tabSide);

// The index of the outline point nearest the target (3D distance; the first
// of equally near points wins), moved by two away from the middle: minus two
// in the first half (index < count / 2), plus two in the second. The answer
// stays inside the outline (0 .. count - 1); -1 for an empty outline or when
// no point lies within 1,000,000 units.
std::int32_t FindNearestOutlinePoint(const std::vector<D3DXVECTOR3>& outline, const D3DXVECTOR3& target);

// ---- sampling ------------------------------------------------------------------
// Clears out and samples the uniform cubic B-spline of the control polygon
// with n samples per span over the spans -1 .. m + 1 (m control points,
// indices clamped), so the curve starts exactly at P[0] and ends exactly at
// P[m - 1]. A sample equal to the one appended before it is skipped. An
// empty polygon or n < 1 gives no samples.
void SampleBSpline(std::vector<D3DXVECTOR2>& out, const std::vector<D3DXVECTOR2>& polygon, int n);

// One point of a uniform cubic B-spline segment, t in [0, 1). Evaluated in
// double precision and rounded to float once, so that equal control points
// give exactly that point.
D3DXVECTOR2 BSplinePoint(float t, const D3DXVECTOR2& p0, const D3DXVECTOR2& p1, const D3DXVECTOR2& p2,
                         const D3DXVECTOR2& p3);

// 0 when a < 0, a when a < m, else m - 1.
int ClampIndex(int a, int m);
