#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPushButton>

#include "report/print_service.h"
#include "report/qt_report_system.h"
#include "support/cups_server.h"
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

  QtPrintService service_;
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

}  // namespace
}  // namespace radevore::report
