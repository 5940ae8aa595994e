#include <gtest/gtest.h>

#include <QDir>
#include <QFontMetricsF>
#include <QImage>
#include <QPdfWriter>
#include <QTemporaryDir>

#include "report/qt_report_system.h"
#include "support/case_printing.h"
#include "support/fake_print_service.h"
#include "support/pdf_images.h"
#include "support/pdf_probe.h"
#include "support/qt_application.h"

namespace radevore::report {
namespace {

using testing::FakePrintService;

class PdfOutput : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::ensureQtApplication();
    ASSERT_TRUE(dir_.isValid());
    service_.addLabelPrinter(QStringLiteral("Etiquetas"));
    service_.defaultName = QStringLiteral("Etiquetas");
  }

  // Runs one job whose set-up gives 4 x 2.5 in paper and a title.
  QString printLabel(const ReportSystem::Callback& print) {
    EXPECT_EQ(system_.RunReport(
                  [](ReportCanvas& c) {
                    c.SetPaperSize(0, 4.0, 2.5);
                    c.SetTitle(QStringLiteral("Rótulo articulo 00123"));
                  },
                  print),
              ReportOutcome::Printed);
    return system_.lastPdfPath();
  }

  QTemporaryDir dir_;
  FakePrintService service_;
  QtReportSystem system_{service_, PdfDirectory{dir_.path()}};
};

struct PaperCase {
  double width, height;
  Orientation orientation;
  double pageWidth, pageHeight;  // inches
  QSizeF points;
};

void PrintTo(const PaperCase& c, std::ostream* os) {
  using radevore::testing::printable;
  *os << c.width << "x" << c.height << " in, orientation " << int(c.orientation) << " -> page "
      << c.pageWidth << "x" << c.pageHeight << " in, " << printable(c.points) << " pt";
}

class PdfPaper : public PdfOutput, public ::testing::WithParamInterface<PaperCase> {};

TEST_P(PdfPaper, PageFollowsPaperAndOrientation) {
  const PaperCase& c = GetParam();
  double width = 0, height = 0;
  ASSERT_EQ(system_.RunReport(
                [&](ReportCanvas& canvas) {
                  canvas.SetPaperSize(0, c.width, c.height);
                  canvas.SetOrientation(c.orientation);
                },
                [&](ReportCanvas& canvas) {
                  width = canvas.PageWidth();
                  height = canvas.PageHeight();
                }),
            ReportOutcome::Printed);
  EXPECT_NEAR(width, c.pageWidth, 1e-9);
  EXPECT_NEAR(height, c.pageHeight, 1e-9);
  EXPECT_EQ(testing::pdfPageSizePoints(system_.lastPdfPath()), c.points);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, PdfPaper,
    ::testing::Values(PaperCase{4.0, 2.5, Orientation::Portrait, 4.0, 2.5, QSizeF(288, 180)},
                      PaperCase{4.0, 2.5, Orientation::Landscape, 2.5, 4.0, QSizeF(180, 288)},
                      // A height of 0 is no custom paper: the printer's Letter stays.
                      PaperCase{4.0, 0.0, Orientation::Portrait, 8.5, 11.0, QSizeF(612, 792)},
                      // Beyond the printer's largest width: unchanged.
                      PaperCase{9.0, 3.0, Orientation::Portrait, 8.5, 11.0, QSizeF(612, 792)},
                      PaperCase{2.0, 1.0, Orientation::Landscape, 1.0, 2.0, QSizeF(72, 144)}));

// Without any installed printer a PDF job still takes the format's paper and orientation.
TEST(PdfWithoutPrinter, TakesTheFormatsPaper) {
  testing::ensureQtApplication();
  QTemporaryDir dir;
  FakePrintService none;
  QtReportSystem system(none, PdfDirectory{dir.path()});
  for (const auto orientation : {Orientation::Portrait, Orientation::Landscape}) {
    ASSERT_EQ(system.RunReport(
                  [&](ReportCanvas& c) {
                    c.SetPaperSize(0, 4.0, 2.5);
                    c.SetOrientation(orientation);
                  },
                  [](ReportCanvas& c) { c.PrintAt(0.5, 0.5, QStringLiteral("x")); }),
              ReportOutcome::Printed);
    EXPECT_EQ(testing::pdfPageSizePoints(system.lastPdfPath()),
              orientation == Orientation::Portrait ? QSizeF(288, 180) : QSizeF(180, 288));
  }
  // A zero extent still changes nothing: the custom paper of the previous job stays.
  ASSERT_EQ(system.RunReport([](ReportCanvas& c) { c.SetPaperSize(0, 5.0, 0.0); },
                             [](ReportCanvas& c) { c.PrintAt(0.5, 0.5, QStringLiteral("x")); }),
            ReportOutcome::Printed);
  EXPECT_EQ(testing::pdfPageSizePoints(system.lastPdfPath()), QSizeF(288, 180));
}

