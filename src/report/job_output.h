#pragma once

#include <QString>

#include "report/print_service.h"
#include "report/qt_report_canvas.h"

namespace radevore::report {

// "Invalid Printer - <name> on <port> (<driver>)" for the printer of the choice.
QString invalidPrinterText(const PrinterChoice& choice);

// Throws ReportError(invalidPrinterText) unless the chosen printer is still installed.
void checkPrinter(const PrintService& service, const PrinterChoice& choice);

// The CUPS options of a job on the chosen printer: the custom paper as the printer's own paper
// of that size when it has one, otherwise as "Custom.<w>x<h>in".
QList<std::pair<QByteArray, QByteArray>> jobOptions(const PrinterChoice& choice);

}  // namespace radevore::report
