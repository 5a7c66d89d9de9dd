#pragma once
// CKVAWaveFile: reads RIFF wave files, from a file on disk or from a copy of
// a built-in wave resource held in memory.
//
// A wave file is "RIFF" <size> "WAVE" followed by chunks (<id> <size>
// <bytes>, a pad byte after an odd size). Chunks are looked for only inside
// the RIFF chunk (its size clamped to the file). It needs:
//  - a "fmt " chunk of at least 16 bytes; for formats other than PCM the
//    chunk also holds a 16-bit count of extra format bytes and those bytes,
//    all inside the chunk;
//  - a "data" chunk. A data size beyond the end of the file counts only the
//    bytes present.
// Anything else is refused by Open with false, leaving the reader closed.
// The source stays open until Close (or destruction) so that the data can be
// read again after ResetToData.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/sound/sound_types.h"

class CKVAWaveFile {
 public:
  CKVAWaveFile() = default;
  ~CKVAWaveFile();
  CKVAWaveFile(const CKVAWaveFile&) = delete;
  CKVAWaveFile& operator=(const CKVAWaveFile&) = delete;

  // Opens the file at path, or when no such file opens, the built-in wave
  // resource named by path (FindWaveResource). Reads the header and stands
  // at the start of the data. An earlier file is closed first.
  bool Open(const std::string& path);
  // The same over a copy of size bytes at data.
  bool OpenMemory(const void* data, size_t size);
  // Back to the first data byte; every data byte is unread again. False
  // without an open source or without a "data" chunk.
  bool ResetToData();
  // Copies up to n unread data bytes to dest and answers in *read how many.
  // CO_E_NOTINITIALIZED without an open source, E_INVALIDARG without dest or
  // read, E_FAIL when the source delivered fewer bytes than it holds (*read
  // still counts the bytes copied).
  HRESULT Read(BYTE* dest, DWORD n, DWORD* read);
  // Closes the source and frees the resource copy; the format is kept.
  bool Close();

  // The format of the open wave (18 bytes, cbSize extra bytes follow in
  // FormatExtra); null before a successful Open.
  const WAVEFORMATEX* Format() const { return m_hasFormat ? &m_format : nullptr; }
  const std::vector<BYTE>& FormatExtra() const { return m_formatExtra; }
  // Size of the format record with its extra bytes (18 + cbSize); 0 without.
  DWORD FormatSize() const { return m_hasFormat ? 18u + m_format.cbSize : 0u; }
  // Data bytes of the wave, fixed by Open.
  DWORD DataSize() const { return m_dataSize; }
  // Data bytes not yet read since the last ResetToData.
  DWORD UnreadBytes() const { return m_unread; }

 private:
  bool IsOpen() const { return m_file || m_inMemory; }
  bool OpenSource();
  bool ReadHeader();
  bool ReadFormatChunk(std::uint64_t offset, DWORD size);
  bool FindChunk(const char* id, std::uint64_t& offset, DWORD& size);
  // Copies up to n bytes at offset of the source; answers how many.
  size_t ReadAt(std::uint64_t offset, void* dest, size_t n);

  bool m_hasFormat = false;
  alignas(4) WAVEFORMATEX m_format{};  // aligned, so its fields are too
  std::vector<BYTE> m_formatExtra;
  std::FILE* m_file = nullptr;
  std::vector<BYTE> m_resourceCopy;
  bool m_inMemory = false;
  std::uint64_t m_sourceSize = 0;
  std::uint64_t m_riffEnd = 0;     // end of the RIFF chunk, within the source
  std::uint64_t m_dataOffset = 0;  // first byte of the "data" chunk's data
  DWORD m_dataSize = 0;
  DWORD m_unread = 0;
};
