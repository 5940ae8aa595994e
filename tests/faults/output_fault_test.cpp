// Faults of the job's output: more pages than any page limit, a print queue that refuses the job
// or holds it, a PDF that cannot be written to the end or whose writer is killed. Each counts the
// labels queued before and after and those printed (read from the PDFs written or from the
// documents the CUPS queue received).

#include <gtest/gtest.h>
#include <signal.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <cstring>
#include <iostream>

#include "support/cups_server.h"
#include "support/output_ledger.h"
#include "support/pdf_probe.h"

namespace radevore::testing {
namespace {

// The labels in the documents the queue has accepted.
QStringList printedOn(CupsServer& cups, const QString& queue) {
  QStringList codes;
  for (int job : cups.acceptedJobs(queue)) codes += codesInPdf(cups.jobDocument(job));
  return codes;
}

TEST(OutputFaults, MoreThan9999PagesAreAllPrinted) {
  LedgerInstallation shop;
  shop.queueLabels(10050);
  const QStringList before = shop.queued();
  ASSERT_EQ(before.size(), 10050);

  const ProgramEnd end = shop.run(shop.arguments(true));
  ASSERT_TRUE(end.finished);
  EXPECT_EQ(end.exitCode, 0) << end.standardError.toStdString();
  ASSERT_EQ(shop.pdfs().size(), 1);
  EXPECT_EQ(pdfInfo(shop.pdfs()[0]).value(QStringLiteral("Pages")), QStringLiteral("10050"));
  const QStringList printed = codesInPdf(shop.pdfs()[0]);
  const QStringList after = shop.queued();
  EXPECT_TRUE(ledgerBalances(before, printed, after));
  EXPECT_EQ(printed.size(), 10050);
  EXPECT_TRUE(after.isEmpty());
  // Nothing but the finished file is left in the folder.
  EXPECT_EQ(shop.filesInPdfDir(), QStringList{QFileInfo(shop.pdfs()[0]).fileName()});
}

class QueueFaults : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(cups().failure(), QString()); }
  static CupsServer& cups() { return sharedCupsServer(); }
};

// A queue that refuses jobs: the run fails with the printer's name and the scheduler's text and
// every label stays queued; once the queue accepts, the next run prints each label once.
TEST_F(QueueFaults, RefusedJobKeepsEveryLabelAndTheNextRunPrintsThemOnce) {
  const QString queue = QStringLiteral("FallaRechazo");
  cups().addZebraQueue(queue);
  cups().runTool(QStringLiteral("cupsreject"), {queue});
  LedgerInstallation shop;
  shop.setPrinter(queue);
  shop.queueLabels(30);
  const QStringList before = shop.queued();

  const ProgramEnd refused = shop.run(shop.arguments(false));
  ASSERT_TRUE(refused.finished);
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_TRUE(refused.standardError.contains(queue)) << refused.standardError.toStdString();
  EXPECT_TRUE(refused.standardError.contains(QStringLiteral("not accepting jobs")))
      << refused.standardError.toStdString();
  EXPECT_TRUE(ledgerBalances(before, printedOn(cups(), queue), shop.queued()));
  EXPECT_EQ(shop.queued(), before);
  // The job's temporary PDF is gone.
  EXPECT_TRUE(QDir(shop.tempDir()).isEmpty(QDir::Files | QDir::Hidden));

  cups().runTool(QStringLiteral("cupsaccept"), {queue});
  const ProgramEnd accepted = shop.run(shop.arguments(false));
  EXPECT_EQ(accepted.exitCode, 0) << accepted.standardError.toStdString();
  const QStringList printed = printedOn(cups(), queue);
  EXPECT_TRUE(ledgerBalances(before, printed, shop.queued()));
  EXPECT_EQ(printed, before);
  EXPECT_EQ(cups().acceptedJobs(queue).size(), 1u);
  EXPECT_TRUE(QDir(shop.tempDir()).isEmpty(QDir::Files | QDir::Hidden));
}

// A paused queue accepts the job and holds it: the labels have been handed over.
TEST_F(QueueFaults, PausedQueueTakesTheJobAndTheLabelsLeaveTheQueue) {
  const QString queue = QStringLiteral("FallaPausa");
  cups().addZebraQueue(queue);
  cups().runTool(QStringLiteral("cupsdisable"), {queue});
  LedgerInstallation shop;
  shop.setPrinter(queue);
  shop.queueLabels(25, 'P');
  const QStringList before = shop.queued();

  const ProgramEnd end = shop.run(shop.arguments(false));
  EXPECT_EQ(end.exitCode, 0) << end.standardError.toStdString();
  const QStringList printed = printedOn(cups(), queue);
  EXPECT_TRUE(ledgerBalances(before, printed, shop.queued()));
  EXPECT_EQ(printed, before);
  EXPECT_TRUE(cups().completedJobs(queue, 0, 0).empty());  // held, not printed yet
  cups().runTool(QStringLiteral("cupsenable"), {queue});
}

