#include "render/label_renderer.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <utility>

#include "data_printer_fake.h"
#include "format_rows.h"
#include "render/bitmap_image.h"
#include "report/recording_canvas.h"
#include "report/report_system.h"
#include "support/case_printing.h"

namespace radevore::render {
namespace {

using namespace radevore::testing;
using report::CanvasCall;

constexpr double kTol = 1e-4;

// A format, a letter-size recording canvas and a data printer, rendered on demand.
struct Sheet {
  labels::LabelFormat format;
  report::RecordingCanvas canvas{8.5, 11.0};
  DataPrinterFake printer;

  void render(int recordCount) {
    LabelRenderer(format, printer).RvSystem1Print(canvas, records(recordCount));
  }
  int newPages() const { return static_cast<int>(canvas.callsOf("NewPage").size()); }
  std::vector<CanvasCall> printed(const QString& text) const {
    std::vector<CanvasCall> found;
    for (const CanvasCall& c : canvas.callsOf("PrintAt")) {
      if (c.text == text) found.push_back(c);
    }
    return found;
  }
};

// (page, x, y) of each call, for comparing whole sequences.
struct Place {
  int page;
  double x;
  double y;
};

void expectPlaces(const std::vector<CanvasCall>& calls, const std::vector<Place>& expected) {
  ASSERT_EQ(calls.size(), expected.size());
  for (size_t i = 0; i < calls.size(); ++i) {
    EXPECT_EQ(calls[i].page, expected[i].page) << "call " << i;
    EXPECT_NEAR(calls[i].numbers[0], expected[i].x, kTol) << "call " << i;
    EXPECT_NEAR(calls[i].numbers[1], expected[i].y, kTol) << "call " << i;
  }
}

TEST(LabelRenderer, PlacesElementsByColumnAndRowPitch) {
  Sheet s;
  s.format.header = header({{"FORM_NROITEMS", num(3)},
                            {"FORM_ENTRELINEA", num(500)},
                            {"FORM_FSIZE", num(700)},
                            {"FORM_FONT", txt("Arial")}});
  s.format.staticElements = {staticElement({{"FOLI_TIPO", txt("T")},
                                            {"FOLI_POSX", num(100)},
                                            {"FOLI_POSY", num(200)},
                                            {"FOLI_CADENA", txt("fixed")}})};
  s.format.dataElements = {dataElement(
      {{"DAFO_DATO", txt("CODIGO")}, {"DAFO_POSX", num(100)}, {"DAFO_POSY", num(200)}})};
  s.render(6);

  // Label 5 is column 2 of row 1: x = 0.57 + 5.70, y = 1.10 + 3.85.
  const std::vector<CanvasCall> fixed = s.printed("fixed");
  ASSERT_EQ(fixed.size(), 6u);
  EXPECT_NEAR(fixed[0].numbers[0], 0.57, kTol);
  EXPECT_NEAR(fixed[0].numbers[1], 1.10, kTol);
  EXPECT_NEAR(fixed[5].numbers[0], 6.27, kTol);
  EXPECT_NEAR(fixed[5].numbers[1], 4.95, kTol);
  ASSERT_EQ(s.printer.calls.size(), 6u);
  EXPECT_EQ(s.printer.calls[5].article, "A5");
  EXPECT_NEAR(s.printer.calls[5].x, 6.27, kTol);
  EXPECT_NEAR(s.printer.calls[5].y, 4.95, kTol);
  EXPECT_EQ(s.newPages(), 0);
}

TEST(LabelRenderer, ScalesFromTheCanvasPage) {
  Sheet s;
  s.canvas.setPageSize(8.2677, 11.6929);
  s.format.header = header({{"FORM_NROITEMS", num(1)}});
  s.format.dataElements = {
      dataElement({{"DAFO_DATO", txt("X")}, {"DAFO_POSX", num(100)}, {"DAFO_POSY", num(100)}})};
  s.render(1);
  ASSERT_EQ(s.printer.calls.size(), 1u);
  EXPECT_NEAR(s.printer.calls[0].x, 0.55, 1e-9);  // 100 x 0.0055, not 100 x 0.00551
  EXPECT_NEAR(s.printer.calls[0].y, 0.58, 1e-9);  // 100 x 0.0058, not 100 x 0.00585
}

TEST(LabelRenderer, SetsTheSolidTwoDotPenOnceBeforeDrawing) {
  Sheet s;
  s.format.header = header({{"FORM_NROITEMS", num(2)}});
  s.format.staticElements = {
      staticElement({{"FOLI_TIPO", txt("L")}, {"FOLI_X", num(100)}, {"FOLI_POSY", num(10)}})};
  s.render(3);
  ASSERT_FALSE(s.canvas.calls().empty());
  EXPECT_EQ(s.canvas.calls()[0].op, "SetPen");
  EXPECT_EQ(s.canvas.calls()[0].ints, (std::vector<int>{int(report::PenStyle::Solid), 2}));
  EXPECT_EQ(s.canvas.callsOf("SetPen").size(), 1u);
}

TEST(LabelRenderer, EmptyFormatDrawsNothing) {
  Sheet s;
  s.format.header = header({{"FORM_NROITEMS", num(2)}, {"FORM_FSIZE", num(5000)}});
  s.render(9);
  EXPECT_EQ(s.canvas.ops(), std::vector<QString>{"SetPen"});
}

struct RowWrapCase {
  const char* name;
  db::Value labelsPerRow;
  int records;
  std::vector<std::pair<int, int>> columnRow;
};

void PrintTo(const RowWrapCase& c, std::ostream* os) {
  using radevore::testing::printable;
  *os << c.name << " per row " << printable(c.labelsPerRow) << " records " << c.records
      << " positions " << c.columnRow.size();
}

class RowWrapTest : public ::testing::TestWithParam<RowWrapCase> {};

TEST_P(RowWrapTest, PlacesLabelsInColumnsAndRows) {
  const RowWrapCase& c = GetParam();
  Sheet s;
  s.format.header = header(
      {{"FORM_NROITEMS", c.labelsPerRow}, {"FORM_ENTRELINEA", num(100)}, {"FORM_FSIZE", num(100)}});
  s.format.dataElements = {dataElement({{"DAFO_DATO", txt("X")}})};
  s.render(c.records);

  ASSERT_EQ(s.printer.calls.size(), c.columnRow.size());
  for (size_t i = 0; i < c.columnRow.size(); ++i) {
    EXPECT_NEAR(s.printer.calls[i].x, c.columnRow[i].first * 0.57, kTol) << "label " << i;
    EXPECT_NEAR(s.printer.calls[i].y, c.columnRow[i].second * 0.55, kTol) << "label " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    LabelsPerRow, RowWrapTest,
    ::testing::Values(
        RowWrapCase{"three", num(3), 7, {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}, {0, 2}}},
        RowWrapCase{"one", num(1), 3, {{0, 0}, {0, 1}, {0, 2}}},
        RowWrapCase{"zero", num(0), 3, {{0, 1}, {1, 1}, {2, 1}}},
        RowWrapCase{"null", nul(), 3, {{0, 1}, {1, 1}, {2, 1}}},
        RowWrapCase{"negative", num(-2), 3, {{0, 0}, {1, 0}, {2, 0}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PageBreak, LabelStraddlingTheBottomContinuesOnTheNextPage) {
  Sheet s;
  s.format.header = header({{"FORM_NROITEMS", num(1)}, {"FORM_FSIZE", num(700)}});
  s.format.staticElements = {
      staticElement({{"FOLI_TIPO", txt("L")}, {"FOLI_X", num(100)}, {"FOLI_POSY", num(0)}}),
      staticElement({{"FOLI_TIPO", txt("T")}, {"FOLI_POSY", num(650)}, {"FOLI_CADENA", txt("b")}})};
  s.format.dataElements = {dataElement({{"DAFO_DATO", txt("D")}, {"DAFO_POSY", num(300)}})};
  s.render(4);

  // Row 2 puts the text at 7.70 + 3.575 > 11: the line stays on page 1, the rest moves to row 0
  // of page 2, and the next label follows in row 1 there.
  EXPECT_EQ(s.newPages(), 1);
  expectPlaces(s.canvas.callsOf("MoveTo"), {{1, 0, 0}, {1, 0, 3.85}, {1, 0, 7.70}, {2, 0, 3.85}});
  expectPlaces(s.printed("b"), {{1, 0, 3.575}, {1, 0, 7.425}, {2, 0, 3.575}, {2, 0, 7.425}});
  std::vector<CanvasCall> data;
  for (const CanvasCall& c : s.canvas.callsOf("PrintAt")) {
    if (c.text.startsWith("D:")) data.push_back(c);
  }
  expectPlaces(data, {{1, 0, 1.65}, {1, 0, 5.5}, {2, 0, 1.65}, {2, 0, 5.5}});
}

struct BottomCase {
  const char* name;
  int posY;
  int newPages;
};

void PrintTo(const BottomCase& c, std::ostream* os) {
  *os << c.name << " POSY " << c.posY << " -> new pages " << c.newPages;
}

class PageBottomTest : public ::testing::TestWithParam<BottomCase> {};

TEST_P(PageBottomTest, BreaksOnlyBelowThePageHeight) {
  const BottomCase& c = GetParam();
  Sheet s;
  s.canvas.setPageSize(8.5, 2000 * (55 / 10000.0));  // exactly 2000 vertical units
  s.format.header = header({{"FORM_NROITEMS", num(1)}, {"FORM_FSIZE", num(0)}});
  s.format.staticElements = {
      staticElement({{"FOLI_TIPO", txt("L")}, {"FOLI_X", num(10)}, {"FOLI_POSY", num(c.posY)}})};
  s.render(3);
  EXPECT_EQ(s.newPages(), c.newPages);
}

INSTANTIATE_TEST_SUITE_P(
    Elements, PageBottomTest,
    ::testing::Values(BottomCase{"AtThePageHeight", 2000, 0},
                      // Below the page even in row 0: a new page in each static pass of each label.
                      BottomCase{"BelowThePageHeight", 2001, 6}),
    [](const auto& info) { return std::string(info.param.name); });

struct HiddenBreakerCase {
  const char* name;
  db::Value type;
  db::Value liquida;
};

void PrintTo(const HiddenBreakerCase& c, std::ostream* os) {
  using radevore::testing::printable;
  *os << c.name << " type " << printable(c.type) << " liquida " << printable(c.liquida);
}

class HiddenBreakerTest : public ::testing::TestWithParam<HiddenBreakerCase> {};

TEST_P(HiddenBreakerTest, ElementThatIsNotDrawnStillBreaksThePage) {
  const HiddenBreakerCase& c = GetParam();
  Sheet s;
  s.format.header = header({{"FORM_NROITEMS", num(1)}, {"FORM_FSIZE", num(1200)}});
  s.format.staticElements = {
      staticElement({{"FOLI_TIPO", c.type},
                     {"FOLI_LIQUIDA", c.liquida},
                     {"FOLI_POSY", num(1000)},
                     {"FOLI_CADENA", txt("hidden")}}),
      staticElement({{"FOLI_TIPO", txt("L")}, {"FOLI_X", num(10)}, {"FOLI_POSY", num(0)}})};
  s.render(2);

  // Row 1 puts the first element at 5.5 + 6.6 > 11: the second label starts page 2.
  EXPECT_EQ(s.newPages(), 1);
  expectPlaces(s.canvas.callsOf("MoveTo"), {{1, 0, 0}, {2, 0, 0}});
  EXPECT_TRUE(s.printed("hidden").empty());
}

INSTANTIATE_TEST_SUITE_P(Elements, HiddenBreakerTest,
                         ::testing::Values(HiddenBreakerCase{"Settled", txt("T"), txt("S")},
                                           HiddenBreakerCase{"UnknownType", txt("X"), nul()},
                                           HiddenBreakerCase{"LowerCaseType", txt("t"), nul()},
                                           HiddenBreakerCase{"NullType", nul(), nul()}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PageBreak, FormatWithoutStaticElementsNeverBreaks) {
  Sheet s;
  s.format.header = header({{"FORM_NROITEMS", num(1)}, {"FORM_FSIZE", num(1200)}});
  s.format.dataElements = {dataElement({{"DAFO_DATO", txt("D")}})};
  s.render(5);
  EXPECT_EQ(s.newPages(), 0);
  expectPlaces(s.canvas.callsOf("PrintAt"),
               {{1, 0, 0}, {1, 0, 6.6}, {1, 0, 13.2}, {1, 0, 19.8}, {1, 0, 26.4}});
}

TEST(PageBreak, ExtentReachingBelowThePageDoesNotBreak) {
  Sheet s;
  s.format.header = header({{"FORM_NROITEMS", num(1)}, {"FORM_FSIZE", num(0)}});
  s.format.staticElements = {staticElement({{"FOLI_TIPO", txt("C")},
                                            {"FOLI_X", num(100)},
                                            {"FOLI_Y", num(1000)},
                                            {"FOLI_POSY", num(1800)}})};
  s.render(2);
  EXPECT_EQ(s.newPages(), 0);
  const std::vector<CanvasCall> rects = s.canvas.callsOf("Rectangle");
  ASSERT_EQ(rects.size(), 2u);
  EXPECT_NEAR(rects[1].numbers[1], 9.9, kTol);
  EXPECT_NEAR(rects[1].numbers[3], 15.4, kTol);
}

TEST(PageBreak, ElementBelowThePageInRowZeroBreaksInBothPasses) {
  Sheet s;
  s.format.header =
      header({{"FORM_NROITEMS", num(3)}, {"FORM_ENTRELINEA", num(100)}, {"FORM_FSIZE", num(700)}});
  s.format.staticElements = {
      staticElement({{"FOLI_TIPO", txt("L")}, {"FOLI_X", num(10)}, {"FOLI_POSY", num(2100)}}),
      staticElement({{"FOLI_TIPO", txt("T")}, {"FOLI_POSY", num(100)}, {"FOLI_CADENA", txt("t")}})};
  s.format.dataElements = {dataElement({{"DAFO_DATO", txt("D")}, {"DAFO_POSY", num(200)}})};
  s.render(2);

  // Each label starts a page in each static pass and keeps its column.
  EXPECT_EQ(s.newPages(), 4);
  expectPlaces(s.canvas.callsOf("MoveTo"), {{2, 0, 11.55}, {4, 0.57, 11.55}});
  expectPlaces(s.printed("t"), {{3, 0, 0.55}, {5, 0.57, 0.55}});
  expectPlaces(s.printed("D:A1"), {{5, 0.57, 1.1}});
}

TEST(PageBreak, KeepsTheColumnOfTheLabelThatBreaks) {
  Sheet s;
  s.format.header =
      header({{"FORM_NROITEMS", nul()}, {"FORM_ENTRELINEA", num(500)}, {"FORM_FSIZE", num(1200)}});
  s.format.staticElements = {staticElement(
      {{"FOLI_TIPO", txt("T")}, {"FOLI_POSY", num(1000)}, {"FOLI_CADENA", txt("b")}})};
  s.render(3);
  // Without labels per row every label lies in row 1; the first falls below the page, so all are
  // drawn in row 0 of page 2, each one pitch further right.
  EXPECT_EQ(s.newPages(), 1);
  expectPlaces(s.printed("b"), {{2, 0, 5.5}, {2, 2.85, 5.5}, {2, 5.7, 5.5}});
}

struct DataFlagCase {
  const char* name;
  db::Value imprime;
  db::Value repite;
  db::Value liquida;
  bool printed;
};

void PrintTo(const DataFlagCase& c, std::ostream* os) {
  using radevore::testing::printable;
  *os << c.name << " imprime " << printable(c.imprime) << " repite " << printable(c.repite)
      << " liquida " << printable(c.liquida) << (c.printed ? " printed" : " not printed");
}

class DataFlagTest : public ::testing::TestWithParam<DataFlagCase> {};

TEST_P(DataFlagTest, PrintsOnlyExactFlags) {
  const DataFlagCase& c = GetParam();
  Sheet s;
  s.format.header = header({{"FORM_NROITEMS", num(1)}});
  s.format.dataElements = {dataElement({{"DAFO_DATO", txt("D")},
                                        {"DAFO_IMPRIME", c.imprime},
                                        {"DAFO_REPITE", c.repite},
                                        {"DAFO_LIQUIDA", c.liquida}})};
  s.render(2);
  EXPECT_EQ(s.printer.calls.size(), c.printed ? 2u : 0u);
  EXPECT_EQ(s.canvas.callsOf("SetFont").size(), c.printed ? 2u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Flags, DataFlagTest,
    ::testing::Values(DataFlagCase{"Printed", txt("S"), txt("N"), nul(), true},
                      DataFlagCase{"LowerCasePrint", txt("s"), txt("N"), nul(), false},
                      DataFlagCase{"NullPrint", nul(), txt("N"), nul(), false},
                      DataFlagCase{"NoPrint", txt("N"), txt("N"), nul(), false},
                      DataFlagCase{"PrintWithBlank", txt("S "), txt("N"), nul(), false},
                      DataFlagCase{"LowerCaseRepeat", txt("S"), txt("n"), nul(), false},
                      DataFlagCase{"RepeatS", txt("S"), txt("S"), nul(), false},
                      DataFlagCase{"NullRepeat", txt("S"), nul(), nul(), false},
                      DataFlagCase{"Settled", txt("S"), txt("N"), txt("S"), false},
                      DataFlagCase{"LowerCaseSettled", txt("S"), txt("N"), txt("s"), true},
                      DataFlagCase{"NotSettled", txt("S"), txt("N"), txt("N"), true}),
    [](const auto& info) { return std::string(info.param.name); });

struct StaticFlagCase {
  const char* name;
  db::Value type;
  db::Value liquida;
  db::Value repite;
  const char* drawnBy;  // the canvas operation that draws it, "" for nothing
};

void PrintTo(const StaticFlagCase& c, std::ostream* os) {
  using radevore::testing::printable;
  *os << c.name << " type " << printable(c.type) << " liquida " << printable(c.liquida)
      << " repite " << printable(c.repite) << " drawn by " << printable(c.drawnBy);
}

class StaticFlagTest : public ::testing::TestWithParam<StaticFlagCase> {};

TEST_P(StaticFlagTest, DrawsOnlyExactTypesThatAreNotSettled) {
  const StaticFlagCase& c = GetParam();
  Sheet s;
  s.format.header = header({{"FORM_NROITEMS", num(1)}, {"FORM_FSIZE", num(10)}});
  s.format.staticElements = {staticElement({{"FOLI_TIPO", c.type},
                                            {"FOLI_LIQUIDA", c.liquida},
                                            {"FOLI_REPITE", c.repite},
                                            {"FOLI_X", num(50)},
                                            {"FOLI_Y", num(50)},
                                            {"FOLI_CADENA", txt("text")}})};
  s.render(1);
  std::vector<QString> drawn = s.canvas.ops();
  drawn.erase(drawn.begin());  // SetPen
  const QString op = QString::fromLatin1(c.drawnBy);
  if (op.isEmpty()) {
    EXPECT_TRUE(drawn.empty());
  } else {
    EXPECT_EQ(s.canvas.callsOf(op).size(), 1u);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Flags, StaticFlagTest,
    ::testing::Values(StaticFlagCase{"Line", txt("L"), nul(), nul(), "LineTo"},
                      StaticFlagCase{"LowerLine", txt("l"), nul(), nul(), ""},
                      StaticFlagCase{"Rectangle", txt("C"), nul(), nul(), "Rectangle"},
                      StaticFlagCase{"LowerRectangle", txt("c"), nul(), nul(), ""},
                      StaticFlagCase{"Text", txt("T"), nul(), nul(), "PrintAt"},
                      StaticFlagCase{"LowerText", txt("t"), nul(), nul(), ""},
                      StaticFlagCase{"LowerImage", txt("g"), nul(), nul(), ""},
                      StaticFlagCase{"TypeWithBlank", txt("L "), nul(), nul(), ""},
                      StaticFlagCase{"Settled", txt("L"), txt("S"), nul(), ""},
                      StaticFlagCase{"SettledText", txt("T"), txt("S"), nul(), ""},
                      StaticFlagCase{"LowerSettled", txt("L"), txt("s"), nul(), "LineTo"},
                      StaticFlagCase{"NotSettled", txt("C"), txt("N"), nul(), "Rectangle"},
                      StaticFlagCase{"RepeatS", txt("L"), nul(), txt("S"), "LineTo"},
                      StaticFlagCase{"RepeatN", txt("T"), nul(), txt("N"), "PrintAt"}),
    [](const auto& info) { return std::string(info.param.name); });

struct DataFontCase {
  const char* name;
  db::Value face;
  db::Value size;
  db::Value headerSize;
  QString setFace;  // SetFont's arguments
  int setSize;
  QString printFace;  // the font in force when the value is printed
  int printSize;
};

void PrintTo(const DataFontCase& c, std::ostream* os) {
  using radevore::testing::printable;
  *os << c.name << " face " << printable(c.face) << " size " << printable(c.size) << " header size "
      << printable(c.headerSize) << " -> set " << printable(c.setFace) << " " << c.setSize
      << ", print " << printable(c.printFace) << " " << c.printSize;
}

class DataFontTest : public ::testing::TestWithParam<DataFontCase> {};

TEST_P(DataFontTest, ChoosesFaceAndSizeWithHeaderFallbacks) {
  const DataFontCase& c = GetParam();
  Sheet s;
  s.canvas.setInitialFont("Initial", 7);
  s.format.header = header(
      {{"FORM_NROITEMS", num(1)}, {"FORM_FONT", txt("Arial")}, {"FORM_FSIZE", c.headerSize}});
  s.format.dataElements = {
      dataElement({{"DAFO_DATO", txt("D")}, {"DAFO_FONT", c.face}, {"DAFO_FSIZE", c.size}})};
  s.render(1);
  const std::vector<CanvasCall> fonts = s.canvas.callsOf("SetFont");
  ASSERT_EQ(fonts.size(), 1u);
  EXPECT_EQ(fonts[0].text, c.setFace);
  EXPECT_EQ(fonts[0].ints, std::vector<int>{c.setSize});
  const std::vector<CanvasCall> prints = s.canvas.callsOf("PrintAt");
  ASSERT_EQ(prints.size(), 1u);
  EXPECT_EQ(prints[0].fontFace, c.printFace);
  EXPECT_EQ(prints[0].fontSize, c.printSize);
}

INSTANTIATE_TEST_SUITE_P(
    Fonts, DataFontTest,
    ::testing::Values(
        DataFontCase{"Own", txt("Courier"), num(12), num(9), "Courier", 12, "Courier", 12},
        DataFontCase{"NullFace", nul(), num(12), num(9), "Arial", 12, "Arial", 12},
        DataFontCase{"EmptyFace", txt(""), nul(), num(9), "Arial", 9, "Arial", 9},
        DataFontCase{"NullSize", txt("Courier"), nul(), num(9), "Courier", 9, "Courier", 9},
        DataFontCase{"ZeroSize", txt("Courier"), num(0), num(9), "Courier", 0, "Initial", 7},
        DataFontCase{"NegativeSize", txt("Courier"), num(-3), num(9), "Courier", -3, "Initial", 7},
        DataFontCase{"NoSizeAnywhere", txt("Courier"), nul(), nul(), "Courier", 0, "Initial", 7}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LabelRenderer, SizeZeroKeepsTheFontOfTheElementBefore) {
  Sheet s;
  s.format.header = header({{"FORM_NROITEMS", num(1)}, {"FORM_FONT", txt("Arial")}});
  s.format.dataElements = {
      dataElement(
          {{"DAFO_DATO", txt("first")}, {"DAFO_FONT", txt("Courier")}, {"DAFO_FSIZE", num(14)}}),
      dataElement(
          {{"DAFO_DATO", txt("second")}, {"DAFO_FONT", txt("Times")}, {"DAFO_FSIZE", num(0)}})};
  s.render(2);
  for (const CanvasCall& c : s.canvas.callsOf("PrintAt")) {
    EXPECT_EQ(c.fontFace, "Courier") << c.text.toStdString();
    EXPECT_EQ(c.fontSize, 14) << c.text.toStdString();
  }
}

TEST(LabelRenderer, DrawsShapesThenTextsThenDataKeepingListOrder) {
  Sheet s;
  s.format.header = header({{"FORM_NROITEMS", num(3)}, {"FORM_FSIZE", num(10)}});
  s.format.staticElements = {
      staticElement({{"FOLI_TIPO", txt("T")}, {"FOLI_CADENA", txt("over")}}),
      staticElement({{"FOLI_TIPO", txt("L")}, {"FOLI_X", num(10)}, {"FOLI_POSY", num(1)}}),
      staticElement({{"FOLI_TIPO", txt("C")}, {"FOLI_X", num(10)}, {"FOLI_Y", num(10)}}),
      staticElement({{"FOLI_TIPO", txt("L")}, {"FOLI_X", num(10)}, {"FOLI_POSY", num(2)}}),
      staticElement({{"FOLI_TIPO", txt("T")}, {"FOLI_CADENA", txt("top")}})};
  s.format.dataElements = {dataElement({{"DAFO_DATO", txt("D")}})};
  s.render(2);

  const std::vector<QString> oneLabel{"MoveTo",  "LineTo",  "Rectangle", "MoveTo",
                                      "LineTo",  "SetFont", "PrintAt",   "SetFont",
                                      "PrintAt", "SetFont", "PrintAt"};
  std::vector<QString> expected{"SetPen"};
  expected.insert(expected.end(), oneLabel.begin(), oneLabel.end());
  expected.insert(expected.end(), oneLabel.begin(), oneLabel.end());
  EXPECT_EQ(s.canvas.ops(), expected);

  const std::vector<CanvasCall> moves = s.canvas.callsOf("MoveTo");
  EXPECT_NEAR(moves[0].numbers[1], 0.0055, 1e-9);
  EXPECT_NEAR(moves[1].numbers[1], 0.011, 1e-9);
  const std::vector<CanvasCall> texts = s.canvas.callsOf("PrintAt");
  EXPECT_EQ(texts[0].text, "over");
  EXPECT_EQ(texts[1].text, "top");
  EXPECT_EQ(texts[2].text, "D:A0");
}

TEST(LabelRenderer, InvalidPictureEndsTheDrawing) {
  Sheet s;
  s.format.header = header({{"FORM_NROITEMS", num(1)}});
  s.format.staticElements = {
      staticElement({{"FOLI_TIPO", txt("L")}, {"FOLI_X", num(10)}}),
      staticElement(
          {{"FOLI_TIPO", txt("G")}, {"FOLI_IMAGEN", blob("\xFF\xD8\xFF\xE0 not a bitmap")}}),
      staticElement({{"FOLI_TIPO", txt("C")}, {"FOLI_X", num(10)}})};
  s.format.dataElements = {dataElement({{"DAFO_DATO", txt("D")}})};
  try {
    s.render(3);
    FAIL() << "no error";
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "Bitmap image is not valid");
  }
  EXPECT_EQ(s.canvas.ops(), (std::vector<QString>{"SetPen", "MoveTo", "LineTo"}));
  EXPECT_TRUE(s.printer.calls.empty());
}

TEST(LabelRenderer, CanvasErrorEndsTheDrawing) {
  Sheet s;
  s.format.header = header({{"FORM_NROITEMS", num(1)}});
  s.format.staticElements = {staticElement({{"FOLI_TIPO", txt("C")}, {"FOLI_X", num(10)}})};
  s.format.dataElements = {dataElement({{"DAFO_DATO", txt("D")}})};
  s.canvas.throwAtCall(4, "Printer gone");  // the second label's rectangle
  EXPECT_THROW(s.render(3), report::ReportError);
  EXPECT_EQ(s.canvas.calls().size(), 4u);
  EXPECT_EQ(s.printer.calls.size(), 1u);
}

}  // namespace
}  // namespace radevore::render
