// The window left alone while its database server restarts: one box for the outage at most,
// and the labels queued meanwhile print at the next tick after the server is back.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>

#include "app/connection_keeper.h"
#include "app/data_module.h"
#include "app/main_window.h"
#include "app/outage_notices.h"
#include "app_fixture.h"
#include "print/print_run.h"
#include "report/print_service.h"
#include "report/qt_report_system.h"
#include "support/firebird_server.h"
#include "support/label_ledger.h"
#include "support/program_process.h"
#include "support/recording_messages.h"
#include "support/served_installation.h"

namespace radevore::app {
namespace {

using testing::RecordingMessages;

constexpr int kWait = 120000;

int visibleBoxes() {
  int count = 0;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (qobject_cast<QMessageBox*>(widget) && widget->isVisible()) ++count;
  }
  return count;
}

TEST(OutageWindow, ServerRestartShowsOneBoxAndPrintingGoesOnByItself) {
  testing::FirebirdServer server;
  ASSERT_TRUE(server.available()) << server.reason().toStdString();
  testing::ServedInstallation served(server, QStringLiteral("inst"), testing::queueLabelsSql(1, 5));
  QStringList queued = testing::queuedCodes(served.companyOnServer());
  testing::SettingsScope settings;
  settings.setDirectory(served.installation.root);
  testing::TempDir out;

  RecordingMessages messages;
  Fdm fdm(messages);
  Tflabrions window(fdm, messages);
  report::QtPrintService printers;
  report::QtReportSystem reports(printers, report::PdfDirectory{out.path()});
  ConnectionKeeper keeper(window, fdm, messages, windowOutageNotices(window));
  print::PrintRun run(window, keeper, reports, fdm.configuration(), fdm.printerAliases(), printers);
  window.setPrintCommand([&] { return runKeepingConnection(keeper, run, fdm); });
  window.setRepeatInterval(1000);
  window.show();

  window.setServers({served.serverText});
  window.setUserName("SYSDBA");
  window.setPassword(server.password());
  window.setCompany("001");
  window.CiaExit();
  window.selectPrefixByKey("RT01");
  window.selectPriceListByKey("4");
  ASSERT_TRUE(fdm.Nexora.isOpen());

  int mostBoxes = 0;
  auto printedWatchingBoxes = [&](int count) {
    return testing::waitUntil(
        [&] {
          mostBoxes = std::max(mostBoxes, visibleBoxes());
          return testing::printedCodes(out.path()).size() == count;
        },
        kWait);
  };
  ASSERT_TRUE(printedWatchingBoxes(5));

  server.stopServer();
  // Several ticks while the server is down.
  ASSERT_TRUE(testing::waitUntil(
      [&] {
        mostBoxes = std::max(mostBoxes, visibleBoxes());
        return keeper.inOutage() && visibleBoxes() == 1;
      },
      kWait));
  testing::waitUntil(
      [&] {
        mostBoxes = std::max(mostBoxes, visibleBoxes());
        return false;
      },
      3500);
  testing::queueLabels(served.companyEmbedded(), 6, 5);
  for (int i = 6; i <= 10; ++i) queued.append(testing::labelCode(i));
  ASSERT_TRUE(server.startServer()) << server.reason().toStdString();

  ASSERT_TRUE(printedWatchingBoxes(10));
  EXPECT_EQ(mostBoxes, 1);
  EXPECT_FALSE(keeper.inOutage());
  for (const RecordingMessages::Entry& entry : messages.entries) {
    EXPECT_NE(entry.kind, RecordingMessages::Kind::Error) << entry.text.toStdString();
  }
  testing::expectLedger(queued, testing::printedCodes(out.path()),
                        testing::queuedCodes(served.companyOnServer()));
}

}  // namespace
}  // namespace radevore::app
