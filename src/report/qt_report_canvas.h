#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPointF>
#include <QSize>
#include <memory>
#include <optional>

#include "report/job_file.h"
#include "report/print_service.h"
#include "report/report_canvas.h"

namespace radevore::report {

// The printer the report system has between jobs, with the custom paper last applied to it.
struct PrinterChoice {
  std::optional<PrinterDetails> printer;  // nullopt: no printer installed
  std::optional<QSize> customPaper;       // tenths of a millimetre
};

// The resolution of a job whose printer does not state its own (or of a PDF job without any
// installed printer), in dots per inch.
inline constexpr int kDefaultResolution = 300;

// Custom paper extents in tenths of a millimetre: inches * 254, rounded to nearest, ties to even.
int tenthsOfMillimetre(double inches);

// The canvas of one job on Qt. Set-up operations act on the report system's printer choice until
// the job starts; from then on every drawing operation is painted straight into the job's file as
// PDF, page by page, at the resolution of the chosen printer, so that pen widths and bitmap pixels
// are dots of that printer. Nothing of the job is kept in memory.
class QtReportCanvas : public ReportCanvas {
 public:
  QtReportCanvas(const PrintService& service, PrinterChoice& choice, JobFile& output);
  ~QtReportCanvas() override;

  double PageWidth() const override;
  double PageHeight() const override;
  void SetPen(PenStyle style, int width) override;
  void SetFont(const QString& face, int size) override;
  void PrintAt(double x, double y, const QString& text) override;
  void PrintRightAt(double x, double y, const QString& text) override;
  void MoveTo(double x, double y) override;
  void LineTo(double x, double y) override;
  void Rectangle(double x1, double y1, double x2, double y2) override;
  void DrawBitmap(double x, double y, double scaleX, double scaleY, const QImage& bitmap) override;
  void NewPage() override;
  void SelectPrinter(int index) override;
  void SetPaperSize(int paperNumber, double width, double height) override;
  void SetOrientation(Orientation orientation) override;
  void SetTitle(const QString& title) override;

  // Ends the set-up: opens the PDF on the output; page 1 exists from here on and set-up
  // operations change nothing.
  void start();
  bool started() const { return started_; }
  // Ends the last page and the document. Throws ReportError when the output could not be written.
  void finish();
  // Pages generated so far (1 once started).
  int pageCount() const { return pageCount_; }
  // Dots per inch of the job: the chosen printer's resolution, or kDefaultResolution.
  int resolution() const;

  const PrinterChoice& printerChoice() const { return choice_; }
  // The paper limits of the output itself while no printer is chosen: a PDF file without any
  // installed printer still takes the format's paper. nullopt (the default): no custom paper
  // without a printer.
  void setPaperLimitsWithoutPrinter(std::optional<PaperLimits> limits) {
    limitsWithoutPrinter_ = limits;
  }
  const QString& title() const { return title_; }
  Orientation orientation() const { return orientation_; }
  // The paper after paper size and orientation, margins 0.
  QPageLayout pageLayout() const;

 private:
  std::optional<PaperLimits> limitsWithoutPrinter_;
  QPageSize paper() const;
  void refreshPage();
  QPointF at(double x, double y) const { return QPointF(x * dpi_, y * dpi_); }

  const PrintService& service_;
  PrinterChoice& choice_;
  JobFile& output_;
  Orientation orientation_ = Orientation::Portrait;
  QString title_;
  // The paper in inches after orientation, resolved whenever the set-up changes it.
  QSizeF page_;
  bool started_ = false;
  int pageCount_ = 0;
  double dpi_ = kDefaultResolution;
  QPointF penPosition_;
  std::unique_ptr<QPdfWriter> writer_;
  QPainter painter_;
  // Metrics of the current font on the output, for right-aligned text.
  std::optional<QFontMetricsF> metrics_;
};

}  // namespace radevore::report
