#pragma once

#include <vector>

#include "report/print_service.h"

namespace radevore::testing {

// Printers as a test sets them up, in list order.
class FakePrintService : public report::PrintService {
 public:
  std::vector<report::PrinterDetails> printers;
  QString defaultName;

  // A label printer taking custom paper from 0.5 x 0.5 in to 8 x 50 in, on Letter by default.
  report::PrinterDetails& addLabelPrinter(const QString& name) {
    report::PrinterDetails details;
    details.name = name;
    details.port = QStringLiteral("file:///dev/null");
    details.driver = QStringLiteral("Zebra ZPL Label Printer");
    details.defaultPaper = QPageSize(QPageSize::Letter);
    details.customPaper = report::PaperLimits{QSize(127, 127), QSize(2032, 12700)};
    printers.push_back(details);
    return printers.back();
  }

  QStringList printerNames() const override {
    QStringList names;
    for (const auto& p : printers) names << p.name;
    return names;
  }
  QString defaultPrinterName() const override { return defaultName; }
  std::optional<report::PrinterDetails> printer(const QString& name) const override {
    for (const auto& p : printers)
      if (p.name == name) return p;
    return std::nullopt;
  }
};

}  // namespace radevore::testing
