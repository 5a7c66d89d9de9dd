#pragma once
// Files built into the program (Qt resources, paths starting with ":/").
#include <string>
#include <vector>

#include "platform/win_types.h"

// Copies the bytes of the built-in file at `path` into bytes; false (and
// bytes empty) when there is none, it is empty or it cannot be read, and for
// any path that does not start with ":/".
bool ReadBuiltInFile(const std::string& path, std::vector<BYTE>& bytes);
