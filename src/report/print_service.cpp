#include "report/print_service.h"

#include <cups/cups.h>
#include <cups/ppd.h>
#include <unistd.h>

#include <QRegularExpression>
#include <cmath>
#include <memory>

#include "report/cups_connection.h"
#include "report/report_system.h"

// The PPD interface is the one place CUPS gives a queue's paper limits and default resolution
// for driver-based queues; it is marked deprecated but still the queue's own description.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace radevore::report {

namespace {

int tenthsOfMillimetreFromPoints(float points) {
  return static_cast<int>(std::lround(points / 72.0 * 254.0));
}

QString printerId(const cups_dest_t& dest) {
  QString id = QString::fromUtf8(dest.name);
  if (dest.instance) id += QLatin1Char('/') + QString::fromUtf8(dest.instance);
  return id;
}

QString option(const cups_dest_t& dest, const char* name) {
  const char* value = cupsGetOption(name, dest.num_options, dest.options);
  return value ? QString::fromUtf8(value) : QString();
}

// The scheduler's destinations, read through one bounded request.
class Destinations {
 public:
  explicit Destinations(std::chrono::milliseconds timeout) : connection_(timeout) {
    if (connection_.connected()) count_ = cupsGetDests2(connection_.http(), &dests_);
    // No scheduler means no printers; a scheduler that does not answer is an error, since it
    // may well have the printer the job is meant for.
    if (connection_.timedOut()) throw ReportError(connection_.timeoutText());
  }
  ~Destinations() { cupsFreeDests(count_, dests_); }
  Destinations(const Destinations&) = delete;
  Destinations& operator=(const Destinations&) = delete;

  const cups_dest_t* begin() const { return dests_; }
  const cups_dest_t* end() const { return dests_ + count_; }
  CupsConnection& connection() { return connection_; }

 private:
  CupsConnection connection_;
  cups_dest_t* dests_ = nullptr;
  int count_ = 0;
};

struct PpdCloser {
  void operator()(ppd_file_t* ppd) const { ppdClose(ppd); }
};

// Paper, custom paper limits and default resolution from the queue's PPD; a queue without one
// (a raw or driverless queue) leaves them unknown.
void readPpd(CupsConnection& connection, const QByteArray& queue, PrinterDetails& details) {
  char path[1024] = "";
  time_t modified = 0;
  const http_status_t status =
      cupsGetPPD3(connection.http(), queue.constData(), &modified, path, sizeof path);
  if (connection.timedOut()) throw ReportError(connection.timeoutText());
  if (status != HTTP_STATUS_OK) return;
  const std::unique_ptr<ppd_file_t, PpdCloser> ppd(ppdOpenFile(path));
  ::unlink(path);
  if (!ppd) return;
  ppdMarkDefaults(ppd.get());

  for (int i = 0; i < ppd->num_sizes; ++i) {
    const ppd_size_t& size = ppd->sizes[i];
    if (QByteArray(size.name) == "Custom") continue;
    details.papers.push_back(
        NamedPaper{QString::fromUtf8(size.name), QSizeF(size.width, size.length)});
  }
  if (const ppd_size_t* marked = ppdPageSize(ppd.get(), nullptr);
      marked && marked->width > 0 && marked->length > 0) {
    details.defaultPaper = QPageSize(QSizeF(marked->width, marked->length), QPageSize::Point,
                                     QString::fromUtf8(marked->name), QPageSize::ExactMatch);
  }
  if (ppd->variable_sizes) {
    details.customPaper = PaperLimits{QSize(tenthsOfMillimetreFromPoints(ppd->custom_min[0]),
                                            tenthsOfMillimetreFromPoints(ppd->custom_min[1])),
                                      QSize(tenthsOfMillimetreFromPoints(ppd->custom_max[0]),
                                            tenthsOfMillimetreFromPoints(ppd->custom_max[1]))};
  }
  if (const ppd_attr_t* resolution = ppdFindAttr(ppd.get(), "DefaultResolution", nullptr);
      resolution && resolution->value) {
    // "203dpi" or "300x600dpi": the horizontal figure.
    static const QRegularExpression dpi(QStringLiteral(R"(^\s*(\d+)(x\d+)?dpi)"));
    const QRegularExpressionMatch m = dpi.match(QString::fromUtf8(resolution->value));
    if (m.hasMatch()) details.resolution = m.captured(1).toInt();
  }
}

}  // namespace

CupsPrintService::CupsPrintService(std::chrono::milliseconds timeout) : timeout_(timeout) {}

QStringList CupsPrintService::printerNames() const {
  QStringList names;
  for (const cups_dest_t& dest : Destinations(timeout_)) names << printerId(dest);
  return names;
}

QString CupsPrintService::defaultPrinterName() const {
  for (const cups_dest_t& dest : Destinations(timeout_)) {
    if (dest.is_default) return printerId(dest);
  }
  return {};
}

std::optional<PrinterDetails> CupsPrintService::printer(const QString& name) const {
  if (name.isEmpty()) return std::nullopt;
  Destinations dests(timeout_);
  for (const cups_dest_t& dest : dests) {
    if (printerId(dest) != name) continue;
    PrinterDetails details;
    details.name = name;
    details.queue = QString::fromUtf8(dest.name);
    details.port = option(dest, "device-uri");
    if (details.port.isEmpty()) details.port = option(dest, "printer-location");
    details.driver = option(dest, "printer-make-and-model");
    readPpd(dests.connection(), QByteArray(dest.name), details);
    return details;
  }
  return std::nullopt;
}

}  // namespace radevore::report
