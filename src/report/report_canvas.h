#pragma once

#include <QImage>
#include <QString>

namespace radevore::report {

enum class PenStyle { Solid, Dash, Dot, Clear };
enum class Orientation { Portrait, Landscape };

// The drawing surface of one print job. Units are inches from the top-left corner of the paper,
// x to the right, y downwards. It starts with a black solid pen of width 1 and a clear brush.
class ReportCanvas {
 public:
  virtual ~ReportCanvas() = default;

  // The paper in inches after paper size and orientation (in landscape the width is the long
  // side).
  virtual double PageWidth() const = 0;
  virtual double PageHeight() const = 0;

  // Width in dots of the output device.
  virtual void SetPen(PenStyle style, int width) = 0;
  // A size above 0 selects the face at that size in points, black, regular style; a size of 0
  // or below changes nothing.
  virtual void SetFont(const QString& face, int size) = 0;
  // Left end at x, baseline at y.
  virtual void PrintAt(double x, double y, const QString& text) = 0;
  // Right end at x, baseline at y.
  virtual void PrintRightAt(double x, double y, const QString& text) = 0;
  virtual void MoveTo(double x, double y) = 0;
  virtual void LineTo(double x, double y) = 0;
  // Outline only, between two corners.
  virtual void Rectangle(double x1, double y1, double x2, double y2) = 0;
  // Top-left corner at (x, y); size in device dots = pixels * scale.
  virtual void DrawBitmap(double x, double y, double scaleX, double scaleY,
                          const QImage& bitmap) = 0;
  // Ends the page; further drawing goes to the next one.
  virtual void NewPage() = 0;

  // Set-up, allowed only before the job's first page.
  // Position in the list of installed printers; -1 the default printer; below -1 nothing.
  virtual void SelectPrinter(int index) = 0;
  // Paper number 0 asks for a custom size of width x height inches (see the report set-up).
  virtual void SetPaperSize(int paperNumber, double width, double height) = 0;
  virtual void SetOrientation(Orientation orientation) = 0;
  virtual void SetTitle(const QString& title) = 0;
};

}  // namespace radevore::report
