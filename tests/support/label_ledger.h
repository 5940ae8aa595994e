#pragma once

#include <QString>
#include <QStringList>

#include "db/attachment.h"

namespace radevore::testing {

// Labels of prefix RT01 for articles "Q00001", "Q00002"... (codes of no article: each label
// prints its code once and nothing else that reads like one), so that every label can be told
// apart in the queue and on the printed pages.
QString labelCode(int number);
// An isql script that queues the labels `first` to `first + count - 1`.
QString queueLabelsSql(int first, int count);
// Queues them on an open company connection and commits.
void queueLabels(const db::ConnectionParams& company, int first, int count);

// The codes still queued in ROTULOS_PENDIENTES.
QStringList queuedCodes(const db::ConnectionParams& company);
// The label codes printed in the PDF files of a folder, once per printed label.
QStringList printedCodes(const QString& pdfDirectory);

// Checks the ledger: every label queued before was either printed exactly once or is still
// queued, never both, and nothing else turned up.
void expectLedger(const QStringList& queuedBefore, const QStringList& printed,
                  const QStringList& queuedAfter);

}  // namespace radevore::testing
