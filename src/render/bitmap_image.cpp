#include "render/bitmap_image.h"

#include <cstdint>
#include <cstdlib>

namespace radevore::render {

namespace {

const char kInvalidBitmap[] = "Bitmap image is not valid";

constexpr qsizetype kGraphicHeaderSize = 8;
constexpr qsizetype kFileHeaderSize = 14;

std::uint32_t readU16(QByteArrayView data, qsizetype at) {
  const auto* p = reinterpret_cast<const unsigned char*>(data.data()) + at;
  return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8);
}

std::uint32_t readU32(QByteArrayView data, qsizetype at) {
  return readU16(data, at) | (readU16(data, at + 2) << 16);
}

std::int32_t readI32(QByteArrayView data, qsizetype at) {
  return static_cast<std::int32_t>(readU32(data, at));
}

enum Compression : std::uint32_t { Rgb = 0, Rle8 = 1, Rle4 = 2, BitFields = 3 };

// True when the bitmap's headers describe a picture whose pixels lie within the data and whose
// size stays below the cap.
bool hasSoundHeaders(QByteArrayView bmp) {
  const qsizetype size = bmp.size();
  if (size < kFileHeaderSize + 4) return false;
  if (bmp[0] != 'B' || bmp[1] != 'M') return false;
  const std::int64_t pixelOffset = readU32(bmp, 10);
  const std::int64_t infoSize = readU32(bmp, kFileHeaderSize);

  std::int64_t width = 0;
  std::int64_t height = 0;
  std::uint32_t planes = 0;
  std::uint32_t bitsPerPixel = 0;
  std::uint32_t compression = Rgb;
  std::int64_t colours = 0;
  std::int64_t paletteEntrySize = 4;

  if (infoSize == 12) {  // BITMAPCOREHEADER
    if (kFileHeaderSize + infoSize > size) return false;
    width = readU16(bmp, 18);
    height = readU16(bmp, 20);
    planes = readU16(bmp, 22);
    bitsPerPixel = readU16(bmp, 24);
    paletteEntrySize = 3;
  } else if (infoSize == 40 || infoSize == 52 || infoSize == 56 || infoSize == 64 ||
             infoSize == 108 || infoSize == 124) {
    if (kFileHeaderSize + infoSize > size) return false;
    width = readI32(bmp, 18);
    height = readI32(bmp, 22);
    planes = readU16(bmp, 26);
    bitsPerPixel = readU16(bmp, 28);
    compression = readU32(bmp, 30);
    colours = readU32(bmp, 46);
  } else {
    return false;
  }

  if (width <= 0 || height == 0 || planes != 1) return false;
  const std::int64_t rows = std::llabs(height);
  if (width > kMaxBitmapPixels || rows > kMaxBitmapPixels) return false;
  if (width * rows > kMaxBitmapPixels) return false;

  switch (bitsPerPixel) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      break;
    default:
      return false;
  }
  switch (compression) {
    case Rgb:
      break;
    case Rle8:
      if (bitsPerPixel != 8 || height < 0) return false;
      break;
    case Rle4:
      if (bitsPerPixel != 4 || height < 0) return false;
      break;
    case BitFields:
      if (bitsPerPixel != 16 && bitsPerPixel != 32) return false;
      break;
    default:
      return false;
  }

  if (bitsPerPixel <= 8) {
    const std::int64_t maxColours = std::int64_t{1} << bitsPerPixel;
    if (colours == 0) colours = maxColours;
    if (colours > maxColours) return false;
  } else {
    colours = 0;
  }
  const std::int64_t headersEnd = kFileHeaderSize + infoSize + colours * paletteEntrySize;
  if (headersEnd > size) return false;
  if (pixelOffset < kFileHeaderSize + infoSize || pixelOffset >= size) return false;

  if (compression == Rgb || compression == BitFields) {
    const std::int64_t stride = ((width * bitsPerPixel + 31) / 32) * 4;
    if (pixelOffset + stride * rows > size) return false;
  }
  return true;
}

}  // namespace

InvalidBitmapError::InvalidBitmapError() : std::runtime_error(kInvalidBitmap) {}

QString InvalidBitmapError::text() const {
  return QString::fromLatin1(kInvalidBitmap);
}

QByteArrayView withoutGraphicHeader(QByteArrayView value) {
  if (value.size() >= kGraphicHeaderSize && readU16(value, 0) == 1 && readU16(value, 2) == 0x0100 &&
      static_cast<qsizetype>(readU32(value, 4)) == value.size() - kGraphicHeaderSize) {
    return value.sliced(kGraphicHeaderSize);
  }
  return value;
}

QImage loadBitmapImage(QByteArrayView value) {
  if (value.isEmpty()) return QImage();
  const QByteArrayView bmp = withoutGraphicHeader(value);
  if (bmp.isEmpty()) return QImage();  // a graphic header with nothing behind it
  if (!hasSoundHeaders(bmp)) throw InvalidBitmapError();

  QImage image;
  if (!image.loadFromData(bmp, "BMP") || image.isNull()) throw InvalidBitmapError();
  return image;
}

}  // namespace radevore::render
