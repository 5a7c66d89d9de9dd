#pragma once
// Wave sounds built into the program: Qt resources under ":/WAVE/<name>",
// else ":/WAV/<name>".
#include <string>
#include <vector>

#include "platform/win_types.h"

// Copies the bytes of the built-in wave named `name`; false when there is
// none or it is empty or unreadable.
bool FindWaveResource(const std::string& name, std::vector<BYTE>& bytes);
