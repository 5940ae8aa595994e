#pragma once

#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct sqlite3;

namespace radevore::print {

// One print job as the journal keeps it.
struct JournalEntry {
  qint64 id = 0;   // given by the journal
  QDateTime time;  // when the job ended, UTC
  QString company;
  QString prefix;
  QString priceList;
  int labels = 0;
  int pages = 0;
  QString destination;  // printer name, or the PDF file written
  QString title;        // the job title ("Rótulo articulo ...")
  QString outcome;      // "printed", "failed", "cancelled" or "reprint"
  QString error;        // the error text of a failed job
  QString document;     // the kept copy of the printed document; "" when none is kept
};

// How much of the printed documents the journal keeps; the oldest go first. The rows stay.
struct JournalLimits {
  qint64 maxAgeDays = 30;
  qint64 maxBytes = 500LL * 1024 * 1024;
};

// The job journal: a small SQLite database (journal.sqlite) and a folder of kept documents
// (jobs/<id>.pdf) under one state folder. It never blocks or fails a print run: when it can't
// be written it says so once through `warn` and goes on without it.
class JobJournal {
 public:
  using Warning = std::function<void(const QString&)>;

  JobJournal(QString folder, Warning warn, JournalLimits limits = {});
  ~JobJournal();
  JobJournal(const JobJournal&) = delete;
  JobJournal& operator=(const JobJournal&) = delete;

  // Records a job and keeps a copy of `document` (a finished PDF of the job) when given.
  // Returns the new id, or nothing when the journal could not be written.
  std::optional<qint64> record(JournalEntry entry, const QString& document = {});

  // The last `count` jobs, newest first.
  std::vector<JournalEntry> latest(int count);
  std::optional<JournalEntry> find(qint64 id);

  const QString& folder() const { return folder_; }

 private:
  struct Closer {
    void operator()(sqlite3* db) const;
  };

  bool open();
  void fail(const QString& what);
  QString keepDocument(qint64 id, const QString& document);
  void prune(const QDateTime& now);

  QString folder_;
  Warning warn_;
  JournalLimits limits_;
  std::unique_ptr<sqlite3, Closer> db_;
  bool warned_ = false;
};

// $XDG_STATE_HOME/radevore, by default ~/.local/state/radevore.
QString defaultJournalFolder();

}  // namespace radevore::print
