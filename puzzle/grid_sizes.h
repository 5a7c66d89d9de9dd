#pragma once
// Grid sizes for a wanted number of pieces, as the new-puzzle dialog offers
// them. A board has at least 3 x 3 and at most kMaxPieceCount pieces.
#include <utility>
#include <vector>

inline constexpr int kMinPieceCount = 9;
inline constexpr int kMaxPieceCount = 2000;

// Columns and rows for about `count` pieces (clamped to 9 .. 2000) on a
// picture of the given aspect ratio (width / height): rows =
// truncate(sqrt(count / aspect)), columns = ceil(rows x aspect), each at
// least 3, in single precision (the quotient, root and product each rounded
// to float). The answer can exceed 2,000 pieces (2,000 at aspect 0.1 gives
// 15 x 141); a board must not be created with such a size.
// An aspect that is not a positive finite number answers false and 3 x 3.
bool GridSizeForCount(int count, float aspect, int& columns, int& rows);

// The sizes to offer for a picture of the given aspect ratio, in order of
// growing piece count: GridSizeForCount for every count 9 .. 1999, keeping
// only sizes of 9 .. 2000 pieces, and listing a size only when its columns
// and its rows both differ from those of the size found for the count before
// it. Answers false (and an empty list) when GridSizeForCount does.
bool ListGridSizes(std::vector<std::pair<int, int>>& sizes, float aspect);
