#pragma once

#include "report/report_canvas.h"

namespace radevore::print {

// The canvas the print callback draws on: passes every operation on to the job's canvas, but
// once the run has been told to stop (the window closing under it) the next operation throws
// report::JobCancelled instead, which ends the job as its "Cancel" button does.
class CancellableCanvas : public report::ReportCanvas {
 public:
  CancellableCanvas(report::ReportCanvas& canvas, const bool& stop)
      : canvas_(canvas), stop_(stop) {}

  double PageWidth() const override { return canvas_.PageWidth(); }
  double PageHeight() const override { return canvas_.PageHeight(); }
  void SetPen(report::PenStyle style, int width) override;
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
  void SetOrientation(report::Orientation orientation) override;
  void SetTitle(const QString& title) override;

 private:
  report::ReportCanvas& go();  // the job's canvas, unless told to stop

  report::ReportCanvas& canvas_;
  const bool& stop_;
};

}  // namespace radevore::print
