#include "print/cancellable_canvas.h"

#include "report/watched_canvas.h"

namespace radevore::print {

report::ReportCanvas& CancellableCanvas::go() {
  if (stop_) throw report::JobCancelled{};
  return canvas_;
}

void CancellableCanvas::SetPen(report::PenStyle style, int width) {
  go().SetPen(style, width);
}
void CancellableCanvas::SetFont(const QString& face, int size) {
  go().SetFont(face, size);
}
void CancellableCanvas::PrintAt(double x, double y, const QString& text) {
  go().PrintAt(x, y, text);
}
void CancellableCanvas::PrintRightAt(double x, double y, const QString& text) {
  go().PrintRightAt(x, y, text);
}
void CancellableCanvas::MoveTo(double x, double y) {
  go().MoveTo(x, y);
}
void CancellableCanvas::LineTo(double x, double y) {
  go().LineTo(x, y);
}
void CancellableCanvas::Rectangle(double x1, double y1, double x2, double y2) {
  go().Rectangle(x1, y1, x2, y2);
}
void CancellableCanvas::DrawBitmap(double x, double y, double scaleX, double scaleY,
                                   const QImage& bitmap) {
  go().DrawBitmap(x, y, scaleX, scaleY, bitmap);
}
void CancellableCanvas::NewPage() {
  go().NewPage();
}
void CancellableCanvas::SelectPrinter(int index) {
  go().SelectPrinter(index);
}
void CancellableCanvas::SetPaperSize(int paperNumber, double width, double height) {
  go().SetPaperSize(paperNumber, width, height);
}
void CancellableCanvas::SetOrientation(report::Orientation orientation) {
  go().SetOrientation(orientation);
}
void CancellableCanvas::SetTitle(const QString& title) {
  go().SetTitle(title);
}

}  // namespace radevore::print
