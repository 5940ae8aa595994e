#include "render/bitmap_image.h"

#include <cstdint>
#include <cstdlib>
#include <optional>

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

void putU32(QByteArray& data, qsizetype at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) data[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

enum Compression : std::uint32_t { Rgb = 0, Rle8 = 1, Rle4 = 2, BitFields = 3 };

// The bitmap as the picture reader gets it: the pixel-data offset filled in when the file
// leaves it 0, and the padding of the last row restored when the file stops short of it.
// Nothing when the headers are unsound: an unknown layout, a picture over the size cap, or pixels
// that do not lie within the data.
std::optional<QByteArray> normalisedBitmap(QByteArrayView bmp) {
  const qsizetype size = bmp.size();
  if (size < kFileHeaderSize + 4) return std::nullopt;
  if (bmp[0] != 'B' || bmp[1] != 'M') return std::nullopt;
  std::int64_t pixelOffset = readU32(bmp, 10);
  const std::int64_t infoSize = readU32(bmp, kFileHeaderSize);

  std::int64_t width = 0;
  std::int64_t height = 0;
  std::uint32_t planes = 0;
  std::uint32_t bitsPerPixel = 0;
  std::uint32_t compression = Rgb;
  std::int64_t colours = 0;
  std::int64_t paletteEntrySize = 4;

  if (infoSize == 12) {  // BITMAPCOREHEADER
    if (kFileHeaderSize + infoSize > size) return std::nullopt;
    width = readU16(bmp, 18);
    height = readU16(bmp, 20);
    planes = readU16(bmp, 22);
    bitsPerPixel = readU16(bmp, 24);
    paletteEntrySize = 3;
  } else if (infoSize == 40 || infoSize == 52 || infoSize == 56 || infoSize == 64 ||
             infoSize == 108 || infoSize == 124) {
    if (kFileHeaderSize + infoSize > size) return std::nullopt;
    width = readI32(bmp, 18);
    height = readI32(bmp, 22);
    planes = readU16(bmp, 26);
    bitsPerPixel = readU16(bmp, 28);
    compression = readU32(bmp, 30);
    colours = readU32(bmp, 46);
  } else {
    return std::nullopt;
  }

  if (width <= 0 || height == 0 || planes != 1) return std::nullopt;
  const std::int64_t rows = std::llabs(height);
  if (width > kMaxBitmapPixels || rows > kMaxBitmapPixels) return std::nullopt;
  if (width * rows > kMaxBitmapPixels) return std::nullopt;

  switch (bitsPerPixel) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
      break;
    default:
      return std::nullopt;
  }
  switch (compression) {
    case Rgb:
      break;
    case Rle8:
      if (bitsPerPixel != 8 || height < 0) return std::nullopt;
      break;
    case Rle4:
      if (bitsPerPixel != 4 || height < 0) return std::nullopt;
      break;
    case BitFields:
      if (bitsPerPixel != 16 && bitsPerPixel != 32) return std::nullopt;
      break;
    default:
      return std::nullopt;
  }

  if (bitsPerPixel <= 8) {
    const std::int64_t maxColours = std::int64_t{1} << bitsPerPixel;
    if (colours == 0) colours = maxColours;
    if (colours > maxColours) return std::nullopt;
  } else {
    colours = 0;
  }
  // Behind a plain 40-byte header the three colour masks of a bit-field bitmap follow it.
  const std::int64_t masks = (compression == BitFields && infoSize == 40) ? 12 : 0;
  const std::int64_t headersEnd = kFileHeaderSize + infoSize + masks + colours * paletteEntrySize;
  if (headersEnd > size) return std::nullopt;
  // Windows takes an offset of 0 as "the pixels follow the headers and the palette".
  if (pixelOffset == 0) pixelOffset = headersEnd;
  if (pixelOffset < kFileHeaderSize + infoSize || pixelOffset >= size) return std::nullopt;

  QByteArray normalised = bmp.toByteArray();
  putU32(normalised, 10, static_cast<std::uint32_t>(pixelOffset));
  if (compression == Rgb || compression == BitFields) {
    const std::int64_t stride = ((width * bitsPerPixel + 31) / 32) * 4;
    const std::int64_t lastRowBytes = (width * bitsPerPixel + 7) / 8;
    const std::int64_t end = pixelOffset + stride * rows;
    // Every pixel must be there; only the padding after the last row's pixels may be missing.
    if (end - stride + lastRowBytes > size) return std::nullopt;
    if (end > size) normalised.append(QByteArray(end - size, '\0'));
  }
  return normalised;
}

// Windows draws a bitmap's colours whatever its alpha channel says.
QImage opaque(QImage image) {
  if (!image.hasAlphaChannel()) return image;
  if (image.format() == QImage::Format_ARGB32) {
    image.reinterpretAsFormat(QImage::Format_RGB32);
    return image;
  }
  return image.convertToFormat(QImage::Format_RGB32);
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
  const std::optional<QByteArray> normalised = normalisedBitmap(bmp);
  if (!normalised) throw InvalidBitmapError();

  QImage image;
  if (!image.loadFromData(*normalised, "BMP") || image.isNull()) throw InvalidBitmapError();
  return opaque(std::move(image));
}

}  // namespace radevore::render
