// Sections: opening and closing - header - data
#include "sound/wave_file.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/data_file.h"
#include "sound/wave_resource.h"

namespace {
DWORD LittleDword(const BYTE* p) {
  return DWORD(p[0]) | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16) | (DWORD(p[3]) << 24);
}
WORD LittleWord(const BYTE* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); }
}  // namespace

// ---- opening and closing -------------------------------------------------
CKVAWaveFile::~CKVAWaveFile() { Close(); }

bool CKVAWaveFile::Open(const std::string& path) {
  Close();
  // A name may lead to a pipe or a device: only regular files are opened,
  // without waiting. A wave's sizes are 32-bit, so no larger file is one.
  const int fd = OpenDataFile(path, 0xFFFFFFFFu);
  m_file = fd >= 0 ? ::fdopen(fd, "rb") : nullptr;
  if (fd >= 0 && !m_file) ::close(fd);
  if (!m_file) {
    if (!FindWaveResource(path, m_resourceCopy)) return false;
    m_inMemory = true;
  }
  return OpenSource();
}

bool CKVAWaveFile::OpenMemory(const void* data, size_t size) {
  Close();
  if (!data || size == 0) return false;
  const BYTE* bytes = static_cast<const BYTE*>(data);
  m_resourceCopy.assign(bytes, bytes + size);
  m_inMemory = true;
  return OpenSource();
}

// Common to both sources: size, header, data chunk; any failure closes.
bool CKVAWaveFile::OpenSource() {
  m_hasFormat = false;
  m_formatExtra.clear();
  m_dataSize = m_unread = 0;
  if (m_file) {
    if (std::fseek(m_file, 0, SEEK_END) != 0) {
      Close();
      return false;
    }
    const long end = std::ftell(m_file);
    m_sourceSize = end > 0 ? static_cast<std::uint64_t>(end) : 0;
  } else {
    m_sourceSize = m_resourceCopy.size();
  }
  if (!ReadHeader() || !ResetToData()) {
    m_hasFormat = false;
    m_formatExtra.clear();
    m_dataSize = m_unread = 0;
    Close();
    return false;
  }
  m_dataSize = m_unread;
  return true;
}

bool CKVAWaveFile::Close() {
  if (m_file) std::fclose(m_file);
  m_file = nullptr;
  m_resourceCopy.clear();
  m_resourceCopy.shrink_to_fit();
  m_inMemory = false;
  m_sourceSize = m_riffEnd = m_dataOffset = 0;
  m_unread = 0;
  return true;
}

size_t CKVAWaveFile::ReadAt(std::uint64_t offset, void* dest, size_t n) {
  if (n == 0 || offset >= m_sourceSize) return 0;
  n = static_cast<size_t>(std::min<std::uint64_t>(n, m_sourceSize - offset));
  if (m_inMemory) {
    std::memcpy(dest, m_resourceCopy.data() + offset, n);
    return n;
  }
  if (std::fseek(m_file, static_cast<long>(offset), SEEK_SET) != 0) return 0;
  return std::fread(dest, 1, n, m_file);
}

// ---- header ------------------------------------------------------------------
bool CKVAWaveFile::ReadHeader() {
  BYTE riff[12];
  if (ReadAt(0, riff, sizeof riff) != sizeof riff) return false;
  if (std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0) return false;
  const DWORD riffSize = LittleDword(riff + 4);
  if (riffSize < 4) return false;
  m_riffEnd = std::min<std::uint64_t>(8ull + riffSize, m_sourceSize);
  std::uint64_t offset = 0;
  DWORD size = 0;
  return FindChunk("fmt ", offset, size) && ReadFormatChunk(offset, size);
}

bool CKVAWaveFile::ReadFormatChunk(std::uint64_t offset, DWORD size) {
  BYTE pcm[16];
  if (size < 16 || ReadAt(offset, pcm, 16) != 16) return false;
  WAVEFORMATEX format;
  format.wFormatTag = LittleWord(pcm);
  format.nChannels = LittleWord(pcm + 2);
  format.nSamplesPerSec = LittleDword(pcm + 4);
  format.nAvgBytesPerSec = LittleDword(pcm + 8);
  format.nBlockAlign = LittleWord(pcm + 12);
  format.wBitsPerSample = LittleWord(pcm + 14);
  format.cbSize = 0;
  std::vector<BYTE> extra;
  if (format.wFormatTag != WAVE_FORMAT_PCM) {
    // The count and its bytes must lie inside the chunk.
    BYTE count[2];
    if (size < 18 || ReadAt(offset + 16, count, 2) != 2) return false;
    format.cbSize = LittleWord(count);
    if (format.cbSize > size - 18) return false;
    extra.resize(format.cbSize);
    if (ReadAt(offset + 18, extra.data(), extra.size()) != extra.size()) return false;
  }
  m_format = format;
  m_formatExtra = std::move(extra);
  m_hasFormat = true;
  return true;
}

// Walks the chunks inside the RIFF chunk from its first sub-chunk.
bool CKVAWaveFile::FindChunk(const char* id, std::uint64_t& offset, DWORD& size) {
  std::uint64_t at = 12;
  while (at + 8 <= m_riffEnd) {
    BYTE header[8];
    if (ReadAt(at, header, 8) != 8) return false;
    const DWORD chunkSize = LittleDword(header + 4);
    if (std::memcmp(header, id, 4) == 0) {
      offset = at + 8;
      size = chunkSize;
      return true;
    }
    at += 8ull + chunkSize + (chunkSize & 1u);
  }
  return false;
}

// ---- data --------------------------------------------------------------------
bool CKVAWaveFile::ResetToData() {
  if (!IsOpen()) return false;
  std::uint64_t offset = 0;
  DWORD size = 0;
  if (!FindChunk("data", offset, size)) return false;
  m_dataOffset = offset;
  const std::uint64_t present = m_sourceSize > offset ? m_sourceSize - offset : 0;
  m_unread = static_cast<DWORD>(std::min<std::uint64_t>(size, present));
  return true;
}

HRESULT CKVAWaveFile::Read(BYTE* dest, DWORD n, DWORD* read) {
  if (!IsOpen()) return CO_E_NOTINITIALIZED;
  if (!dest || !read) return E_INVALIDARG;
  *read = 0;
  n = std::min(n, m_unread);
  const std::uint64_t position = m_dataOffset + (m_dataSize - m_unread);
  const size_t copied = n ? ReadAt(position, dest, n) : 0;
  m_unread -= static_cast<DWORD>(copied);
  *read = static_cast<DWORD>(copied);
  return copied == n ? S_OK : E_FAIL;
}
