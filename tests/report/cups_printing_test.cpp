#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

#include "report/cups_job.h"
#include "report/print_service.h"
#include "report/qt_report_system.h"
#include "support/cups_server.h"
#include "support/pdf_images.h"
#include "support/pdf_probe.h"
#include "support/qt_application.h"

namespace radevore::report {
namespace {

// Jobs on queues of a private CUPS scheduler. Each test uses queues of its own names.
class CupsPrinting : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::ensureQtApplication();
    ASSERT_EQ(cups().failure(), QString());
  }
  static testing::CupsServer& cups() { return testing::sharedCupsServer(); }

  CupsPrintService service_;
};

TEST_F(CupsPrinting, ServiceListsQueuesWithPortDriverAndPaperLimits) {
  cups().addZebraQueue(QStringLiteral("ListaUno"));
  cups().addZebraQueue(QStringLiteral("ListaDos"));
  cups().setDefault(QStringLiteral("ListaDos"));
  const QStringList names = service_.printerNames();
  EXPECT_TRUE(names.contains(QStringLiteral("ListaUno")));
  EXPECT_TRUE(names.contains(QStringLiteral("ListaDos")));
  EXPECT_EQ(service_.defaultPrinterName(), QStringLiteral("ListaDos"));

  const auto details = service_.printer(QStringLiteral("ListaUno"));
  ASSERT_TRUE(details.has_value());
  EXPECT_EQ(details->name, QStringLiteral("ListaUno"));
  EXPECT_EQ(details->port, QStringLiteral("file://%1/out/ListaUno.zpl").arg(cups().directory()));
  EXPECT_TRUE(details->driver.contains(QStringLiteral("Zebra"))) << details->driver.toStdString();
  ASSERT_TRUE(details->customPaper.has_value());
  EXPECT_EQ(details->customPaper->minimum, QSize(127, 127));
  EXPECT_EQ(details->customPaper->maximum, QSize(2032, 12700));
  // The Zebra model prints at 203 dots an inch by default.
  EXPECT_EQ(details->resolution, 203);
  EXPECT_FALSE(service_.printer(QStringLiteral("NoSuchQueue")).has_value());
}

TEST_F(CupsPrinting, JobReachesTheChosenQueueWithTitleAndPaper) {
  cups().addZebraQueue(QStringLiteral("TituloA"));
  cups().addZebraQueue(QStringLiteral("TituloB"));
  cups().setDefault(QStringLiteral("TituloA"));
  QtReportSystem system(service_);
  const int index = static_cast<int>(service_.printerNames().indexOf(QStringLiteral("TituloB")));
  ASSERT_GE(index, 0);
  const ReportOutcome outcome = system.RunReport(
      [&](ReportCanvas& c) {
        c.SelectPrinter(index);
        c.SetPaperSize(0, 4.0, 2.5);
        c.SetTitle(QStringLiteral("Rótulo articulo 00123"));
      },
      [](ReportCanvas& c) { c.PrintAt(0.5, 1.0, QStringLiteral("00123")); });
  EXPECT_EQ(outcome, ReportOutcome::Printed);
  const auto jobs = cups().completedJobs(QStringLiteral("TituloB"), 1);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].name.toStdString(), "Rótulo articulo 00123");
  // The queue names a custom size by its points: 4 x 2.5 in is 288 x 180 pt.
  EXPECT_EQ(jobs[0].media.toStdString(), "w288h180");
  EXPECT_TRUE(cups().completedJobs(QStringLiteral("TituloA"), 0, 0).empty());
}

