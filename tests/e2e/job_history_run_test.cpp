// The job journal seen from the built program: --history after a printed and a failed run,
// --reprint of the printed job (into a folder and to a printer queue), and a journal that can't
// be written while the run still prints.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "print/job_journal.h"
#include "support/cups_server.h"
#include "support/label_ledger.h"
#include "support/pdf_probe.h"
#include "support/program_process.h"

namespace radevore::testing {
namespace {

constexpr int kWait = 120000;

struct Finished {
  int exitCode = -1;
  QString out;
  QString err;
};

// The words of every page, page by page.
QStringList pageTexts(const QString& pdf) {
  QStringList pages;
  for (const PdfWord& word : pdfWords(pdf)) {
    while (pages.size() < word.page) pages.append(QString());
    if (!pages[word.page - 1].isEmpty()) pages[word.page - 1] += u' ';
    pages[word.page - 1] += word.text;
  }
  return pages;
}

QStringList pdfFiles(const QString& folder) {
  QStringList files;
  for (const QString& name : QDir(folder).entryList({"*.pdf"}, QDir::Files, QDir::Name)) {
    files << QDir(folder).filePath(name);
  }
  return files;
}

class JobHistoryRun : public ::testing::Test {
 protected:
  void SetUp() override {
    installation_ = makeInstallation(root_.path(), "001", queueLabelsSql(1, 5));
    ASSERT_TRUE(QDir().mkpath(out_.file("printed")));
  }

  // The program with the journal of this test.
  Finished run(const QStringList& arguments, const QString& stateHome = {}) {
    ProgramProcess program(installation_.root, ProgramProcess::Display::None);
    program.setEnvironment("XDG_STATE_HOME", stateHome.isEmpty() ? state_.path() : stateHome);
    program.start(arguments);
    Finished f;
    if (!program.waitForExit(kWait)) return f;
    f.exitCode = program.exitCode();
    f.out = program.standardOutput();
    f.err = program.standardError();
    return f;
  }

  QStringList login() const { return {installation_.root, "SYSDBA", "masterkey", "001", "RT01"}; }

