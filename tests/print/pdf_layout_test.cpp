// Prints a label format through the whole print run into PDF files and measures the pages with
// poppler: where texts, prices and pictures land, how many pages the rows fill, what is printed.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFontMetricsF>
#include <QImage>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>
#include <optional>

#include "db/attachment.h"
#include "labels/amount.h"
#include "print/print_run.h"
#include "print_run_fakes.h"
#include "render/regional_settings.h"
#include "report/qt_report_system.h"
#include "support/fake_print_service.h"
#include "support/fixture_db.h"
#include "support/pdf_images.h"
#include "support/pdf_probe.h"
#include "support/recording_messages.h"

namespace radevore::print {
namespace {

using testing::PdfWord;

// Letter paper: escala_x = 8.5 / 1500 -> 0.0057, escala_y = 11 / 2000 -> 0.0055.
constexpr double kScaleX = 0.0057;
constexpr double kScaleY = 0.0055;
constexpr int kPitchX = 500;  // FORM_ENTRELINEA
constexpr int kPitchY = 700;  // FORM_FSIZE
constexpr double kPageHeight = 11.0;
constexpr double kPdfResolution = 1200.0;  // dots per inch of the label printer
constexpr double kTolerance = 0.002;       // inches; measured deviations are about 0.00002
constexpr double kSearch = 0.05;           // inches: how near a word must lie to count as the one

// Three labels a row, rows 700 units (3.85 in) apart. The frame is the first static element:
// for row 3 it lies at 0.11 + 3 * 3.85 = 11.66 in, below the page, so each page holds rows 0 to
// 2, nine labels.
const QString kFormat = QStringLiteral(
    "INSERT INTO PREFIJOS (TIDO_COD, PREF_PRE, PREF_NOM, PREF_ACTIVO) "
    "VALUES (36, 'PL01', 'MEDIDAS', 'S');\n"
    "INSERT INTO FORMATOS (TIDO_COD, PREF_PRE, FORM_NROITEMS, FORM_ENTRELINEA, FORM_FONT, "
    "FORM_FSIZE, FORM_PAPELAN, FORM_PAPELAL, FORM_HORIZONTAL) "
    "VALUES (36, 'PL01', 3, 500, 'DejaVu Sans', 700, 8.50, 11.00, 'N');\n"
    "INSERT INTO FORMATO_LINEAS (TIDO_COD, PREF_PRE, FOLI_ITEM, FOLI_TIPO, FOLI_X, FOLI_Y, "
    "FOLI_POSX, FOLI_POSY, FOLI_CADENA, FOLI_FONT, FOLI_FSIZE, FOLI_LIQUIDA) "
    "VALUES (36, 'PL01', 1, 'C', 480, 620, 10, 20, NULL, NULL, NULL, 'N');\n"
    "INSERT INTO FORMATO_LINEAS (TIDO_COD, PREF_PRE, FOLI_ITEM, FOLI_TIPO, FOLI_X, FOLI_Y, "
    "FOLI_POSX, FOLI_POSY, FOLI_CADENA, FOLI_FONT, FOLI_FSIZE, FOLI_LIQUIDA) "
    "VALUES (36, 'PL01', 2, 'T', NULL, NULL, 30, 120, 'ETIQUETA', 'DejaVu Sans', 10, 'N');\n"
    "INSERT INTO FORMATO_DATOS (TIDO_COD, PREF_PRE, DAFO_ITEM, DAFO_DATO, DAFO_IMPRIME, "
    "DAFO_REPITE, DAFO_POSX, DAFO_POSY, DAFO_FORMATO, DAFO_FONT, DAFO_FSIZE) "
    "VALUES (36, 'PL01', 1, 'CODIGO', 'S', 'N', 30, 200, NULL, 'DejaVu Sans', 10);\n"
    "INSERT INTO FORMATO_DATOS (TIDO_COD, PREF_PRE, DAFO_ITEM, DAFO_DATO, DAFO_IMPRIME, "
    "DAFO_REPITE, DAFO_POSX, DAFO_POSY, DAFO_FORMATO, DAFO_FONT, DAFO_FSIZE) "
    "VALUES (36, 'PL01', 2, 'DESCRIPCION', 'S', 'N', 30, 280, NULL, 'DejaVu Sans', 8);\n"
    "INSERT INTO FORMATO_DATOS (TIDO_COD, PREF_PRE, DAFO_ITEM, DAFO_DATO, DAFO_IMPRIME, "
    "DAFO_REPITE, DAFO_POSX, DAFO_POSY, DAFO_FORMATO, DAFO_FONT, DAFO_FSIZE) "
    "VALUES (36, 'PL01', 3, 'PRECIO', 'S', 'N', 470, 400, '2', 'DejaVu Sans', 12);\n"
    "INSERT INTO FORMATO_DATOS (TIDO_COD, PREF_PRE, DAFO_ITEM, DAFO_DATO, DAFO_IMPRIME, "
    "DAFO_REPITE, DAFO_POSX, DAFO_POSY, DAFO_FORMATO, DAFO_FONT, DAFO_FSIZE) "
    "VALUES (36, 'PL01', 4, 'CODIGO BARRAS', 'S', 'N', 30, 500, NULL, 'DejaVu Sans Mono', 10);\n"
    "INSERT INTO FORMATO_DATOS (TIDO_COD, PREF_PRE, DAFO_ITEM, DAFO_DATO, DAFO_IMPRIME, "
    "DAFO_REPITE, DAFO_POSX, DAFO_POSY, DAFO_FORMATO, DAFO_FONT, DAFO_FSIZE) "
    "VALUES (36, 'PL01', 5, 'BARRAS', 'S', 'N', 30, 580, NULL, 'DejaVu Sans Mono', 8);\n");

// The picture element: 192 x 96 black pixels, at 1200 dots an inch 0.16 x 0.08 in.
constexpr int kPictureX = 300;
constexpr int kPictureY = 40;
constexpr int kPictureWidth = 192;
constexpr int kPictureHeight = 96;

QByteArray blackBmp() {
  QImage image(kPictureWidth, kPictureHeight, QImage::Format_RGB32);
  image.fill(Qt::black);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "BMP");
  return bytes;
}

// Label origin plus element position, in inches.
double xAt(int posx, int column) {
  return posx * kScaleX + kPitchX * column * kScaleX;
}
double yAt(int posy, int row) {
  return posy * kScaleY + kPitchY * row * kScaleY;
}

// The descent of the face at the size as the PDF writer lays text out, in inches: the distance
// from the baseline down to the bottom of the box pdftotext gives a word.
double descentInches(const QString& face, int size) {
  QBuffer sink;
  sink.open(QIODevice::WriteOnly);
  QPdfWriter writer(&sink);
  writer.setResolution(static_cast<int>(kPdfResolution));
  QFont font(face);
  font.setPointSize(size);
  return QFontMetricsF(font, &writer).descent() / kPdfResolution;
}

// A label's place on the sheet.
struct Slot {
  int page;
  int column;
  int row;
};

class PdfLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    installation_ = testing::makeInstallation(dir_.path(), QStringLiteral("001"), kFormat);
    company_ = db::Attachment::open(testing::companyParams(installation_));
    company_.execute(
        QStringLiteral("INSERT INTO FORMATO_LINEAS (TIDO_COD, PREF_PRE, FOLI_ITEM, FOLI_TIPO, "
                       "FOLI_POSX, FOLI_POSY, FOLI_LIQUIDA, FOLI_IMAGEN) "
                       "VALUES (36, 'PL01', 3, 'G', ?, ?, 'N', ?)"),
        {db::Value::integer(kPictureX), db::Value::integer(kPictureY),
         db::Value::blob(blackBmp())});

