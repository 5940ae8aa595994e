#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <chrono>
#include <utility>

#include "report/cups_connection.h"

namespace radevore::report {

// Hands a finished PDF file to a CUPS queue as one job named `title`, with the options. Returns
// the job id the scheduler accepted. Anything else (the queue refuses jobs, is gone, the
// scheduler does not answer, the file cannot be read) throws ReportError naming the printer and
// the scheduler's own text; a job that was created but not completed is cancelled then. A job
// held by a paused queue has been accepted.
int submitPdfJob(const QString& printer, const QString& title, const QString& pdfPath,
                 const QList<std::pair<QByteArray, QByteArray>>& options,
                 std::chrono::milliseconds timeout = kCupsTimeout);

}  // namespace radevore::report
