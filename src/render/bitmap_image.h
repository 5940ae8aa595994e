#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QString>
#include <stdexcept>

namespace radevore::render {

// A picture value that is not a Windows bitmap. what() and text() are "Bitmap image is not valid".
class InvalidBitmapError : public std::runtime_error {
 public:
  InvalidBitmapError();
  QString text() const;
};

// Largest picture accepted, in pixels: guards against headers that announce huge images.
inline constexpr qint64 kMaxBitmapPixels = 100'000'000;

// The stored picture without the optional 8-byte graphic header (word 1, word 0x0100, 32-bit
// length of the rest; all little-endian). Without a matching header the value is returned whole.
QByteArrayView withoutGraphicHeader(QByteArrayView value);

// Reads a picture value (FOLI_IMAGEN): empty (or only the graphic header) gives a null image;
// otherwise, after the optional graphic header, it must be a Windows bitmap file image ("BM")
// or InvalidBitmapError is thrown. The headers are checked before any decoding, so a hostile
// header cannot make the reader allocate or read beyond the data. What Windows draws is
// accepted: a pixel-data offset of 0 (the pixels follow the headers and the palette) and a last
// row without its padding. The picture comes back opaque: like Windows' bitmap drawing, an alpha
// channel is ignored and every pixel prints its colour.
QImage loadBitmapImage(QByteArrayView value);

}  // namespace radevore::render
