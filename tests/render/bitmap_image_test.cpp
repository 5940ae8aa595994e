#include "render/bitmap_image.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <functional>

#include "bmp_samples.h"
#include "support/case_printing.h"

namespace radevore::render {
namespace {

using namespace radevore::testing;

QImage asRgb32(const QImage& image) {
  return image.convertToFormat(QImage::Format_RGB32);
}

TEST(BitmapImage, ReadsABareBitmap) {
  const QImage image = loadBitmapImage(sampleBmp());
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(asRgb32(image), samplePicture());
}

TEST(BitmapImage, SkipsTheGraphicHeader) {
  const QImage bare = loadBitmapImage(sampleBmp());
  const QImage behindHeader = loadBitmapImage(withGraphicHeader(sampleBmp()));
  EXPECT_EQ(asRgb32(behindHeader), asRgb32(bare));
}

TEST(BitmapImage, ReadsOtherBitDepthsAndTopDownRows) {
  const QImage indexed = samplePicture().convertToFormat(QImage::Format_Indexed8);
  EXPECT_EQ(asRgb32(loadBitmapImage(encoded(indexed, "BMP"))), samplePicture());

  QImage mono(9, 3, QImage::Format_Mono);
  mono.fill(0);
  mono.setPixel(4, 1, 1);
  EXPECT_EQ(asRgb32(loadBitmapImage(encoded(mono, "BMP"))), asRgb32(mono));

  // 24-bit rows stored top-down (negative height).
  QByteArray topDown = sampleBmp();
  const int height = static_cast<int>(static_cast<unsigned char>(topDown[22]));
  ASSERT_EQ(height, 2);
  const int bits = static_cast<unsigned char>(topDown[28]);
  const int stride = ((3 * bits + 31) / 32) * 4;
  const int offset = static_cast<unsigned char>(topDown[10]);
  const QByteArray bottomRow = topDown.mid(offset, stride);
  const QByteArray topRow = topDown.mid(offset + stride, stride);
  topDown.replace(offset, 2 * stride, topRow + bottomRow);
  putLe32(topDown, 22, static_cast<std::uint32_t>(-2));
  EXPECT_EQ(asRgb32(loadBitmapImage(topDown)), samplePicture());
}

TEST(BitmapImage, ReadsTheOldCoreHeader) {
  // 1 x 1, 24 bits, BITMAPCOREHEADER: one blue-green-red pixel padded to 4 bytes.
  QByteArray bmp("BM", 2);
  bmp.append(QByteArray(24, '\0'));
  putLe32(bmp, 2, 30);
  putLe32(bmp, 10, 26);
  putLe32(bmp, 14, 12);
  putLe16(bmp, 18, 1);
  putLe16(bmp, 20, 1);
  putLe16(bmp, 22, 1);
  putLe16(bmp, 24, 24);
  bmp.append(QByteArray("\x30\x20\x10\x00", 4));
  const QImage image = loadBitmapImage(bmp);
  ASSERT_EQ(image.size(), QSize(1, 1));
  EXPECT_EQ(image.pixel(0, 0), qRgb(0x10, 0x20, 0x30));
}

// 9 x 3, one bit per pixel: two bytes of pixels and two of padding per row.
QImage monoPicture() {
  QImage mono(9, 3, QImage::Format_Mono);
  mono.fill(0);
  mono.setPixel(4, 1, 1);
  mono.setPixel(8, 0, 1);
  return mono;
}

// Bitmaps that Windows draws although they stop short of the last row's padding: the pixels
// read as if the padding were there.
TEST(BitmapImage, ReadsALastRowWithoutItsPadding) {
  const QByteArray bmp24 = sampleBmp();  // 3 pixels = 9 bytes + 3 of padding per row
  for (int missing = 1; missing <= 3; ++missing) {
    SCOPED_TRACE(missing);
    EXPECT_EQ(asRgb32(loadBitmapImage(bmp24.chopped(missing))), samplePicture());
  }
  const QImage indexed = samplePicture().convertToFormat(QImage::Format_Indexed8);
  EXPECT_EQ(asRgb32(loadBitmapImage(encoded(indexed, "BMP").chopped(1))), samplePicture());
  EXPECT_EQ(asRgb32(loadBitmapImage(encoded(monoPicture(), "BMP").chopped(2))),
            asRgb32(monoPicture()));
  EXPECT_EQ(asRgb32(loadBitmapImage(withGraphicHeader(bmp24.chopped(3)))), samplePicture());
}

// An offset of 0 means the pixels follow the headers, the colour masks and the palette.
TEST(BitmapImage, ReadsAPixelOffsetOfZero) {
  EXPECT_EQ(asRgb32(loadBitmapImage(withPixelOffsetZero(sampleBmp()))), samplePicture());
  const QImage indexed = samplePicture().convertToFormat(QImage::Format_Indexed8);
  EXPECT_EQ(asRgb32(loadBitmapImage(withPixelOffsetZero(encoded(indexed, "BMP")))),
            samplePicture());
  EXPECT_EQ(asRgb32(loadBitmapImage(bitFieldsBmp32(samplePicture(), 0))), samplePicture());
  EXPECT_EQ(asRgb32(loadBitmapImage(bitFieldsBmp32(samplePicture(), 66))), samplePicture());
  EXPECT_EQ(asRgb32(loadBitmapImage(withPixelOffsetZero(transparentBmp32(samplePicture())))),
            samplePicture());
  // Both at once.
  EXPECT_EQ(asRgb32(loadBitmapImage(withPixelOffsetZero(sampleBmp()).chopped(3))), samplePicture());
}

// Windows' bitmap drawing ignores alpha: a picture whose alpha says "transparent" everywhere
// still prints its colours.
TEST(BitmapImage, AlphaOfZeroStillPrintsTheColours) {
  const QImage image = loadBitmapImage(transparentBmp32(samplePicture()));
  ASSERT_EQ(image.size(), QSize(3, 2));
  EXPECT_FALSE(image.hasAlphaChannel());
  EXPECT_EQ(asRgb32(image), samplePicture());

  // Drawn over white paper, each pixel shows its own colour, not the paper.
  QImage paper(3, 2, QImage::Format_RGB32);
  paper.fill(Qt::white);
  QPainter painter(&paper);
  painter.drawImage(0, 0, image);
  painter.end();
  EXPECT_EQ(paper, samplePicture());
}

TEST(BitmapImage, EmptyValueGivesNoPicture) {
  EXPECT_TRUE(loadBitmapImage(QByteArray()).isNull());
  EXPECT_TRUE(loadBitmapImage(withGraphicHeader(QByteArray())).isNull());
}

struct InvalidCase {
  const char* name;
  std::function<QByteArray()> data;
};

void PrintTo(const InvalidCase& c, std::ostream* os) {
  *os << c.name;
}

class InvalidBitmapTest : public ::testing::TestWithParam<InvalidCase> {};

TEST_P(InvalidBitmapTest, IsRejectedWithTheBitmapError) {
  const QByteArray data = GetParam().data();
  try {
    loadBitmapImage(data);
    FAIL() << "accepted";
  } catch (const InvalidBitmapError& e) {
    EXPECT_STREQ(e.what(), "Bitmap image is not valid");
    EXPECT_EQ(e.text(), "Bitmap image is not valid");
  }
}

QByteArray patched32(int at, std::uint32_t value) {
  QByteArray b = sampleBmp();
  putLe32(b, at, value);
  return b;
}
QByteArray patched16(int at, std::uint16_t value) {
  QByteArray b = sampleBmp();
  putLe16(b, at, value);
  return b;
}

INSTANTIATE_TEST_SUITE_P(
    Values, InvalidBitmapTest,
    ::testing::Values(
        InvalidCase{"Jpeg",
                    [] {
                      // The start of a JFIF file: start of image, APP0, "JFIF", version 1.1.
                      static const char header[] = "\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01";
                      return QByteArray(header, sizeof header - 1);
                    }},
        InvalidCase{"Png", [] { return encoded(samplePicture(), "PNG"); }},
        InvalidCase{"HeaderLengthWrong",
                    [] { return withGraphicHeader(sampleBmp(), sampleBmp().size() + 1); }},
        InvalidCase{"HeaderLengthShort",
                    [] { return withGraphicHeader(sampleBmp(), sampleBmp().size() - 1); }},
        InvalidCase{"Truncated", [] { return sampleBmp().chopped(5); }},
        InvalidCase{"OnlyFileHeader", [] { return sampleBmp().left(14); }},
        InvalidCase{"JustBM", [] { return QByteArray("BM"); }},
        InvalidCase{"HugeAnnounced",
                    [] {
                      QByteArray b = patched32(18, 100000);
                      putLe32(b, 22, 100000);
                      return b;
                    }},
        InvalidCase{"LargerThanItsData",
                    [] {
                      QByteArray b = patched32(18, 5000);
                      putLe32(b, 22, 5000);
                      return b;
                    }},
        InvalidCase{"ZeroWidth", [] { return patched32(18, 0); }},
        InvalidCase{"NegativeWidth", [] { return patched32(18, static_cast<std::uint32_t>(-3)); }},
        InvalidCase{"ZeroHeight", [] { return patched32(22, 0); }},
        InvalidCase{"TwoPlanes", [] { return patched16(26, 2); }},
        InvalidCase{"SevenBitsPerPixel", [] { return patched16(28, 7); }},
        InvalidCase{"JpegCompression", [] { return patched32(30, 4); }},
        InvalidCase{"UnknownInfoSize", [] { return patched32(14, 200); }},
        InvalidCase{"PixelsPastTheEnd", [] { return patched32(10, 0x7FFFFFFF); }},
        InvalidCase{"PixelsInsideTheHeader", [] { return patched32(10, 20); }},
        InvalidCase{"LastRowMissingAPixel", [] { return sampleBmp().chopped(4); }},
        InvalidCase{"OffsetZeroAndAPixelMissing",
                    [] { return withPixelOffsetZero(sampleBmp()).chopped(4); }},
        InvalidCase{"OffsetZeroWithoutPixels",
                    [] { return withPixelOffsetZero(sampleBmp()).left(54); }},
        InvalidCase{"HeaderOfAnImageWithoutPixels", [] { return sampleBmp().left(54); }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace radevore::render
