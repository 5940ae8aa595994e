// The job journal on a real SQLite file: what it keeps, in which order, what it prunes, and
// that a journal it cannot write costs one warning and nothing else.

#include "print/job_journal.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStringList>

#include "support/fixture_db.h"

namespace radevore::print {
namespace {

using testing::TempDir;

QString writeDocument(const QString& path, qsizetype bytes) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(QByteArray(bytes, 'x'));
  return path;
}

JournalEntry job(const QString& title, const QString& outcome, int labels) {
  JournalEntry e;
  e.company = QStringLiteral("001");
  e.prefix = QStringLiteral("RT01");
  e.priceList = QStringLiteral("1");
  e.labels = labels;
  e.pages = labels;
  e.destination = QStringLiteral("ETIQUETAS");
  e.title = title;
  e.outcome = outcome;
  return e;
}

TEST(JobJournal, ListsJobsNewestFirstWithEverythingRecorded) {
  TempDir state;
  QStringList warnings;
  JobJournal journal(state.file("radevore"), [&](const QString& w) { warnings << w; });
  JournalEntry failed = job(QStringLiteral("Rótulo articulo 00300"), "failed", 4);
  failed.error = QStringLiteral("Invalid Printer - X on Y (Z)");
  const auto first = journal.record(job(QStringLiteral("Rótulo articulo 00123"), "printed", 2),
                                    writeDocument(state.file("a.pdf"), 10));
  const auto second = journal.record(failed);
  ASSERT_TRUE(first && second);
  EXPECT_LT(*first, *second);

  const std::vector<JournalEntry> jobs = journal.latest(20);
  ASSERT_EQ(jobs.size(), 2u);
  EXPECT_EQ(jobs[0].id, *second);
  EXPECT_EQ(jobs[0].outcome, "failed");
  EXPECT_EQ(jobs[0].error, failed.error);
  EXPECT_TRUE(jobs[0].document.isEmpty());
  EXPECT_EQ(jobs[1].title, QStringLiteral("Rótulo articulo 00123"));
  EXPECT_EQ(jobs[1].labels, 2);
  EXPECT_EQ(jobs[1].prefix, "RT01");
  EXPECT_TRUE(jobs[1].time.isValid());
  EXPECT_TRUE(QFile::exists(jobs[1].document));
  EXPECT_EQ(journal.latest(1).size(), 1u);
  EXPECT_TRUE(warnings.isEmpty());

  // A journal opened again reads the same file.
  JobJournal again(state.file("radevore"), {});
  ASSERT_TRUE(again.find(*first));
  EXPECT_EQ(again.find(*first)->destination, "ETIQUETAS");
  EXPECT_FALSE(again.find(*second + 100));
}

TEST(JobJournal, OldestDocumentsGoFirstPastTheSizeOrAgeLimit) {
  TempDir state;
  JobJournal journal(state.file("radevore"), {}, JournalLimits{30, 250});
  const QDateTime now = QDateTime::currentDateTimeUtc();
  std::vector<qint64> ids;
  for (int i = 0; i < 3; ++i) {
    JournalEntry e = job(QStringLiteral("Rótulo articulo %1").arg(i), "printed", 1);
    e.time = now.addSecs(i);
    ids.push_back(*journal.record(e, writeDocument(state.file(QString::number(i)), 100)));
  }
  // 300 bytes against a limit of 250: the oldest document goes, its row stays.
  EXPECT_TRUE(journal.find(ids[0])->document.isEmpty());
  EXPECT_FALSE(QFile::exists(state.file("radevore/jobs/" + QString::number(ids[0]) + ".pdf")));
  EXPECT_FALSE(journal.find(ids[1])->document.isEmpty());
  EXPECT_FALSE(journal.find(ids[2])->document.isEmpty());

  // A job recorded 31 days later takes every older document with it.
  JournalEntry late = job(QStringLiteral("late"), "printed", 1);
  late.time = now.addDays(31);
  const qint64 lateId = *journal.record(late, writeDocument(state.file("late"), 10));
  EXPECT_TRUE(journal.find(ids[1])->document.isEmpty());
  EXPECT_TRUE(journal.find(ids[2])->document.isEmpty());
  EXPECT_FALSE(journal.find(lateId)->document.isEmpty());
  EXPECT_EQ(journal.latest(10).size(), 4u);
}

TEST(JobJournal, AnUnwritableFolderWarnsOnceAndRecordsNothing) {
  TempDir state;
  // A file where the folder should be: mkpath fails even for root.
  writeDocument(state.file("blocked"), 1);
  QStringList warnings;
  JobJournal journal(state.file("blocked/radevore"), [&](const QString& w) { warnings << w; });
  EXPECT_FALSE(journal.record(job("a", "printed", 1)));
  EXPECT_FALSE(journal.record(job("b", "printed", 1)));
  EXPECT_TRUE(journal.latest(5).empty());
  ASSERT_EQ(warnings.size(), 1);
  EXPECT_TRUE(warnings[0].contains("blocked")) << warnings[0].toStdString();
}

TEST(JobJournal, AMissingDocumentKeepsTheRowAndWarns) {
  TempDir state;
  QStringList warnings;
  JobJournal journal(state.file("radevore"), [&](const QString& w) { warnings << w; });
  const auto id = journal.record(job("a", "printed", 1), state.file("gone.pdf"));
  ASSERT_TRUE(id);
  EXPECT_TRUE(journal.find(*id)->document.isEmpty());
  EXPECT_EQ(warnings.size(), 1);
}

TEST(JobJournal, StateFolderFollowsXdgStateHome) {
  const QByteArray saved = qgetenv("XDG_STATE_HOME");
  qputenv("XDG_STATE_HOME", "/var/tmp/state");
  EXPECT_EQ(defaultJournalFolder(), "/var/tmp/state/radevore");
  qunsetenv("XDG_STATE_HOME");
  EXPECT_EQ(defaultJournalFolder(), QDir::homePath() + "/.local/state/radevore");
  if (!saved.isEmpty()) qputenv("XDG_STATE_HOME", saved);
}

}  // namespace
}  // namespace radevore::print
