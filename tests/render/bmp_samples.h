#pragma once

// Small pictures for the bitmap tests, encoded by Qt's own writers or laid out byte by byte the
// way other Windows programs write them.

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

// A 32-bit bit-field bitmap with the 124-byte header, whose alpha mask (0xFF000000) gives every
// pixel alpha 0, as some Windows programs save screen captures and logos. Rows bottom-up.
inline QByteArray transparentBmp32(const QImage& picture) {
  const int w = picture.width();
  const int h = picture.height();
  QByteArray bytes(14 + 124, '\0');
  bytes[0] = 'B';
  bytes[1] = 'M';
  putLe32(bytes, 10, 14 + 124);
  putLe32(bytes, 14, 124);
  putLe32(bytes, 18, static_cast<std::uint32_t>(w));
  putLe32(bytes, 22, static_cast<std::uint32_t>(h));
  putLe16(bytes, 26, 1);
  putLe16(bytes, 28, 32);
  putLe32(bytes, 30, 3);  // BI_BITFIELDS
  putLe32(bytes, 34, static_cast<std::uint32_t>(w * h * 4));
  putLe32(bytes, 54, 0x00FF0000);  // red
  putLe32(bytes, 58, 0x0000FF00);  // green
  putLe32(bytes, 62, 0x000000FF);  // blue
  putLe32(bytes, 66, 0xFF000000);  // alpha
  putLe32(bytes, 70, 0x73524742);  // 'sRGB'
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) {
      const QRgb c = picture.pixel(x, y);
      bytes.append(static_cast<char>(qBlue(c)));
      bytes.append(static_cast<char>(qGreen(c)));
      bytes.append(static_cast<char>(qRed(c)));
      bytes.append('\0');
    }
  }
  putLe32(bytes, 2, static_cast<std::uint32_t>(bytes.size()));
  return bytes;
}

// A 32-bit bit-field bitmap with the plain 40-byte header: the three colour masks follow the
// header, then the pixels (BGRX). `offset` goes into the pixel-data offset field.
inline QByteArray bitFieldsBmp32(const QImage& picture, std::uint32_t offset) {
  const int w = picture.width();
  const int h = picture.height();
  QByteArray bytes(14 + 40 + 12, '\0');
  bytes[0] = 'B';
  bytes[1] = 'M';
  putLe32(bytes, 10, offset);
  putLe32(bytes, 14, 40);
  putLe32(bytes, 18, static_cast<std::uint32_t>(w));
  putLe32(bytes, 22, static_cast<std::uint32_t>(h));
  putLe16(bytes, 26, 1);
  putLe16(bytes, 28, 32);
  putLe32(bytes, 30, 3);
  putLe32(bytes, 54, 0x00FF0000);
  putLe32(bytes, 58, 0x0000FF00);
  putLe32(bytes, 62, 0x000000FF);
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) {
      const QRgb c = picture.pixel(x, y);
      bytes.append(static_cast<char>(qBlue(c)));
      bytes.append(static_cast<char>(qGreen(c)));
      bytes.append(static_cast<char>(qRed(c)));
      bytes.append('\0');
    }
  }
  putLe32(bytes, 2, static_cast<std::uint32_t>(bytes.size()));
  return bytes;
}

// The bitmap with its pixel-data offset field set to 0.
inline QByteArray withPixelOffsetZero(QByteArray bmp) {
  putLe32(bmp, 10, 0);
  return bmp;
}

}  // namespace radevore::testing
