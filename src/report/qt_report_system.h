#pragma once

#include <QString>

#include "report/print_service.h"
#include "report/qt_report_canvas.h"
#include "report/report_system.h"

namespace radevore::report {

// A directory that receives each job as a new PDF file instead of a printer.
struct PdfDirectory {
  QString path;
};

// The report system on Qt. It keeps the current printer and its custom paper from job to job;
// the first job goes to the system's default printer. Needs a QApplication for its status
// window; without one the jobs run without it.
class QtReportSystem : public ReportSystem {
 public:
  // Jobs go to the workstation's printers.
  explicit QtReportSystem(const PrintService& service);
  // Jobs are written as PDF files into the directory; printers are chosen from the service as
  // for printing, and the PDF records the chosen printer's name as its creator.
  QtReportSystem(const PrintService& service, PdfDirectory directory);

  ReportOutcome RunReport(const Callback& beforePrint, const Callback& print) override;

  // The file the last job wrote to the PDF directory; "" before any.
  const QString& lastPdfPath() const { return lastPdfPath_; }
  const PrinterChoice& printerChoice() const { return choice_; }
  // Told of every job once it has been handed over.
  void onHandedOver(std::function<void(const HandedOverJob&)> observer) {
    handedOver_ = std::move(observer);
  }

 private:
  const PrintService& service_;
  std::optional<PdfDirectory> pdfDirectory_;
  PrinterChoice choice_;
  int pdfSequence_ = 0;
  QString lastPdfPath_;
  bool running_ = false;
  std::function<void(const HandedOverJob&)> handedOver_;
};

}  // namespace radevore::report
