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

// The same bookkeeping for any prefix and code pattern, with the balance as a value that a test
// can print and compare. Article codes identify labels, so a test that wants to see a duplicate
// queues distinct codes (queueNumberedLabels).

// Article codes of the labels queued for the prefix (ROTULOS_PENDIENTES), in queue order, read
// in a transaction of its own.
QStringList queuedArticles(db::Attachment& company, const QString& prefix);
QStringList queuedArticles(const db::ConnectionParams& company, const QString& prefix);

// Queues `count` labels for the prefix with the article codes <codePrefix>00001, 00002... in one
// statement (an execute block), and returns the codes.
QStringList queueNumberedLabels(db::Attachment& company, const QString& prefix, int count,
                                const QString& codePrefix = QStringLiteral("L"));
// The codes queueNumberedLabels gives, without queueing anything.
QStringList numberedArticles(int count, const QString& codePrefix = QStringLiteral("L"));

// Article codes printed in the PDF files, one per bar code text ("*00123*" gives 00123): the
// fixture format RT01 prints each label's code as a Code 39 bar code once.
QStringList printedArticles(const QStringList& pdfFiles);
// The same for every *.pdf file of a folder (none when it does not exist).
QStringList printedArticlesIn(const QString& directory);

// The balance of one fault: what the labels queued before became.
struct LabelBalance {
  int queuedBefore = 0;
  int printed = 0;           // printed labels of codes that were queued
  int stillQueued = 0;       // queued codes still queued
  int printedTwice = 0;      // codes printed more often than they were queued
  int printedAndQueued = 0;  // codes printed and still queued (more than were queued)
  int lost = 0;              // queued, neither printed nor still queued
  QStringList strangers;     // printed codes that were never queued

  // Printed plus still queued equals queued before, nothing twice, nothing in both places.
  bool balanced() const {
    return printed + stillQueued == queuedBefore && printedTwice == 0 && printedAndQueued == 0 &&
           lost == 0 && strangers.isEmpty();
  }
  QString describe() const;  // for test failure messages
};
LabelBalance labelBalance(const QStringList& queuedBefore, const QStringList& printed,
                          const QStringList& queuedAfter);

}  // namespace radevore::testing
