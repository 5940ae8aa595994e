#include "support/pdf_probe.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

namespace radevore::testing {

namespace {

QByteArray run(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  process.waitForFinished(120000);
  return process.readAllStandardOutput();
}

}  // namespace

QMap<QString, QString> pdfInfo(const QString& path) {
  QMap<QString, QString> fields;
  const QString out = QString::fromUtf8(run(QStringLiteral("pdfinfo"), {path}));
  for (const QString& line : out.split('\n')) {
    const qsizetype colon = line.indexOf(':');
    if (colon > 0) fields.insert(line.left(colon), line.mid(colon + 1).trimmed());
  }
  return fields;
}

QSizeF pdfPageSizePoints(const QString& path) {
  static const QRegularExpression size(QStringLiteral(R"(^([\d.]+) x ([\d.]+) pts)"));
  const QRegularExpressionMatch m = size.match(pdfInfo(path).value(QStringLiteral("Page size")));
  if (!m.hasMatch()) return {};
  return QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble());
}

std::vector<PdfWord> pdfWords(const QString& path) {
  std::vector<PdfWord> words;
  QXmlStreamReader xml(
      run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")}));
  int page = 0;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (xml.name() == QLatin1String("page")) ++page;
    if (xml.name() != QLatin1String("word")) continue;
    const auto a = xml.attributes();
    const double x1 = a.value(QLatin1String("xMin")).toDouble();
    const double y1 = a.value(QLatin1String("yMin")).toDouble();
    const double x2 = a.value(QLatin1String("xMax")).toDouble();
    const double y2 = a.value(QLatin1String("yMax")).toDouble();
    words.push_back(PdfWord{page, xml.readElementText(), QRectF(QPointF(x1, y1), QPointF(x2, y2))});
  }
  return words;
}

PdfRaster pdfRaster(const QString& path, int page, int dpi) {
  PdfRaster raster;
  QTemporaryDir dir;
  const QString base = dir.filePath(QStringLiteral("page"));
  run(QStringLiteral("pdftoppm"),
      {QStringLiteral("-gray"), QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"),
       QString::number(page), QStringLiteral("-l"), QString::number(page),
       QStringLiteral("-singlefile"), path, base});
  QFile file(base + QStringLiteral(".pgm"));
  if (!file.open(QIODevice::ReadOnly)) return raster;
  const QByteArray data = file.readAll();
  // P5 header: magic, width, height, maxval, each followed by white space.
  QList<QByteArray> fields;
  qsizetype pos = 0;
  while (fields.size() < 4 && pos < data.size()) {
    while (pos < data.size() && isspace(static_cast<unsigned char>(data[pos]))) ++pos;
    const qsizetype start = pos;
    while (pos < data.size() && !isspace(static_cast<unsigned char>(data[pos]))) ++pos;
    fields << data.mid(start, pos - start);
  }
  ++pos;
  if (fields.size() < 4 || fields[0] != "P5") return raster;
  raster.width = fields[1].toInt();
  raster.height = fields[2].toInt();
  raster.grey.assign(data.begin() + pos, data.end());
  if (raster.grey.size() < static_cast<size_t>(raster.width) * raster.height) raster = PdfRaster{};
  return raster;
}

}  // namespace radevore::testing
