// Sections: sound - manager
#include "sound/sound_manager.h"

#include <chrono>
#include <cstring>
#include <thread>

#include "platform/crt_random.h"

CKVASoundManager g_SoundManager;

namespace {
// Calls Restore while it answers DSERR_BUFFERLOST, a short sleep apart, for
// a bounded number of attempts.
HRESULT RestoreLostBuffer(IDirectSoundBuffer* buffer) {
  HRESULT hr = DSERR_BUFFERLOST;
  for (int attempt = 0; attempt < kRestoreAttempts; ++attempt) {
    hr = buffer->Restore();
    if (hr != DSERR_BUFFERLOST) return hr;
    std::this_thread::sleep_for(std::chrono::milliseconds(kRestoreDelayMs));
  }
  return hr;
}
}  // namespace

// ---- sound -------------------------------------------------------------------
CKVASound::CKVASound(std::vector<std::unique_ptr<IDirectSoundBuffer>> buffers, DWORD bufferSize,
                     std::unique_ptr<CKVAWaveFile> waveFile)
    : m_buffers(std::move(buffers)),
      m_bufferSize(bufferSize),
      m_waveFile(std::move(waveFile)),
      m_bufferCount(static_cast<int>(m_buffers.size())) {
  for (auto& buffer : m_buffers) FillBuffer(buffer.get());
}

CKVASound::~CKVASound() {
  m_buffers.clear();
  if (m_waveFile) m_waveFile->Close();
}

HRESULT CKVASound::FillBuffer(IDirectSoundBuffer* buffer) {
  if (!buffer || !m_waveFile) return CO_E_NOTINITIALIZED;
  DWORD status = 0;
  if (SUCCEEDED(buffer->GetStatus(&status)) && (status & DSBSTATUS_BUFFERLOST)) {
    const HRESULT hr = RestoreLostBuffer(buffer);
    if (FAILED(hr)) return hr;
  }
  void* region = nullptr;
  DWORD locked = 0;
  HRESULT hr = buffer->Lock(0, m_bufferSize, &region, &locked, nullptr, nullptr, 0);
  if (FAILED(hr)) return hr;

  DWORD read = 0;
  m_waveFile->ResetToData();
  const HRESULT readResult = m_waveFile->Read(static_cast<BYTE*>(region), locked, &read);
  const WAVEFORMATEX* format = m_waveFile->Format();
  const int silence = format && format->wBitsPerSample == 8 ? 128 : 0;
  if (read < locked) std::memset(static_cast<BYTE*>(region) + read, silence, locked - read);

  hr = buffer->Unlock(region, locked, nullptr, 0);
  if (FAILED(readResult)) return readResult;
  return FAILED(hr) ? hr : S_OK;
}

HRESULT CKVASound::RestoreBuffer(IDirectSoundBuffer* buffer, bool* wasLost) {
  if (wasLost) *wasLost = false;
  if (!buffer) return CO_E_NOTINITIALIZED;
  DWORD status = 0;
  HRESULT hr = buffer->GetStatus(&status);
  if (FAILED(hr)) return hr;
  if (!(status & DSBSTATUS_BUFFERLOST)) return S_FALSE;
  hr = RestoreLostBuffer(buffer);
  if (FAILED(hr)) return hr;
  if (wasLost) *wasLost = true;
  return S_OK;
}

IDirectSoundBuffer* CKVASound::ChooseFreeBuffer() {
  for (auto& buffer : m_buffers) {
    if (!buffer) continue;
    DWORD status = 0;
    buffer->GetStatus(&status);
    if (!(status & DSBSTATUS_PLAYING)) return buffer.get();
  }
  return m_buffers[static_cast<size_t>(CrtRand() % m_bufferCount)].get();
}

HRESULT CKVASound::Play() {
  if (m_buffers.empty()) return CO_E_NOTINITIALIZED;
  IDirectSoundBuffer* buffer = ChooseFreeBuffer();
  if (!buffer) return E_FAIL;
  bool wasLost = false;
  HRESULT hr = RestoreBuffer(buffer, &wasLost);
  if (FAILED(hr)) return hr;
  if (wasLost && FAILED(hr = FillBuffer(buffer))) return hr;
  return buffer->Play(0, 0, 0);
}

// ---- manager -------------------------------------------------------------------
bool CKVASoundManager::Create(QWidget* window) {
  std::unique_ptr<IDirectSound8> device;
  if (FAILED(DirectSoundCreate8(device))) return false;
  return CreateWithDevice(std::move(device), window);
}

bool CKVASoundManager::CreateWithDevice(std::unique_ptr<IDirectSound8> device, QWidget* window) {
  Release();
  if (!device) return false;
  m_directSound = std::move(device);
  if (FAILED(m_directSound->SetCooperativeLevel(window, DSSCL_PRIORITY))) return false;
  m_initialized = true;
  return true;
}

bool CKVASoundManager::SetPrimaryFormat() {
  if (!m_directSound) return false;
  DSBUFFERDESC desc;
  desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
  std::unique_ptr<IDirectSoundBuffer> primary;
  if (FAILED(m_directSound->CreateSoundBuffer(desc, primary))) return false;
  WAVEFORMATEX format;
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 2;
  format.nSamplesPerSec = 22050;
  format.wBitsPerSample = 16;
  format.nBlockAlign = 4;
  format.nAvgBytesPerSec = 88200;
  format.cbSize = 0;
  return SUCCEEDED(primary->SetFormat(&format));
}

bool CKVASoundManager::CreateSound(std::unique_ptr<CKVASound>& out, const std::string& path,
                                   const GUID& algorithm3d) {
  if (!m_directSound || path.empty()) return false;
  auto wave = std::make_unique<CKVAWaveFile>();
  if (!wave->Open(path) || wave->DataSize() == 0) return false;

  DSBUFFERDESC desc;
  desc.dwFlags = 0;
  desc.dwBufferBytes = wave->DataSize();
  desc.lpwfxFormat = wave->Format();
  desc.guid3DAlgorithm = algorithm3d;
  std::vector<std::unique_ptr<IDirectSoundBuffer>> buffers(1);
  if (FAILED(m_directSound->CreateSoundBuffer(desc, buffers[0]))) return false;
  const DWORD size = wave->DataSize();
  out = std::make_unique<CKVASound>(std::move(buffers), size, std::move(wave));
  return true;
}

void CKVASoundManager::Release() {
  m_directSound.reset();
  m_initialized = false;
}
