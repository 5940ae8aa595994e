#include "app/unattended_start.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QScreen>
#include <memory>

#include "app/data_module.h"
#include "app/main_window.h"
#include "app_fixture.h"
#include "support/recording_messages.h"

namespace radevore::app {
namespace {

using testing::RecordingMessages;

// What the window offered the print run at the moment it ran.
struct RunSeen {
  QString prefix;
  QString priceListText;
  std::optional<qint64> priceListKey;
};

// The window with what the screen showed of it at the moment the login sequence had put up its
// "Conectando..." panel, just before the connections open.
class ScreenAtLoginWindow : public Tflabrions {
 public:
  using Tflabrions::Tflabrions;
  void showPanel(const QString& text) override {
    Tflabrions::showPanel(text);
    if (text.startsWith(QStringLiteral("Conectando")) && onScreen.isNull()) {
      onScreen = screen()->grabWindow(winId()).toImage();
      panel = findChild<QLabel*>(QStringLiteral("Panel5"))->geometry();
    }
  }
  QImage onScreen;
  QRect panel;
};

// Pixels of the panel's navy text within `area` of the screen image.
int navyPixels(const QImage& shot, const QRect& area) {
  int count = 0;
  for (int y = area.top(); y <= area.bottom() && y < shot.height(); ++y) {
    for (int x = area.left(); x <= area.right() && x < shot.width(); ++x) {
      const QRgb c = shot.pixel(x, y);
      if (qBlue(c) > qRed(c) + 40 && qBlue(c) > qGreen(c) + 40) ++count;
    }
  }
  return count;
}

class UnattendedStartTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    suite_ = std::make_unique<testing::SuiteInstallation>();
    installation_ = &suite_->installation;
  }
  static void TearDownTestSuite() {
    installation_ = nullptr;
    suite_.reset();
  }
  void SetUp() override {
    settings_.setDirectory(install_.path());
    testing::writeFile(install_.file("SERVIDORES.cfg"), "file1\r\nfile2\r\n");
    window_ = std::make_unique<Tflabrions>(fdm_, messages_);
    window_->setPrintCommand([this] {
      runs_.push_back({window_->prefix(), window_->priceListText(), window_->priceListKey()});
      return print::PrintRunResult::Printed;
    });
  }
  UnattendedOutcome start(const QStringList& parameters) {
    UnattendedOutcome outcome;
    UnattendedStart unattended(*window_, fdm_, parameters,
                               [&](const UnattendedOutcome& o) { outcome = o; });
    unattended.FormActivate();
    unattended.FormActivate();  // a later activation repeats nothing
    return outcome;
  }
  QStringList params(const QString& password, const QString& prefix, const QString& list) {
    return {"radevore", installation_->root, "SYSDBA", password, "001", prefix, list};
  }

  static inline std::unique_ptr<testing::SuiteInstallation> suite_;
  static inline const testing::Installation* installation_ = nullptr;
  testing::SettingsScope settings_;
  testing::TempDir install_;
  RecordingMessages messages_;
  Fdm fdm_{messages_};
  std::unique_ptr<Tflabrions> window_;
  std::vector<RunSeen> runs_;
};

TEST_F(UnattendedStartTest, SixParametersLogInChooseAndPrintOnce) {
  const UnattendedOutcome outcome = start(params("masterkey", "RT02", "12"));
  EXPECT_EQ(outcome.kind, UnattendedOutcome::Kind::Ran);
  EXPECT_EQ(outcome.result, print::PrintRunResult::Printed);
  EXPECT_TRUE(messages_.entries.empty());
  EXPECT_EQ(window_->servers(), QStringList{installation_->root});
  EXPECT_EQ(window_->userName(), "SYSDBA");
  EXPECT_EQ(window_->company(), "001");
  EXPECT_TRUE(fdm_.Nexora.isOpen());
  ASSERT_EQ(runs_.size(), 1u);
  EXPECT_EQ(runs_[0].prefix, "RT02");
  EXPECT_EQ(runs_[0].priceListText, "MAYORISTAS");
  EXPECT_EQ(runs_[0].priceListKey, 12);
}

TEST_F(UnattendedStartTest, UnknownPrefixAndPriceListChooseNothing) {
  const UnattendedOutcome outcome = start(params("masterkey", "OLD", "99"));
  EXPECT_EQ(outcome.kind, UnattendedOutcome::Kind::Ran);
  ASSERT_EQ(runs_.size(), 1u);
  EXPECT_EQ(runs_[0].prefix, "");
  EXPECT_EQ(runs_[0].priceListText, "");
  EXPECT_EQ(runs_[0].priceListKey, std::nullopt);
}

