#include "app/journal_recorder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace radevore::app {

JournalRecorder::JournalRecorder(print::JobJournal& journal, std::function<QString()> company)
    : journal_(journal), company_(std::move(company)) {}

JournalRecorder::~JournalRecorder() {
  flush();
}

void JournalRecorder::flush() {
  std::vector<Pending> pending;
  pending.swap(pending_);
  for (Pending& p : pending) journal_.record(p.entry, p.document);
}

void JournalRecorder::handedOver(const report::HandedOverJob& job) {
  job_ = job;
  copy_.reset();
  // A PDF job's document is its published file, which stays; any other is removed with the job.
  if (job.document.isEmpty() || job.document == job.destination) return;
  auto copy = std::make_unique<QTemporaryFile>(QDir::tempPath() +
                                               QStringLiteral("/radevore-journal-XXXXXX.pdf"));
  QFile source(job.document);
  if (!copy->open() || !source.open(QIODevice::ReadOnly)) {
    job_->document.clear();
    return;
  }
  while (!source.atEnd()) {
    const QByteArray chunk = source.read(1 << 20);
    if (chunk.isEmpty() || copy->write(chunk) != chunk.size()) {
      job_->document.clear();
      return;
    }
  }
  copy->flush();
  job_->document = copy->fileName();
  copy_ = std::move(copy);
}

void JournalRecorder::recordRun(const print::FinishedRun& run) {
  print::JournalEntry entry;
  entry.company = company_ ? company_() : QString();
  entry.prefix = run.prefix;
  entry.priceList = run.priceList;
  entry.labels = run.labels;
  entry.outcome = run.outcome;
  entry.error = run.error;
  QString document;
  if (job_) {
    entry.pages = job_->pages;
    entry.destination = job_->destination;
    entry.title = job_->title;
    document = job_->document;
  }
  pending_.push_back(Pending{entry, document, std::move(copy_)});
  job_.reset();
  copy_.reset();
  if (QCoreApplication::instance() != nullptr) {
    QMetaObject::invokeMethod(
        &context_, [this] { flush(); }, Qt::QueuedConnection);
  } else {
    flush();
  }
}

}  // namespace radevore::app
