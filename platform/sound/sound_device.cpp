// Sound playback over OpenAL Soft.
//
// Sections: mixer (device + context) - secondary buffers - primary buffer -
// device - creation
#include "platform/sound/sound_device.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <cstring>
#include <vector>

namespace {

// ---- mixer -----------------------------------------------------------------
// The OpenAL device and its one context; shared by the device object and
// every buffer, closed when the last of them goes.
class Mixer {
 public:
  Mixer(ALCdevice* device, bool loopback) : m_device(device), m_loopback(loopback) {}
  ~Mixer() {
    if (m_context) {
      if (alcGetCurrentContext() == m_context) alcMakeContextCurrent(nullptr);
      alcDestroyContext(m_context);
    }
    alcCloseDevice(m_device);
  }
  Mixer(const Mixer&) = delete;
  Mixer& operator=(const Mixer&) = delete;

  // Creates the context with the given attribute list; false on failure.
  bool CreateContext(const ALCint* attributes) {
    m_context = alcCreateContext(m_device, attributes);
    return m_context && alcMakeContextCurrent(m_context);
  }
  // Every AL call goes to this mixer's context (several may exist in tests).
  void MakeCurrent() const {
    if (alcGetCurrentContext() != m_context) alcMakeContextCurrent(m_context);
  }
  // Changes the output format of the running mixer (rate; on a loopback
  // device also channels and sample type). Sources and buffers survive.
  HRESULT SetOutputFormat(const WAVEFORMATEX& f) {
    if (f.wFormatTag != WAVE_FORMAT_PCM || (f.nChannels != 1 && f.nChannels != 2) ||
        (f.wBitsPerSample != 8 && f.wBitsPerSample != 16) || f.nSamplesPerSec < DSBFREQUENCY_MIN ||
        f.nSamplesPerSec > DSBFREQUENCY_MAX)
      return DSERR_BADFORMAT;
    std::vector<ALCint> attributes = {ALC_FREQUENCY, static_cast<ALCint>(f.nSamplesPerSec)};
    if (m_loopback) {
      attributes.insert(
          attributes.end(),
          {ALC_FORMAT_CHANNELS_SOFT, f.nChannels == 1 ? ALC_MONO_SOFT : ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT,
           f.wBitsPerSample == 8 ? ALC_UNSIGNED_BYTE_SOFT : ALC_SHORT_SOFT});
    }
    attributes.push_back(0);
    auto reset = reinterpret_cast<LPALCRESETDEVICESOFT>(
        alcIsExtensionPresent(m_device, "ALC_SOFT_HRTF") ? alcGetProcAddress(m_device, "alcResetDeviceSOFT")
                                                         : nullptr);
    if (reset) return reset(m_device, attributes.data()) ? DS_OK : DSERR_BADFORMAT;
    // Without a way to change it, the format is right only if it already is.
    return OutputRate() == static_cast<int>(f.nSamplesPerSec) && !m_loopback ? DS_OK : DSERR_BADFORMAT;
  }
  int OutputRate() const {
    ALCint rate = 0;
    alcGetIntegerv(m_device, ALC_FREQUENCY, 1, &rate);
    return rate;
  }
  bool Render(void* out, int frames) const {
    if (!m_loopback || frames < 0) return false;
    auto render =
        reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(m_device, "alcRenderSamplesSOFT"));
    if (!render) return false;
    render(m_device, out, frames);
    return true;
  }

 private:
  ALCdevice* m_device;
  ALCcontext* m_context = nullptr;
  bool m_loopback;
};

// True for the formats a buffer can play.
bool IsPlayableFormat(const WAVEFORMATEX& f) {
  return f.wFormatTag == WAVE_FORMAT_PCM && (f.nChannels == 1 || f.nChannels == 2) &&
         (f.wBitsPerSample == 8 || f.wBitsPerSample == 16) &&
         f.nBlockAlign == f.nChannels * f.wBitsPerSample / 8 && f.nSamplesPerSec >= DSBFREQUENCY_MIN &&
         f.nSamplesPerSec <= DSBFREQUENCY_MAX;
}

