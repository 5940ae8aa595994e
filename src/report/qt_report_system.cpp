#include "report/qt_report_system.h"

#include <QApplication>
#include <optional>

#include "report/job_output.h"
#include "report/running_flag.h"
#include "report/status_window.h"
#include "report/watched_canvas.h"

namespace radevore::report {

QtReportSystem::QtReportSystem(const PrintService& service) : service_(service) {}

QtReportSystem::QtReportSystem(const PrintService& service, PdfDirectory directory)
    : service_(service), pdfDirectory_(std::move(directory)) {}

ReportOutcome QtReportSystem::RunReport(const Callback& beforePrint, const Callback& print) {
  // The status window handles window messages, which could ask for another job meanwhile.
  if (running_) throw ReportError(QStringLiteral("A report is already running"));
  RunningFlag running(running_);

  if (!choice_.printer) choice_.printer = service_.printer(service_.defaultPrinterName());

  QtReportCanvas canvas(service_, choice_, printedPageLimit_);
  // A PDF page can have any size from a tenth of a millimetre to 200 inches.
  if (pdfDirectory_)
    canvas.setPaperLimitsWithoutPrinter(PaperLimits{QSize(1, 1), QSize(50800, 50800)});
  {
    std::optional<StatusWindow> status;
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) status.emplace();
    WatchedCanvas watched(canvas, status ? &*status : nullptr);
    try {
      watched.update();
      if (beforePrint) beforePrint(watched);
      canvas.start();
      if (!pdfDirectory_) checkPrinter(choice_);
      watched.update();
      if (print) print(watched);
    } catch (const JobCancelled&) {
      return ReportOutcome::Cancelled;
    }
  }

  if (pdfDirectory_) {
    lastPdfPath_ = writePdf(canvas, pdfDirectory_->path, pdfSequence_);
  } else {
    printOnPrinter(canvas);
  }
  return ReportOutcome::Printed;
}

}  // namespace radevore::report
