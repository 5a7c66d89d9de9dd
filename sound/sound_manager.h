#pragma once
// The program's sound: g_SoundManager owns the playback device and makes
// sounds from wave files; a CKVASound plays one wave, once per Play.
//
// Sound is optional. Without a playback device CKVASoundManager::Create
// answers false, nothing else is set up, and the program runs silently.
//
// Sections: sound - manager
#include <memory>
#include <string>
#include <vector>

#include "platform/sound/sound_device.h"
#include "sound/wave_file.h"

class QWidget;

// ---- sound -------------------------------------------------------------------
class CKVASound {
 public:
  // Takes the buffers (each bufferSize bytes of the wave's format) and the
  // open wave file, and fills every buffer from the wave.
  CKVASound(std::vector<std::unique_ptr<IDirectSoundBuffer>> buffers, DWORD bufferSize,
            std::unique_ptr<CKVAWaveFile> waveFile);
  // Releases the buffers, then closes the wave file.
  virtual ~CKVASound();
  CKVASound(const CKVASound&) = delete;
  CKVASound& operator=(const CKVASound&) = delete;

  // Plays the wave once from the first buffer that is not playing; when
  // every buffer plays, from buffer CrtRand() % count, which takes one value
  // of the program's random stream. A playing buffer chosen that way goes on
  // undisturbed. A lost buffer is restored and refilled first.
  // CO_E_NOTINITIALIZED without buffers, E_FAIL without a usable buffer,
  // else the failure of the restore, refill or play.
  HRESULT Play();

 private:
  // Writes the wave's data into the whole buffer; bytes the wave does not
  // supply (a shorter wave, a failing read) are silence: 128 for 8-bit
  // samples, else 0. Answers a failing read's error after the buffer is
  // complete.
  HRESULT FillBuffer(IDirectSoundBuffer* buffer);
  // S_FALSE when the buffer was not lost; S_OK with *wasLost set after
  // restoring a lost one.
  HRESULT RestoreBuffer(IDirectSoundBuffer* buffer, bool* wasLost);
  IDirectSoundBuffer* ChooseFreeBuffer();

  std::vector<std::unique_ptr<IDirectSoundBuffer>> m_buffers;
  DWORD m_bufferSize;
  std::unique_ptr<CKVAWaveFile> m_waveFile;
  int m_bufferCount;
};

// A lost buffer is restored for at most this many attempts, kRestoreDelayMs
// apart, before the restore gives up with DSERR_BUFFERLOST.
inline constexpr int kRestoreAttempts = 50;
inline constexpr int kRestoreDelayMs = 10;

// ---- manager -------------------------------------------------------------------
class CKVASoundManager {
 public:
  // Opens the default playback device for the window. False (and no device
  // kept) when there is none.
  bool Create(QWidget* window);
  // The same with a device opened by the caller (a loopback device in tests).
  bool CreateWithDevice(std::unique_ptr<IDirectSound8> device, QWidget* window);
  // Sets the mixer to PCM, 2 channels, 22050 Hz, 16 bits (devices other than
  // loopback ones take only the rate). False without a device or when the
  // format was refused.
  bool SetPrimaryFormat();
  // Makes a sound from the wave file at path (or the built-in wave of that
  // name) with one buffer holding all its data. False without a device, for
  // an empty path, a wave that does not open or has no data, or a format the
  // device cannot play (only 8/16-bit PCM mono/stereo plays).
  bool CreateSound(std::unique_ptr<CKVASound>& out, const std::string& path, const GUID& algorithm3d);
  // Lets the device go (sounds still alive keep the mixer until deleted).
  void Release();

  bool m_initialized = false;
  std::unique_ptr<IDirectSound8> m_directSound;
};

extern CKVASoundManager g_SoundManager;
