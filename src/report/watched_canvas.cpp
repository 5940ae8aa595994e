#include "report/watched_canvas.h"

#include <QCoreApplication>

#include "report/termination.h"

namespace radevore::report {

namespace {

// Window messages are handled at most this often while a page is being drawn.
constexpr qint64 kUpdateIntervalMs = 50;

}  // namespace

void WatchedCanvas::update() {
  if (status_) status_->showPage(std::max(canvas_.pageCount(), 1));
  if (QCoreApplication::instance()) QCoreApplication::processEvents();
  sinceUpdate_.start();
  checkCancelled();
}

void WatchedCanvas::checkCancelled() const {
  if (status_ && status_->cancelled()) throw JobCancelled{};
  // SIGTERM or SIGINT: the job stops like a "Cancel", so its labels stay queued. The window's
  // messages are handled first, as at a status update, so that the program sees the request
  // while the job is still running.
  if (terminationRequested()) {
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
    throw JobCancelled{};
  }
}

void WatchedCanvas::drawn() {
  if (!sinceUpdate_.isValid() || sinceUpdate_.elapsed() >= kUpdateIntervalMs) {
    update();
  } else {
    checkCancelled();
  }
}

void WatchedCanvas::SetPen(PenStyle style, int width) {
  canvas_.SetPen(style, width);
  drawn();
}

void WatchedCanvas::SetFont(const QString& face, int size) {
  canvas_.SetFont(face, size);
  drawn();
}

void WatchedCanvas::PrintAt(double x, double y, const QString& text) {
  canvas_.PrintAt(x, y, text);
  drawn();
}

void WatchedCanvas::PrintRightAt(double x, double y, const QString& text) {
  canvas_.PrintRightAt(x, y, text);
  drawn();
}

void WatchedCanvas::MoveTo(double x, double y) {
  canvas_.MoveTo(x, y);
  drawn();
}

void WatchedCanvas::LineTo(double x, double y) {
  canvas_.LineTo(x, y);
  drawn();
}

void WatchedCanvas::Rectangle(double x1, double y1, double x2, double y2) {
  canvas_.Rectangle(x1, y1, x2, y2);
  drawn();
}

void WatchedCanvas::DrawBitmap(double x, double y, double scaleX, double scaleY,
                               const QImage& bitmap) {
  canvas_.DrawBitmap(x, y, scaleX, scaleY, bitmap);
  drawn();
}

void WatchedCanvas::NewPage() {
  canvas_.NewPage();
  // The page number is shown at once; setting a label's text costs next to nothing.
  if (status_) status_->showPage(canvas_.pageCount());
  drawn();
}

}  // namespace radevore::report
