#include "report/watched_canvas.h"

#include <QCoreApplication>

#include "report/termination.h"

namespace radevore::report {

void WatchedCanvas::update() {
  if (status_) status_->showPage(std::max(canvas_.pageCount(), 1));
  if (QCoreApplication::instance()) QCoreApplication::processEvents();
  if (status_ && status_->cancelled()) throw JobCancelled{};
  // SIGTERM or SIGINT: the job stops like a "Cancel", so its labels stay queued.
  if (terminationRequested()) throw JobCancelled{};
}

void WatchedCanvas::SetPen(PenStyle style, int width) {
  canvas_.SetPen(style, width);
  update();
}

void WatchedCanvas::SetFont(const QString& face, int size) {
  canvas_.SetFont(face, size);
  update();
}

void WatchedCanvas::PrintAt(double x, double y, const QString& text) {
  canvas_.PrintAt(x, y, text);
  update();
}

void WatchedCanvas::PrintRightAt(double x, double y, const QString& text) {
  canvas_.PrintRightAt(x, y, text);
  update();
}

void WatchedCanvas::MoveTo(double x, double y) {
  canvas_.MoveTo(x, y);
  update();
}

void WatchedCanvas::LineTo(double x, double y) {
  canvas_.LineTo(x, y);
  update();
}

void WatchedCanvas::Rectangle(double x1, double y1, double x2, double y2) {
  canvas_.Rectangle(x1, y1, x2, y2);
  update();
}

void WatchedCanvas::DrawBitmap(double x, double y, double scaleX, double scaleY,
                               const QImage& bitmap) {
  canvas_.DrawBitmap(x, y, scaleX, scaleY, bitmap);
  update();
}

void WatchedCanvas::NewPage() {
  canvas_.NewPage();
  update();
}

}  // namespace radevore::report
