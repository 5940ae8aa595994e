#include "report/qt_report_system.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstring>

#include "support/case_printing.h"
#include "support/fake_print_service.h"
#include "support/pdf_probe.h"
#include "support/qt_application.h"

namespace radevore::report {
namespace {

using testing::FakePrintService;

QDialog* statusWindow() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    auto* dialog = qobject_cast<QDialog*>(w);
    if (dialog && dialog->isVisible() && dialog->windowTitle() == QLatin1String("Estado"))
      return dialog;
  }
  return nullptr;
}

class ReportJobs : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::ensureQtApplication();
    ASSERT_TRUE(dir_.isValid());
    service_.addLabelPrinter(QStringLiteral("Mostrador"));
    service_.addLabelPrinter(QStringLiteral("Bodega"));
    service_.printers[1].defaultPaper = QPageSize(QPageSize::A4);
    service_.defaultName = QStringLiteral("Mostrador");
  }

  // Temporary files of unfinished jobs are hidden; they count too.
  QStringList files() const {
    return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
  }
  QString creator() const {
    return testing::pdfInfo(system_.lastPdfPath()).value(QStringLiteral("Creator"));
  }

  QTemporaryDir dir_;
  FakePrintService service_;
  QtReportSystem system_{service_, PdfDirectory{dir_.path()}};
};

TEST_F(ReportJobs, StatusWindowShowsThePageBeingGenerated) {
  QStringList seen;
  auto look = [&] {
    QDialog* status = statusWindow();
    ASSERT_NE(status, nullptr);
    ASSERT_NE(status->findChild<QPushButton*>(), nullptr);
    EXPECT_EQ(status->findChild<QPushButton*>()->text(), QStringLiteral("Cancel"));
    seen << status->findChild<QLabel*>()->text();
  };
  system_.RunReport([&](ReportCanvas&) { look(); },
                    [&](ReportCanvas& c) {
                      look();
                      c.NewPage();
                      look();
                      c.NewPage();
                      look();
                    });
  EXPECT_EQ(seen, (QStringList{"Generating page 1", "Generating page 1", "Generating page 2",
                               "Generating page 3"}));
  EXPECT_EQ(statusWindow(), nullptr);  // closed once the job is handed over
}

TEST_F(ReportJobs, CancelStopsAtTheNextDrawingAndWritesNothing) {
  bool reachedAfterCancel = false;
  const ReportOutcome outcome =
      system_.RunReport([](ReportCanvas& c) { c.SetTitle(QStringLiteral("Rótulo articulo 1")); },
                        [&](ReportCanvas& c) {
                          c.PrintAt(1, 1, QStringLiteral("uno"));
                          QDialog* status = statusWindow();
                          ASSERT_NE(status, nullptr);
                          status->findChild<QPushButton*>()->click();
                          c.PrintAt(1, 2, QStringLiteral("dos"));
                          reachedAfterCancel = true;
                        });
  EXPECT_EQ(outcome, ReportOutcome::Cancelled);
  EXPECT_FALSE(reachedAfterCancel);
  EXPECT_TRUE(files().isEmpty());
  EXPECT_TRUE(system_.lastPdfPath().isEmpty());
  EXPECT_EQ(statusWindow(), nullptr);
  // The next job runs normally.
  EXPECT_EQ(system_.RunReport({}, [](ReportCanvas& c) { c.PrintAt(1, 1, "tres"); }),
            ReportOutcome::Printed);
  EXPECT_EQ(files().size(), 1);
}

TEST_F(ReportJobs, ErrorInTheCallbackPropagatesAndWritesNothing) {
  EXPECT_THROW(system_.RunReport({},
                                 [](ReportCanvas& c) {
                                   c.PrintAt(1, 1, QStringLiteral("uno"));
                                   throw std::runtime_error("lookup failed");
                                 }),
               std::runtime_error);
  EXPECT_TRUE(files().isEmpty());
  EXPECT_EQ(statusWindow(), nullptr);
}

TEST_F(ReportJobs, UnwritableDirectoryRaisesTheSystemsText) {
  // Root may write anywhere, so the directory is a path through a regular file.
  QFile plain(dir_.filePath(QStringLiteral("plain")));
  ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
  plain.close();
  QtReportSystem system(service_, PdfDirectory{plain.fileName() + QStringLiteral("/out")});
  try {
    system.RunReport({}, [](ReportCanvas& c) { c.PrintAt(1, 1, QStringLiteral("x")); });
    FAIL() << "no error";
  } catch (const ReportError& e) {
    EXPECT_TRUE(e.text().startsWith(QStringLiteral("Cannot create file \"") + plain.fileName()))
        << e.text().toStdString();
    EXPECT_TRUE(e.text().endsWith(QString::fromLocal8Bit(std::strerror(ENOTDIR))))
        << e.text().toStdString();
  }
  EXPECT_TRUE(system.lastPdfPath().isEmpty());
  EXPECT_EQ(files(), QStringList{QStringLiteral("plain")});
}