TEST_F(CupsPrinting, CancelledJobNeverReachesTheQueue) {
  cups().addZebraQueue(QStringLiteral("Cancelada"));
  cups().setDefault(QStringLiteral("Cancelada"));
  QtReportSystem system(service_);
  auto job = [&](const QString& title, bool cancel) {
    return system.RunReport([&](ReportCanvas& c) { c.SetTitle(title); },
                            [&](ReportCanvas& c) {
                              c.PrintAt(1, 1, title);
                              if (!cancel) return;
                              for (QWidget* w : QApplication::topLevelWidgets()) {
                                if (w->isVisible() && w->windowTitle() == QLatin1String("Estado"))
                                  w->findChild<QPushButton*>()->click();
                              }
                              c.PrintAt(1, 2, title);
                            });
  };
  EXPECT_EQ(job(QStringLiteral("primero"), true), ReportOutcome::Cancelled);
  EXPECT_EQ(job(QStringLiteral("segundo"), false), ReportOutcome::Printed);
  const auto jobs = cups().completedJobs(QStringLiteral("Cancelada"), 2, 5000);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].name, QStringLiteral("segundo"));
}

TEST_F(CupsPrinting, RemovedPrinterIsAnInvalidPrinterWithPortAndDriver) {
  cups().addZebraQueue(QStringLiteral("Retirada"));
  cups().setDefault(QStringLiteral("Retirada"));
  QtReportSystem system(service_);
  ASSERT_EQ(system.RunReport({}, [](ReportCanvas&) {}), ReportOutcome::Printed);
  const PrinterDetails details = *system.printerChoice().printer;
  cups().removeQueue(QStringLiteral("Retirada"));
  // The next job selects no printer: it would go to the removed queue.
  try {
    system.RunReport({}, [](ReportCanvas&) { FAIL() << "printed on a removed printer"; });
    FAIL() << "no error";
  } catch (const ReportError& e) {
    EXPECT_EQ(e.text(),
              QStringLiteral("Invalid Printer - Retirada on file://%1/out/Retirada.zpl (%2)")
                  .arg(cups().directory(), details.driver));
  }
}

// A job on a queue that refuses jobs is not handed over: the error names the printer and the
// scheduler's own text, and nothing reaches the queue. Once the queue accepts again the next job
// goes through.
TEST_F(CupsPrinting, RefusingQueueIsAnErrorWithTheSchedulersText) {
  const QString queue = QStringLiteral("Rechaza");
  cups().addZebraQueue(queue);
  cups().setDefault(queue);
  cups().runTool(QStringLiteral("cupsreject"),
                 {QStringLiteral("-r"), QStringLiteral("sin papel"), queue});
  QtReportSystem system(service_);
  auto job = [&] {
    return system.RunReport(
        [](ReportCanvas& c) { c.SetTitle(QStringLiteral("Rótulo articulo 7")); },
        [](ReportCanvas& c) { c.PrintAt(1, 1, QStringLiteral("7")); });
  };
  try {
    job();
    FAIL() << "a refused job was reported as printed";
  } catch (const ReportError& e) {
    EXPECT_TRUE(e.text().contains(queue)) << e.text().toStdString();
    EXPECT_TRUE(e.text().contains(QStringLiteral("not accepting jobs"))) << e.text().toStdString();
  }
  EXPECT_TRUE(cups().acceptedJobs(queue).empty());

  cups().runTool(QStringLiteral("cupsaccept"), {queue});
  EXPECT_EQ(job(), ReportOutcome::Printed);
  EXPECT_EQ(cups().acceptedJobs(queue).size(), 1u);
}

// A paused queue keeps the job it accepted: the job has been handed over.
TEST_F(CupsPrinting, PausedQueueHoldsTheJobItAccepted) {
  const QString queue = QStringLiteral("Pausada");
  cups().addZebraQueue(queue);
  cups().setDefault(queue);
  cups().runTool(QStringLiteral("cupsdisable"), {queue});
  QtReportSystem system(service_);
  EXPECT_EQ(system.RunReport({}, [](ReportCanvas& c) { c.PrintAt(1, 1, QStringLiteral("8")); }),
            ReportOutcome::Printed);
  const std::vector<int> jobs = cups().acceptedJobs(queue);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(testing::pdfWords(cups().jobDocument(jobs[0])).at(0).text, QStringLiteral("8"));
  EXPECT_TRUE(cups().completedJobs(queue, 0, 0).empty());
  cups().runTool(QStringLiteral("cupsenable"), {queue});
}

