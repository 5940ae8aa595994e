#include "support/pdf_images.h"

#include <QProcess>
#include <QStringList>

namespace radevore::testing {

std::vector<PdfImage> pdfImages(const QString& path) {
  QProcess process;
  process.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), path});
  process.waitForFinished(300000);
  std::vector<PdfImage> images;
  // page num type width height color comp bpc enc interp object ID x-ppi y-ppi size ratio
  const QStringList lines = QString::fromUtf8(process.readAllStandardOutput()).split('\n');
  for (const QString& line : lines) {
    const QStringList f = line.split(' ', Qt::SkipEmptyParts);
    bool numbered = false;
    if (f.size() < 14 || (f[0].toInt(&numbered), !numbered)) continue;
    images.push_back(PdfImage{f[0].toInt(), f[3].toInt(), f[4].toInt(), f[12].toInt(),
                              f[13].toInt(), f[10].toInt()});
  }
  return images;
}

}  // namespace radevore::testing
