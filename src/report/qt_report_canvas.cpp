#include "report/qt_report_canvas.h"

#include <QFontMetricsF>
#include <QPen>
#include <cfenv>
#include <cmath>

#include "report/report_system.h"

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

QtReportCanvas::QtReportCanvas(const PrintService& service, PrinterChoice& choice, JobFile& output)
    : service_(service), choice_(choice), output_(output) {
  refreshPage();
}

QtReportCanvas::~QtReportCanvas() {
  // A job that ends by an exception or a cancel leaves its file unfinished; the file is removed
  // by its owner.
  if (painter_.isActive()) painter_.end();
}

QPageSize QtReportCanvas::paper() const {
  if (choice_.customPaper) {
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

void QtReportCanvas::refreshPage() {
  const QSizeF size = inches(paper());
  page_ = orientation_ == Orientation::Landscape ? size.transposed() : size;
}

double QtReportCanvas::PageWidth() const {
  return page_.width();
}

double QtReportCanvas::PageHeight() const {
  return page_.height();
}

int QtReportCanvas::resolution() const {
  if (choice_.printer && choice_.printer->resolution > 0) return choice_.printer->resolution;
  return kDefaultResolution;
}

void QtReportCanvas::start() {
  if (started_) return;
  started_ = true;
  pageCount_ = 1;
  dpi_ = resolution();
  writer_ = std::make_unique<QPdfWriter>(&output_);
  writer_->setResolution(resolution());
  writer_->setTitle(title_);
  writer_->setCreator(QStringLiteral("radevore; printer=%1")
                          .arg(choice_.printer ? choice_.printer->name : QString()));
  writer_->setPageLayout(pageLayout());
  if (!painter_.begin(writer_.get())) output_.checkWritten();
  QPen initial(Qt::black);
  initial.setWidth(1);
  painter_.setPen(initial);
  painter_.setBrush(Qt::NoBrush);
}

void QtReportCanvas::finish() {
  start();
  const bool ended = painter_.end();
  writer_.reset();
  output_.checkWritten();
  if (!ended) throw ReportError(QStringLiteral("The PDF writer could not finish the job"));
}

void QtReportCanvas::SetPen(PenStyle style, int width) {
  start();
  painter_.setPen(pen(style, width));
}

void QtReportCanvas::SetFont(const QString& face, int size) {
  if (size <= 0) return;
  start();
  QFont font(face);
  font.setPointSize(size);
  font.setWeight(QFont::Normal);
  font.setItalic(false);
  font.setUnderline(false);
  font.setStrikeOut(false);
  // Text takes the pen's colour, which is always black.
  painter_.setFont(font);
  metrics_.reset();
}

void QtReportCanvas::PrintAt(double x, double y, const QString& text) {
  start();
  painter_.drawText(at(x, y), text);
}

void QtReportCanvas::PrintRightAt(double x, double y, const QString& text) {
  start();
  if (!metrics_) metrics_.emplace(painter_.font(), painter_.device());
  painter_.drawText(at(x, y) - QPointF(metrics_->horizontalAdvance(text), 0), text);
}

void QtReportCanvas::MoveTo(double x, double y) {
  start();
  penPosition_ = QPointF(x, y);
}

void QtReportCanvas::LineTo(double x, double y) {
  start();
  painter_.drawLine(at(penPosition_.x(), penPosition_.y()), at(x, y));
  penPosition_ = QPointF(x, y);
}

void QtReportCanvas::Rectangle(double x1, double y1, double x2, double y2) {
  start();
  painter_.drawRect(QRectF(at(x1, y1), at(x2, y2)).normalized());
}

void QtReportCanvas::DrawBitmap(double x, double y, double scaleX, double scaleY,
                                const QImage& bitmap) {
  start();
  // One picture pixel is `scale` dots of the output; the same image drawn again is written to
  // the PDF once.
  const QSizeF size(bitmap.width() * scaleX, bitmap.height() * scaleY);
  painter_.drawImage(QRectF(at(x, y), size), bitmap);
}

void QtReportCanvas::NewPage() {
  start();
  ++pageCount_;
  writer_->newPage();
  // A full disk shows up here, not only when the job ends.
  output_.checkWritten();
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
  refreshPage();
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
  refreshPage();
}

void QtReportCanvas::SetOrientation(Orientation orientation) {
  if (started_) return;
  orientation_ = orientation;
  refreshPage();
}

void QtReportCanvas::SetTitle(const QString& title) {
  if (started_) return;
  title_ = title;
}

}  // namespace radevore::report
