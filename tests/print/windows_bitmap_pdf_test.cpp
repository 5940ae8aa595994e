// Pictures saved the way some Windows programs save them print in a real PDF: a 32-bit bitmap
// whose alpha says "transparent" everywhere, and a bitmap with a pixel-data offset of 0 whose
// last row lacks its padding.

#include <gtest/gtest.h>

#include <QImage>
#include <cmath>

#include "db/attachment.h"
#include "print/print_run.h"
#include "print_run_fakes.h"
#include "render/bmp_samples.h"
#include "report/qt_report_system.h"
#include "support/fake_print_service.h"
#include "support/fixture_db.h"
#include "support/pdf_probe.h"
#include "support/recording_messages.h"

namespace radevore::print {
namespace {

// Letter paper of the fixture's RT01 format: escala_x = 8.5 / 1500, escala_y = 11 / 2000.
constexpr double kScaleX = 0.0057;
constexpr double kScaleY = 0.0055;

QImage blackPicture(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::black);
  return image;
}

TEST(WindowsBitmapPdf, TransparentAndUnpaddedBitmapsPrintTheirPixels) {
  testing::TempDir dir;
  testing::TempDir out;
  const testing::Installation installation = testing::makeInstallation(
      dir.path(), QStringLiteral("001"),
      QStringLiteral(
          "INSERT INTO ROTULOS_PENDIENTES (PREF_PRE, ARTI_COD) VALUES ('RT01', '00123');\n"));
  db::Attachment company = db::Attachment::open(testing::companyParams(installation));

  struct Picture {
    int posx;
    int posy;
    QByteArray bmp;
  };
  // 121 pixels of 24 bits: 363 bytes a row, padded to 364; the last row stops at 363.
  const Picture pictures[] = {
      {200, 60, testing::transparentBmp32(blackPicture(120, 60))},
      {350, 60,
       testing::withPixelOffsetZero(testing::encoded(blackPicture(121, 60), "BMP")).chopped(1)},
  };
  int item = 10;
  for (const Picture& p : pictures) {
    company.execute(
        QStringLiteral("INSERT INTO FORMATO_LINEAS (TIDO_COD, PREF_PRE, FOLI_ITEM, FOLI_TIPO, "
                       "FOLI_POSX, FOLI_POSY, FOLI_LIQUIDA, FOLI_REPITE, FOLI_IMAGEN) "
                       "VALUES (36, 'RT01', ?, 'G', ?, ?, 'N', 'S', ?)"),
        {db::Value::integer(item++), db::Value::integer(p.posx), db::Value::integer(p.posy),
         db::Value::blob(p.bmp)});
  }

  testing::FakePrintService printers;
  printers.addLabelPrinter(QStringLiteral("Etiquetas"));
  printers.defaultName = QStringLiteral("Etiquetas");
  testing::FakePrintWindow window;
  window.prefixText = QStringLiteral("RT01");
  testing::RecordingMessages messages;
  testing::FakeSettings settings;
  testing::FakeAliases aliases;
  report::QtReportSystem reports(printers, report::PdfDirectory{out.path()});
  PrintRun run(window, messages, reports, settings, aliases, printers);
  ASSERT_EQ(run.SpeedButton3Click(&company), PrintRunResult::Printed)
      << (messages.entries.empty() ? "" : messages.entries.front().text.toStdString());

  constexpr int dpi = 300;
  const testing::PdfRaster page = testing::pdfRaster(reports.lastPdfPath(), 1, dpi);
  ASSERT_GT(page.width, 0);
  // The share of pixels below mid grey in a box given in inches.
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
  for (const Picture& p : pictures) {
    SCOPED_TRACE(p.posx);
    const double x = p.posx * kScaleX;
    const double y = p.posy * kScaleY;
    // Just inside the top-left corner (within the picture at any printer resolution up to
    // 1200 dots an inch): black. Just left of it: the white paper.
    EXPECT_EQ(darkShare(x + 0.01, y + 0.01, x + 0.08, y + 0.04), 1.0);
    EXPECT_EQ(darkShare(x - 0.08, y + 0.01, x - 0.01, y + 0.04), 0.0);
  }
}

}  // namespace
}  // namespace radevore::print
