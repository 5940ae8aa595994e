#include "report/qt_report_canvas.h"

#include <QFontMetricsF>
#include <QPen>
#include <cfenv>
#include <cmath>

namespace radevore::report {

namespace {

QSizeF inches(const QPageSize& size) {
  const QSizeF defined = size.definitionSize();
  switch (size.definitionUnits()) {
    case QPageSize::Inch:
      return defined;
    case QPageSize::Millimeter:
      return defined / 25.4;
    case QPageSize::Point:
      return defined / 72.0;
    default:
      return size.size(QPageSize::Inch);
  }
}

Qt::PenStyle qtPenStyle(PenStyle style) {
  switch (style) {
    case PenStyle::Dash:
      return Qt::DashLine;
    case PenStyle::Dot:
      return Qt::DotLine;
    case PenStyle::Clear:
      return Qt::NoPen;
    case PenStyle::Solid:
      break;
  }
  return Qt::SolidLine;
}

QPen pen(PenStyle style, int width) {
  QPen result(Qt::black);
  result.setStyle(qtPenStyle(style));
  result.setWidth(std::max(width, 0));
  return result;
}

}  // namespace

int tenthsOfMillimetre(double inches) {
  // nearbyint follows the current rounding mode, which is to nearest, ties to even by default.
  const int saved = std::fegetround();
  std::fesetround(FE_TONEAREST);
  const double result = std::nearbyint(inches * 254.0);
  std::fesetround(saved);
  return static_cast<int>(result);
}

QtReportCanvas::QtReportCanvas(const PrintService& service, PrinterChoice& choice,
                               int printedPageLimit)
    : service_(service), choice_(choice), printedPageLimit_(printedPageLimit) {}

QPageSize QtReportCanvas::paper() const {
  if (choice_.customPaper) {
    // Defined in inches: the print queue then receives media Custom.<w>x<h>in.
    return QPageSize(
        QSizeF(choice_.customPaper->width() / 254.0, choice_.customPaper->height() / 254.0),
        QPageSize::Inch, QString(), QPageSize::ExactMatch);
  }
  if (choice_.printer && choice_.printer->defaultPaper.isValid())
    return choice_.printer->defaultPaper;
  return QPageSize(QPageSize::A4);
}

QPageLayout QtReportCanvas::pageLayout() const {
  return QPageLayout(
      paper(),
      orientation_ == Orientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
      QMarginsF(0, 0, 0, 0));
}

double QtReportCanvas::PageWidth() const {
  const QSizeF size = inches(paper());
  return orientation_ == Orientation::Landscape ? size.height() : size.width();
}

double QtReportCanvas::PageHeight() const {
  const QSizeF size = inches(paper());
  return orientation_ == Orientation::Landscape ? size.width() : size.height();
}

void QtReportCanvas::start() {
  if (started_) return;
  started_ = true;
  pageCount_ = 1;
  pages_.emplace_back();
}

void QtReportCanvas::record(Command command) {
  start();
  if (pageCount_ <= printedPageLimit_) pages_.back().push_back(std::move(command));
}

void QtReportCanvas::SetPen(PenStyle style, int width) {
  record([p = pen(style, width)](const Device& d) { d.painter.setPen(p); });
}

void QtReportCanvas::SetFont(const QString& face, int size) {
  if (size <= 0) return;
  QFont font(face);
  font.setPointSize(size);
  font.setWeight(QFont::Normal);
  font.setItalic(false);
  font.setUnderline(false);
  font.setStrikeOut(false);
  // Text takes the pen's colour, which is always black.
  record([font](const Device& d) { d.painter.setFont(font); });
}

void QtReportCanvas::PrintAt(double x, double y, const QString& text) {
  record([=](const Device& d) { d.painter.drawText(d.at(x, y), text); });
}

void QtReportCanvas::PrintRightAt(double x, double y, const QString& text) {
  record([=](const Device& d) {
    const QFontMetricsF metrics(d.painter.font(), d.painter.device());
    d.painter.drawText(d.at(x, y) - QPointF(metrics.horizontalAdvance(text), 0), text);
  });
}

void QtReportCanvas::MoveTo(double x, double y) {
  start();
  penPosition_ = QPointF(x, y);
}

void QtReportCanvas::LineTo(double x, double y) {
  const QPointF from = penPosition_;
  penPosition_ = QPointF(x, y);
  record([=](const Device& d) { d.painter.drawLine(d.at(from.x(), from.y()), d.at(x, y)); });
}

void QtReportCanvas::Rectangle(double x1, double y1, double x2, double y2) {
  record([=](const Device& d) {
    d.painter.drawRect(QRectF(d.at(x1, y1), d.at(x2, y2)).normalized());
  });
}

void QtReportCanvas::DrawBitmap(double x, double y, double scaleX, double scaleY,
                                const QImage& bitmap) {
  record([=](const Device& d) {
    const QPointF topLeft = d.at(x, y);
    const QSizeF size(bitmap.width() * scaleX, bitmap.height() * scaleY);
    d.painter.drawImage(QRectF(topLeft, size), bitmap);
  });
}

void QtReportCanvas::NewPage() {
  start();
  ++pageCount_;
  if (pageCount_ <= printedPageLimit_) pages_.emplace_back();
}

void QtReportCanvas::SelectPrinter(int index) {
  if (started_ || index < -1) return;
  QString name;
  if (index == -1) {
    name = service_.defaultPrinterName();
  } else {
    const QStringList names = service_.printerNames();
    if (index >= names.size()) return;
    name = names.at(index);
  }
  if (name.isEmpty()) return;
  if (choice_.printer && choice_.printer->name == name) return;
  const std::optional<PrinterDetails> details = service_.printer(name);
  if (!details) return;
  choice_.printer = details;
  choice_.customPaper.reset();
}

void QtReportCanvas::SetPaperSize(int /*paperNumber*/, double width, double height) {
  if (started_) return;
  const QSize paper(tenthsOfMillimetre(width), tenthsOfMillimetre(height));
  // With a zero extent the paper number would name a standard paper; none is used by the labels,
  // so nothing changes.
  if (paper.width() == 0 || paper.height() == 0) return;
  if (choice_.customPaper == paper) return;
  const std::optional<PaperLimits> limits =
      choice_.printer ? choice_.printer->customPaper : limitsWithoutPrinter_;
  if (!limits || !limits->accepts(paper)) return;
  choice_.customPaper = paper;
}

void QtReportCanvas::SetOrientation(Orientation orientation) {
  if (started_) return;
  orientation_ = orientation;
}

void QtReportCanvas::SetTitle(const QString& title) {
  if (started_) return;
  title_ = title;
}

void QtReportCanvas::paint(QPagedPaintDevice& device, QPainter& painter) const {
  const Device target{painter, static_cast<double>(device.logicalDpiX()),
                      static_cast<double>(device.logicalDpiY())};
  QPen initial(Qt::black);
  initial.setWidth(1);
  painter.setPen(initial);
  painter.setBrush(Qt::NoBrush);
  // A job that drew nothing still has its first page.
  const size_t pages = std::max<size_t>(pages_.size(), 1);
  for (size_t i = 0; i < pages; ++i) {
    if (i > 0) device.newPage();
    if (i < pages_.size()) {
      for (const Command& command : pages_[i]) command(target);
    }
  }
}

}  // namespace radevore::report
