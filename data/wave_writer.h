#pragma once
// A minimal RIFF wave writer: mono 16-bit PCM.
#include <string>
#include <vector>

namespace makedata {

// The bytes of a RIFF "WAVE" file with a 16-byte PCM "fmt " chunk (1 channel,
// 16 bits) and one "data" chunk. Samples are -1..1 and clipped; the rate is
// in samples per second.
std::string EncodeWavePcm16(const std::vector<float>& samples, int sampleRate);

}  // namespace makedata
