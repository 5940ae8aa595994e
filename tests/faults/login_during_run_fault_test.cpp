// A login asked for while a print run holds the company connection (leaving the Texto field
// while the status window is up) waits until the run has ended.

#include <gtest/gtest.h>

#include <QFocusEvent>
#include <QLineEdit>
#include <QTimer>

#include "app/connection_state.h"
#include "app_scope.h"
#include "support/label_ledger.h"
#include "window_station.h"

namespace radevore {
namespace {

using print::PrintRunResult;

TEST(LoginDuringRunFault, LeavingTextoDuringAJobLogsInAfterTheRunNotUnderIt) {
  testing::AppScope scope;
  testing::WindowStation station(scope.file("pdf"));
  db::Attachment company = db::Attachment::open(testing::companyParams(scope.installation));
  const QStringList queued = testing::queueNumberedLabels(company, "RT01", 400);
  station.login(scope.installation, "RT01");
  ASSERT_TRUE(station.messages.entries.empty());
  station.window.show();

  // While the job runs the user types another company (one without a database) and leaves
  // Texto for the next field.
  bool left = false;
  QTimer user;
  QObject::connect(&user, &QTimer::timeout, [&] {
    if (!testing::statusCancelButton()) return;
    user.stop();
    station.window.setCompany(QStringLiteral("002"));
    auto* texto = station.window.findChild<QLineEdit*>("Texto");
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(texto, &leave);
    left = true;
  });
  user.start(0);
  EXPECT_EQ(station.window.SpeedButton3Click(), PrintRunResult::Printed);
  user.stop();

  EXPECT_TRUE(left);
  EXPECT_EQ(station.results, std::vector<PrintRunResult>{PrintRunResult::Printed});
  const testing::LabelBalance balance =
      testing::labelBalance(queued, testing::printedArticlesIn(scope.file("pdf")),
                            testing::queuedArticles(company, "RT01"));
  EXPECT_TRUE(balance.balanced()) << balance.describe().toStdString();
  EXPECT_EQ(balance.printed, 400);
  EXPECT_EQ(balance.stillQueued, 0);

  // The login ran once the run was over: company 002 has no database, so its error is the one
  // message, and the company connection is closed now.
  ASSERT_EQ(station.messages.entries.size(), 1u);
  EXPECT_EQ(station.messages.entries[0].kind, testing::RecordingMessages::Kind::Error);
  EXPECT_TRUE(station.messages.entries[0].text.contains("002"))
      << station.messages.entries[0].text.toStdString();
  EXPECT_EQ(station.fdm.nexoraState(), app::ConnectionState::Closed);
}

}  // namespace
}  // namespace radevore
