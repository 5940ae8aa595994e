#pragma once

#include <QObject>
#include <QString>
#include <QTemporaryFile>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "print/job_journal.h"
#include "print/print_seams.h"
#include "report/report_system.h"

namespace radevore::app {

// Records every finished print run in the job journal, with the job the report system handed
// over during the run and a copy of its document for reprinting. The journal is written from the
// event loop once the run has returned, so it never lengthens a run; what is still waiting when
// the recorder goes is written then.
class JournalRecorder : public print::JobRecorder {
 public:
  // `company` is the company the runs print for, read when a run ends.
  JournalRecorder(print::JobJournal& journal, std::function<QString()> company);
  ~JournalRecorder() override;
  JournalRecorder(const JournalRecorder&) = delete;
  JournalRecorder& operator=(const JournalRecorder&) = delete;

  // The report system's observer: keeps the job's facts until the run ends, and a copy of a
  // document that goes away with the job (a printer job's temporary PDF).
  void handedOver(const report::HandedOverJob& job);

  void recordRun(const print::FinishedRun& run) override;

  // Writes the runs still waiting.
  void flush();

 private:
  struct Pending {
    print::JournalEntry entry;
    QString document;
    std::unique_ptr<QTemporaryFile> copy;
  };

  print::JobJournal& journal_;
  std::function<QString()> company_;
  std::optional<report::HandedOverJob> job_;
  std::unique_ptr<QTemporaryFile> copy_;
  std::vector<Pending> pending_;
  QObject context_;  // the queued writes go with the recorder
};

}  // namespace radevore::app
