#pragma once

#include <QString>

#include "report/qt_report_canvas.h"

namespace radevore::report {

// "Invalid Printer - <name> on <port> (<driver>)" for the printer of the choice.
QString invalidPrinterText(const PrinterChoice& choice);

// Throws ReportError(invalidPrinterText) unless the chosen printer is installed and can be opened.
void checkPrinter(const PrinterChoice& choice);

// Hands the job's printed pages to the chosen printer as one print job named by the title.
// Throws ReportError when the printer cannot be opened.
void printOnPrinter(const QtReportCanvas& canvas);

// Writes the job's printed pages as a new PDF file in the directory and returns its path. The
// title is the PDF's title; its creator names the chosen printer ("radevore; printer=<name>").
// Throws ReportError with the system's text when the file cannot be written; nothing is left
// behind then. `sequence` numbers the files of one report system.
QString writePdf(const QtReportCanvas& canvas, const QString& directory, int& sequence);

}  // namespace radevore::report
