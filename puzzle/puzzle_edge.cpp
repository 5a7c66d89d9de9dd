#include "puzzle/puzzle_edge.h"

#include <cmath>

// Sections: helpers - sampling density - straight - round - classic -
// nearest point - sampling

// ---- helpers ---------------------------------------------------------------------
namespace {

D3DXVECTOR2 Flat(const D3DXVECTOR3& p) { return {p.x, p.y}; }

// Single-precision distance of two samples.
float Distance(const D3DXVECTOR2& p, const D3DXVECTOR2& q) {
  const float dx = q.x - p.x;
  const float dy = q.y - p.y;
  return std::sqrt(dx * dx + dy * dy);
}

// +1 when P and Q turn counter-clockwise around C ((P - C) x (Q - C) > 0),
// else -1.
int TurnSign(const D3DXVECTOR2& p, const D3DXVECTOR2& q, const D3DXVECTOR3& c) {
  const float ux = p.x - c.x, uy = p.y - c.y;
  const float wx = q.x - c.x, wy = q.y - c.y;
  return ux * wy - uy * wx > 0.0f ? 1 : -1;
}

void StoreOutline(CPuzzleEdge& edge, const std::vector<D3DXVECTOR2>& samples) {
  edge.m_points.reserve(samples.size());
  for (const D3DXVECTOR2& s : samples) edge.m_points.emplace_back(s.x, s.y, 0.0f);
}

// Round edges: drops samples that run backwards around C or lie closer than
// one unit to their kept neighbour, forward over the first half and backward
// over the second; the middle sample is where the two passes meet.
void ThinRoundSamples(std::vector<D3DXVECTOR2>& s, const D3DXVECTOR3& c) {
  if (s.size() < 2) return;
  const size_t half = s.size() / 2;
  const int reference = TurnSign(s[half - 1], s[half], c);
  auto bad = [&](size_t i) {  // the pair (i, i + 1)
    return TurnSign(s[i], s[i + 1], c) != reference || Distance(s[i], s[i + 1]) < 1.0f;
  };
  // Neither pass removes an end sample, so the outline keeps both corners
  // even when a degenerate edge thins away everything between them.
  for (size_t i = 0; i < s.size() / 2 && i + 2 < s.size();) {
    if (bad(i))
      s.erase(s.begin() + static_cast<std::ptrdiff_t>(i + 1));
    else
      ++i;
  }
  for (size_t k = s.size() - 1; k > s.size() / 2 && k >= 2; --k) {
    if (bad(k - 1)) s.erase(s.begin() + static_cast<std::ptrdiff_t>(k - 1));
  }
}

// Classic edges: the first three and the last three segments at least 1.0.
// The end samples themselves are never removed (they are the corners).
void ThinClassicEnds(std::vector<D3DXVECTOR2>& s) {
  for (size_t i = 0; i < 3 && i + 2 < s.size();) {
    if (Distance(s[i], s[i + 1]) < 1.0f)
      s.erase(s.begin() + static_cast<std::ptrdiff_t>(i + 1));
    else
      ++i;
  }
  // k counts down while it stays within the last three segments; a removal
  // shortens the vector too, so the same segment from the end is tested again.
  for (std::ptrdiff_t k = static_cast<std::ptrdiff_t>(s.size()) - 1;
       k >= 2 && k > static_cast<std::ptrdiff_t>(s.size()) - 4; --k) {
    if (Distance(s[static_cast<size_t>(k)], s[static_cast<size_t>(k - 1)]) < 1.0f)
      s.erase(s.begin() + (k - 1));
  }
}

}  // namespace

// ---- sampling density -------------------------------------------------------------
int SamplesPerSpan(int kind, int definition) {
  if (kind != EdgeKindRound && kind != EdgeKindClassic) return 0;
  if (definition >= 1 && definition <= 4) return 2 * definition;
  return kind == EdgeKindRound ? 4 : 16;
}

// ---- straight -----------------------------------------------------------------------
void BuildStraightEdge(CPuzzleEdge& edge, const D3DXVECTOR3& a, const D3DXVECTOR3& b, bool alongY) {
  edge.m_points.clear();
  edge.m_start = a;
  edge.m_end = b;
  if (alongY) {
    edge.m_points = {a, {a.x, a.y + 0.5f, a.z}, {b.x, b.y - 0.5f, a.z}, b};
  } else {
    edge.m_points = {a, {a.x + 0.5f, a.y, a.z}, {b.x - 0.5f, b.y, a.z}, b};
  }
  edge.m_tabStart = edge.m_tabEnd = -1;
  edge.m_kind = EdgeKindStraight;
  edge.m_tabOffset = D3DXVECTOR3();
  edge.m_tabSide = 0;
}

// ---- round ----------------------------------------------------------------------------
void BuildRoundEdge(CPuzzleEdge& edge, const D3DXVECTOR3& a, const D3DXVECTOR3& b, const D3DXVECTOR3& bump,
                    int tabSide, const D3DXVECTOR3& center) {
  edge.m_points.clear();
  const D3DXVECTOR2 pa = Flat(a), pb = Flat(b), v = Flat(bump);
  const D3DXVECTOR2 d(pb.x - pa.x, pb.y - pa.y);
  const std::vector<D3DXVECTOR2> polygon = {
      pa,
      {pa.x + 0.3f * d.x + v.x, pa.y + 0.3f * d.y + v.y},
      {pa.x + 0.7f * d.x + v.x, pa.y + 0.7f * d.y + v.y},
      pb,
  };
  std::vector<D3DXVECTOR2> samples;
  SampleBSpline(samples, polygon, SamplesPerSpan(EdgeKindRound, edge.m_definition));
  edge.m_start = a;
  edge.m_end = b;
  ThinRoundSamples(samples, center);
  StoreOutline(edge, samples);
  edge.m_tabStart = edge.m_tabEnd = -1;
  edge.m_kind = EdgeKindRound;
  edge.m_tabOffset = D3DXVECTOR3(bump.x, bump.y, 0.0f);
  edge.m_tabSide = tabSide;
}