// While the pages are written the file has a temporary name; only the finished file gets its
// final name, and a job that fails while writing leaves nothing behind.
TEST_F(ReportJobs, OutputHasItsFinalNameOnlyWhenFinished) {
  QStringList during;
  system_.RunReport({}, [&](ReportCanvas& c) {
    c.PrintAt(1, 1, QStringLiteral("uno"));
    c.NewPage();
    during = files();
  });
  // Unnamed, or a hidden temporary name where the file system has no unnamed files.
  for (const QString& name : during)
    EXPECT_TRUE(name.startsWith('.') && !name.endsWith(QStringLiteral(".pdf")))
        << name.toStdString();
  EXPECT_EQ(files(), QStringList{QFileInfo(system_.lastPdfPath()).fileName()});
  EXPECT_TRUE(system_.lastPdfPath().endsWith(QStringLiteral(".pdf")));
  EXPECT_EQ(QFileInfo(system_.lastPdfPath()).permissions() & QFile::ReadOther, QFile::ReadOther);
}

// A disk that fills up while the pages are written (here a file size limit of 64 KiB).
TEST_F(ReportJobs, FullDiskWhileWritingRaisesTheSystemsTextAndLeavesNothing) {
  struct rlimit saved {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previous = ::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 64 * 1024;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  QString error;
  int pagesDrawn = 0;
  try {
    system_.RunReport({}, [&](ReportCanvas& c) {
      for (int i = 0; i < 5000; ++i) {
        c.NewPage();
        c.PrintAt(1, 1, QStringLiteral("página %1").arg(i));
        ++pagesDrawn;
      }
    });
  } catch (const ReportError& e) {
    error = e.text();
  }
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, previous);
  EXPECT_TRUE(error.startsWith(QStringLiteral("Cannot write file \"") + dir_.path()))
      << error.toStdString();
  EXPECT_TRUE(error.endsWith(QString::fromLocal8Bit(std::strerror(EFBIG)))) << error.toStdString();
  // The job stopped soon after the write failed, not at its end.
  EXPECT_LT(pagesDrawn, 5000);
  EXPECT_TRUE(files().isEmpty()) << files().join(' ').toStdString();
  EXPECT_TRUE(system_.lastPdfPath().isEmpty());
}

TEST_F(ReportJobs, EveryPageIsPrintedHoweverManyThereAre) {
  int lastPage = 0;
  system_.RunReport({}, [&](ReportCanvas& c) {
    for (int i = 0; i < 10001; ++i) c.NewPage();
    c.PrintAt(1, 1, QStringLiteral("late"));
    lastPage = statusWindow()->findChild<QLabel*>()->text().split(' ').last().toInt();
  });
  EXPECT_EQ(lastPage, 10002);
  EXPECT_EQ(testing::pdfInfo(system_.lastPdfPath()).value(QStringLiteral("Pages")),
            QStringLiteral("10002"));
  const auto words = testing::pdfWords(system_.lastPdfPath());
  ASSERT_EQ(words.size(), 1u);
  EXPECT_EQ(words[0].page, 10002);
  EXPECT_EQ(words[0].text, QStringLiteral("late"));
}

TEST_F(ReportJobs, DrawingLandsOnThePageItWasDrawnOn) {
  system_.RunReport({}, [](ReportCanvas& c) {
    c.PrintAt(1, 1, QStringLiteral("one"));
    c.NewPage();
    c.PrintAt(1, 1, QStringLiteral("two"));
    c.NewPage();
    c.PrintAt(1, 1, QStringLiteral("three"));
  });
  QStringList words;
  for (const auto& w : testing::pdfWords(system_.lastPdfPath()))
    words << QStringLiteral("%1:%2").arg(w.page).arg(w.text);
  EXPECT_EQ(words, (QStringList{"1:one", "2:two", "3:three"}));
}

// The job's printer, page and orientation as the PDF shows them.
struct JobResult {
  QString creator;
  QSizeF points;
  bool operator==(const JobResult&) const = default;
};