ALenum AlFormatOf(const WAVEFORMATEX& f) {
  if (f.nChannels == 1) return f.wBitsPerSample == 8 ? AL_FORMAT_MONO8 : AL_FORMAT_MONO16;
  return f.wBitsPerSample == 8 ? AL_FORMAT_STEREO8 : AL_FORMAT_STEREO16;
}

// ---- secondary buffers -------------------------------------------------------
// One OpenAL buffer played by one OpenAL source, with a CPU copy of the
// bytes that Lock hands out and Unlock uploads.
class OpenALSoundBuffer final : public IDirectSoundBuffer {
 public:
  OpenALSoundBuffer(std::shared_ptr<Mixer> mixer, const WAVEFORMATEX& format, DWORD bytes)
      : m_mixer(std::move(mixer)),
        m_alFormat(AlFormatOf(format)),
        m_rate(static_cast<ALsizei>(format.nSamplesPerSec)),
        m_frameBytes(format.nBlockAlign),
        m_bytes(bytes, 0) {}
  ~OpenALSoundBuffer() override {
    m_mixer->MakeCurrent();
    if (m_source) alDeleteSources(1, &m_source);
    if (m_buffer) alDeleteBuffers(1, &m_buffer);
  }

  // Makes the OpenAL objects; false when OpenAL refused (out of memory).
  bool Init() {
    m_mixer->MakeCurrent();
    alGetError();
    alGenBuffers(1, &m_buffer);
    if (alGetError() != AL_NO_ERROR) {
      m_buffer = 0;
      return false;
    }
    alGenSources(1, &m_source);
    if (alGetError() != AL_NO_ERROR) {
      m_source = 0;
      return false;
    }
    alSourcei(m_source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(m_source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    alSourcei(m_source, AL_LOOPING, AL_FALSE);
    return Upload();
  }

  HRESULT GetStatus(DWORD* status) override {
    if (!status) return DSERR_INVALIDPARAM;
    *status = IsPlaying() ? DSBSTATUS_PLAYING : 0;
    return DS_OK;
  }
  HRESULT Restore() override { return DS_OK; }
  HRESULT Lock(DWORD offset, DWORD bytes, void** region1, DWORD* bytes1, void** region2, DWORD* bytes2,
               DWORD) override {
    if (!region1 || !bytes1 || bytes == 0 || offset > m_bytes.size() || bytes > m_bytes.size() - offset)
      return DSERR_INVALIDPARAM;
    *region1 = m_bytes.data() + offset;
    *bytes1 = bytes;
    if (region2) *region2 = nullptr;
    if (bytes2) *bytes2 = 0;
    return DS_OK;
  }
  HRESULT Unlock(void* region1, DWORD, void*, DWORD) override {
    if (region1 < m_bytes.data() || region1 >= m_bytes.data() + m_bytes.size()) return DSERR_INVALIDPARAM;
    return Upload() ? DS_OK : E_FAIL;
  }
  HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override {
    if (reserved != 0 || priority != 0 || flags != 0) return DSERR_INVALIDPARAM;
    if (IsPlaying()) return DS_OK;
    m_mixer->MakeCurrent();
    alGetError();
    alSourcePlay(m_source);
    return alGetError() == AL_NO_ERROR ? DS_OK : E_FAIL;
  }
  HRESULT SetFormat(const WAVEFORMATEX*) override { return DSERR_INVALIDCALL; }

 private:
  bool IsPlaying() const {
    m_mixer->MakeCurrent();
    ALint state = AL_INITIAL;
    alGetSourcei(m_source, AL_SOURCE_STATE, &state);
    return state == AL_PLAYING;
  }
  // Hands the CPU copy (whole frames only) to OpenAL. A buffer in use cannot
  // be replaced, so the source is stopped and detached first.
  bool Upload() {
    m_mixer->MakeCurrent();
    alGetError();
    alSourceRewind(m_source);
    alSourcei(m_source, AL_BUFFER, 0);
    const size_t size = m_bytes.size() - m_bytes.size() % m_frameBytes;
    if (size == 0) return alGetError() == AL_NO_ERROR;
    alBufferData(m_buffer, m_alFormat, m_bytes.data(), static_cast<ALsizei>(size), m_rate);
    alSourcei(m_source, AL_BUFFER, static_cast<ALint>(m_buffer));
    return alGetError() == AL_NO_ERROR;
  }

  std::shared_ptr<Mixer> m_mixer;
  ALuint m_buffer = 0;
  ALuint m_source = 0;
  ALenum m_alFormat;
  ALsizei m_rate;
  DWORD m_frameBytes;
  std::vector<BYTE> m_bytes;
};

// ---- primary buffer ----------------------------------------------------------
// Stands for the mixer's output: only SetFormat does anything.
class PrimaryBuffer final : public IDirectSoundBuffer {
 public:
  explicit PrimaryBuffer(std::shared_ptr<Mixer> mixer) : m_mixer(std::move(mixer)) {}
  HRESULT GetStatus(DWORD* status) override {
    if (!status) return DSERR_INVALIDPARAM;
    *status = 0;
    return DS_OK;
  }
  HRESULT Restore() override { return DS_OK; }
  HRESULT Lock(DWORD, DWORD, void**, DWORD*, void**, DWORD*, DWORD) override { return DSERR_INVALIDCALL; }
  HRESULT Unlock(void*, DWORD, void*, DWORD) override { return DSERR_INVALIDCALL; }
  HRESULT Play(DWORD, DWORD, DWORD) override { return DSERR_INVALIDCALL; }
  HRESULT SetFormat(const WAVEFORMATEX* format) override {
    if (!format) return DSERR_INVALIDPARAM;
    return m_mixer->SetOutputFormat(*format);
  }

 private:
  std::shared_ptr<Mixer> m_mixer;
};

// ---- device --------------------------------------------------------------------
class OpenALDevice final : public IDirectSound8 {
 public:
  explicit OpenALDevice(std::shared_ptr<Mixer> mixer) : m_mixer(std::move(mixer)) {}
  HRESULT SetCooperativeLevel(void*, DWORD) override { return DS_OK; }
  HRESULT CreateSoundBuffer(const DSBUFFERDESC& desc, std::unique_ptr<IDirectSoundBuffer>& out) override {
    out.reset();
    if (desc.dwFlags & DSBCAPS_PRIMARYBUFFER) {
      if (desc.dwBufferBytes != 0 || desc.lpwfxFormat) return DSERR_INVALIDPARAM;
      out = std::make_unique<PrimaryBuffer>(m_mixer);
      return DS_OK;
    }
    if (!desc.lpwfxFormat || desc.dwBufferBytes == 0) return DSERR_INVALIDPARAM;
    if (!IsPlayableFormat(*desc.lpwfxFormat)) return DSERR_BADFORMAT;
    auto buffer = std::make_unique<OpenALSoundBuffer>(m_mixer, *desc.lpwfxFormat, desc.dwBufferBytes);
    if (!buffer->Init()) return E_OUTOFMEMORY;
    out = std::move(buffer);
    return DS_OK;
  }
  bool RenderSamples(void* out, int frames) override { return m_mixer->Render(out, frames); }
  int OutputRate() override { return m_mixer->OutputRate(); }

 private:
  std::shared_ptr<Mixer> m_mixer;
};

HRESULT MakeDevice(ALCdevice* device, bool loopback, const ALCint* attributes,
                   std::unique_ptr<IDirectSound8>& out) {
  if (!device) return DSERR_NODRIVER;
  auto mixer = std::make_shared<Mixer>(device, loopback);
  if (!mixer->CreateContext(attributes)) return DSERR_NODRIVER;
  out = std::make_unique<OpenALDevice>(std::move(mixer));
  return DS_OK;
}

}  // namespace

// ---- creation ------------------------------------------------------------------
HRESULT DirectSoundCreate8(std::unique_ptr<IDirectSound8>& out) {
  out.reset();
  // The game's mixing rate from the start; SetFormat may change it later.
  const ALCint attributes[] = {ALC_FREQUENCY, 22050, 0};
  return MakeDevice(alcOpenDevice(nullptr), false, attributes, out);
}

HRESULT DirectSoundCreateLoopback(std::unique_ptr<IDirectSound8>& out) {
  out.reset();
  if (!alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback")) return DSERR_NODRIVER;
  auto open =
      reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
  if (!open) return DSERR_NODRIVER;
  const ALCint attributes[] = {
      ALC_FREQUENCY,  22050, ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT,
      ALC_SHORT_SOFT, 0};
  return MakeDevice(open(nullptr), true, attributes, out);
}
