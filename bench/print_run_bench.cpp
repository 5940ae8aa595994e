// Figures for one whole print run of 5,000 queued labels on the RT01 format (three labels a
// row, 24 a Letter page): the label fetch, the drawing, and the whole run, once onto a recording
// canvas and once written as a PDF file.
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <cstdio>

#include "db/attachment.h"
#include "db/transaction.h"
#include "labels/label_record_source.h"
#include "print/print_run.h"
#include "print/print_run_fakes.h"
#include "report/qt_report_system.h"
#include "support/fake_print_service.h"
#include "support/fixture_db.h"
#include "support/pdf_probe.h"
#include "support/recording_messages.h"

using namespace radevore;

namespace {

constexpr int kLabels = 5000;

// Queues the labels in one statement, cycling through the articles that have a price.
void queueLabels(db::Attachment& company) {
  company.execute(
      QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < %1) DO BEGIN "
                     "INSERT INTO ROTULOS_PENDIENTES (PREF_PRE, ARTI_COD) VALUES ('RT01', "
                     "CASE MOD(:I, 7) WHEN 0 THEN '00123' WHEN 1 THEN '00300' WHEN 2 THEN 'A''1' "
                     "WHEN 3 THEN '00400' WHEN 4 THEN '00500' WHEN 5 THEN '00600' "
                     "ELSE '00700' END); I = I + 1; END END")
          .arg(kLabels));
}

// Passes jobs on to another report system and times their print callback, which draws every
// label.
class TimedReportSystem : public report::ReportSystem {
 public:
  explicit TimedReportSystem(report::ReportSystem& inner) : inner_(inner) {}
  report::ReportOutcome RunReport(const Callback& beforePrint, const Callback& print) override {
    return inner_.RunReport(beforePrint, [&](report::ReportCanvas& canvas) {
      QElapsedTimer timer;
      timer.start();
      print(canvas);
      renderMs = timer.nsecsElapsed() / 1e6;
    });
  }
  double renderMs = 0;

 private:
  report::ReportSystem& inner_;
};

long peakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

struct RunFigures {
  double totalMs = 0;
  double renderMs = 0;
  print::PrintRunResult result = print::PrintRunResult::Failed;
};

RunFigures run(db::Attachment& company, report::ReportSystem& output,
               testing::FakePrintService& printers) {
  testing::FakePrintWindow window;
  window.prefixText = QStringLiteral("RT01");
  testing::RecordingMessages messages;
  testing::FakeSettings settings;
  testing::FakeAliases aliases;
  TimedReportSystem timed(output);
  print::PrintRun printRun(window, messages, timed, settings, aliases, printers);

  QElapsedTimer timer;
  timer.start();
  RunFigures figures;
  figures.result = printRun.SpeedButton3Click(&company);
  figures.totalMs = timer.nsecsElapsed() / 1e6;
  figures.renderMs = timed.renderMs;
  for (const auto& m : messages.entries) std::printf("  message: %s\n", qPrintable(m.text));
  return figures;
}

void printFigures(const char* name, const RunFigures& f) {
  std::printf("%s\n", name);
  std::printf("  result             %s\n",
              f.result == print::PrintRunResult::Printed ? "printed" : "NOT PRINTED");
  std::printf("  render (draw)      %9.1f ms\n", f.renderMs);
  std::printf("  whole run          %9.1f ms  (of it outside drawing: %.1f ms)\n", f.totalMs,
              f.totalMs - f.renderMs);
  std::printf("  labels per second  %9.0f\n", kLabels / (f.totalMs / 1000.0));
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);

  testing::TempDir dir;
  testing::TempDir pdfDir;
  const auto installation = testing::makeInstallation(dir.path());
  db::Attachment company = db::Attachment::open(testing::companyParams(installation));

  // A printer taking Letter as custom paper, so the format's 8.5 x 11 in page is used.
  testing::FakePrintService printers;
  report::PrinterDetails printer;
  printer.name = QStringLiteral("Etiquetas");
  printer.defaultPaper = QPageSize(QPageSize::Letter);
  printer.customPaper = report::PaperLimits{QSize(127, 127), QSize(12700, 12700)};
  printers.printers.push_back(printer);
  printers.defaultName = printer.name;

  std::printf("print run of %d labels, format RT01 (3 a row, 24 a page)\n", kLabels);
  std::printf("peak memory before         %8ld kB\n", peakKilobytes());

  // The fetch alone: the procedure with its barcode lookups, rolled back so the labels stay.
  queueLabels(company);
  // Twice: the first fetch also warms the database's page cache.
  for (const char* pass : {"cold", "warm"}) {
    db::Transaction fetch = company.startTransaction(db::TransactionMode::ReadWrite);
    QElapsedTimer timer;
    timer.start();
    const auto records =
        labels::fetchLabelRecords(company, fetch, labels::imprArticuloStatement("RT01", "4"));
    const double fetchMs = timer.nsecsElapsed() / 1e6;
    fetch.rollback();
    std::printf("fetch %zu label records (%s) %9.1f ms (%.1f us/label)\n", records.size(), pass,
                fetchMs, 1000.0 * fetchMs / double(records.size()));
  }
  std::printf("peak memory after fetch    %8ld kB\n", peakKilobytes());

  {
    testing::RecordingReportSystem recording;
    const RunFigures f = run(company, recording, printers);
    printFigures("(a) recording canvas", f);
    if (!recording.jobs.empty()) {
      std::printf("  canvas calls       %9zu\n", recording.jobs[0]->calls().size());
      std::printf("  pages              %9zu\n", recording.jobs[0]->callsOf("NewPage").size() + 1);
    }
    std::printf("  peak memory        %9ld kB\n", peakKilobytes());
  }

  queueLabels(company);
  {
    report::QtReportSystem pdf(printers, report::PdfDirectory{pdfDir.path()});
    const RunFigures f = run(company, pdf, printers);
    printFigures("(b) PDF file", f);
    const QString path = pdf.lastPdfPath();
    std::printf("  pages              %9s\n",
                qPrintable(testing::pdfInfo(path).value(QStringLiteral("Pages"))));
    std::printf("  PDF size           %9.1f kB\n", QFileInfo(path).size() / 1024.0);
    std::printf("  peak memory        %9ld kB\n", peakKilobytes());
  }
  return 0;
}
