#include "app/job_history.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "report/cups_job.h"
#include "report/report_system.h"

namespace radevore::app {

namespace {

// A job whose destination is a file wrote a PDF; any other destination is a printer queue.
bool wentToFile(const print::JournalEntry& entry) {
  return entry.destination.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive) &&
         entry.destination.contains(u'/');
}

// A new file name in `folder` for the copy of job `id`.
QString reprintPath(const QString& folder, qint64 id) {
  const QString stamp =
      QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
  QString path = QDir(folder).filePath(QStringLiteral("reimpresion-%1-%2.pdf").arg(id).arg(stamp));
  for (int n = 2; QFileInfo::exists(path); ++n) {
    path =
        QDir(folder).filePath(QStringLiteral("reimpresion-%1-%2-%3.pdf").arg(id).arg(stamp).arg(n));
  }
  return path;
}

}  // namespace

QString historyLine(const print::JournalEntry& e) {
  QString line = QStringLiteral("%1  %2  %3  %4 labels  %5 pages  %6  %7  %8")
                     .arg(e.id)
                     .arg(e.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                     .arg(e.prefix)
                     .arg(e.labels)
                     .arg(e.pages)
                     .arg(e.destination.isEmpty() ? QStringLiteral("-") : e.destination)
                     .arg(e.outcome)
                     .arg(e.title.isEmpty() ? QStringLiteral("-") : e.title);
  if (!e.error.isEmpty()) {
    line += QStringLiteral("  (") + e.error.simplified() + u')';
  }
  return line;
}

QString historyText(print::JobJournal& journal, int count) {
  QString text;
  for (const print::JournalEntry& entry : journal.latest(count)) text += historyLine(entry) + u'\n';
  return text;
}

QString submitToPrinter(const QString& printer, const QString& title, const QString& path) {
  try {
    report::submitPdfJob(printer, title, path, {});
  } catch (const report::ReportError& e) {
    return e.text();
  }
  return {};
}

ReprintOutcome reprintJob(print::JobJournal& journal, qint64 id, const QString& pdfDirectory,
                          const DocumentSubmission& submit) {
  const std::optional<print::JournalEntry> job = journal.find(id);
  if (!job) return {false, QStringLiteral("No hay ningún trabajo %1 en el historial.").arg(id)};
  if (job->document.isEmpty() || !QFileInfo(job->document).isFile()) {
    return {
        false,
        QStringLiteral("El trabajo %1 no tiene un documento guardado para reimprimir.").arg(id)};
  }

  print::JournalEntry reprint = *job;
  reprint.id = 0;
  reprint.time = QDateTime::currentDateTimeUtc();
  reprint.outcome = QStringLiteral("reprint");
  reprint.error.clear();
  reprint.document.clear();

  if (!pdfDirectory.isEmpty() || wentToFile(*job)) {
    const QString folder =
        pdfDirectory.isEmpty() ? QFileInfo(job->destination).absolutePath() : pdfDirectory;
    if (!QFileInfo(folder).isDir()) {
      return {false, QStringLiteral("La carpeta %1 no existe.").arg(folder)};
    }
    const QString path = reprintPath(folder, id);
    QFile source(job->document);
    if (!source.copy(path)) {
      return {false, QStringLiteral("No se pudo copiar el trabajo %1 a %2: %3")
                         .arg(id)
                         .arg(path, source.errorString())};
    }
    reprint.destination = path;
  } else {
    const QString error = submit(job->destination, job->title, job->document);
    if (!error.isEmpty()) {
      return {false, QStringLiteral("La impresora %1 no aceptó el trabajo %2: %3")
                         .arg(job->destination)
                         .arg(id)
                         .arg(error)};
    }
    reprint.destination = job->destination;
  }
  const std::optional<qint64> recorded = journal.record(reprint);
  QString text = QStringLiteral("Trabajo %1 reimpreso en %2").arg(id).arg(reprint.destination);
  if (recorded) text += QStringLiteral(" (trabajo %1)").arg(*recorded);
  return {true, text};
}

}  // namespace radevore::app
