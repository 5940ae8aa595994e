#include "report/qt_report_system.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <optional>

#include "report/cups_job.h"
#include "report/job_file.h"
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

  // The pages go into a file with a temporary name as they are drawn: beside the final name for
  // a PDF job, so that publishing it is a rename; in the temporary folder for a printer. Leaving
  // this function any other way than by handing the job over removes it.
  JobFile file(pdfDirectory_ ? pdfDirectory_->path : QDir::tempPath());
  QtReportCanvas canvas(service_, choice_, file);
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
      if (!pdfDirectory_) checkPrinter(service_, choice_);
      canvas.start();
      watched.update();
      if (print) print(watched);
      canvas.finish();
    } catch (const JobCancelled&) {
      return ReportOutcome::Cancelled;
    }
  }
  file.finish();

  HandedOverJob job{canvas.title(), canvas.pageCount(), {}, {}};
  if (pdfDirectory_) {
    const QString stamp =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    lastPdfPath_ = file.publish(stamp, pdfSequence_);
    job.destination = job.document = lastPdfPath_;
  } else {
    job.destination =
        choice_.printer->queue.isEmpty() ? choice_.printer->name : choice_.printer->queue;
    submitPdfJob(job.destination, canvas.title(), file.readablePath(), jobOptions(choice_));
    // The temporary file goes with this function; the observer copies what it keeps.
    job.document = file.readablePath();
  }
  if (handedOver_) handedOver_(job);
  return ReportOutcome::Printed;
}

}  // namespace radevore::report
