#pragma once

#include <QString>
#include <functional>

#include "print/job_journal.h"

namespace radevore::app {

// One job of the journal as --history lists it: id, local time, prefix, labels, pages,
// destination, outcome and title, and the error of a failed job.
QString historyLine(const print::JournalEntry& entry);

// The last `count` jobs, newest first, one line each.
QString historyText(print::JobJournal& journal, int count);

// Hands a kept document to a printer queue as a job named by the title; "" when the scheduler
// took it, otherwise the scheduler's error text.
using DocumentSubmission =
    std::function<QString(const QString& printer, const QString& title, const QString& path)>;

// The print job submission of the report system (libcups): the document's own page size.
QString submitToPrinter(const QString& printer, const QString& title, const QString& path);

struct ReprintOutcome {
  bool ok = false;
  QString text;  // what was done, or why nothing was
};

// Sends the kept document of job `id` again: into `pdfDirectory` when given, otherwise where the
// job went (its printer, or the folder of the PDF file it wrote). The reprint is recorded as a
// job of its own.
ReprintOutcome reprintJob(print::JobJournal& journal, qint64 id, const QString& pdfDirectory,
                          const DocumentSubmission& submit);

}  // namespace radevore::app
