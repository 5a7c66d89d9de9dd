#pragma once
// The one path separator of the whole program. Every join and split of a path
// uses it; data folder suffixes are built from it.

inline constexpr char kPathSeparator = '/';
inline constexpr const char* kPathSeparatorString = "/";
