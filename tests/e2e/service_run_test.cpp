// The built program as a service: no display, a private loopback server that goes away and comes
// back twice, labels queued in three bursts, SIGTERM at the end.

#include <gtest/gtest.h>
#include <signal.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include "support/firebird_server.h"
#include "support/label_ledger.h"
#include "support/program_process.h"
#include "support/served_installation.h"

namespace radevore::testing {
namespace {

constexpr int kBurst = 40;
constexpr int kWait = 120000;  // ms; generous, the machine is shared

int linesMatching(const QString& log, const QString& pattern) {
  const QRegularExpression expression(pattern);
  int count = 0;
  for (const QString& line : log.split(u'\n', Qt::SkipEmptyParts)) {
    if (expression.match(line).hasMatch()) ++count;
  }
  return count;
}

TEST(Service, PrintsEveryBurstOnceThroughTwoServerRestartsAndStopsCleanly) {
  FirebirdServer server;
  ASSERT_TRUE(server.available()) << server.reason().toStdString();
  ServedInstallation served(server, QStringLiteral("inst"), queueLabelsSql(1, kBurst));
  const QStringList queued = queuedCodes(served.companyOnServer());
  QStringList allQueued = queued;

  TempDir out;
  ProgramProcess program(served.installation.root, ProgramProcess::Display::None);
  program.setEnvironment(QStringLiteral("ISC_PASSWORD"), server.password());
  program.start({"--service", "--interval", "2", "--pdf", out.path(), served.serverText, "SYSDBA",
                 "", "001", "RT01", "4"});
  auto printedCount = [&] { return printedCodes(out.path()).size(); };
  auto errorLines = [&] { return linesMatching(program.standardError(), " error "); };

  ASSERT_TRUE(waitUntil([&] { return printedCount() == kBurst; }, kWait))
      << program.standardError().toStdString();
  EXPECT_FALSE(program.processListEntry().contains(server.password()));

  for (int outage = 1; outage <= 2; ++outage) {
    server.stopServer();
    ASSERT_TRUE(waitUntil([&] { return errorLines() == outage; }, kWait))
        << "outage " << outage << ": " << program.standardError().toStdString();
    // The server is down: the labels go in through the embedded engine, which may open the
    // file now that no server holds it.
    const int first = outage * kBurst + 1;
    queueLabels(served.companyEmbedded(), first, kBurst);
    for (int i = first; i < first + kBurst; ++i) allQueued.append(labelCode(i));
    ASSERT_TRUE(server.startServer()) << server.reason().toStdString();
    ASSERT_TRUE(waitUntil([&] { return printedCount() == (outage + 1) * kBurst; }, kWait))
        << "outage " << outage << ": " << program.standardError().toStdString();
  }

  EXPECT_TRUE(program.running()) << program.standardError().toStdString();
  expectLedger(allQueued, printedCodes(out.path()), queuedCodes(served.companyOnServer()));

  program.sendSignal(SIGTERM);
  ASSERT_TRUE(program.waitForExit(5000)) << "SIGTERM did not end the service within 5 s";
  EXPECT_EQ(program.exitCode(), 0);

  const QString log = program.standardError();
  const QStringList lines = log.split(u'\n', Qt::SkipEmptyParts);
  const QRegularExpression logLine(
      QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ (info|warning|error) \\S"));
  for (const QString& line : lines) {
    EXPECT_TRUE(logLine.match(line).hasMatch()) << line.toStdString();
  }
  EXPECT_EQ(linesMatching(log, " error "), 2) << log.toStdString();
  EXPECT_EQ(linesMatching(log, "Conectado de nuevo"), 2) << log.toStdString();
  const int jobs = QDir(out.path()).entryList({"*.pdf"}, QDir::Files).size();
  EXPECT_EQ(linesMatching(log, " info Trabajo de impresión entregado"), jobs) << log.toStdString();
  EXPECT_FALSE(log.contains(server.password()));
  std::cout << "[ figures ] queued " << allQueued.size() << " in 3 bursts, printed "
            << printedCodes(out.path()).size() << " in " << jobs << " jobs, still queued "
            << queuedCodes(served.companyOnServer()).size() << ", log lines " << lines.size()
            << "\n"
            << log.toStdString();
}

// A store's machine that starts before its database server: the failed login is logged once,
// then every tick tries again quietly until the server is there.
TEST(Service, StartedBeforeItsServerPrintsOnceTheServerIsUp) {
  FirebirdServer server;
  ASSERT_TRUE(server.available()) << server.reason().toStdString();
  ServedInstallation served(server, QStringLiteral("inst"), queueLabelsSql(1, kBurst));
  const QStringList queued = queuedCodes(served.companyOnServer());
  server.stopServer();

  TempDir out;
  ProgramProcess program(served.installation.root, ProgramProcess::Display::None);
  program.setEnvironment(QStringLiteral("ISC_PASSWORD"), server.password());
  program.start({"--service", "--interval", "2", "--pdf", out.path(), served.serverText, "SYSDBA",
                 "", "001", "RT01", "4"});
  ASSERT_TRUE(program.waitForStandardError(
      [](const QString& log) { return linesMatching(log, " error ") == 1; }, kWait))
      << program.standardError().toStdString();
  // A few ticks while the server is still down.
  waitUntil([] { return false; }, 5000);
  ASSERT_TRUE(server.startServer()) << server.reason().toStdString();
  ASSERT_TRUE(waitUntil([&] { return printedCodes(out.path()).size() == kBurst; }, kWait))
      << program.standardError().toStdString();

  program.sendSignal(SIGTERM);
  ASSERT_TRUE(program.waitForExit(5000));
  EXPECT_EQ(program.exitCode(), 0);
  const QString log = program.standardError();
  EXPECT_EQ(linesMatching(log, " error "), 1) << log.toStdString();
  EXPECT_EQ(linesMatching(log, "Conectado de nuevo"), 1) << log.toStdString();
  expectLedger(queued, printedCodes(out.path()), queuedCodes(served.companyOnServer()));
}

}  // namespace
}  // namespace radevore::testing
