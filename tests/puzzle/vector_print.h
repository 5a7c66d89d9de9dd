#pragma once
// Readable vectors in test failure messages.
#include <iomanip>
#include <ostream>

#include "platform/d3d9/d3dx_math.h"

inline void PrintTo(const D3DXVECTOR2& v, std::ostream* os) {
  *os << std::setprecision(9) << "(" << v.x << ", " << v.y << ")";
}
inline void PrintTo(const D3DXVECTOR3& v, std::ostream* os) {
  *os << std::setprecision(9) << "(" << v.x << ", " << v.y << ", " << v.z << ")";
}
