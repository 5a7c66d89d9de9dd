#pragma once
// The part of world space a draw can reach: the clip volume of a view and a
// projection (-w <= x <= w, -w <= y <= w, 0 <= z <= w of the row vector
// world x view x projection) as six planes in world space, and a test of a
// box, placed by a world matrix, against it.
//
// The test is conservative: it answers false only when every point of the
// box lies outside one plane by a margin far above the rounding of a
// device's single-precision vertex transform, so a draw whose geometry lies
// in the box and is skipped on a false answer changes no pixel. The
// viewport maps the clip volume onto its rectangle and cuts nothing more
// away, so it plays no part.
//
// Sections: boxes - the volume
#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/d3dx_math.h"

// ---- boxes ---------------------------------------------------------------------------------
// A box in a mesh's own frame: centre and half sizes, and the distance of
// its farthest corner from the frame's origin (for the quick rejection).
struct ViewBox {
  float centre[3] = {0, 0, 0};
  float half[3] = {0, 0, 0};
  float radius = 0;
};

// The box round count positions (an empty box at the origin for none).
ViewBox BoxAround(const D3DXVECTOR3* positions, std::size_t count);
// The smallest box holding both.
ViewBox UniteBoxes(const ViewBox& a, const ViewBox& b);

// ---- the volume ----------------------------------------------------------------------------
class CKVRViewVolume {
 public:
  // A volume that lets everything through.
  CKVRViewVolume() = default;
  // The clip volume of view x projection.
  CKVRViewVolume(const D3DXMATRIX& view, const D3DXMATRIX& projection);
  // The volume of the device's current view and projection; one that lets
  // everything through without a device or when it does not answer.
  static CKVRViewVolume OfDevice(IDirect3DDevice9* device);

  // Whether any point of box, carried by world (row vectors), may lie in
  // the volume. True for a world matrix that is not affine and for a volume
  // that lets everything through.
  bool MayTouch(const D3DXMATRIX& world, const ViewBox& box) const;
  bool LetsEverythingThrough() const { return !m_active; }

 private:
  enum Side { kOutside, kAcross, kInside };
  // The sphere of radius round t; spread is |t.x| + |t.y| + |t.z|.
  Side SphereSide(const double t[3], double spread, double radius) const;
  bool BoxOutside(const D3DXMATRIX& world, const ViewBox& box) const;

  bool m_active = false;
  // Plane k: m_planes[k] . (x, y, z, 1) >= 0 inside; m_sizes[k] bounds the
  // magnitude of each term the device adds up for that plane (absolute
  // values of view and projection multiplied out), the scale of its
  // rounding.
  double m_planes[6][4] = {};
  double m_sizes[6][4] = {};
  // The sphere test, which runs for every piece, takes the planes two at a
  // time: lane j of pair p is plane 2p + j. The distance of t from a plane
  // is normal . t + offset; the reach of a sphere of radius r round t is
  // r * perRadius + spread(t) * perSpread + reachBase, the sphere's own
  // reach along the normal plus a bound of the rounding.
  typedef double Pair __attribute__((vector_size(16)));
  struct PlanePairs {
    Pair m_normalX[3], m_normalY[3], m_normalZ[3], m_offset[3];
    Pair m_perRadius[3], m_perSpread[3], m_reachBase[3];
  };
  PlanePairs m_pairs = {};
};
