// One F2 gives one print run, also when the run leaves the window without a focus widget (a
// message box, the job's status window and its "Cancel").

#include <gtest/gtest.h>

#include <QComboBox>
#include <QTest>
#include <QTimer>

#include "app_scope.h"
#include "support/label_ledger.h"
#include "window_station.h"

namespace radevore {
namespace {

using print::PrintRunResult;

TEST(OneKeyOneRunFault, F2ThenCancelIsOneCancelledRunAndKeepsEveryLabel) {
  testing::AppScope scope;
  testing::WindowStation station(scope.file("pdf"));
  db::Attachment company = db::Attachment::open(testing::companyParams(scope.installation));
  const QStringList queued = testing::queueNumberedLabels(company, "RT01", 60);
  station.login(scope.installation, "RT01");
  ASSERT_TRUE(station.messages.entries.empty()) << station.messages.texts().front().toStdString();

  station.window.show();
  station.window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&station.window));
  auto* prefix = station.window.findChild<QComboBox*>("Prefijo");
  prefix->setFocus();

  // The user presses "Cancel" as soon as the status window shows.
  QTimer cancel;
  QObject::connect(&cancel, &QTimer::timeout, [&] {
    if (QPushButton* button = testing::statusCancelButton()) {
      button->click();
      cancel.stop();
    }
  });
  cancel.start(0);
  QTest::keyClick(prefix, Qt::Key_F2);
  cancel.stop();

  EXPECT_EQ(station.results, std::vector<PrintRunResult>{PrintRunResult::Cancelled});
  const testing::LabelBalance balance =
      testing::labelBalance(queued, testing::printedArticlesIn(scope.file("pdf")),
                            testing::queuedArticles(company, "RT01"));
  EXPECT_TRUE(balance.balanced()) << balance.describe().toStdString();
  EXPECT_EQ(balance.printed, 0);
  EXPECT_EQ(balance.stillQueued, 60);
  EXPECT_TRUE(station.messages.entries.empty());

  // The next F2 is one run again, and prints each label once.
  QTest::keyClick(prefix, Qt::Key_F2);
  EXPECT_EQ(station.results,
            (std::vector<PrintRunResult>{PrintRunResult::Cancelled, PrintRunResult::Printed}));
  const testing::LabelBalance after =
      testing::labelBalance(queued, testing::printedArticlesIn(scope.file("pdf")),
                            testing::queuedArticles(company, "RT01"));
  EXPECT_TRUE(after.balanced()) << after.describe().toStdString();
  EXPECT_EQ(after.printed, 60);
}

}  // namespace
}  // namespace radevore