TEST_F(ReportJobs, PrinterAndPaperCarryToLaterJobsOrientationDoesNot) {
  auto job = [&](const ReportSystem::Callback& setup) {
    system_.RunReport(setup, [](ReportCanvas&) {});
    return JobResult{creator(), testing::pdfPageSizePoints(system_.lastPdfPath())};
  };
  auto sizeText = [](const JobResult& r) {
    return QStringLiteral("%1 %2x%3").arg(r.creator).arg(r.points.width()).arg(r.points.height());
  };
  std::vector<std::pair<ReportSystem::Callback, JobResult>> steps = {
      // The first job goes to the default printer on its own paper.
      {{}, {"radevore; printer=Mostrador", QSizeF(612, 792)}},
      {[](ReportCanvas& c) {
         c.SelectPrinter(1);
         c.SetPaperSize(0, 4.0, 2.5);
         c.SetOrientation(Orientation::Landscape);
       },
       {"radevore; printer=Bodega", QSizeF(180, 288)}},
      // No printer chosen: the same printer and paper, back to portrait.
      {{}, {"radevore; printer=Bodega", QSizeF(288, 180)}},
      // Choosing the current printer keeps its paper; an index below -1 does nothing.
      {[](ReportCanvas& c) { c.SelectPrinter(1); }, {"radevore; printer=Bodega", QSizeF(288, 180)}},
      {[](ReportCanvas& c) { c.SelectPrinter(-2); },
       {"radevore; printer=Bodega", QSizeF(288, 180)}},
      // Another printer brings its own default paper.
      {[](ReportCanvas& c) { c.SelectPrinter(-1); },
       {"radevore; printer=Mostrador", QSizeF(612, 792)}},
      {[](ReportCanvas& c) { c.SelectPrinter(1); }, {"radevore; printer=Bodega", QSizeF(595, 842)}},
  };
  for (size_t i = 0; i < steps.size(); ++i) {
    EXPECT_EQ(sizeText(job(steps[i].first)), sizeText(steps[i].second)) << "job " << i + 1;
  }
}

struct PaperCase {
  const char* name;
  double width, height;
  std::optional<QSize> expected;  // the custom paper afterwards; nullopt: none
};

void PrintTo(const PaperCase& c, std::ostream* os) {
  using radevore::testing::printable;
  *os << c.name << " " << c.width << "x" << c.height << " in -> " << printable(c.expected);
}

class PaperSizes : public ReportJobs, public ::testing::WithParamInterface<PaperCase> {};

TEST_P(PaperSizes, CustomPaperOnlyWithinThePrintersLimits) {
  const PaperCase& c = GetParam();
  system_.RunReport([&](ReportCanvas& canvas) { canvas.SetPaperSize(0, c.width, c.height); },
                    [](ReportCanvas&) {});
  EXPECT_EQ(system_.printerChoice().customPaper, c.expected);
}

// Limits of the label printer: 127 x 127 to 2032 x 12700 tenths of a millimetre.
INSTANTIATE_TEST_SUITE_P(Limits, PaperSizes,
                         ::testing::Values(PaperCase{"Label", 4.0, 2.5, QSize(1016, 635)},
                                           PaperCase{"ZeroHeight", 4.0, 0.0, std::nullopt},
                                           PaperCase{"ZeroWidth", 0.0, 2.5, std::nullopt},
                                           PaperCase{"Smallest", 0.5, 0.5, QSize(127, 127)},
                                           PaperCase{"Largest", 8.0, 50.0, QSize(2032, 12700)},
                                           PaperCase{"TooNarrow", 0.49, 2.0, std::nullopt},
                                           PaperCase{"TooWide", 8.01, 2.0, std::nullopt},
                                           PaperCase{"TooLong", 4.0, 50.01, std::nullopt},
                                           PaperCase{"RoundsToZero", 0.001, 2.0, std::nullopt}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReportJobs, PrinterWithoutCustomPaperKeepsItsOwn) {
  service_.printers[0].customPaper.reset();
  system_.RunReport([](ReportCanvas& c) { c.SetPaperSize(0, 4.0, 2.5); }, [](ReportCanvas&) {});
  EXPECT_EQ(testing::pdfPageSizePoints(system_.lastPdfPath()), QSizeF(612, 792));
}

struct RoundingCase {
  double inches;
  int tenths;
};

void PrintTo(const RoundingCase& c, std::ostream* os) {
  *os << c.inches << " in -> " << c.tenths << " tenths of a millimetre";
}

class PaperRounding : public ::testing::TestWithParam<RoundingCase> {};

TEST_P(PaperRounding, TenthsOfMillimetreRoundTiesToEven) {
  EXPECT_EQ(tenthsOfMillimetre(GetParam().inches), GetParam().tenths);
}

INSTANTIATE_TEST_SUITE_P(Values, PaperRounding,
                         ::testing::Values(RoundingCase{4.0, 1016}, RoundingCase{2.5, 635},
                                           RoundingCase{0.25, 64},   // 63.5
                                           RoundingCase{0.75, 190},  // 190.5
                                           RoundingCase{1.25, 318},  // 317.5
                                           RoundingCase{0.001, 0}, RoundingCase{0.0, 0}));

TEST(ReportPrinters, NoPrinterInstalledIsAnInvalidPrinter) {
  testing::ensureQtApplication();
  FakePrintService none;
  QtReportSystem system(none);
  bool printed = false;
  try {
    system.RunReport({}, [&](ReportCanvas&) { printed = true; });
    FAIL() << "no error";
  } catch (const ReportError& e) {
    EXPECT_EQ(e.text(), QStringLiteral("Invalid Printer -  on  ()"));
  }
  EXPECT_FALSE(printed);
}

}  // namespace
}  // namespace radevore::report
