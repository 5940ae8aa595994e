// Closing the main window in the middle of a job of several thousand labels: the job is cancelled
// and rolled back, the status window goes with it and the program's message loop ends.

#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QLabel>
#include <QTimer>

#include "app_scope.h"
#include "support/label_ledger.h"
#include "window_station.h"

namespace radevore {
namespace {

using print::PrintRunResult;

TEST(WindowClosedFault, ClosingDuringAJobCancelsItKeepsTheLabelsAndEndsTheProgram) {
  testing::AppScope scope;
  testing::WindowStation station(scope.file("pdf"));
  db::Attachment company = db::Attachment::open(testing::companyParams(scope.installation));
  const QStringList queued = testing::queueNumberedLabels(company, "RT01", 3000);
  station.login(scope.installation, "RT01");
  ASSERT_TRUE(station.messages.entries.empty());
  station.window.show();

  // The program's own start: F2 once the message loop runs; the window closed (its close box)
  // once the status window shows a page past the first.
  bool closed = false;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    QPushButton* cancel = testing::statusCancelButton();
    if (!cancel) return;
    const QString page = cancel->parentWidget()->findChild<QLabel*>()->text();
    if (page == QLatin1String("Generating page 1")) return;
    closer.stop();
    closed = station.window.close();
  });
  closer.start(0);
  QTimer::singleShot(0, &station.window, [&] { station.window.SpeedButton3Click(); });
  // A program that stays alive is stopped here after a generous wait, with a status that fails.
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
  watchdog.start(240000);
  const int status = QApplication::exec();

  EXPECT_TRUE(closed);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(station.results, std::vector<PrintRunResult>{PrintRunResult::Cancelled});
  EXPECT_FALSE(testing::anyWindowVisible());
  EXPECT_TRUE(station.messages.entries.empty());
  const testing::LabelBalance balance =
      testing::labelBalance(queued, testing::printedArticlesIn(scope.file("pdf")),
                            testing::queuedArticles(company, "RT01"));
  EXPECT_TRUE(balance.balanced()) << balance.describe().toStdString();
  EXPECT_EQ(balance.printed, 0);
  EXPECT_EQ(balance.stillQueued, 3000);
}

}  // namespace
}  // namespace radevore
