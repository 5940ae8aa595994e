#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QTemporaryDir>
#include <functional>

#include "report/qt_report_system.h"
#include "support/fake_print_service.h"
#include "support/qt_application.h"

namespace radevore::report {
namespace {

QDialog* statusWindow() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    auto* dialog = qobject_cast<QDialog*>(w);
    if (dialog && dialog->isVisible() && dialog->windowTitle() == QLatin1String("Estado"))
      return dialog;
  }
  return nullptr;
}

// The ways a user closes the status window without its "Cancel" button: the close box, and the
// dialog's reject that Esc ends in. (A synthetic key event here leaves an input device that
// crashes the shared QApplication at exit.)
struct CloseCase {
  const char* name;
  std::function<void(QDialog&)> close;
};

void PrintTo(const CloseCase& c, std::ostream* os) {
  *os << c.name;
}

class StatusWindowClosed : public ::testing::TestWithParam<CloseCase> {};

// Closing the window while pages are generated cancels the job like the button: nothing more is
// drawn, nothing is written, and the next job prints.
TEST_P(StatusWindowClosed, CancelsTheJob) {
  testing::ensureQtApplication();
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  testing::FakePrintService service;
  service.addLabelPrinter(QStringLiteral("Mostrador"));
  service.defaultName = QStringLiteral("Mostrador");
  QtReportSystem system(service, PdfDirectory{dir.path()});

  bool reachedAfterClose = false;
  const ReportOutcome outcome = system.RunReport({}, [&](ReportCanvas& c) {
    c.PrintAt(1, 1, QStringLiteral("uno"));
    QDialog* status = statusWindow();
    ASSERT_NE(status, nullptr);
    GetParam().close(*status);
    c.NewPage();
    c.PrintAt(1, 2, QStringLiteral("dos"));
    reachedAfterClose = true;
  });
  EXPECT_EQ(outcome, ReportOutcome::Cancelled);
  EXPECT_FALSE(reachedAfterClose);
  EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
  EXPECT_EQ(statusWindow(), nullptr);

  EXPECT_EQ(system.RunReport({}, [](ReportCanvas& c) { c.PrintAt(1, 1, "tres"); }),
            ReportOutcome::Printed);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

INSTANTIATE_TEST_SUITE_P(Ways, StatusWindowClosed,
                         ::testing::Values(CloseCase{"CloseBox", [](QDialog& d) { d.close(); }},
                                           CloseCase{"Reject", [](QDialog& d) { d.reject(); }}),
                         [](const ::testing::TestParamInfo<CloseCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace radevore::report
