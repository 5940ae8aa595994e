// A run longer than one batch of label records: the records are read from the open procedure
// result while the labels are drawn. However the job ends, the labels are either all printed
// (and off the queue) or all still queued.

#include <gtest/gtest.h>

#include <stdexcept>

#include "db/attachment.h"
#include "print/print_run.h"
#include "print/print_run_fakes.h"
#include "report/recording_canvas.h"
#include "support/fixture_db.h"
#include "support/recording_messages.h"

namespace radevore {
namespace {

using testing::FakeAliases;
using testing::FakePrintWindow;
using testing::FakeSettings;
using testing::NoPrinters;
using testing::RecordingMessages;

constexpr int kQueued = 1300;  // three batches of records

struct StopJob {};

// Runs each job on a recording canvas; the job ends after `stopAfterLabels` labels (each label
// draws one frame) with a cancel or with an error of the output, as chosen.
class StoppingReportSystem : public report::ReportSystem {
 public:
  enum class Stop { Never, Cancel, OutputError };
  friend void PrintTo(Stop s, std::ostream* os) {
    *os << (s == Stop::Never ? "Never" : s == Stop::Cancel ? "Cancel" : "OutputError");
  }
  Stop stop = Stop::Never;
  int stopAfterLabels = 0;
  int labelsDrawn = 0;
  bool handedOver = false;

  report::ReportOutcome RunReport(const Callback& beforePrint, const Callback& print) override {
    report::RecordingCanvas canvas;
    canvas.setAfterCallHook([this](const report::CanvasCall& call) {
      if (call.op != u"Rectangle") return;
      ++labelsDrawn;
      if (stop == Stop::Never || labelsDrawn < stopAfterLabels) return;
      if (stop == Stop::Cancel) throw StopJob{};
      throw std::runtime_error("No queda espacio en el disco");
    });
    beforePrint(canvas);
    try {
      print(canvas);
    } catch (const StopJob&) {
      return report::ReportOutcome::Cancelled;
    }
    handedOver = true;
    return report::ReportOutcome::Printed;
  }
};

class StreamedLabelsFaultTest : public ::testing::TestWithParam<StoppingReportSystem::Stop> {
 protected:
  void SetUp() override {
    installation_ = testing::makeInstallation(dir_.path());
    company_ = db::Attachment::open(testing::companyParams(installation_));
    company_.execute(
        QStringLiteral("execute block as declare k integer = 0; begin while (k < %1) do begin "
                       "insert into rotulos_pendientes (pref_pre, arti_cod) values ('RT01', "
                       "case mod(:k, 4) when 0 then '00123' when 1 then '00500' when 2 then 'A''1' "
                       "else 'NOEXISTE' end); k = k + 1; end end")
            .arg(kQueued));
  }

  int queued() {
    return static_cast<int>(
        company_.query(QStringLiteral("select count(*) from rotulos_pendientes"))
            .rows[0]
            .at(0)
            .asInteger());
  }

  testing::TempDir dir_;
  testing::Installation installation_;
  db::Attachment company_;
};

TEST_P(StreamedLabelsFaultTest, PrintedPlusQueuedIsWhatWasQueued) {
  ASSERT_EQ(queued(), kQueued);
  FakePrintWindow window;
  window.prefixText = QStringLiteral("RT01");
  RecordingMessages messages;
  FakeSettings settings;
  FakeAliases aliases;
  NoPrinters printers;
  StoppingReportSystem reports;
  reports.stop = GetParam();
  reports.stopAfterLabels = 700;  // in the second batch
  print::PrintRun run(window, messages, reports, settings, aliases, printers);

  const print::PrintRunResult result = run.SpeedButton3Click(&company_);

  const int printed = reports.handedOver ? reports.labelsDrawn : 0;
  const int left = queued();
  EXPECT_EQ(printed + left, kQueued);
  EXPECT_TRUE(printed == 0 || left == 0);
  switch (GetParam()) {
    case StoppingReportSystem::Stop::Never:
      EXPECT_EQ(result, print::PrintRunResult::Printed);
      EXPECT_EQ(printed, kQueued);
      break;
    case StoppingReportSystem::Stop::Cancel:
      EXPECT_EQ(result, print::PrintRunResult::Cancelled);
      EXPECT_EQ(left, kQueued);
      break;
    case StoppingReportSystem::Stop::OutputError:
      EXPECT_EQ(result, print::PrintRunResult::Failed);
      EXPECT_EQ(left, kQueued);
      ASSERT_EQ(messages.texts().size(), 1u);
      EXPECT_EQ(messages.texts()[0], "No queda espacio en el disco");
      break;
  }
  // The next run finds what this one left.
  StoppingReportSystem next;
  print::PrintRun again(window, messages, next, settings, aliases, printers);
  EXPECT_EQ(again.SpeedButton3Click(&company_),
            left == 0 ? print::PrintRunResult::NothingToPrint : print::PrintRunResult::Printed);
  EXPECT_EQ(next.labelsDrawn, left);
  EXPECT_EQ(queued(), 0);
}

INSTANTIATE_TEST_SUITE_P(Endings, StreamedLabelsFaultTest,
                         ::testing::Values(StoppingReportSystem::Stop::Never,
                                           StoppingReportSystem::Stop::Cancel,
                                           StoppingReportSystem::Stop::OutputError));

}  // namespace
}  // namespace radevore
