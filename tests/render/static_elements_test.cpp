#include "render/static_elements.h"

#include <gtest/gtest.h>

#include "bmp_samples.h"
#include "format_rows.h"
#include "render/bitmap_image.h"
#include "report/recording_canvas.h"
#include "support/case_printing.h"

namespace radevore::render {
namespace {

using namespace radevore::testing;
using report::CanvasCall;

const PageScale kLetter{57, 55};  // 8.5 x 11 in
constexpr double kTol = 1e-9;

void expectNumbers(const CanvasCall& call, const std::vector<double>& expected) {
  ASSERT_EQ(call.numbers.size(), expected.size()) << call.op.toStdString();
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_NEAR(call.numbers[i], expected[i], kTol) << call.op.toStdString() << " #" << i;
  }
}

TEST(StaticShapes, HorizontalLineRunsRightOfItsStart) {
  report::RecordingCanvas canvas;
  drawStaticShape(
      canvas, staticElement({{"FOLI_TIPO", txt("L")}, {"FOLI_X", num(300)}, {"FOLI_Y", num(0)}}),
      kLetter, 1.0, 2.0);
  ASSERT_EQ(canvas.ops(), (std::vector<QString>{"MoveTo", "LineTo"}));
  expectNumbers(canvas.calls()[0], {1.0, 2.0});
  expectNumbers(canvas.calls()[1], {1.0 + 300 * 0.0057, 2.0});
}

TEST(StaticShapes, VerticalLineWithNullWidth) {
  report::RecordingCanvas canvas;
  drawStaticShape(canvas, staticElement({{"FOLI_TIPO", txt("L")}, {"FOLI_Y", num(-100)}}), kLetter,
                  1.0, 2.0);
  ASSERT_EQ(canvas.ops(), (std::vector<QString>{"MoveTo", "LineTo"}));
  expectNumbers(canvas.calls()[1], {1.0, 2.0 - 0.55});
}

TEST(StaticShapes, RectangleWithNegativeWidthExtendsLeft) {
  report::RecordingCanvas canvas;
  drawStaticShape(
      canvas, staticElement({{"FOLI_TIPO", txt("C")}, {"FOLI_X", num(-100)}, {"FOLI_Y", num(50)}}),
      kLetter, 1.0, 2.0);
  ASSERT_EQ(canvas.ops(), std::vector<QString>{"Rectangle"});
  expectNumbers(canvas.calls()[0], {1.0, 2.0, 1.0 - 0.57, 2.0 + 0.275});
}

TEST(StaticShapes, TextsAreLeftToTheTextPassAndShapesToTheShapePass) {
  report::RecordingCanvas canvas;
  const db::Row text = staticElement({{"FOLI_TIPO", txt("T")}, {"FOLI_CADENA", txt("x")}});
  const db::Row line = staticElement({{"FOLI_TIPO", txt("L")}, {"FOLI_X", num(5)}});
  const db::Row head = header({{"FORM_FONT", txt("Arial")}, {"FORM_FSIZE", num(10)}});
  drawStaticShape(canvas, text, kLetter, 0, 0);
  drawStaticText(canvas, line, head, 0, 0);
  EXPECT_TRUE(canvas.calls().empty());
}

struct TextFontCase {
  const char* name;
  db::Value face;
  db::Value size;
  db::Value headerFace;
  db::Value headerSize;
  QString setFace;
  int setSize;
  QString printFace;
  int printSize;
};

void PrintTo(const TextFontCase& c, std::ostream* os) {
  using radevore::testing::printable;
  *os << c.name << " face " << printable(c.face) << " size " << printable(c.size) << " header "
      << printable(c.headerFace) << "/" << printable(c.headerSize) << " -> set "
      << printable(c.setFace) << " " << c.setSize << ", print " << printable(c.printFace) << " "
      << c.printSize;
}

class StaticTextFontTest : public ::testing::TestWithParam<TextFontCase> {};

TEST_P(StaticTextFontTest, PrintsTheStoredTextInTheChosenFont) {
  const TextFontCase& c = GetParam();
  report::RecordingCanvas canvas;
  canvas.setInitialFont("Initial", 7);
  drawStaticText(canvas,
                 staticElement({{"FOLI_TIPO", txt("T")},
                                {"FOLI_FONT", c.face},
                                {"FOLI_FSIZE", c.size},
                                {"FOLI_CADENA", txt(" Precio  'x' ")}}),
                 header({{"FORM_FONT", c.headerFace}, {"FORM_FSIZE", c.headerSize}}), 1.5, 2.5);
  ASSERT_EQ(canvas.ops(), (std::vector<QString>{"SetFont", "PrintAt"}));
  EXPECT_EQ(canvas.calls()[0].text, c.setFace);
  EXPECT_EQ(canvas.calls()[0].ints, std::vector<int>{c.setSize});
  const CanvasCall& print = canvas.calls()[1];
  EXPECT_EQ(print.text, " Precio  'x' ");
  expectNumbers(print, {1.5, 2.5});
  EXPECT_EQ(print.fontFace, c.printFace);
  EXPECT_EQ(print.fontSize, c.printSize);
}

INSTANTIATE_TEST_SUITE_P(
    Fonts, StaticTextFontTest,
    ::testing::Values(
        TextFontCase{"OwnFace", txt("Courier"), nul(), txt("Arial"), num(10), "Courier", 10,
                     "Courier", 10},
        TextFontCase{"EmptyFace", txt(""), nul(), txt("Arial"), num(10), "Arial", 10, "Arial", 10},
        TextFontCase{"NullFace", nul(), num(14), txt("Arial"), num(10), "Arial", 14, "Arial", 14},
        TextFontCase{"OwnSize", txt("Courier"), num(14), txt("Arial"), num(10), "Courier", 14,
                     "Courier", 14},
        TextFontCase{"ZeroSizeKeepsLastFont", txt("Courier"), num(0), txt("Arial"), num(10),
                     "Courier", 0, "Initial", 7},
        TextFontCase{"NoSizeAnywhere", txt("Courier"), nul(), txt("Arial"), nul(), "Courier", 0,
                     "Initial", 7},
        TextFontCase{"NoFaceAnywhere", nul(), num(12), nul(), num(10), "", 12, "", 12}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StaticImages, DrawsTheBitmapAtItsNaturalSize) {
  for (const QByteArray& value : {sampleBmp(), withGraphicHeader(sampleBmp())}) {
    report::RecordingCanvas canvas;
    drawStaticShape(canvas,
                    staticElement({{"FOLI_TIPO", txt("G")},
                                   {"FOLI_X", num(900)},
                                   {"FOLI_Y", num(900)},
                                   {"FOLI_IMAGEN", blob(value)}}),
                    kLetter, 1.25, 0.5);
    ASSERT_EQ(canvas.ops(), std::vector<QString>{"DrawBitmap"});
    expectNumbers(canvas.calls()[0], {1.25, 0.5, 1.0, 1.0});
    EXPECT_EQ(canvas.calls()[0].image.convertToFormat(QImage::Format_RGB32), samplePicture());
  }
}

TEST(StaticImages, NullOrEmptyPictureDrawsNothing) {
  for (const db::Value& value : {nul(), blob(QByteArray())}) {
    report::RecordingCanvas canvas;
    drawStaticShape(canvas, staticElement({{"FOLI_TIPO", txt("G")}, {"FOLI_IMAGEN", value}}),
                    kLetter, 1, 1);
    EXPECT_TRUE(canvas.calls().empty());
  }
}

TEST(StaticImages, PictureInAnotherFormatRaisesTheBitmapError) {
  report::RecordingCanvas canvas;
  const db::Row element = staticElement(
      {{"FOLI_TIPO", txt("G")}, {"FOLI_IMAGEN", blob(encoded(samplePicture(), "PNG"))}});
  EXPECT_THROW(drawStaticShape(canvas, element, kLetter, 1, 1), InvalidBitmapError);
  EXPECT_TRUE(canvas.calls().empty());
}

}  // namespace
}  // namespace radevore::render
