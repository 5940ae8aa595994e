#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <functional>

#include "support/fixture_db.h"

namespace radevore::testing {

// How a start of the built program ended.
struct ProgramEnd {
  bool finished = false;  // false: it was still running at the limit and was killed
  int exitCode = -1;      // -1 when it did not exit normally
  QString standardError;
};

// An installation whose prefix FL01 prints one label a page, 4 x 2.5 in, each label a frame with
// its article code; the labels queued by queueLabels() have the codes <letter>00001,
// <letter>00002... The format's printer alias FALLAS names the queue given by setPrinter() in
// impresoras.cfg.
class LedgerInstallation {
 public:
  LedgerInstallation();

  // Queues `count` labels for FL01 in one statement; codes `letter` + 5 digits from 1.
  void queueLabels(int count, char letter = 'F');
  // The article codes still queued for FL01, in queue order.
  QStringList queued() const;
  void setPrinter(const QString& queue);

  QString pdfDir() const { return out_.file(QStringLiteral("pdf")); }
  QString tempDir() const { return out_.file(QStringLiteral("tmp")); }
  // The *.pdf files in the PDF folder, by name.
  QStringList pdfs() const;
  // Every file in the PDF folder, hidden ones included.
  QStringList filesInPdfDir() const;

  // The unattended command line for FL01 and price list 1, with --once; with --pdf when asked.
  QStringList arguments(bool pdf) const;
  // The program's environment: offscreen, this installation's settings, TMPDIR = tempDir().
  QProcessEnvironment environment() const;
  // Starts the program with the arguments (through `wrapper` when given: a shell line that ends
  // in `exec "$@"`), calls `whileRunning` with its process id once it runs, and waits up to
  // `limitMs` for it to end.
  ProgramEnd run(const QStringList& arguments, const QString& wrapper = {},
                 const std::function<void(qint64)>& whileRunning = {}, int limitMs = 300000) const;

 private:
  TempDir root_;
  TempDir config_;
  TempDir out_;
  Installation installation_;
};

// The article codes printed in a PDF (every word made of a capital letter and five digits).
QStringList codesInPdf(const QString& pdf);

// The ledger of one provoked fault: every label queued before is either printed or still queued,
// never both, and none is printed twice. Adds a test failure for each broken rule and returns
// whether all held.
bool ledgerBalances(const QStringList& queuedBefore, const QStringList& printed,
                    const QStringList& queuedAfter);

}  // namespace radevore::testing
