#include "puzzle/grid_sizes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

// Truncation toward zero that stays defined for any float: values beyond the
// largest useful size saturate (they only arise from extreme aspect ratios
// and are refused by the 2,000-piece limit anyway).
int TruncateSize(float v) {
  constexpr float kLimit = 1.0e9f;
  if (!(v > 0.0f)) return 0;
  return v >= kLimit ? static_cast<int>(kLimit) : static_cast<int>(v);
}

}  // namespace

bool GridSizeForCount(int count, float aspect, int& columns, int& rows) {
  if (!(aspect > 0.0f) || !std::isfinite(aspect)) {
    columns = rows = 3;
    return false;
  }
  const int n = std::clamp(count, kMinPieceCount, kMaxPieceCount);
  const float quotient = static_cast<float>(n) / aspect;
  const float root = std::sqrt(quotient);
  rows = std::max(TruncateSize(root), 3);
  const float product = static_cast<float>(rows) * aspect;
  columns = std::max(TruncateSize(std::ceil(product)), 3);
  return true;
}

bool ListGridSizes(std::vector<std::pair<int, int>>& sizes, float aspect) {
  sizes.clear();
  std::pair<int, int> previous(0, 0);
  for (int n = kMinPieceCount; n < kMaxPieceCount; ++n) {
    int columns = 0, rows = 0;
    if (!GridSizeForCount(n, aspect, columns, rows)) return false;
    const std::int64_t pieces = static_cast<std::int64_t>(columns) * rows;
    if (columns < 3 || rows < 3 || pieces < kMinPieceCount || pieces > kMaxPieceCount) continue;
    if (columns != previous.first && rows != previous.second) sizes.emplace_back(columns, rows);
    previous = {columns, rows};
  }
  return true;
}
