#pragma once

#include <QString>
#include <functional>
#include <stdexcept>

#include "report/report_canvas.h"

namespace radevore::report {

enum class ReportOutcome { Printed, Cancelled };

// A job as it was handed over: its title, pages, where it went (the printer's name or the PDF
// file) and a PDF of its pages, valid only while the observer is being called.
struct HandedOverJob {
  QString title;
  int pages = 0;
  QString destination;
  QString document;
};

// An error raised by the report system (an invalid printer, an output file that cannot be
// written), carrying its own text for the general error display.
class ReportError : public std::runtime_error {
 public:
  explicit ReportError(const QString& text) : std::runtime_error(text.toStdString()), text_(text) {}
  const QString& text() const { return text_; }

 private:
  QString text_;
};

// The report system that runs print jobs (RvSystem1). It keeps the current printer and its paper
// from job to job.
class ReportSystem {
 public:
  using Callback = std::function<void(ReportCanvas&)>;
  virtual ~ReportSystem() = default;

  // Runs one print job: a fresh canvas on the current printer (inches, margins 0, portrait);
  // beforePrint before the first page exists; then print once on page 1; then, unless cancelled
  // from the status window, hands all pages over as one job named by the title. Returns only
  // when the job has been handed over or cancelled; anything the callbacks or the output throw
  // ends the job and propagates, with nothing handed over.
  virtual ReportOutcome RunReport(const Callback& beforePrint, const Callback& print) = 0;
};

}  // namespace radevore::report
