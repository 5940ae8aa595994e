#pragma once

#include <QImage>
#include <QString>
#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

#include "report/report_canvas.h"

namespace radevore::report {

// One call made on a RecordingCanvas.
struct CanvasCall {
  QString op;                   // the operation's name: "PrintAt", "Rectangle", "NewPage", ...
  std::vector<double> numbers;  // its real arguments in order (x, y, ...; paper sizes)
  QString text;                 // its text argument (PrintAt, PrintRightAt, SetFont, SetTitle)
  std::vector<int> ints;        // its integer arguments (pen style and width, font size, ...)
  int page = 1;                 // page the call was made on (1 for the first page)
  QString fontFace;             // font in force when the call was made
  int fontSize = 0;
  QImage image;  // DrawBitmap's bitmap
};

// A ReportCanvas for tests that draws nothing and keeps every call with its arguments.
//
// Recorded as op(numbers | text | ints):
//   SetPen(| | style as int, width)     SetFont(| face | size)      PrintAt(x, y | text |)
//   PrintRightAt(x, y | text |)         MoveTo(x, y)  LineTo(x, y)  Rectangle(x1, y1, x2, y2)
//   DrawBitmap(x, y, scaleX, scaleY | | width, height) and the image
//   NewPage()                           SelectPrinter(| | index)    SetPaperSize(w, h | | paper)
//   SetOrientation(| | 0 portrait, 1 landscape)                     SetTitle(| title |)
// PageWidth and PageHeight are not recorded.
//
// SetFont follows the canvas rule: a size above 0 selects face and size, 0 or below changes
// nothing (the call is recorded either way). The page starts at page 1 and NewPage counts up.
// SetPaperSize with paper number 0 (custom size) and SetOrientation change PageWidth/PageHeight
// the way a printer would: the paper as given in portrait, its sides swapped in landscape.
class RecordingCanvas : public ReportCanvas {
 public:
  using Hook = std::function<void(const CanvasCall&)>;

  explicit RecordingCanvas(double pageWidth = 8.5, double pageHeight = 11.0);

  // Paper size in portrait (resets the orientation to portrait).
  void setPageSize(double width, double height);
  // The font before the first effective SetFont.
  void setInitialFont(const QString& face, int size);
  // The call that would be recorded at position `index` of calls() throws ReportError(message)
  // instead (and is not recorded).
  void throwAtCall(std::size_t index, const QString& message);
  // The first call of the operation `op` from now on throws ReportError(message) instead.
  void throwOn(const QString& op, const QString& message);
  // Runs after every recorded call, with that call (a report engine processes window messages
  // after each drawing operation; tests use this to act in the middle of a job).
  void setAfterCallHook(Hook hook);

  const std::vector<CanvasCall>& calls() const { return calls_; }
  // The recorded calls of one operation, in order.
  std::vector<CanvasCall> callsOf(const QString& op) const;
  // Names of all recorded operations in order.
  std::vector<QString> ops() const;
  int page() const { return page_; }
  const QString& fontFace() const { return face_; }
  int fontSize() const { return size_; }
  void clear();

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

 private:
  CanvasCall makeCall(const QString& op) const;
  void record(CanvasCall call);

  double paperWidth_;
  double paperHeight_;
  Orientation orientation_ = Orientation::Portrait;
  QString face_ = QStringLiteral("Arial");
  int size_ = 10;
  int page_ = 1;
  std::vector<CanvasCall> calls_;
  std::optional<std::size_t> throwIndex_;
  QString throwOp_;
  QString throwMessage_;
  Hook hook_;
};

}  // namespace radevore::report
