#pragma once

#include <QMap>
#include <QRectF>
#include <QString>
#include <vector>

namespace radevore::testing {

// pdfinfo's fields ("Title", "Creator", "Pages", "Page size", ...).
QMap<QString, QString> pdfInfo(const QString& path);

// The page size in points as pdfinfo reports it for the first page.
QSizeF pdfPageSizePoints(const QString& path);

// One word of pdftotext -bbox, in points from the page's top-left corner.
struct PdfWord {
  int page = 0;  // from 1
  QString text;
  QRectF box;
};
std::vector<PdfWord> pdfWords(const QString& path);

// The page rendered in grey levels at the resolution (pdftoppm), as rows of 0..255.
struct PdfRaster {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> grey;
  int at(int x, int y) const { return grey[static_cast<size_t>(y) * width + x]; }
};
PdfRaster pdfRaster(const QString& path, int page, int dpi);

}  // namespace radevore::testing
