#pragma once

#include <QPageSize>
#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>

namespace radevore::report {

// The smallest and largest paper a printer takes, in tenths of a millimetre.
struct PaperLimits {
  QSize minimum;
  QSize maximum;

  bool accepts(QSize paper) const {
    return paper.width() >= minimum.width() && paper.width() <= maximum.width() &&
           paper.height() >= minimum.height() && paper.height() <= maximum.height();
  }
};

// One installed printer as the print service describes it.
struct PrinterDetails {
  QString name;
  QString port;    // where the queue sends its jobs (device URI or location)
  QString driver;  // make and model
  QPageSize defaultPaper;
  // Custom paper sizes the printer takes; nullopt when it takes none.
  std::optional<PaperLimits> customPaper;
};

// The workstation's printers.
class PrintService {
 public:
  virtual ~PrintService() = default;
  // Names in the order the system lists them.
  virtual QStringList printerNames() const = 0;
  // "" when there is no default printer.
  virtual QString defaultPrinterName() const = 0;
  // nullopt when no printer of that exact name is installed.
  virtual std::optional<PrinterDetails> printer(const QString& name) const = 0;
};

// The printers Qt sees (CUPS on Linux).
class QtPrintService : public PrintService {
 public:
  QStringList printerNames() const override;
  QString defaultPrinterName() const override;
  std::optional<PrinterDetails> printer(const QString& name) const override;
};

}  // namespace radevore::report
