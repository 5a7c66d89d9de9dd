#include "puzzle/grid_sizes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

using Size = std::pair<int, int>;  // columns, rows

namespace {
Size SizeFor(int count, float aspect) {
  Size s;
  EXPECT_TRUE(GridSizeForCount(count, aspect, s.first, s.second)) << count << " @ " << aspect;
  return s;
}
}  // namespace

TEST(GridSize, ForAWantedCount) {
  struct Case {
    int count;
    float aspect;
    Size expected;
  } cases[] = {
      {100, 1.0f, {10, 10}},
      {100, 1.5f, {12, 8}},
      {9, 4.0f, {12, 3}},
      {5, 1.0f, {3, 3}},
      {5000, 1.0f, {44, 44}},
      {2000, 1.0f, {44, 44}},
      // 3 x 1.3333334f rounds to 4.0f in single precision (5 columns in double).
      {9, 4.0f / 3.0f, {4, 3}},
      {2000, 0.1f, {15, 141}},  // over 2,000 pieces
      {100, 0.75f, {9, 11}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SizeFor(c.count, c.aspect), c.expected) << c.count << " @ " << c.aspect;
}

TEST(GridSize, CountIsClampedToNineAndTwoThousand) {
  for (float aspect : {0.5f, 1.0f, 4.0f / 3.0f, 3.0f}) {
    EXPECT_EQ(SizeFor(5, aspect), SizeFor(9, aspect)) << aspect;
    EXPECT_EQ(SizeFor(-7, aspect), SizeFor(9, aspect)) << aspect;
    EXPECT_EQ(SizeFor(5000, aspect), SizeFor(2000, aspect)) << aspect;
  }
}

TEST(GridSize, AspectThatIsNoPositiveNumberIsRefused) {
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  for (float aspect : {0.0f, -1.5f, nan, inf}) {
    int columns = 0, rows = 0;
    EXPECT_FALSE(GridSizeForCount(100, aspect, columns, rows)) << aspect;
    EXPECT_EQ(Size(columns, rows), Size(3, 3));
    std::vector<Size> list = {{1, 1}};
    EXPECT_FALSE(ListGridSizes(list, aspect));
    EXPECT_TRUE(list.empty());
  }
  // Extreme but valid aspects answer sizes (which the 2,000 limit refuses).
  for (float aspect : {1e-30f, 1e30f}) {
    const Size s = SizeFor(100, aspect);
    EXPECT_GE(s.first, 3);
    EXPECT_GE(s.second, 3);
  }
}

TEST(GridSizeList, KnownLists) {
  std::vector<Size> list;
  ASSERT_TRUE(ListGridSizes(list, 1.0f));
  ASSERT_EQ(list.size(), 42u);
  for (int n = 0; n < 42; ++n) EXPECT_EQ(list[n], Size(n + 3, n + 3));

  ASSERT_TRUE(ListGridSizes(list, 1.5f));
  ASSERT_GE(list.size(), 5u);
  EXPECT_EQ(std::vector<Size>(list.begin(), list.begin() + 5),
            (std::vector<Size>{{5, 3}, {6, 4}, {8, 5}, {9, 6}, {11, 7}}));
  EXPECT_EQ(list.back(), Size(54, 36));

  // (3, 4) follows (3, 3) with the same column count and is not listed.
  ASSERT_TRUE(ListGridSizes(list, 0.75f));
  ASSERT_GE(list.size(), 3u);
  EXPECT_EQ(std::vector<Size>(list.begin(), list.begin() + 3), (std::vector<Size>{{3, 3}, {4, 5}, {5, 6}}));
}

TEST(GridSizeList, EveryListedSizeIsPlayable) {
  for (float aspect : {0.1f, 0.25f, 0.5f, 0.75f, 1.0f, 4.0f / 3.0f, 1.5f, 16.0f / 9.0f, 4.0f, 10.0f}) {
    SCOPED_TRACE(aspect);
    std::vector<Size> list;
    ASSERT_TRUE(ListGridSizes(list, aspect));
    ASSERT_FALSE(list.empty());
    for (size_t n = 0; n < list.size(); ++n) {
      const auto [columns, rows] = list[n];
      EXPECT_GE(columns, 3);
      EXPECT_GE(rows, 3);
      EXPECT_LE(columns * rows, kMaxPieceCount) << columns << "x" << rows;
      if (n > 0) {
        EXPECT_NE(columns, list[n - 1].first) << n;
        EXPECT_NE(rows, list[n - 1].second) << n;
      }
    }
  }
}