    // A label printer taking Letter as custom paper.
    report::PrinterDetails printer;
    printer.name = QStringLiteral("Etiquetas");
    printer.port = QStringLiteral("file:///dev/null");
    printer.driver = QStringLiteral("Label Printer");
    printer.defaultPaper = QPageSize(QPageSize::A4);
    printer.customPaper = report::PaperLimits{QSize(127, 127), QSize(12700, 12700)};
    printer.resolution = static_cast<int>(kPdfResolution);
    printers_.printers.push_back(printer);
    printers_.defaultName = printer.name;

    window_.prefixText = QStringLiteral("PL01");
  }

  // Queues the articles in order, runs the print run into the PDF folder and returns the file.
  QString print(const QStringList& articles) {
    for (const QString& article : articles) {
      company_.execute(QStringLiteral("INSERT INTO ROTULOS_PENDIENTES (PREF_PRE, ARTI_COD) "
                                      "VALUES ('PL01', ?)"),
                       {db::Value::text(article)});
    }
    return runToPdf();
  }

  // Queues `count` labels of one article in one statement and prints them.
  QString printMany(int count) {
    company_.execute(QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN "
                                    "WHILE (I < %1) DO BEGIN "
                                    "INSERT INTO ROTULOS_PENDIENTES (PREF_PRE, ARTI_COD) "
                                    "VALUES ('PL01', '00123'); I = I + 1; END END")
                         .arg(count));
    return runToPdf();
  }

  QString runToPdf() {
    report::QtReportSystem reports(printers_, report::PdfDirectory{out_.path()});
    PrintRun run(window_, messages_, reports, settings_, aliases_, printers_);
    const PrintRunResult result = run.SpeedButton3Click(&company_);
    EXPECT_EQ(result, PrintRunResult::Printed);
    EXPECT_TRUE(messages_.entries.empty())
        << (messages_.entries.empty() ? "" : messages_.entries.front().text.toStdString());
    return reports.lastPdfPath();
  }

  static int pages(const QString& pdf) {
    return testing::pdfInfo(pdf).value(QStringLiteral("Pages")).toInt();
  }

  // The words of a page with the given text, in the order pdftotext reports them.
  static std::vector<PdfWord> find(const std::vector<PdfWord>& words, int page,
                                   const QString& text) {
    std::vector<PdfWord> found;
    for (const PdfWord& w : words)
      if (w.page == page && w.text == text) found.push_back(w);
    return found;
  }

  // The word of that text whose left end and baseline lie nearest to (x, y), or nullopt.
  static std::optional<PdfWord> nearest(const std::vector<PdfWord>& words, int page,
                                        const QString& text, double x, double baseline,
                                        double descent) {
    std::optional<PdfWord> best;
    double bestDistance = 1e9;
    for (const PdfWord& w : find(words, page, text)) {
      const double d =
          std::hypot(w.box.left() / 72.0 - x, w.box.bottom() / 72.0 - descent - baseline);
      if (d < bestDistance) {
        bestDistance = d;
        best = w;
      }
    }
    return best;
  }

  testing::TempDir dir_;
  testing::TempDir out_;
  testing::Installation installation_;
  db::Attachment company_;
  testing::FakePrintService printers_;
  testing::FakePrintWindow window_;
  testing::RecordingMessages messages_;
  testing::FakeSettings settings_;
  testing::FakeAliases aliases_;
};

