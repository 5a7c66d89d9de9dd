#pragma once
// Builds wave files byte by byte for the sound tests.
#include <cmath>
#include <cstdint>
#include <string>

namespace wavebytes {

inline std::string U16(unsigned v) { return {char(v & 0xFF), char((v >> 8) & 0xFF)}; }
inline std::string U32(std::uint32_t v) { return U16(v & 0xFFFF) + U16(v >> 16); }

// <id> <size> <bytes>, with the pad byte after an odd size. `size` overrides
// the stored size (to describe more bytes than there are).
inline std::string Chunk(const std::string& id, const std::string& bytes, long long size = -1) {
  std::string c =
      id + U32(size < 0 ? static_cast<std::uint32_t>(bytes.size()) : static_cast<std::uint32_t>(size)) +
      bytes;
  if (bytes.size() % 2) c += '\0';
  return c;
}

// The 16 bytes of a PCM-style format record.
inline std::string FormatBody(unsigned tag, unsigned channels, unsigned rate, unsigned bits) {
  const unsigned align = channels * bits / 8;
  return U16(tag) + U16(channels) + U32(rate) + U32(rate * align) + U16(align) + U16(bits);
}

inline std::string Fmt(unsigned tag, unsigned channels, unsigned rate, unsigned bits) {
  return Chunk("fmt ", FormatBody(tag, channels, rate, bits));
}

inline std::string Riff(const std::string& chunks, const std::string& form = "WAVE") {
  return "RIFF" + U32(static_cast<std::uint32_t>(4 + chunks.size())) + form + chunks;
}

inline std::string Bytes(size_t n, unsigned start = 0) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = char((start + i * 7) & 0xFF);
  return s;
}

// A PCM wave of `frames` frames of a sine of `hz` at 1/2 of full scale.
inline std::string SineWave(unsigned channels, unsigned rate, unsigned bits, unsigned frames, double hz) {
  std::string data;
  for (unsigned i = 0; i < frames; ++i) {
    const double v = 0.5 * std::sin(2.0 * M_PI * hz * i / rate);
    for (unsigned c = 0; c < channels; ++c) {
      if (bits == 8)
        data += char(static_cast<int>(std::lround(128 + v * 127)));
      else
        data += U16(static_cast<unsigned>(static_cast<int>(std::lround(v * 32767))) & 0xFFFF);
    }
  }
  return Riff(Fmt(1, channels, rate, bits) + Chunk("data", data));
}

}  // namespace wavebytes
