#pragma once

#include <QElapsedTimer>

#include "report/qt_report_canvas.h"
#include "report/status_window.h"

namespace radevore::report {

// Thrown at the drawing operation after "Cancel" was pressed; the report system catches it.
// Not a std::exception, so that callbacks catching those let it pass.
struct JobCancelled {};

// The canvas the callbacks see: every drawing operation is passed on and a cancel stops the job at
// the next one; the status window shows the page being drawn, and pending window messages are
// handled at most every 50 ms.
class WatchedCanvas : public ReportCanvas {
 public:
  // status may be null (no window system): messages are still handled.
  WatchedCanvas(QtReportCanvas& canvas, StatusWindow* status) : canvas_(canvas), status_(status) {}

  // Status update: shows the page, handles pending messages, throws JobCancelled after a cancel.
  void update();

  double PageWidth() const override { return canvas_.PageWidth(); }
  double PageHeight() const override { return canvas_.PageHeight(); }
  void SetPen(PenStyle style, int width) override;
  void SetFont(const QString& face, int size) override;
  void PrintAt(double x, double y, const QString& text) override;
  void PrintRightAt(double x, double y, const QString& text) override;
  void MoveTo(double x, double y) override;
  void LineTo(double x, double y) override;
  void Rectangle(double x1, double y1, double x2, double y2) override;
  void DrawBitmap(double x, double y, double scaleX, double scaleY, const QImage& bitmap) override;
  void NewPage() override;
  void SelectPrinter(int index) override { canvas_.SelectPrinter(index); }
  void SetPaperSize(int paperNumber, double width, double height) override {
    canvas_.SetPaperSize(paperNumber, width, height);
  }
  void SetOrientation(Orientation orientation) override { canvas_.SetOrientation(orientation); }
  void SetTitle(const QString& title) override { canvas_.SetTitle(title); }

 private:
  // After a drawing operation: a status update when the last one is 50 ms old, otherwise only
  // the cancel check.
  void drawn();
  void checkCancelled() const;

  QtReportCanvas& canvas_;
  StatusWindow* status_;
  QElapsedTimer sinceUpdate_;
};

}  // namespace radevore::report