TEST_F(PdfOutput, TitleCreatorAndPageCount) {
  const QString path = printLabel([](ReportCanvas& c) {
    c.NewPage();
    c.NewPage();
  });
  const auto info = testing::pdfInfo(path);
  EXPECT_EQ(info.value(QStringLiteral("Title")), QStringLiteral("Rótulo articulo 00123"));
  EXPECT_EQ(info.value(QStringLiteral("Creator")), QStringLiteral("radevore; printer=Etiquetas"));
  EXPECT_EQ(info.value(QStringLiteral("Pages")), QStringLiteral("3"));
  EXPECT_TRUE(QFileInfo(path).absolutePath() == QFileInfo(dir_.path()).absoluteFilePath());
}

TEST_F(PdfOutput, EachJobIsANewFile) {
  const QString first = printLabel([](ReportCanvas& c) { c.PrintAt(0.5, 1, QStringLiteral("A")); });
  const QString second =
      printLabel([](ReportCanvas& c) { c.PrintAt(0.5, 1, QStringLiteral("B")); });
  EXPECT_NE(first, second);
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files).size(), 2);
  EXPECT_EQ(testing::pdfWords(first).at(0).text, QStringLiteral("A"));
  EXPECT_EQ(testing::pdfWords(second).at(0).text, QStringLiteral("B"));
}

// The baseline of text in points below the top, from the font's descent as the PDF carries it.
double descentPoints(const QFont& font) {
  QPdfWriter probe(QDir::temp().filePath(QStringLiteral("descent-probe.pdf")));
  probe.setResolution(72);
  return QFontMetricsF(font, &probe).descent();
}

TEST_F(PdfOutput, TextLeftAndRightOnTheBaseline) {
  const QString path = printLabel([](ReportCanvas& c) {
    c.SetFont(QStringLiteral("DejaVu Sans"), 12);
    c.PrintAt(1.0, 1.5, QStringLiteral("Left"));
    c.PrintRightAt(3.0, 2.0, QStringLiteral("Right"));
  });
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPointSize(12);
  const double descent = descentPoints(font);
  const auto words = testing::pdfWords(path);
  ASSERT_EQ(words.size(), 2u);
  EXPECT_EQ(words[0].text, QStringLiteral("Left"));
  EXPECT_NEAR(words[0].box.left() / 72, 1.0, 0.01);
  EXPECT_NEAR((words[0].box.bottom() - descent) / 72, 1.5, 0.01);
  EXPECT_EQ(words[1].text, QStringLiteral("Right"));
  EXPECT_NEAR(words[1].box.right() / 72, 3.0, 0.01);
  EXPECT_NEAR((words[1].box.bottom() - descent) / 72, 2.0, 0.01);
}

TEST_F(PdfOutput, FontSizeZeroOrBelowKeepsTheFont) {
  const QString path = printLabel([](ReportCanvas& c) {
    c.SetFont(QStringLiteral("DejaVu Sans"), 24);
    c.PrintAt(0.2, 0.8, QStringLiteral("Big"));
    c.SetFont(QStringLiteral("DejaVu Sans"), 0);
    c.PrintAt(0.2, 1.6, QStringLiteral("Same"));
    c.SetFont(QStringLiteral("DejaVu Sans"), -3);
    c.PrintAt(2.0, 1.6, QStringLiteral("Again"));
    c.SetFont(QStringLiteral("DejaVu Sans"), 8);
    c.PrintAt(0.2, 2.2, QStringLiteral("Small"));
  });
  QMap<QString, double> heights;
  for (const auto& word : testing::pdfWords(path)) heights.insert(word.text, word.box.height());
  ASSERT_EQ(heights.size(), 4);
  const double big = heights.value(QStringLiteral("Big"));
  EXPECT_NEAR(heights.value(QStringLiteral("Same")), big, 0.1);
  EXPECT_NEAR(heights.value(QStringLiteral("Again")), big, 0.1);
  EXPECT_NEAR(heights.value(QStringLiteral("Small")), big / 3, 0.1);
}

// Pixels of the page at 100 dpi: 1 inch is 100 pixels.
TEST_F(PdfOutput, LinesRectanglesAndBitmaps) {
  service_.printers[0].resolution = 1200;
  QImage block(120, 60, QImage::Format_RGB32);
  block.fill(Qt::black);
  const QString path = printLabel([&](ReportCanvas& c) {
    c.SetPen(PenStyle::Solid, 24);  // 0.02 in at 1200 dpi
    c.MoveTo(0.5, 0.5);
    c.LineTo(3.5, 0.5);
    c.Rectangle(0.5, 1.0, 1.5, 2.0);
    c.SetPen(PenStyle::Clear, 24);
    c.Rectangle(2.0, 1.0, 2.4, 1.4);
    // 120 x 60 pixels at scale 10: 1200 x 600 dots, 1 x 0.5 in.
    c.DrawBitmap(2.5, 1.5, 10, 10, block);
  });
  const auto page = testing::pdfRaster(path, 1, 100);
  ASSERT_EQ(page.width, 400);
  ASSERT_EQ(page.height, 250);
  struct Probe {
    int x, y;
    bool dark;
  };
  const Probe probes[] = {
      {100, 50, true},   {340, 50, true},   {100, 55, false},  {30, 50, false},   // line
      {50, 150, true},   {150, 150, true},  {100, 100, true},  {100, 200, true},  // outline
      {100, 150, false},                                                          // clear inside
      {200, 100, false}, {220, 120, false},  // pen Clear: no outline
      {255, 155, true},  {345, 195, true},  {245, 175, false}, {355, 175, false},
      {300, 145, false}, {300, 205, false},  // bitmap 250..350 x 150..200
  };
  for (const Probe& p : probes) {
    EXPECT_EQ(page.at(p.x, p.y) < 128, p.dark) << "at " << p.x << "," << p.y;
  }
}