// Ten labels: nine fill page 1 (three rows of three), the tenth starts page 2 in row 0.
const QStringList kTenLabels = {"00123", "00700", "A'1",   "00300", "00400",
                                "00500", "00600", "00200", "00123", "00700"};
const Slot kTenSlots[] = {{1, 0, 0}, {1, 1, 0}, {1, 2, 0}, {1, 0, 1}, {1, 1, 1},
                          {1, 2, 1}, {1, 0, 2}, {1, 1, 2}, {1, 2, 2}, {2, 0, 0}};

TEST_F(PdfLayoutTest, FixedTextLandsAtItsLabelsPositionWithItsBaseline) {
  const QString pdf = print(kTenLabels);
  ASSERT_EQ(pages(pdf), 2);
  const std::vector<PdfWord> words = testing::pdfWords(pdf);
  const double descent = descentInches(QStringLiteral("DejaVu Sans"), 10);

  EXPECT_EQ(find(words, 1, "ETIQUETA").size(), 9u);
  EXPECT_EQ(find(words, 2, "ETIQUETA").size(), 1u);
  for (const Slot& slot : kTenSlots) {
    SCOPED_TRACE(::testing::Message()
                 << "page " << slot.page << " column " << slot.column << " row " << slot.row);
    const double x = xAt(30, slot.column);
    const double baseline = yAt(120, slot.row);
    const auto word = nearest(words, slot.page, "ETIQUETA", x, baseline, descent);
    ASSERT_TRUE(word);
    EXPECT_NEAR(word->box.left() / 72.0, x, kTolerance);
    EXPECT_NEAR(word->box.bottom() / 72.0 - descent, baseline, kTolerance);
  }
}

