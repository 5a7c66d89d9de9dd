#pragma once
// Sound playback: a device with a mixer (one OpenAL device and context) and
// sound buffers that hold one wave each and play it once.
//
// The buffers behave as the sound code expects of its playback service:
// Play on a playing buffer leaves it playing where it is (it does not
// restart), a buffer is filled through Lock/Unlock, and a buffer is never
// lost (GetStatus never reports DSBSTATUS_BUFFERLOST, Restore always
// succeeds). Buffers accept PCM with 8 or 16 bits per sample, 1 or 2
// channels, a block align of channels * bits / 8 and a rate within
// DSBFREQUENCY_MIN..DSBFREQUENCY_MAX; other formats answer DSERR_BADFORMAT.
//
// Every object here keeps its device and mixer alive, so buffers may outlive
// the device object that made them. One thread.
//
// Sections: buffers - device - creation
#include <memory>

#include "platform/sound/sound_types.h"

// ---- buffers -------------------------------------------------------------
class IDirectSoundBuffer {
 public:
  virtual ~IDirectSoundBuffer() = default;
  // DSBSTATUS_PLAYING while the buffer is being played.
  virtual HRESULT GetStatus(DWORD* status) = 0;
  // Makes a lost buffer usable again (its contents must then be rewritten).
  virtual HRESULT Restore() = 0;
  // Gives write access to bytes [offset, offset + bytes) of the buffer; only
  // one region (the second pointer and size answer null and 0). The buffer's
  // bytes become audible at Unlock, which also stops a playing buffer.
  virtual HRESULT Lock(DWORD offset, DWORD bytes, void** region1, DWORD* bytes1, void** region2,
                       DWORD* bytes2, DWORD flags) = 0;
  virtual HRESULT Unlock(void* region1, DWORD bytes1, void* region2, DWORD bytes2) = 0;
  // Plays the buffer once from its current position; a playing buffer keeps
  // playing undisturbed. reserved and priority must be 0; flags 0 (no loop).
  virtual HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) = 0;
  // Primary buffer only: the mixer's output format. Secondary buffers answer
  // DSERR_INVALIDCALL.
  virtual HRESULT SetFormat(const WAVEFORMATEX* format) = 0;
};

// ---- device --------------------------------------------------------------
class IDirectSound8 {
 public:
  virtual ~IDirectSound8() = default;
  // Accepted and ignored: the mixer is shared with other programs anyway.
  virtual HRESULT SetCooperativeLevel(void* window, DWORD level) = 0;
  // With DSBCAPS_PRIMARYBUFFER: the mixer's format handle (no bytes, no
  // format). Otherwise a secondary buffer of dwBufferBytes (> 0) bytes of
  // the format, filled with zero bytes. The 3D algorithm is ignored.
  virtual HRESULT CreateSoundBuffer(const DSBUFFERDESC& desc, std::unique_ptr<IDirectSoundBuffer>& out) = 0;
  // Loopback devices only: mixes the next `frames` output frames into `out`
  // (frames * channels samples of the mixer's format) and answers true;
  // other devices answer false and leave `out` alone.
  virtual bool RenderSamples(void* out, int frames) = 0;
  // The mixer's output rate in Hz.
  virtual int OutputRate() = 0;
};

// ---- creation ------------------------------------------------------------
// Opens the default playback device with a mixer at 22050 Hz (the output
// may run at another rate when the system insists). DSERR_NODRIVER when there
// is no device (no sound server or hardware): the caller then stays silent.
HRESULT DirectSoundCreate8(std::unique_ptr<IDirectSound8>& out);

// Opens a loopback device that plays nothing and mixes only on
// RenderSamples, starting at 22050 Hz stereo 16 bits; for tests. Its
// primary buffer's SetFormat chooses 1 or 2 channels of 8 or 16 bits.
HRESULT DirectSoundCreateLoopback(std::unique_ptr<IDirectSound8>& out);
