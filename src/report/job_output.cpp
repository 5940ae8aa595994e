#include "report/job_output.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>

#include "report/report_system.h"

namespace radevore::report {

namespace {

QString printerName(const PrinterChoice& choice) {
  return choice.printer ? choice.printer->name : QString();
}

QString cannotCreate(const QString& path, const QString& reason) {
  return QStringLiteral("Cannot create file \"%1\". %2")
      .arg(QDir::toNativeSeparators(path), reason);
}

}  // namespace

QString invalidPrinterText(const PrinterChoice& choice) {
  const PrinterDetails details = choice.printer.value_or(PrinterDetails{});
  return QStringLiteral("Invalid Printer - %1 on %2 (%3)")
      .arg(details.name, details.port, details.driver);
}

void checkPrinter(const PrinterChoice& choice) {
  const QString name = printerName(choice);
  // Qt sends a job for an unknown queue to the default one, so the name is checked first.
  if (name.isEmpty() || QPrinterInfo::printerInfo(name).isNull())
    throw ReportError(invalidPrinterText(choice));
}

void printOnPrinter(const QtReportCanvas& canvas) {
  const PrinterChoice& choice = canvas.printerChoice();
  checkPrinter(choice);
  QPrinter printer(QPrinterInfo::printerInfo(printerName(choice)), QPrinter::HighResolution);
  if (!printer.isValid()) throw ReportError(invalidPrinterText(choice));
  printer.setFullPage(true);
  printer.setPageLayout(canvas.pageLayout());
  printer.setPageMargins(QMarginsF(0, 0, 0, 0));
  printer.setDocName(canvas.title());
  printer.setCopyCount(1);
  QPainter painter;
  if (!painter.begin(&printer)) throw ReportError(invalidPrinterText(choice));
  canvas.paint(printer, painter);
  if (!painter.end() || printer.printerState() == QPrinter::Error)
    throw ReportError(invalidPrinterText(choice));
}

QString writePdf(const QtReportCanvas& canvas, const QString& directory, int& sequence) {
  const QString stamp =
      QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
  QFile file;
  for (;;) {
    ++sequence;
    file.setFileName(
        QDir(directory).filePath(QStringLiteral("%1-%2.pdf").arg(stamp).arg(sequence)));
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) break;
    if (!file.exists()) throw ReportError(cannotCreate(file.fileName(), file.errorString()));
  }
  const QString path = file.fileName();
  bool written = false;
  {
    QPdfWriter writer(&file);
    writer.setResolution(1200);
    writer.setTitle(canvas.title());
    writer.setCreator(
        QStringLiteral("radevore; printer=%1").arg(printerName(canvas.printerChoice())));
    writer.setPageLayout(canvas.pageLayout());
    QPainter painter;
    if (painter.begin(&writer)) {
      canvas.paint(writer, painter);
      written = painter.end();
    }
  }
  file.close();
  if (!written || file.error() != QFileDevice::NoError) {
    const QString reason = file.errorString();
    file.remove();
    throw ReportError(cannotCreate(path, reason));
  }
  return path;
}

}  // namespace radevore::report