// Thickness in pixels of the dark run crossing row `y` going down column `x`.
int darkRun(const testing::PdfRaster& page, int x, int yFrom, int yTo) {
  int run = 0;
  for (int y = yFrom; y < yTo; ++y) run += page.at(x, y) < 128 ? 1 : 0;
  return run;
}

struct DotsCase {
  const char* name;
  int printerResolution;  // 0: the printer does not say
  int dots;               // dots per inch of the job
};

class DeviceDots : public PdfOutput, public ::testing::WithParamInterface<DotsCase> {};

// Pens are dots wide and bitmap pixels are dots of the printer the job is for.
TEST_P(DeviceDots, PenAndBitmapPixelsAreDotsOfThePrinter) {
  const DotsCase& c = GetParam();
  service_.printers[0].resolution = c.printerResolution;
  QImage logo(120, 24, QImage::Format_RGB32);
  logo.fill(Qt::black);
  ASSERT_EQ(system_.RunReport([](ReportCanvas& canvas) { canvas.SetPaperSize(0, 1.0, 1.0); },
                              [&](ReportCanvas& canvas) {
                                canvas.SetPen(PenStyle::Solid, 2);
                                canvas.MoveTo(0.05, 0.7);
                                canvas.LineTo(0.95, 0.7);
                                canvas.DrawBitmap(0.05, 0.05, 1, 1, logo);
                              }),
            ReportOutcome::Printed);
  const auto images = testing::pdfImages(system_.lastPdfPath());
  ASSERT_EQ(images.size(), 1u);
  EXPECT_EQ(images[0].width, 120);
  EXPECT_EQ(images[0].xPpi, c.dots);
  EXPECT_EQ(images[0].yPpi, c.dots);

  // At 2400 pixels an inch the pen of 2 dots is 4800 / dots pixels thick and the bitmap
  // 120 * 2400 / dots pixels wide.
  const int raster = 2400;
  const auto page = testing::pdfRaster(system_.lastPdfPath(), 1, raster);
  ASSERT_EQ(page.width, raster);
  EXPECT_NEAR(darkRun(page, raster / 2, raster * 6 / 10, raster * 8 / 10), 2.0 * raster / c.dots,
              1.5);
  int bitmapWidth = 0;
  for (int x = 0; x < page.width; ++x) bitmapWidth += page.at(x, raster * 6 / 100) < 128 ? 1 : 0;
  EXPECT_NEAR(bitmapWidth, 120.0 * raster / c.dots, 2.0);
}

INSTANTIATE_TEST_SUITE_P(Resolutions, DeviceDots,
                         ::testing::Values(DotsCase{"LabelPrinter203", 203, 203},
                                           DotsCase{"Printer600", 600, 600},
                                           DotsCase{"UnknownIs300", 0, 300}),
                         [](const auto& info) { return std::string(info.param.name); });

// A bitmap drawn on every label of a long job is one picture in the file.
TEST_F(PdfOutput, TheSameBitmapIsStoredOnce) {
  QImage logo(64, 32, QImage::Format_RGB32);
  logo.fill(Qt::black);
  const QString path = printLabel([&](ReportCanvas& c) {
    for (int i = 0; i < 200; ++i) {
      if (i > 0) c.NewPage();
      c.DrawBitmap(0.2, 0.2, 1, 1, logo);
    }
  });
  const auto images = testing::pdfImages(path);
  ASSERT_EQ(images.size(), 200u);
  for (const auto& image : images) EXPECT_EQ(image.object, images[0].object);
}

TEST_F(PdfOutput, SetUpAfterTheFirstPageChangesNothing) {
  const QString path = printLabel([](ReportCanvas& c) {
    c.SetPaperSize(0, 2.0, 1.0);
    c.SetOrientation(Orientation::Landscape);
    c.SetTitle(QStringLiteral("Otro"));
  });
  EXPECT_EQ(testing::pdfPageSizePoints(path), QSizeF(288, 180));
  EXPECT_EQ(testing::pdfInfo(path).value(QStringLiteral("Title")),
            QStringLiteral("Rótulo articulo 00123"));
}

}  // namespace
}  // namespace radevore::report
