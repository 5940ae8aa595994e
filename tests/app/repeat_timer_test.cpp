// The repeat timer driving the real print run: an F2 that comes while a job is still being
// generated is dropped (Qt does not re-enter a timer whose tick is still being handled, so the
// key is what can arrive), and the timer keeps ticking afterwards.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include "app/data_module.h"
#include "app/main_window.h"
#include "app_fixture.h"
#include "print/print_run.h"
#include "print/print_run_fakes.h"
#include "support/recording_messages.h"

namespace radevore::app {
namespace {

TEST(RepeatTimer, TicksDuringARunAreDroppedAndTheRhythmGoesOn) {
  testing::SettingsScope settings;
  testing::TempDir install;
  const testing::Installation inst = testing::makeInstallation(
      install.path(), QStringLiteral("001"),
      QStringLiteral(
          "INSERT INTO ROTULOS_PENDIENTES (PREF_PRE, ARTI_COD) VALUES ('RT01', '00123');"
          "INSERT INTO ROTULOS_PENDIENTES (PREF_PRE, ARTI_COD) VALUES ('RT01', '00200');"));
  settings.setDirectory(install.path());
  testing::writeFile(install.file("SERVIDORES.cfg"), install.path().toUtf8() + "\r\n");
  testing::writeFile(install.file("impresoras.cfg"), "ROTULOS,Zebra_Gondola\r\n");

  testing::RecordingMessages messages;
  Fdm fdm(messages);
  Tflabrions window(fdm, messages);
  testing::RecordingReportSystem reports;
  testing::NoPrinters printers;
  print::PrintRun run(window, messages, reports, fdm.configuration(), fdm.printerAliases(),
                      printers);
  std::vector<print::PrintRunResult> results;
  window.setPrintCommand([&] {
    results.push_back(run.SpeedButton3Click(&fdm.Nexora));
    return results.back();
  });

  window.setUserName("SYSDBA");
  window.setPassword("masterkey");
  window.setCompany("001");
  window.CiaExit();
  ASSERT_TRUE(window.printEnabled());
  ASSERT_EQ(window.prefix(), "RT01");

  // While the job is generated the window handles its messages, as a report engine does after
  // every drawing operation; an F2 comes in meanwhile.
  auto* timer = window.findChild<QTimer*>("Timer1");
  ASSERT_NE(timer, nullptr);
  reports.duringPrint = [&](report::RecordingCanvas&) {
    const size_t before = results.size();
    QTest::keyClick(&window, Qt::Key_F2);
    QTest::qWait(100);
    ASSERT_EQ(results.size(), before + 1);
    EXPECT_EQ(results.back(), print::PrintRunResult::Busy);
  };
  timer->setInterval(20);

  // Wait for the run that prints and then for a few more ticks after it.
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 10000 &&
         std::count(results.begin(), results.end(), print::PrintRunResult::NothingToPrint) < 3) {
    QTest::qWait(10);
  }
  timer->stop();

  EXPECT_EQ(reports.jobs.size(), 1u);
  EXPECT_EQ(std::count(results.begin(), results.end(), print::PrintRunResult::Printed), 1);
  EXPECT_GE(std::count(results.begin(), results.end(), print::PrintRunResult::Busy), 1);
  EXPECT_GE(std::count(results.begin(), results.end(), print::PrintRunResult::NothingToPrint), 3);
  EXPECT_TRUE(messages.entries.empty()) << messages.texts().front().toStdString();
  EXPECT_FALSE(window.panelVisible());
}

}  // namespace
}  // namespace radevore::app
