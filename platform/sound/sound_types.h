#pragma once
// Wave-format and sound-buffer types and result codes that the sound code is
// written against. Only shapes and values: the behaviour lives in
// platform/sound/sound_device.h (playback) and sound/wave_file.h (wave reader).
#include <cstdint>

#include "platform/win_types.h"

// A 128-bit identifier (only GUID_NULL is used: the default 3D algorithm).
struct GUID {
  std::uint32_t data1 = 0;
  std::uint16_t data2 = 0;
  std::uint16_t data3 = 0;
  std::uint8_t data4[8] = {};
  friend bool operator==(const GUID&, const GUID&) = default;
};
inline constexpr GUID GUID_NULL{};

// The wave format record exactly as stored in a "fmt " chunk: 18 bytes, no
// padding. cbSize counts the extra format bytes that follow it (0 for PCM).
#pragma pack(push, 1)
struct WAVEFORMATEX {
  WORD wFormatTag = 0;
  WORD nChannels = 0;
  DWORD nSamplesPerSec = 0;
  DWORD nAvgBytesPerSec = 0;
  WORD nBlockAlign = 0;
  WORD wBitsPerSample = 0;
  WORD cbSize = 0;
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18);

inline constexpr WORD WAVE_FORMAT_PCM = 1;

// Buffer description flags and status bits.
inline constexpr DWORD DSBCAPS_PRIMARYBUFFER = 0x00000001;
inline constexpr DWORD DSBSTATUS_PLAYING = 0x00000001;
inline constexpr DWORD DSBSTATUS_BUFFERLOST = 0x00000002;
inline constexpr DWORD DSSCL_PRIORITY = 0x00000002;

// Result codes of the sound layer.
inline constexpr HRESULT DS_OK = 0;
inline constexpr HRESULT DSERR_BUFFERLOST = static_cast<HRESULT>(0x88780096u);
inline constexpr HRESULT DSERR_INVALIDCALL = static_cast<HRESULT>(0x88780032u);
inline constexpr HRESULT DSERR_BADFORMAT = static_cast<HRESULT>(0x88780064u);
inline constexpr HRESULT DSERR_NODRIVER = static_cast<HRESULT>(0x88780078u);
inline constexpr HRESULT DSERR_INVALIDPARAM = E_INVALIDARG;
inline constexpr HRESULT CO_E_NOTINITIALIZED = static_cast<HRESULT>(0x800401F0u);

// Slowest and fastest sample rates a sound buffer accepts.
inline constexpr DWORD DSBFREQUENCY_MIN = 100;
inline constexpr DWORD DSBFREQUENCY_MAX = 200000;

// Description of a buffer to create: flags, size in bytes (0 for the primary
// buffer), its format (none for the primary buffer) and the 3D algorithm.
struct DSBUFFERDESC {
  DWORD dwSize = sizeof(DSBUFFERDESC);
  DWORD dwFlags = 0;
  DWORD dwBufferBytes = 0;
  DWORD dwReserved = 0;
  const WAVEFORMATEX* lpwfxFormat = nullptr;
  GUID guid3DAlgorithm{};
};
