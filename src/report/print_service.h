#pragma once

#include <QPageSize>
#include <QSize>
#include <QString>
#include <QStringList>
#include <chrono>
#include <optional>
#include <vector>

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

// A paper the printer offers by name, in points.
struct NamedPaper {
  QString name;
  QSizeF points;
};

// One installed printer as the print service describes it.
struct PrinterDetails {
  QString name;
  QString queue;   // the queue jobs are sent to (the name without an instance)
  QString port;    // where the queue sends its jobs (device URI or location)
  QString driver;  // make and model
  QPageSize defaultPaper;
  // Custom paper sizes the printer takes; nullopt when it takes none.
  std::optional<PaperLimits> customPaper;
  // The papers the printer offers by name.
  std::vector<NamedPaper> papers;
  // Dots per inch of the printer's default resolution; 0 when the printer does not say.
  int resolution = 0;
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

// The printers of the CUPS scheduler. Every request is bounded by the timeout; a scheduler that
// does not answer in time raises ReportError, one that is not running has no printers.
class CupsPrintService : public PrintService {
 public:
  explicit CupsPrintService(std::chrono::milliseconds timeout = std::chrono::milliseconds(30000));
  QStringList printerNames() const override;
  QString defaultPrinterName() const override;
  std::optional<PrinterDetails> printer(const QString& name) const override;

 private:
  std::chrono::milliseconds timeout_;
};

// The program's print service.
using QtPrintService = CupsPrintService;

}  // namespace radevore::report
