#include "report/job_output.h"

#include <cmath>

#include "report/report_system.h"

namespace radevore::report {

QString invalidPrinterText(const PrinterChoice& choice) {
  const PrinterDetails details = choice.printer.value_or(PrinterDetails{});
  return QStringLiteral("Invalid Printer - %1 on %2 (%3)")
      .arg(details.name, details.port, details.driver);
}

void checkPrinter(const PrintService& service, const PrinterChoice& choice) {
  if (!choice.printer || choice.printer->name.isEmpty() || !service.printer(choice.printer->name))
    throw ReportError(invalidPrinterText(choice));
}

QList<std::pair<QByteArray, QByteArray>> jobOptions(const PrinterChoice& choice) {
  QList<std::pair<QByteArray, QByteArray>> options;
  if (!choice.customPaper || !choice.printer) return options;
  const QSizeF points = QSizeF(*choice.customPaper) / 254.0 * 72.0;
  for (const NamedPaper& paper : choice.printer->papers) {
    // Papers are named in whole points; a custom size within half a point is that paper.
    if (std::abs(paper.points.width() - points.width()) <= 0.5 &&
        std::abs(paper.points.height() - points.height()) <= 0.5)
      return {{"media", paper.name.toUtf8()}};
  }
  const QSizeF inches = QSizeF(*choice.customPaper) / 254.0;
  options.append({"media", QStringLiteral("Custom.%1x%2in")
                               .arg(inches.width(), 0, 'g', 6)
                               .arg(inches.height(), 0, 'g', 6)
                               .toUtf8()});
  return options;
}

}  // namespace radevore::report