TEST_F(PdfLayoutTest, PagesFollowTheRowsThatFitAboveThePageBottom) {
  // The frame of row r lies at 0.11 + 3.85 r inches: rows 0..2 fit on 11 in, row 3 breaks.
  ASSERT_GT(20 * kScaleY + 3 * kPitchY * kScaleY, kPageHeight);
  ASSERT_LE(120 * kScaleY + 2 * kPitchY * kScaleY, kPageHeight);
  struct Case {
    int labels;
    int pages;
  };
  const Case cases[] = {{1, 1}, {9, 1}, {10, 2}, {18, 2}, {19, 3}, {28, 4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.labels << " labels");
    const QString pdf = printMany(c.labels);
    EXPECT_EQ(pages(pdf), c.pages);
    // Every label printed its code once.
    std::vector<PdfWord> words = testing::pdfWords(pdf);
    EXPECT_EQ(std::count_if(words.begin(), words.end(),
                            [](const PdfWord& w) { return w.text == "00123"; }),
              c.labels);
  }
}

TEST_F(PdfLayoutTest, DataValuesPrintTheirCodesDescriptionsAndBarcodeTexts) {
  const QString pdf = print(kTenLabels);
  const std::vector<PdfWord> words = testing::pdfWords(pdf);
  const double codeDescent = descentInches(QStringLiteral("DejaVu Sans"), 10);
  const double descDescent = descentInches(QStringLiteral("DejaVu Sans"), 8);
  const double barDescent = descentInches(QStringLiteral("DejaVu Sans Mono"), 10);

  struct Expected {
    int label;
    QString code;
    QStringList description;
    QString barcode;  // BARRAS: the computed bar code between asterisks
  };
  const Expected expected[] = {
      {0, "00123", {"ARROZ", "DIANITA", "X", "500", "GR"}, "*7701234567890*"},
      {1, "00700", {"PAÑALES", "BEBÉ", "ETAPA", "1", "X", "30"}, "*7702000000700*"},
      {2, "A'1", {"ACEITE", "GIRASOL", "1000", "ML"}, "*7700000000011*"},
      {9, "00700", {"PAÑALES", "BEBÉ", "ETAPA", "1", "X", "30"}, "*7702000000700*"},
  };
  for (const Expected& e : expected) {
    const Slot slot = kTenSlots[e.label];
    SCOPED_TRACE(::testing::Message() << "label " << e.label);
    const double x = xAt(30, slot.column);

    const auto code = nearest(words, slot.page, e.code, x, yAt(200, slot.row), codeDescent);
    ASSERT_TRUE(code);
    EXPECT_NEAR(code->box.left() / 72.0, x, kTolerance);
    EXPECT_NEAR(code->box.bottom() / 72.0 - codeDescent, yAt(200, slot.row), kTolerance);

    // The description's words, left to right on one baseline, starting at x.
    const double line = yAt(280, slot.row);
    std::vector<PdfWord> onLine;
    for (const PdfWord& w : words) {
      if (w.page == slot.page && std::abs(w.box.bottom() / 72.0 - descDescent - line) < kSearch &&
          w.box.left() / 72.0 > x - kSearch && w.box.left() / 72.0 < x + 2.7)
        onLine.push_back(w);
    }
    std::sort(onLine.begin(), onLine.end(),
              [](const PdfWord& a, const PdfWord& b) { return a.box.left() < b.box.left(); });
    QStringList texts;
    for (const PdfWord& w : onLine) texts << w.text;
    EXPECT_EQ(texts, e.description);
    if (!onLine.empty()) {
      EXPECT_NEAR(onLine.front().box.left() / 72.0, x, kTolerance);
    }

    const auto article =
        nearest(words, slot.page, "*" + e.code + "*", x, yAt(500, slot.row), barDescent);
    ASSERT_TRUE(article) << "CODIGO BARRAS";
    EXPECT_NEAR(article->box.left() / 72.0, x, kTolerance);
    EXPECT_EQ(find(words, slot.page, e.barcode).empty(), false) << e.barcode.toStdString();
  }
  // The article without a bar code of its unit prints the two asterisks alone for BARRAS.
  EXPECT_FALSE(find(words, 1, "**").empty());
}