// On the 203-dpi label printer a pen of 2 is 2/203 in wide and a bitmap of 120 pixels is
// 120/203 in wide: the document the queue receives is drawn at the printer's resolution.
TEST_F(CupsPrinting, JobIsDrawnInDotsOfTheLabelPrinter) {
  const QString queue = QStringLiteral("Puntos203");
  cups().addZebraQueue(queue);
  cups().setDefault(queue);
  QImage logo(120, 40, QImage::Format_RGB32);
  logo.fill(Qt::black);
  QtReportSystem system(service_);
  ASSERT_EQ(system.RunReport([](ReportCanvas& c) { c.SetPaperSize(0, 4.0, 2.5); },
                             [&](ReportCanvas& c) {
                               c.SetPen(PenStyle::Solid, 2);
                               c.MoveTo(0.5, 2.0);
                               c.LineTo(3.5, 2.0);
                               c.DrawBitmap(0.5, 0.5, 1, 1, logo);
                             }),
            ReportOutcome::Printed);
  const std::vector<int> jobs = cups().acceptedJobs(queue);
  ASSERT_EQ(jobs.size(), 1u);
  const QString document = cups().jobDocument(jobs[0]);
  const auto images = testing::pdfImages(document);
  ASSERT_EQ(images.size(), 1u);
  EXPECT_EQ(images[0].width, 120);
  EXPECT_EQ(images[0].xPpi, 203);
  // At 1015 pixels an inch: the pen is 10 pixels thick, the bitmap 600 pixels wide.
  const auto page = testing::pdfRaster(document, 1, 1015);
  ASSERT_EQ(page.width, 4060);
  int pen = 0;
  for (int y = 1900; y < 2150; ++y) pen += page.at(2030, y) < 128 ? 1 : 0;
  EXPECT_NEAR(pen, 10, 1.5);
  int bitmap = 0;
  for (int x = 0; x < page.width; ++x) bitmap += page.at(x, 550) < 128 ? 1 : 0;
  EXPECT_NEAR(bitmap, 600, 2);
}

// A scheduler that stops answering ends look-ups and submissions with an error once the timeout
// has passed, instead of holding the program.
TEST_F(CupsPrinting, FrozenSchedulerEndsRequestsAfterTheTimeout) {
  const QString queue = QStringLiteral("Congelada");
  cups().addZebraQueue(queue);
  QTemporaryDir dir;
  QFile pdf(dir.filePath(QStringLiteral("job.pdf")));
  ASSERT_TRUE(pdf.open(QIODevice::WriteOnly));
  pdf.write("%PDF-1.4\n%%EOF\n");
  pdf.close();
  const std::chrono::milliseconds timeout(2000);
  CupsPrintService quick(timeout);

  cups().freeze();
  QElapsedTimer waited;
  waited.start();
  QString lookup, submit;
  try {
    quick.printerNames();
  } catch (const ReportError& e) {
    lookup = e.text();
  }
  try {
    submitPdfJob(queue, QStringLiteral("t"), pdf.fileName(), {}, timeout);
  } catch (const ReportError& e) {
    submit = e.text();
  }
  const qint64 elapsed = waited.elapsed();
  cups().thaw();

  EXPECT_TRUE(lookup.contains(QStringLiteral("did not answer within 2 seconds")))
      << lookup.toStdString();
  EXPECT_TRUE(submit.contains(queue) && submit.contains(QStringLiteral("did not answer")))
      << submit.toStdString();
  // Two requests of 2 s each and a short attempt to withdraw the job; far below a hang.
  EXPECT_LT(elapsed, 20000);
  EXPECT_TRUE(quick.printerNames().contains(queue));
}

}  // namespace
}  // namespace radevore::report
