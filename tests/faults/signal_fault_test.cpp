// SIGTERM and SIGINT sent to the built program in the middle of a job of several thousand
// labels, and while it waits between runs.

#include <gtest/gtest.h>
#include <signal.h>

#include <QFile>

#include "db/db_error.h"
#include "support/case_printing.h"
#include "support/firebird_server.h"
#include "support/label_ledger.h"
#include "support/program_process.h"
#include "support/served_installation.h"

namespace radevore::testing {
namespace {

constexpr int kLabels = 6000;

// Whether SIGTERM and SIGINT are blocked in the program's main thread, i.e. its own handling
// is in place and a signal can no longer end it by the default action.
bool terminationSignalsBlocked(qint64 pid) {
  QFile status(QStringLiteral("/proc/%1/status").arg(pid));
  if (!status.open(QIODevice::ReadOnly)) return false;
  for (const QByteArray& line : status.readAll().split('\n')) {
    if (!line.startsWith("SigBlk:")) continue;
    bool ok = false;
    const qulonglong mask = line.mid(7).trimmed().toULongLong(&ok, 16);
    const qulonglong wanted = (1ULL << (SIGTERM - 1)) | (1ULL << (SIGINT - 1));
    return ok && (mask & wanted) == wanted;
  }
  return false;
}

// Whether another attachment is in the middle of a print run's job: it holds the run's
// read-only lookup transaction and, beside it, the read-write fetch transaction, which lasts
// from the fetch of the labels to the commit after the job was handed over. (A login's
// statements run one transaction at a time.)
bool jobInProgress(db::Attachment& watcher) {
  // Each query runs in a transaction of its own, and so sees a fresh snapshot of the monitor.
  const db::RowSet rows = watcher.query(QStringLiteral(
      "SELECT SUM(IIF(T.MON$READ_ONLY = 0, 1, 0)) AS RW, SUM(IIF(T.MON$READ_ONLY = 1, 1, 0)) "
      "AS RO FROM MON$TRANSACTIONS T WHERE T.MON$ATTACHMENT_ID <> CURRENT_CONNECTION"));
  return rows.rows.at(0)[u"RW"].toIntegerOr0() > 0 && rows.rows.at(0)[u"RO"].toIntegerOr0() > 0;
}

struct SignalCase {
  const char* name;
  int signal;        // 0: none, the control run that prints every label
  const char* mode;  // "--once", "--service", or "" for the window that stays open
};

void PrintTo(const SignalCase& c, std::ostream* os) {
  using radevore::testing::printable;
  *os << c.name << " signal " << c.signal << " mode " << printable(c.mode);
}

class SignalDuringJob : public ::testing::TestWithParam<SignalCase> {};

TEST_P(SignalDuringJob, StopsPromptlyWithEveryLabelPrintedOnceOrStillQueued) {
  const SignalCase c = GetParam();
  FirebirdServer server;
  ASSERT_TRUE(server.available()) << server.reason().toStdString();
  ServedInstallation served(server, QStringLiteral("inst"), queueLabelsSql(1, kLabels));
  const QStringList before = queuedCodes(served.companyOnServer());
  ASSERT_EQ(before.size(), kLabels);

  TempDir out;
  ProgramProcess program(served.installation.root, *c.mode == '\0'
                                                       ? ProgramProcess::Display::Offscreen
                                                       : ProgramProcess::Display::None);
  QStringList arguments{"--pdf", out.path(), served.serverText, "SYSDBA", server.password(), "001",
                        "RT01",  "4"};
  if (*c.mode != '\0') arguments.prepend(QString::fromLatin1(c.mode));
  program.start(arguments);
  db::Attachment watcher = db::Attachment::open(served.companyOnServer());
  ASSERT_TRUE(waitUntil([&] { return jobInProgress(watcher); }, 120000))
      << program.standardError().toStdString();
  if (c.signal != 0) program.sendSignal(c.signal);

  ASSERT_TRUE(program.waitForExit(c.signal != 0 ? 60000 : 300000))
      << "the program did not end after the signal";
  const QStringList printed = printedCodes(out.path());
  const QStringList after = queuedCodes(served.companyOnServer());
  expectLedger(before, printed, after);
  if (c.signal != 0) {
    EXPECT_NE(program.exitCode(), 0) << program.standardError().toStdString();
    EXPECT_NE(program.exitCode(), -1) << "ended by the signal's default action, not by itself";
  } else {
    EXPECT_EQ(program.exitCode(), 0) << program.standardError().toStdString();
    EXPECT_EQ(printed.size(), kLabels);
  }
  std::cout << "[ figures ] " << c.name << ": queued " << before.size() << ", printed "
            << printed.size() << ", still queued " << after.size() << ", exit "
            << program.exitCode() << "\n";
}

INSTANTIATE_TEST_SUITE_P(Signals, SignalDuringJob,
                         ::testing::Values(SignalCase{"NoSignalOnce", 0, "--once"},
                                           SignalCase{"SigtermOnce", SIGTERM, "--once"},
                                           SignalCase{"SigintOnce", SIGINT, "--once"},
                                           SignalCase{"SigtermWindow", SIGTERM, ""},
                                           SignalCase{"SigtermService", SIGTERM, "--service"},
                                           SignalCase{"SigintService", SIGINT, "--service"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SignalWhileIdle, ServiceEndsWithinFiveSecondsAndExitZero) {
  FirebirdServer server;
  ASSERT_TRUE(server.available()) << server.reason().toStdString();
  ServedInstallation served(server, QStringLiteral("inst"), queueLabelsSql(1, 3));
  TempDir out;
  ProgramProcess program(served.installation.root, ProgramProcess::Display::None);
  program.start({"--service", "--pdf", out.path(), served.serverText, "SYSDBA", server.password(),
                 "001", "RT01", "4"});
  ASSERT_TRUE(waitUntil([&] { return printedCodes(out.path()).size() == 3; }, 120000))
      << program.standardError().toStdString();
  program.sendSignal(SIGTERM);
  EXPECT_TRUE(program.waitForExit(5000));
  EXPECT_EQ(program.exitCode(), 0) << program.standardError().toStdString();
  EXPECT_TRUE(queuedCodes(served.companyOnServer()).isEmpty());
}

TEST(SignalWhileIdle, WindowEndsWithinFiveSecondsAndExitZero) {
  TempDir installation;
  ProgramProcess program(installation.path());
  program.start({});
  ASSERT_TRUE(waitUntil([&] { return terminationSignalsBlocked(program.pid()); }, 60000));
  program.sendSignal(SIGTERM);
  EXPECT_TRUE(program.waitForExit(5000));
  EXPECT_EQ(program.exitCode(), 0) << program.standardError().toStdString();
}

}  // namespace
}  // namespace radevore::testing