TEST_F(PdfLayoutTest, PricesOfDifferentLengthsEndAtTheElementsX) {
  const QString pdf = print(kTenLabels);
  const std::vector<PdfWord> words = testing::pdfWords(pdf);
  const render::RegionalSettings regional;
  const double descent = descentInches(QStringLiteral("DejaVu Sans"), 12);

  struct Expected {
    int label;
    qint64 units;  // ten-thousandths
  };
  // 1,500.50 and 42,900.00: texts of different lengths, both ending at x.
  const Expected expected[] = {{0, 15005000}, {1, 429000000}, {2, 98000000}, {9, 429000000}};
  for (const Expected& e : expected) {
    const Slot slot = kTenSlots[e.label];
    const QString text = regional.formatCurrency(labels::Amount::fromUnits(e.units), 2);
    SCOPED_TRACE(::testing::Message() << "label " << e.label << " " << text.toStdString());
    // pdftotext splits the text at blanks; its last word ends at the element's x.
    const QString last = text.split(QLatin1Char(' '), Qt::SkipEmptyParts).last();
    const double right = xAt(470, slot.column);
    const double baseline = yAt(400, slot.row);
    std::optional<PdfWord> word;
    for (const PdfWord& w : find(words, slot.page, last)) {
      if (std::abs(w.box.bottom() / 72.0 - descent - baseline) < kSearch &&
          std::abs(w.box.right() / 72.0 - right) < 0.5)
        word = w;
    }
    ASSERT_TRUE(word);
    EXPECT_NEAR(word->box.right() / 72.0, right, kTolerance);
    EXPECT_NEAR(word->box.bottom() / 72.0 - descent, baseline, kTolerance);
  }
  // The article without a price in the list prints no price at all.
  const Slot noPrice = kTenSlots[7];
  for (const PdfWord& w : words) {
    if (w.page != noPrice.page) continue;
    const bool inPriceLine =
        std::abs(w.box.bottom() / 72.0 - descent - yAt(400, noPrice.row)) < kSearch;
    const bool inColumn = std::abs(w.box.right() / 72.0 - xAt(470, noPrice.column)) < 0.5;
    EXPECT_FALSE(inPriceLine && inColumn) << w.text.toStdString();
  }
}

TEST_F(PdfLayoutTest, PictureIsDrawnAtItsPlaceInItsNaturalSize) {
  const QString pdf = print({"00123", "00700", "A'1", "00300"});
  constexpr int dpi = 300;
  const testing::PdfRaster page = testing::pdfRaster(pdf, 1, dpi);
  ASSERT_GT(page.width, 0);

  // The darkness of a box in inches: the share of pixels below mid grey.
  auto darkShare = [&](double x1, double y1, double x2, double y2) {
    int dark = 0;
    int all = 0;
    for (int y = static_cast<int>(std::ceil(y1 * dpi)); y < static_cast<int>(y2 * dpi); ++y) {
      for (int x = static_cast<int>(std::ceil(x1 * dpi)); x < static_cast<int>(x2 * dpi); ++x) {
        ++all;
        if (page.at(x, y) < 128) ++dark;
      }
    }
    return all == 0 ? -1.0 : static_cast<double>(dark) / all;
  };

  const double w = kPictureWidth / kPdfResolution;   // 0.16 in
  const double h = kPictureHeight / kPdfResolution;  // 0.08 in
  const Slot pictures[] = {{1, 0, 0}, {1, 1, 0}, {1, 2, 0}, {1, 0, 1}};
  for (const Slot& slot : pictures) {
    SCOPED_TRACE(::testing::Message() << "column " << slot.column << " row " << slot.row);
    const double x = xAt(kPictureX, slot.column);
    const double y = yAt(kPictureY, slot.row);
    // Inside, a pixel's margin in from the edges: all black.
    EXPECT_EQ(darkShare(x + 0.01, y + 0.01, x + w - 0.01, y + h - 0.01), 1.0);
    // Bands just outside each edge: white, so the picture is neither shifted nor scaled.
    EXPECT_EQ(darkShare(x - 0.05, y, x - 0.01, y + h), 0.0) << "left";
    EXPECT_EQ(darkShare(x + w + 0.01, y, x + w + 0.05, y + h), 0.0) << "right";
    EXPECT_EQ(darkShare(x, y - 0.05, x + w, y - 0.01), 0.0) << "above";
    EXPECT_EQ(darkShare(x, y + h + 0.01, x + w, y + h + 0.05), 0.0) << "below";
  }
}

// The picture of a static element is decoded once per run and stored once in the PDF, however
// many labels draw it.
TEST_F(PdfLayoutTest, PictureIsStoredOnceForAllLabels) {
  const QString pdf = printMany(30);
  const auto images = testing::pdfImages(pdf);
  ASSERT_EQ(images.size(), 30u);
  for (const auto& image : images) EXPECT_EQ(image.object, images[0].object);
  EXPECT_EQ(images[0].width, kPictureWidth);
  EXPECT_EQ(images[0].xPpi, static_cast<int>(kPdfResolution));
}

}  // namespace
}  // namespace radevore::print
