#pragma once
// Hostile picture files for the texture loader's tests and measurements:
// a few bytes each, declaring pictures of hundreds of megapixels.
#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <cstdint>
#include <string>
#include <vector>

namespace picture_bombs {

inline void PutBigEndian(QByteArray& bytes, int at, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) bytes[at + i] = char(value >> (8 * (size - 1 - i)));
}
inline void PutLittleEndian(QByteArray& bytes, int at, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i) bytes[at + i] = char(value >> (8 * i));
}

inline QByteArray Encoded(const char* format) {
  QImage small(16, 16, QImage::Format_RGB32);
  small.fill(0xFF808080);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  small.save(&buffer, format);
  return bytes;
}

inline std::uint32_t Crc32(const char* data, int size) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (int i = 0; i < size; ++i) {
    crc ^= std::uint8_t(data[i]);
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

// A 16 x 16 JPEG whose frame header says 20000 x 20000.
inline QByteArray Jpeg() {
  QByteArray bytes = Encoded("jpeg");
  const int sof = bytes.indexOf(QByteArray("\xFF\xC0", 2));
  PutBigEndian(bytes, sof + 5, 20000, 2);
  PutBigEndian(bytes, sof + 7, 20000, 2);
  return bytes;
}
// A 16 x 16 PNG whose header says 22000 x 22000 (with a valid checksum).
inline QByteArray Png() {
  QByteArray bytes = Encoded("png");
  PutBigEndian(bytes, 16, 22000, 4);
  PutBigEndian(bytes, 20, 22000, 4);
  PutBigEndian(bytes, 29, Crc32(bytes.constData() + 12, 17), 4);
  return bytes;
}
// A 16 x 16 BMP whose header says 16000 x 16000 (the largest sides the
// BMP reader accepts).
inline QByteArray Bmp() {
  QByteArray bytes = Encoded("bmp");
  PutLittleEndian(bytes, 18, 16000, 4);
  PutLittleEndian(bytes, 22, 16000, 4);
  return bytes;
}
// A 35-byte GIF of one pixel declaring 65535 x 65535.
inline QByteArray Gif() {
  QByteArray bytes(
      "GIF89a\x01\x00\x01\x00\x80\x00\x00\xFF\xFF\xFF\x00\x00\x00\x2C\x00\x00\x00\x00"
      "\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3B",
      35);
  PutLittleEndian(bytes, 6, 65535, 2);
  PutLittleEndian(bytes, 8, 65535, 2);
  PutLittleEndian(bytes, 24, 65535, 2);
  PutLittleEndian(bytes, 26, 65535, 2);
  return bytes;
}

struct Bomb {
  const char* name;
  QByteArray bytes;
};
inline std::vector<Bomb> All() {
  return {{"bomb.jpg", Jpeg()}, {"bomb.png", Png()}, {"bomb.bmp", Bmp()}, {"bomb.gif", Gif()}};
}

}  // namespace picture_bombs
