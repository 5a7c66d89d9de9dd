#include "engine/view_volume.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

// A point counts as outside a plane only when it is farther out than this
// share of the magnitudes the device adds up: single-precision rounding of
// a few products stays below 1e-6 of them.
constexpr double kMargin = 1e-5;

}  // namespace

// ---- boxes ---------------------------------------------------------------------------------
ViewBox BoxAround(const D3DXVECTOR3* positions, std::size_t count) {
  ViewBox box;
  if (count == 0) return box;
  float low[3] = {positions[0].x, positions[0].y, positions[0].z};
  float high[3] = {low[0], low[1], low[2]};
  for (std::size_t i = 1; i < count; ++i) {
    const float p[3] = {positions[i].x, positions[i].y, positions[i].z};
    for (int c = 0; c < 3; ++c) {
      low[c] = std::min(low[c], p[c]);
      high[c] = std::max(high[c], p[c]);
    }
  }
  double farthest = 0;
  for (int c = 0; c < 3; ++c) {
    // Rounded outwards: the box holds every position exactly.
    const double centre = (double(low[c]) + high[c]) / 2, half = (double(high[c]) - low[c]) / 2;
    box.centre[c] = float(centre);
    box.half[c] = std::nextafter(float(half + std::fabs(centre - box.centre[c])), HUGE_VALF);
    const double reach = std::fabs(double(box.centre[c])) + box.half[c];
    farthest += reach * reach;
  }
  box.radius = std::nextafter(float(std::sqrt(farthest)), HUGE_VALF);
  return box;
}

ViewBox UniteBoxes(const ViewBox& a, const ViewBox& b) {
  D3DXVECTOR3 corners[4];
  for (int c = 0; c < 3; ++c) {
    (&corners[0].x)[c] = a.centre[c] - a.half[c];
    (&corners[1].x)[c] = a.centre[c] + a.half[c];
    (&corners[2].x)[c] = b.centre[c] - b.half[c];
    (&corners[3].x)[c] = b.centre[c] + b.half[c];
  }
  // Corner sums may round inwards by an ulp; BoxAround widens by one.
  ViewBox box = BoxAround(corners, 4);
  for (float& h : box.half) h = std::nextafter(h, HUGE_VALF);
  box.radius = std::max({box.radius, a.radius, b.radius});
  return box;
}

// ---- the volume ----------------------------------------------------------------------------
CKVRViewVolume::CKVRViewVolume(const D3DXMATRIX& view, const D3DXMATRIX& projection) : m_active(true) {
  double clip[4][4], size[4][4];  // view x projection, and of their absolute values
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) {
      clip[r][c] = size[r][c] = 0;
      for (int k = 0; k < 4; ++k) {
        clip[r][c] += double(view.m[r][k]) * projection.m[k][c];
        size[r][c] += std::fabs(double(view.m[r][k])) * std::fabs(double(projection.m[k][c]));
      }
    }
  // x >= -w, x <= w, y >= -w, y <= w, z >= 0, z <= w.
  static constexpr int kAxis[6] = {0, 0, 1, 1, 2, 2};
  static constexpr double kSign[6] = {1, -1, 1, -1, 1, -1};
  static constexpr double kW[6] = {1, 1, 1, 1, 0, 1};
  for (int k = 0; k < 6; ++k) {
    double length = 0;
    for (int r = 0; r < 4; ++r) {
      m_planes[k][r] = kSign[k] * clip[r][kAxis[k]] + kW[k] * clip[r][3];
      m_sizes[k][r] = size[r][kAxis[k]] + kW[k] * size[r][3];
      if (r < 3) length += m_planes[k][r] * m_planes[k][r];
    }
    // The rounding bound kMargin * (sizes . |t| + size[3] + sizes' sum * r),
    // with sizes . |t| bounded by the largest size times spread(t).
    const double* s = m_sizes[k];
    const int pair = k / 2, lane = k % 2;
    m_pairs.m_normalX[pair][lane] = m_planes[k][0];
    m_pairs.m_normalY[pair][lane] = m_planes[k][1];
    m_pairs.m_normalZ[pair][lane] = m_planes[k][2];
    m_pairs.m_offset[pair][lane] = m_planes[k][3];
    m_pairs.m_perRadius[pair][lane] = std::sqrt(length) + kMargin * (s[0] + s[1] + s[2]);
    m_pairs.m_perSpread[pair][lane] = kMargin * std::max({s[0], s[1], s[2]});
    m_pairs.m_reachBase[pair][lane] = kMargin * s[3];
  }
}