TEST_F(UnattendedStartTest, FourParametersStartInteractively) {
  const UnattendedOutcome outcome =
      start({"radevore", installation_->root, "SYSDBA", "masterkey", "001"});
  EXPECT_EQ(outcome.kind, UnattendedOutcome::Kind::Interactive);
  EXPECT_EQ(window_->servers(), (QStringList{"file1", "file2"}));
  EXPECT_FALSE(fdm_.ConGeneral.isOpen());
  EXPECT_TRUE(runs_.empty());
}

TEST_F(UnattendedStartTest, ParametersAfterTheSixthChangeNothing) {
  QStringList p = params("masterkey", "RT01", "3");
  p << "extra"
    << "more";
  start(p);
  ASSERT_EQ(runs_.size(), 1u);
  EXPECT_EQ(runs_[0].prefix, "RT01");
  EXPECT_EQ(runs_[0].priceListKey, 3);
}

TEST_F(UnattendedStartTest, FailedLoginPrintsNothing) {
  const UnattendedOutcome outcome = start(
      {"radevore", installation_->root + "/absent", "SYSDBA", "masterkey", "001", "RT01", "4"});
  EXPECT_EQ(outcome.kind, UnattendedOutcome::Kind::NotConnected);
  EXPECT_TRUE(runs_.empty());
  ASSERT_EQ(messages_.entries.size(), 1u);
  EXPECT_EQ(messages_.entries[0].kind, RecordingMessages::Kind::Error);
}

TEST_F(UnattendedStartTest, EmptyCompanyStopsAtTheGuardSilently) {
  const UnattendedOutcome outcome =
      start({"radevore", installation_->root, "SYSDBA", "masterkey", "", "RT01", "4"});
  EXPECT_EQ(outcome.kind, UnattendedOutcome::Kind::NotConnected);
  EXPECT_TRUE(runs_.empty());
  EXPECT_TRUE(messages_.entries.empty());
}

// The activation that starts the unattended login can come before the platform has shown the
// window; the window must still be on the screen, with its panel, while the login connects.
TEST_F(UnattendedStartTest, WindowIsOnTheScreenWithThePanelBeforeTheLoginConnects) {
  ScreenAtLoginWindow window(fdm_, messages_);
  window.setPrintCommand([] { return print::PrintRunResult::Printed; });
  UnattendedOutcome outcome;
  UnattendedStart unattended(window, fdm_, params("masterkey", "RT01", "4"),
                             [&](const UnattendedOutcome& o) { outcome = o; });
  window.show();
  unattended.FormActivate();  // at once, as the first activation does
  EXPECT_EQ(outcome.kind, UnattendedOutcome::Kind::Ran);

  ASSERT_FALSE(window.onScreen.isNull());
  ASSERT_GE(window.onScreen.width(), window.panel.right());
  EXPECT_GT(navyPixels(window.onScreen, window.panel), 30);
  // The rest of the window is painted too: its top shows the explanation text, in dark pixels
  // on a light background.
  const QImage top = window.onScreen.copy(0, 0, window.onScreen.width(), window.panel.top());
  int dark = 0;
  int light = 0;
  for (int y = 0; y < top.height(); ++y) {
    for (int x = 0; x < top.width(); ++x) {
      const int grey = qGray(top.pixel(x, y));
      if (grey < 80) ++dark;
      if (grey > 180) ++light;
    }
  }
  EXPECT_GT(dark, 50);
  EXPECT_GT(light, top.width() * top.height() / 2);
}

TEST_F(UnattendedStartTest, ActivationDuringTheSequenceStartsNoNestedRun) {
  UnattendedStart* self = nullptr;
  int outcomes = 0;
  UnattendedStart unattended(*window_, fdm_, params("masterkey", "RT01", "4"),
                             [&](const UnattendedOutcome&) { ++outcomes; });
  self = &unattended;
  window_->setPrintCommand([&] {
    self->FormActivate();  // as a message box of the run would re-activate the window
    runs_.push_back({});
    return print::PrintRunResult::Printed;
  });
  unattended.FormActivate();
  EXPECT_EQ(runs_.size(), 1u);
  EXPECT_EQ(outcomes, 1);
}

}  // namespace
}  // namespace radevore::app