// ---- classic ---------------------------------------------------------------------------
std::vector<D3DXVECTOR3> ClassicControlPolygon(const D3DXVECTOR3& a, const D3DXVECTOR3& b,
                                               const D3DXVECTOR3& cPlus, const D3DXVECTOR3& cMinus, float f1,
                                               float f2) {
  const D3DXVECTOR3 ab = b - a;
  const D3DXVECTOR3 p1 = a + (cPlus - a) * f1;
  const D3DXVECTOR3 p2 = b + (cPlus - b) * f2;
  return {
      a,
      a + ab * 0.05f,
      p1 + (cMinus - p1) * 0.5f,  // first shoulder, dips to the other side
      a + ab * 0.4f,              // first neck point
      p1,                         // knob
      p2,                         // knob
      a + ab * 0.6f,              // second neck point
      p2 + (cMinus - p2) * 0.5f,  // second shoulder
      a + ab * 0.95f,
      b,
  };
}

void BuildClassicEdge(CPuzzleEdge& edge, const std::vector<D3DXVECTOR3>& polygon, int tabSide) {
  edge.m_points.clear();
  edge.m_kind = EdgeKindClassic;
  edge.m_tabSide = tabSide;
  edge.m_tabOffset = D3DXVECTOR3();
  edge.m_tabStart = edge.m_tabEnd = -1;
  if (polygon.empty()) {
    edge.m_start = edge.m_end = D3DXVECTOR3();
    return;
  }
  std::vector<D3DXVECTOR2> flat;
  flat.reserve(polygon.size());
  for (const D3DXVECTOR3& p : polygon) flat.push_back(Flat(p));
  std::vector<D3DXVECTOR2> samples;
  SampleBSpline(samples, flat, SamplesPerSpan(EdgeKindClassic, edge.m_definition));
  edge.m_start = polygon.front();
  edge.m_end = polygon.back();
  ThinClassicEnds(samples);
  StoreOutline(edge, samples);
  const int m = static_cast<int>(polygon.size());
  edge.m_tabStart = FindNearestOutlinePoint(edge.m_points, polygon[ClampIndex(3, m)]);
  edge.m_tabEnd = FindNearestOutlinePoint(edge.m_points, polygon[ClampIndex(m - 4, m)]);
}

// ---- nearest point ----------------------------------------------------------------------
std::int32_t FindNearestOutlinePoint(const std::vector<D3DXVECTOR3>& outline, const D3DXVECTOR3& target) {
  int best = -1;
  float smallest = 1000000.0f;
  const int count = static_cast<int>(outline.size());
  for (int i = 0; i < count; ++i) {
    const D3DXVECTOR3 d = outline[static_cast<size_t>(i)] - target;
    const float distance = D3DXVec3Length(&d);
    if (distance < smallest) {
      smallest = distance;
      best = i;
    }
  }
  if (best < 0) return -1;
  return ClampIndex(best < count / 2 ? best - 2 : best + 2, count);
}

// ---- sampling -----------------------------------------------------------------------------
int ClampIndex(int a, int m) {
  if (a < 0) return 0;
  if (a < m) return a;
  return m - 1;
}

D3DXVECTOR2 BSplinePoint(float t, const D3DXVECTOR2& p0, const D3DXVECTOR2& p1, const D3DXVECTOR2& p2,
                         const D3DXVECTOR2& p3) {
  const double u = t;
  const double u2 = u * u, u3 = u2 * u;
  const double s = 1.0 - u;
  const double b0 = s * s * s;
  const double b1 = 3.0 * u3 - 6.0 * u2 + 4.0;
  const double b2 = -3.0 * u3 + 3.0 * u2 + 3.0 * u + 1.0;
  const double b3 = u3;
  auto blend = [&](double c0, double c1, double c2, double c3) {
    return static_cast<float>(b0 * (c0 / 6.0) + b1 * (c1 / 6.0) + b2 * (c2 / 6.0) + b3 * (c3 / 6.0));
  };
  return {blend(p0.x, p1.x, p2.x, p3.x), blend(p0.y, p1.y, p2.y, p3.y)};
}

void SampleBSpline(std::vector<D3DXVECTOR2>& out, const std::vector<D3DXVECTOR2>& polygon, int n) {
  out.clear();
  const int m = static_cast<int>(polygon.size());
  if (m == 0 || n < 1) return;
  auto q = [&](int k) -> const D3DXVECTOR2& { return polygon[static_cast<size_t>(ClampIndex(k, m))]; };
  for (int s = -1; s <= m + 1; ++s) {
    for (int i = 0; i < n; ++i) {
      const float t = static_cast<float>(i) / static_cast<float>(n);
      const D3DXVECTOR2 p = BSplinePoint(t, q(s - 2), q(s - 1), q(s), q(s + 1));
      if (!out.empty() && out.back().x == p.x && out.back().y == p.y) continue;
      out.push_back(p);
    }
  }
}
