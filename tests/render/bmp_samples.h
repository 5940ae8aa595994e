#pragma once

// Small pictures for the bitmap tests, encoded by Qt's own writers.

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <cstdint>

namespace radevore::testing {

// 3 x 2 pixels, every pixel a different colour.
inline QImage samplePicture() {
  QImage image(3, 2, QImage::Format_RGB32);
  const QRgb colours[6] = {qRgb(255, 0, 0),  qRgb(0, 255, 0),    qRgb(0, 0, 255),
                           qRgb(10, 20, 30), qRgb(200, 100, 50), qRgb(255, 255, 255)};
  for (int i = 0; i < 6; ++i) image.setPixel(i % 3, i / 3, colours[i]);
  return image;
}

inline QByteArray encoded(const QImage& image, const char* format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, format);
  return bytes;
}

inline QByteArray sampleBmp() {
  return encoded(samplePicture(), "BMP");
}

inline void putLe32(QByteArray& bytes, int at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
inline void putLe16(QByteArray& bytes, int at, std::uint16_t v) {
  bytes[at] = static_cast<char>(v & 0xFF);
  bytes[at + 1] = static_cast<char>(v >> 8);
}

// The value behind the 8-byte graphic header: word 1, word 0x0100, 32-bit length.
inline QByteArray withGraphicHeader(const QByteArray& data, std::uint32_t length) {
  QByteArray bytes(8, '\0');
  putLe16(bytes, 0, 1);
  putLe16(bytes, 2, 0x0100);
  putLe32(bytes, 4, length);
  return bytes + data;
}
inline QByteArray withGraphicHeader(const QByteArray& data) {
  return withGraphicHeader(data, static_cast<std::uint32_t>(data.size()));
}

}  // namespace radevore::testing