  TempDir root_;
  TempDir out_;
  TempDir state_;
  Installation installation_;
};

TEST_F(JobHistoryRun, ListsThePrintedAndTheFailedRunNewestFirstAndReprintsTheSamePages) {
  const db::ConnectionParams company = companyParams(installation_);
  const QStringList queuedBefore = queuedCodes(company);
  ASSERT_EQ(queuedBefore.size(), 5);

  // A run that prints the 5 labels, then one whose output folder is gone with 3 more queued.
  Finished printed = run(QStringList{"--once", "--pdf", out_.file("printed")} + login());
  ASSERT_EQ(printed.exitCode, 0) << printed.err.toStdString();
  const QStringList pdfs = pdfFiles(out_.file("printed"));
  ASSERT_EQ(pdfs.size(), 1);
  const QString original = pdfs.first();
  const QString title = pdfInfo(original).value("Title");
  const int pages = pdfInfo(original).value("Pages").toInt();
  ASSERT_FALSE(title.isEmpty());

  queueLabels(company, 6, 3);
  Finished failed = run(QStringList{"--once", "--pdf", out_.file("gone")} + login());
  ASSERT_EQ(failed.exitCode, 1) << failed.err.toStdString();
  ASSERT_FALSE(failed.err.trimmed().isEmpty());

  Finished history = run({"--history"});
  ASSERT_EQ(history.exitCode, 0) << history.err.toStdString();
  EXPECT_TRUE(history.err.isEmpty()) << history.err.toStdString();
  QStringList lines = history.out.split(u'\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 2) << history.out.toStdString();
  // Newest first: the failed run with its error; then the printed one.
  EXPECT_TRUE(lines[0].startsWith("2  ")) << lines[0].toStdString();
  EXPECT_TRUE(lines[0].contains("  RT01  ")) << lines[0].toStdString();
  EXPECT_TRUE(lines[0].contains("  failed  ")) << lines[0].toStdString();
  // Its output could not be opened, so it drew no label.
  EXPECT_TRUE(lines[0].contains(" 0 labels ")) << lines[0].toStdString();
  EXPECT_TRUE(lines[0].contains(QStringLiteral("Cannot create file \"%1/").arg(out_.file("gone"))))
      << lines[0].toStdString();
  EXPECT_TRUE(lines[1].startsWith("1  ")) << lines[1].toStdString();
  EXPECT_TRUE(lines[1].contains(" 5 labels  " + QString::number(pages) + " pages  " + original +
                                "  printed  " + title))
      << lines[1].toStdString();

  Finished last = run({"--history", "1"});
  EXPECT_EQ(last.out.split(u'\n', Qt::SkipEmptyParts), QStringList{lines[0]});

  // The printed job again, into another folder: the same pages.
  ASSERT_TRUE(QDir().mkpath(out_.file("again")));
  Finished reprint = run({"--reprint", "1", "--pdf", out_.file("again")});
  ASSERT_EQ(reprint.exitCode, 0) << reprint.err.toStdString();
  const QStringList copies = pdfFiles(out_.file("again"));
  ASSERT_EQ(copies.size(), 1);
  EXPECT_EQ(pageTexts(copies.first()), pageTexts(original));
  EXPECT_EQ(pageTexts(original).size(), pages);

  // The reprint is a job of its own, newest; the failed job has nothing to reprint; an id the
  // journal never gave is an error.
  history = run({"--history"});
  lines = history.out.split(u'\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 3) << history.out.toStdString();
  EXPECT_TRUE(lines[0].startsWith("3  ") && lines[0].contains("  reprint  ") &&
              lines[0].contains(copies.first()) && lines[0].contains(title))
      << lines[0].toStdString();
  for (const char* id : {"2", "99"}) {
    Finished refused = run({"--reprint", id, "--pdf", out_.file("again")});
    EXPECT_EQ(refused.exitCode, 1) << id;
    EXPECT_TRUE(refused.err.contains(QStringLiteral("trabajo %1").arg(id)))
        << refused.err.toStdString();
  }
  EXPECT_EQ(pdfFiles(out_.file("again")).size(), 1);

  // The labels: 5 printed once, the 3 of the failed run still queued.
  expectLedger(queuedBefore + QStringList{labelCode(6), labelCode(7), labelCode(8)},
               printedCodes(out_.file("printed")), queuedCodes(company));
}

TEST_F(JobHistoryRun, APrinterJobKeepsItsDocumentAndIsReprintedOnThatPrinter) {
  CupsServer& cups = sharedCupsServer();
  ASSERT_TRUE(cups.failure().isEmpty()) << cups.failure().toStdString();
  const QString queue = QStringLiteral("Zebra-Reprint");
  cups.addZebraQueue(queue);
  cups.setDefault(queue);

  Finished printed = run(QStringList{"--once"} + login());
  ASSERT_EQ(printed.exitCode, 0) << printed.err.toStdString();
  std::vector<LoggedJob> jobs = cups.completedJobs(queue, 1);
  ASSERT_EQ(jobs.size(), 1u);

  Finished history = run({"--history"});
  const QStringList lines = history.out.split(u'\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 1) << history.out.toStdString();
  EXPECT_TRUE(lines[0].contains(" 5 labels ") &&
              lines[0].contains("  " + queue + "  printed  " + jobs[0].name))
      << lines[0].toStdString();
  // The document the printer got is kept, its pages readable.
  std::optional<print::JournalEntry> kept;
  {
    print::JobJournal journal(QDir(state_.path()).filePath("radevore"), {});
    kept = journal.find(1);
  }
  ASSERT_TRUE(kept);
  ASSERT_TRUE(QFileInfo::exists(kept->document)) << kept->document.toStdString();
  EXPECT_EQ(pdfInfo(kept->document).value("Pages").toInt(), kept->pages);
  EXPECT_EQ(pdfInfo(kept->document).value("Title"), jobs[0].name);
  EXPECT_EQ(printedCodes(QFileInfo(kept->document).absolutePath()).size(), 5);

  Finished reprint = run({"--reprint", "1"});
  ASSERT_EQ(reprint.exitCode, 0) << reprint.err.toStdString();
  jobs = cups.completedJobs(queue, 2);
  ASSERT_EQ(jobs.size(), 2u);
  EXPECT_EQ(jobs[1].name, jobs[0].name);

  // A queue that is gone refuses the job: exit 1 with the scheduler's reason.
  cups.removeQueue(queue);
  Finished refused = run({"--reprint", "1"});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_TRUE(refused.err.contains(queue)) << refused.err.toStdString();
}

TEST_F(JobHistoryRun, AnUnwritableJournalIsSaidOnceAndTheRunStillPrints) {
  QFile notAFolder(out_.file("state-file"));
  ASSERT_TRUE(notAFolder.open(QIODevice::WriteOnly));
  notAFolder.close();

  Finished printed =
      run(QStringList{"--once", "--pdf", out_.file("printed")} + login(), notAFolder.fileName());
  EXPECT_EQ(printed.exitCode, 0) << printed.err.toStdString();
  EXPECT_EQ(printedCodes(out_.file("printed")).size(), 5);
  EXPECT_TRUE(queuedCodes(companyParams(installation_)).isEmpty());
  const QStringList warnings =
      printed.err.split(u'\n', Qt::SkipEmptyParts).filter(QStringLiteral("historial"));
  ASSERT_EQ(warnings.size(), 1) << printed.err.toStdString();
  EXPECT_TRUE(warnings[0].contains(notAFolder.fileName())) << warnings[0].toStdString();
}

}  // namespace
}  // namespace radevore::testing