CKVRViewVolume CKVRViewVolume::OfDevice(IDirect3DDevice9* device) {
  D3DMATRIX view, projection;
  if (!device || FAILED(device->GetTransform(D3DTS_VIEW, &view)) ||
      FAILED(device->GetTransform(D3DTS_PROJECTION, &projection)))
    return CKVRViewVolume();
  return CKVRViewVolume(view, projection);
}

namespace {
// Whether the last column is (0, 0, 0, 1), read from the bits: -0 counts
// as not affine, which only sends the world to the answer true.
bool IsAffine(const D3DXMATRIX& world) {
  std::uint32_t bits[4];
  std::memcpy(&bits[0], &world._14, 4);
  std::memcpy(&bits[1], &world._24, 4);
  std::memcpy(&bits[2], &world._34, 4);
  std::memcpy(&bits[3], &world._44, 4);
  return (bits[0] | bits[1] | bits[2]) == 0 && bits[3] == 0x3f800000u;
}

// An upper bound of how much the matrix's 3x3 part stretches a length: its
// Frobenius norm, summed in single precision and widened well past that
// sum's rounding.
double Stretch(const D3DXMATRIX& m) {
  // Column by column, the last column's zeros included: one sum a column.
  float columns[4] = {0, 0, 0, 0};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 4; ++c) columns[c] += m.m[r][c] * m.m[r][c];
  const float sum = (columns[0] + columns[1]) + (columns[2] + columns[3]);
  return std::sqrt(double(sum) * (1 + 1e-5));
}
}  // namespace

bool CKVRViewVolume::MayTouch(const D3DXMATRIX& world, const ViewBox& box) const {
  if (!m_active || !IsAffine(world)) return true;
  // Quick: the sphere round the frame's origin holding the box, wholly
  // outside one plane or inside all. The box itself only for a sphere
  // across a plane.
  const double t[3] = {world._41, world._42, world._43};
  const double spread = std::fabs(t[0]) + std::fabs(t[1]) + std::fabs(t[2]);
  switch (SphereSide(t, spread, box.radius * Stretch(world))) {
    case kOutside: return false;
    case kInside: return true;
    default: return !BoxOutside(world, box);
  }
}

CKVRViewVolume::Side CKVRViewVolume::SphereSide(const double t[3], double spread, double radius) const {
  const PlanePairs& p = m_pairs;
  const Pair x = {t[0], t[0]}, y = {t[1], t[1]}, z = {t[2], t[2]};
  const Pair r = {radius, radius}, sp = {spread, spread};
  decltype(Pair{} < Pair{}) across = {0, 0};  // lanes all ones where across
  for (int i = 0; i < 3; ++i) {
    const Pair distance = p.m_normalX[i] * x + p.m_normalY[i] * y + p.m_normalZ[i] * z + p.m_offset[i];
    const Pair reach = r * p.m_perRadius[i] + sp * p.m_perSpread[i] + p.m_reachBase[i];
    const auto outside = distance < -reach;  // lanes all ones where true
    if (outside[0] | outside[1]) return kOutside;
    across |= distance < reach;
  }
  return (across[0] | across[1]) ? kAcross : kInside;
}

bool CKVRViewVolume::BoxOutside(const D3DXMATRIX& world, const ViewBox& box) const {
  // How far the box's points reach from the translation, per world axis.
  double reach[3] = {0, 0, 0};
  for (int r = 0; r < 3; ++r) {
    const double extent = std::fabs(double(box.centre[r])) + box.half[r];
    for (int c = 0; c < 3; ++c) reach[c] += std::fabs(double(world.m[r][c])) * extent;
  }
  for (int k = 0; k < 6; ++k) {
    const double* a = m_planes[k];
    const double* s = m_sizes[k];
    double distance = a[0] * world._41 + a[1] * world._42 + a[2] * world._43 + a[3];
    double size = s[3];
    for (int r = 0; r < 3; ++r) {
      // The plane's normal in the box's frame: row r of world dotted with it.
      const double n = a[0] * world.m[r][0] + a[1] * world.m[r][1] + a[2] * world.m[r][2];
      distance += n * box.centre[r] + std::fabs(n) * box.half[r];
      size += s[r] * (std::fabs(double(world.m[3][r])) + reach[r]);
    }
    if (distance < -kMargin * size) return true;
  }
  return false;
}
