#include "report/recording_canvas.h"

#include "report/report_system.h"

namespace radevore::report {

RecordingCanvas::RecordingCanvas(double pageWidth, double pageHeight)
    : paperWidth_(pageWidth), paperHeight_(pageHeight) {}

void RecordingCanvas::setPageSize(double width, double height) {
  paperWidth_ = width;
  paperHeight_ = height;
  orientation_ = Orientation::Portrait;
}

void RecordingCanvas::setInitialFont(const QString& face, int size) {
  face_ = face;
  size_ = size;
}

void RecordingCanvas::throwAtCall(std::size_t index, const QString& message) {
  throwIndex_ = index;
  throwOp_.clear();
  throwMessage_ = message;
}

void RecordingCanvas::throwOn(const QString& op, const QString& message) {
  throwIndex_.reset();
  throwOp_ = op;
  throwMessage_ = message;
}

void RecordingCanvas::setAfterCallHook(Hook hook) {
  hook_ = std::move(hook);
}

std::vector<CanvasCall> RecordingCanvas::callsOf(const QString& op) const {
  std::vector<CanvasCall> found;
  for (const CanvasCall& call : calls_) {
    if (call.op == op) found.push_back(call);
  }
  return found;
}

std::vector<QString> RecordingCanvas::ops() const {
  std::vector<QString> names;
  names.reserve(calls_.size());
  for (const CanvasCall& call : calls_) names.push_back(call.op);
  return names;
}

void RecordingCanvas::clear() {
  calls_.clear();
  page_ = 1;
}

CanvasCall RecordingCanvas::makeCall(const QString& op) const {
  CanvasCall call;
  call.op = op;
  call.page = page_;
  call.fontFace = face_;
  call.fontSize = size_;
  return call;
}

void RecordingCanvas::record(CanvasCall call) {
  const bool throwHere = (throwIndex_ && *throwIndex_ == calls_.size()) ||
                         (!throwOp_.isEmpty() && throwOp_ == call.op);
  if (throwHere) {
    throwIndex_.reset();
    throwOp_.clear();
    throw ReportError(throwMessage_);
  }
  calls_.push_back(std::move(call));
  if (hook_) hook_(calls_.back());
}

double RecordingCanvas::PageWidth() const {
  return orientation_ == Orientation::Landscape ? paperHeight_ : paperWidth_;
}

double RecordingCanvas::PageHeight() const {
  return orientation_ == Orientation::Landscape ? paperWidth_ : paperHeight_;
}

void RecordingCanvas::SetPen(PenStyle style, int width) {
  CanvasCall call = makeCall(QStringLiteral("SetPen"));
  call.ints = {static_cast<int>(style), width};
  record(std::move(call));
}

void RecordingCanvas::SetFont(const QString& face, int size) {
  CanvasCall call = makeCall(QStringLiteral("SetFont"));
  call.text = face;
  call.ints = {size};
  record(std::move(call));
  if (size > 0) {
    face_ = face;
    size_ = size;
  }
}

void RecordingCanvas::PrintAt(double x, double y, const QString& text) {
  CanvasCall call = makeCall(QStringLiteral("PrintAt"));
  call.numbers = {x, y};
  call.text = text;
  record(std::move(call));
}

void RecordingCanvas::PrintRightAt(double x, double y, const QString& text) {
  CanvasCall call = makeCall(QStringLiteral("PrintRightAt"));
  call.numbers = {x, y};
  call.text = text;
  record(std::move(call));
}

void RecordingCanvas::MoveTo(double x, double y) {
  CanvasCall call = makeCall(QStringLiteral("MoveTo"));
  call.numbers = {x, y};
  record(std::move(call));
}

void RecordingCanvas::LineTo(double x, double y) {
  CanvasCall call = makeCall(QStringLiteral("LineTo"));
  call.numbers = {x, y};
  record(std::move(call));
}

void RecordingCanvas::Rectangle(double x1, double y1, double x2, double y2) {
  CanvasCall call = makeCall(QStringLiteral("Rectangle"));
  call.numbers = {x1, y1, x2, y2};
  record(std::move(call));
}

void RecordingCanvas::DrawBitmap(double x, double y, double scaleX, double scaleY,
                                 const QImage& bitmap) {
  CanvasCall call = makeCall(QStringLiteral("DrawBitmap"));
  call.numbers = {x, y, scaleX, scaleY};
  call.ints = {bitmap.width(), bitmap.height()};
  call.image = bitmap;
  record(std::move(call));
}

void RecordingCanvas::NewPage() {
  record(makeCall(QStringLiteral("NewPage")));
  ++page_;
}

void RecordingCanvas::SelectPrinter(int index) {
  CanvasCall call = makeCall(QStringLiteral("SelectPrinter"));
  call.ints = {index};
  record(std::move(call));
}

void RecordingCanvas::SetPaperSize(int paperNumber, double width, double height) {
  CanvasCall call = makeCall(QStringLiteral("SetPaperSize"));
  call.numbers = {width, height};
  call.ints = {paperNumber};
  record(std::move(call));
  if (paperNumber == 0) {
    paperWidth_ = width;
    paperHeight_ = height;
  }
}

void RecordingCanvas::SetOrientation(Orientation orientation) {
  CanvasCall call = makeCall(QStringLiteral("SetOrientation"));
  call.ints = {orientation == Orientation::Landscape ? 1 : 0};
  record(std::move(call));
  orientation_ = orientation;
}

void RecordingCanvas::SetTitle(const QString& title) {
  CanvasCall call = makeCall(QStringLiteral("SetTitle"));
  call.text = title;
  record(std::move(call));
}

}  // namespace radevore::report