// A scheduler that hangs: the run ends with an error naming the print server once its request
// has waited 30 seconds, instead of holding the program, and every label stays queued.
TEST_F(QueueFaults, FrozenSchedulerEndsTheRunWithAnErrorAndKeepsTheLabels) {
  const QString queue = QStringLiteral("FallaCongelada");
  cups().addZebraQueue(queue);
  LedgerInstallation shop;
  shop.setPrinter(queue);
  shop.queueLabels(10, 'C');
  const QStringList before = shop.queued();

  cups().freeze();
  QElapsedTimer waited;
  waited.start();
  const ProgramEnd end = shop.run(shop.arguments(false), {}, {}, 240000);
  const qint64 elapsed = waited.elapsed();
  cups().thaw();

  ASSERT_TRUE(end.finished) << "still waiting for the scheduler after 4 minutes";
  EXPECT_EQ(end.exitCode, 1);
  EXPECT_TRUE(end.standardError.contains(QStringLiteral("did not answer within 30 seconds")))
      << end.standardError.toStdString();
  EXPECT_TRUE(ledgerBalances(before, printedOn(cups(), queue), shop.queued()));
  EXPECT_EQ(shop.queued(), before);
  std::cout << "[ figures ] frozen scheduler: queued " << before.size() << ", still queued "
            << shop.queued().size() << ", run ended after " << elapsed / 1000.0 << " s\n";
}

// A file system of its own for a folder, mounted for the life of the object (needs root).
class SmallDisk {
 public:
  SmallDisk(const QString& folder, const QString& size) : folder_(folder) {
    mounted_ =
        QProcess::execute(QStringLiteral("mount"),
                          {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                           QStringLiteral("size=") + size, QStringLiteral("tmpfs"), folder}) == 0;
  }
  ~SmallDisk() {
    if (mounted_) QProcess::execute(QStringLiteral("umount"), {folder_});
  }
  bool mounted() const { return mounted_; }

 private:
  QString folder_;
  bool mounted_ = false;
};

// A disk that fills up while the PDF is written: the run fails with the system's text, nothing
// is left in the folder and every label is kept.
TEST(OutputFaults, FullDiskWhileWritingLeavesNoFileAndKeepsTheLabels) {
  LedgerInstallation shop;
  shop.queueLabels(400);
  const QStringList before = shop.queued();
  {
    // 64 KiB: a few dozen pages.
    const SmallDisk disk(shop.pdfDir(), QStringLiteral("64k"));
    if (!disk.mounted()) GTEST_SKIP() << "cannot mount a small file system here";
    const ProgramEnd end = shop.run(shop.arguments(true));
    ASSERT_TRUE(end.finished);
    EXPECT_EQ(end.exitCode, 1);
    EXPECT_TRUE(end.standardError.contains(QStringLiteral("Cannot write file")))
        << end.standardError.toStdString();
    EXPECT_TRUE(end.standardError.contains(QString::fromLocal8Bit(std::strerror(ENOSPC))))
        << end.standardError.toStdString();
    EXPECT_TRUE(shop.filesInPdfDir().isEmpty()) << shop.filesInPdfDir().join(' ').toStdString();
    EXPECT_TRUE(ledgerBalances(before, {}, shop.queued()));
  }

  // The next run with room prints them all, and leaves only the finished file.
  const ProgramEnd again = shop.run(shop.arguments(true));
  EXPECT_EQ(again.exitCode, 0) << again.standardError.toStdString();
  ASSERT_EQ(shop.pdfs().size(), 1);
  EXPECT_EQ(shop.filesInPdfDir(), QStringList{QFileInfo(shop.pdfs()[0]).fileName()});
  EXPECT_TRUE(ledgerBalances(before, codesInPdf(shop.pdfs()[0]), shop.queued()));
  EXPECT_TRUE(shop.queued().isEmpty());
}

// A PDF folder that is not a folder: the error names the file, nothing is written, labels kept.
TEST(OutputFaults, PdfFolderThatCannotTakeFilesKeepsTheLabels) {
  LedgerInstallation shop;
  shop.queueLabels(5);
  const QStringList before = shop.queued();
  QStringList args = shop.arguments(true);
  args[args.indexOf(shop.pdfDir())] = QStringLiteral("/proc/version/pdf");
  const ProgramEnd end = shop.run(args);
  EXPECT_EQ(end.exitCode, 1);
  EXPECT_TRUE(end.standardError.contains(QStringLiteral("Cannot create file \"/proc/version/pdf/")))
      << end.standardError.toStdString();
  EXPECT_EQ(shop.queued(), before);
}

// The program killed while it writes the PDF: the half-written file never has a final name, nothing
// is left in the folder, and the labels stay queued.
TEST(OutputFaults, KilledWhileWritingLeavesNoPdfAndKeepsTheLabels) {
  LedgerInstallation shop;
  shop.queueLabels(6000);
  const QStringList before = shop.queued();
  bool sawPartialFile = false;
  const ProgramEnd end = shop.run(shop.arguments(true), {}, [&](qint64 pid) {
    // The file being written, named or not, is one of the program's open files in the folder.
    const QString fds = QStringLiteral("/proc/%1/fd").arg(pid);
    QElapsedTimer waited;
    waited.start();
    while (!sawPartialFile && waited.elapsed() < 120000) {
      for (const QFileInfo& fd : QDir(fds).entryInfoList(QDir::Files | QDir::System)) {
        if (fd.symLinkTarget().startsWith(shop.pdfDir()) && fd.size() > 100 * 1024)
          sawPartialFile = true;
      }
      if (!sawPartialFile) QThread::msleep(10);
    }
    ::kill(static_cast<pid_t>(pid), SIGKILL);
  });
  ASSERT_TRUE(sawPartialFile) << end.standardError.toStdString();
  EXPECT_EQ(end.exitCode, -1);
  EXPECT_TRUE(shop.filesInPdfDir().isEmpty()) << shop.filesInPdfDir().join(' ').toStdString();
  EXPECT_TRUE(ledgerBalances(before, {}, shop.queued()));
}

}  // namespace
}  // namespace radevore::testing
