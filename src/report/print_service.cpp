#include "report/print_service.h"

#include <cups/cups.h>

#include <QPrinterInfo>
#include <cmath>

namespace radevore::report {

namespace {

QSize tenthsOfMillimetre(const QPageSize& size) {
  const QSizeF mm = size.size(QPageSize::Millimeter);
  return QSize(static_cast<int>(std::lround(mm.width() * 10)),
               static_cast<int>(std::lround(mm.height() * 10)));
}

// The device URI of a CUPS queue, "" when CUPS does not know it.
QString deviceUri(const QString& name) {
  const QByteArray queue = name.toUtf8();
  cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.constData(), nullptr);
  if (!dest) return {};
  const char* uri = cupsGetOption("device-uri", dest->num_options, dest->options);
  QString result = uri ? QString::fromUtf8(uri) : QString();
  cupsFreeDests(1, dest);
  return result;
}

}  // namespace

QStringList QtPrintService::printerNames() const {
  return QPrinterInfo::availablePrinterNames();
}

QString QtPrintService::defaultPrinterName() const {
  return QPrinterInfo::defaultPrinterName();
}

std::optional<PrinterDetails> QtPrintService::printer(const QString& name) const {
  if (name.isEmpty()) return std::nullopt;
  const QPrinterInfo info = QPrinterInfo::printerInfo(name);
  if (info.isNull()) return std::nullopt;
  PrinterDetails details;
  details.name = info.printerName();
  details.port = deviceUri(name);
  if (details.port.isEmpty()) details.port = info.location();
  details.driver = info.makeAndModel();
  details.defaultPaper = info.defaultPageSize();
  if (info.supportsCustomPageSizes() && info.minimumPhysicalPageSize().isValid() &&
      info.maximumPhysicalPageSize().isValid()) {
    details.customPaper = PaperLimits{tenthsOfMillimetre(info.minimumPhysicalPageSize()),
                                      tenthsOfMillimetre(info.maximumPhysicalPageSize())};
  }
  return details;
}

}  // namespace radevore::report
