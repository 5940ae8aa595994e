#pragma once

#include <QFont>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPointF>
#include <QSize>
#include <functional>
#include <optional>
#include <vector>

#include "report/print_service.h"
#include "report/report_canvas.h"

namespace radevore::report {

// Pages after this one are generated but not printed.
inline constexpr int kPrintedPageLimit = 9999;

// The printer the report system has between jobs, with the custom paper last applied to it.
struct PrinterChoice {
  std::optional<PrinterDetails> printer;  // nullopt: no printer installed
  std::optional<QSize> customPaper;       // tenths of a millimetre
};

// Custom paper extents in tenths of a millimetre: inches * 254, rounded to nearest, ties to even.
int tenthsOfMillimetre(double inches);

// The canvas of one job on Qt. Set-up operations act on the report system's printer choice until
// the job starts; drawing is kept per page in inches and painted on the output device when the
// job is handed over, so a cancelled or failed job never opens the printer.
class QtReportCanvas : public ReportCanvas {
 public:
  QtReportCanvas(const PrintService& service, PrinterChoice& choice,
                 int printedPageLimit = kPrintedPageLimit);

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

  // Ends the set-up: page 1 exists from here on and set-up operations change nothing.
  void start();
  bool started() const { return started_; }
  // Pages generated so far (1 once started).
  int pageCount() const { return pageCount_; }
  // Pages that will reach the output.
  int printedPageCount() const { return static_cast<int>(pages_.size()); }

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

  // Paints the printed pages on the device, which is open with `painter` on page 1.
  void paint(QPagedPaintDevice& device, QPainter& painter) const;

 private:
  std::optional<PaperLimits> limitsWithoutPrinter_;
  struct Device {
    QPainter& painter;
    double dpiX;
    double dpiY;
    QPointF at(double x, double y) const { return QPointF(x * dpiX, y * dpiY); }
  };
  using Command = std::function<void(const Device&)>;

  void record(Command command);
  QPageSize paper() const;

  const PrintService& service_;
  PrinterChoice& choice_;
  int printedPageLimit_;
  Orientation orientation_ = Orientation::Portrait;
  QString title_;
  bool started_ = false;
  int pageCount_ = 0;
  QPointF penPosition_;
  std::vector<std::vector<Command>> pages_;
};

}  // namespace radevore::report
