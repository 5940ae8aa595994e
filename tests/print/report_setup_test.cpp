#include "print/report_setup.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>

#include "report/qt_report_system.h"
#include "support/case_printing.h"
#include "support/cups_server.h"
#include "support/pdf_probe.h"
#include "support/qt_application.h"

namespace radevore::print {
namespace {

using report::QtReportSystem;
using report::ReportCanvas;
using report::ReportOutcome;

struct CountingSettings : SettingsLookup {
  QString value;
  QStringList asked;
  QString configuracion(const QString& module, const QString& category,
                        const QString& property) override {
    asked << module + "/" + category + "/" + property;
    return value;
  }
};

struct CountingAliases : PrinterAliases {
  QMap<QString, QString> names;
  QStringList asked;
  QString nombre_impresora(const QString& alias) override {
    asked << alias;
    return names.value(alias);
  }
};

db::Value text(const char* v) {
  return v ? db::Value::text(QString::fromUtf8(v)) : db::Value();
}
// Inches with two decimals, as FORMATOS keeps them; null when absent.
db::Value inches(std::optional<int> hundredths) {
  return hundredths ? db::Value::decimal(*hundredths, 2) : db::Value();
}

labels::LabelFormat format(const char* alias, std::optional<int> width, std::optional<int> height,
                           const char* landscape) {
  auto columns = std::make_shared<db::Columns>(
      QStringList{"FORM_IMPRE", "FORM_PAPELAN", "FORM_PAPELAL", "FORM_HORIZONTAL"});
  return labels::LabelFormat{
      db::Row(columns, {text(alias), inches(width), inches(height), text(landscape)}), {}, {}};
}

// Report set-up against the queues of a private CUPS scheduler: "Defecto" (the default),
// "Previa" (where the previous job went) and "Etiquetas_Caja" (the alias CAJA1's printer).
class ReportSetup : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    testing::ensureQtApplication();
    auto& cups = testing::sharedCupsServer();
    if (!cups.failure().isEmpty()) return;
    for (const char* q : {"Defecto", "Previa", "Etiquetas_Caja", "Sucesiva"})
      cups.addZebraQueue(QString::fromLatin1(q));
    cups.setDefault(QStringLiteral("Defecto"));
  }
  void SetUp() override { ASSERT_EQ(testing::sharedCupsServer().failure(), QString()); }

  // One job of the format on the system, as the print run starts it.
  ReportOutcome run(
      QtReportSystem& system, const labels::LabelFormat& f, const QString& article,
      const report::ReportSystem::Callback& print = [](ReportCanvas&) {}) {
    return system.RunReport(
        [&](ReportCanvas& c) {
          RvSystem1BeforePrint(c, f, article, settings_, aliases_, printers_);
        },
        print);
  }
  // A first job that leaves the system on "Previa".
  void previousJobOnPrevia(QtReportSystem& system) {
    const int index = static_cast<int>(printers_.printerNames().indexOf(QStringLiteral("Previa")));
    ASSERT_GE(index, 0);
    system.RunReport([&](ReportCanvas& c) { c.SelectPrinter(index); }, [](ReportCanvas&) {});
  }

  report::QtPrintService printers_;
  CountingSettings settings_;
  CountingAliases aliases_;
  QTemporaryDir pdfs_;
};

struct AliasCase {
  const char* name;
  const char* alias;            // FORM_IMPRE
  const char* preview;          // PREVISUALIZAR IMPRESION DE DOCUMENTOS
  const char* printerOfAlias;   // impresoras.cfg
  const char* expectedPrinter;  // after the job
  int settingReads;
  int aliasReads;
};

void PrintTo(const AliasCase& c, std::ostream* os) {
  using radevore::testing::printable;
  *os << c.name << " alias " << printable(c.alias) << " preview " << printable(c.preview)
      << " printer of alias " << printable(c.printerOfAlias) << " -> "
      << printable(c.expectedPrinter) << ", reads " << c.settingReads << "/" << c.aliasReads;
}

class AliasChoice : public ReportSetup, public ::testing::WithParamInterface<AliasCase> {};

TEST_P(AliasChoice, PrinterOfTheJob) {
  const AliasCase& c = GetParam();
  settings_.value = QString::fromUtf8(c.preview);
  aliases_.names.insert(QStringLiteral("CAJA1"), QString::fromUtf8(c.printerOfAlias));
  // PDF output: the printer is chosen from the CUPS queues as for printing, without the wait.
  QtReportSystem system(printers_, report::PdfDirectory{pdfs_.path()});
  previousJobOnPrevia(system);
  ASSERT_EQ(run(system, format(c.alias, std::nullopt, std::nullopt, nullptr), "00123"),
            ReportOutcome::Printed);
  EXPECT_EQ(system.printerChoice().printer->name.toStdString(), c.expectedPrinter);
  EXPECT_EQ(testing::pdfInfo(system.lastPdfPath()).value("Creator").toStdString(),
            std::string("radevore; printer=") + c.expectedPrinter);
  EXPECT_EQ(settings_.asked.size(), c.settingReads);
  if (c.settingReads > 0) {
    EXPECT_EQ(settings_.asked.front(),
              QStringLiteral("INVENTARIO/GENERAL/PREVISUALIZAR IMPRESION DE DOCUMENTOS"));
  }
  EXPECT_EQ(aliases_.asked, c.aliasReads ? QStringList{QString::fromUtf8(c.alias)} : QStringList{});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AliasChoice,
    ::testing::Values(
        AliasCase{"CaseIgnored", "CAJA1", "NO", "ETIQUETAS_caja", "Etiquetas_Caja", 1, 1},
        AliasCase{"TrailingBlankGoesToDefault", "CAJA1", "NO", "Etiquetas_Caja ", "Defecto", 1, 1},
        AliasCase{"NotInstalledGoesToDefault", "CAJA1", "", "HP LaserJet 400", "Defecto", 1, 1},
        AliasCase{"PreviewSIKeepsThePrinter", "CAJA1", "SI", "Etiquetas_Caja", "Previa", 1, 0},
        AliasCase{"LowerCaseSiDoesNotCount", "CAJA1", "si", "Etiquetas_Caja", "Etiquetas_Caja", 1,
                  1},
        AliasCase{"SIWithBlankDoesNotCount", "CAJA1", "SI ", "Etiquetas_Caja", "Etiquetas_Caja", 1,
                  1},
        // CAJA2 has no line in impresoras.cfg: asked, no name, no printer chosen.
        AliasCase{"AliasWithoutNameKeepsThePrinter", "CAJA2", "NO", "Etiquetas_Caja", "Previa", 1,
                  1},
        AliasCase{"EmptyAliasReadsNothing", "", "NO", "Etiquetas_Caja", "Previa", 0, 0},
        AliasCase{"NullAliasReadsNothing", nullptr, "NO", "Etiquetas_Caja", "Previa", 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct PaperCase {
  const char* name;
  std::optional<int> width, height;  // hundredths of an inch; nullopt: null
  const char* landscape;
  std::optional<QSize> custom;  // tenths of a millimetre
  std::optional<QSizeF> page;   // inches; nullopt: the queue's own paper
};

void PrintTo(const PaperCase& c, std::ostream* os) {
  using radevore::testing::printable;
  *os << c.name << " " << printable(c.width) << "x" << printable(c.height) << " landscape "
      << printable(c.landscape) << " -> custom " << printable(c.custom) << " page "
      << printable(c.page);
}

class PaperOfFormat : public ReportSetup, public ::testing::WithParamInterface<PaperCase> {};

TEST_P(PaperOfFormat, PaperAndOrientation) {
  const PaperCase& c = GetParam();
  QtReportSystem system(printers_, report::PdfDirectory{pdfs_.path()});
  QSizeF page;
  run(system, format("", c.width, c.height, c.landscape), "1",
      [&](ReportCanvas& canvas) { page = QSizeF(canvas.PageWidth(), canvas.PageHeight()); });
  EXPECT_EQ(system.printerChoice().customPaper, c.custom);
  const QSizeF own = printers_.printer("Defecto")->defaultPaper.size(QPageSize::Inch);
  const QSizeF expected = c.page.value_or(own);
  EXPECT_NEAR(page.width(), expected.width(), 0.005) << c.name;
  EXPECT_NEAR(page.height(), expected.height(), 0.005) << c.name;
  EXPECT_EQ(testing::pdfPageSizePoints(system.lastPdfPath()), expected * 72);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PaperOfFormat,
    ::testing::Values(
        PaperCase{"Label", 400, 250, "N", QSize(1016, 635), QSizeF(4.0, 2.5)},
        PaperCase{"LabelLandscape", 400, 250, "S", QSize(1016, 635), QSizeF(2.5, 4.0)},
        PaperCase{"LowerCaseS", 400, 250, "s", QSize(1016, 635), QSizeF(4.0, 2.5)},
        PaperCase{"NullOrientation", 400, 250, nullptr, QSize(1016, 635), QSizeF(4.0, 2.5)},
        PaperCase{"NullHeight", 400, std::nullopt, nullptr, std::nullopt, std::nullopt},
        PaperCase{"ZeroHeight", 400, 0, nullptr, std::nullopt, std::nullopt},
        PaperCase{"BeyondThePrinter", 900, 300, nullptr, std::nullopt, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReportSetup, TitleIsTheFirstArticle) {
  QtReportSystem system(printers_, report::PdfDirectory{pdfs_.path()});
  run(system, format("", std::nullopt, std::nullopt, nullptr), "");
  EXPECT_EQ(testing::pdfInfo(system.lastPdfPath()).value("Title").toStdString(),
            "Rótulo articulo");  // pdfinfo trims the trailing blank of "Rótulo articulo "
  EXPECT_EQ(jobTitle(QString()), QStringLiteral("Rótulo articulo "));
  EXPECT_EQ(jobTitle(QStringLiteral("00123")), QStringLiteral("Rótulo articulo 00123"));
}

// Real jobs: the alias's queue receives the job with its title and paper; the next job of a
// format without alias or paper goes to the same queue on the same paper.
TEST_F(ReportSetup, JobsReachTheQueueOfTheAliasAndCarryToTheNextJob) {
  auto& cups = testing::sharedCupsServer();
  cups.addZebraQueue(QStringLiteral("Caja_Dos"));
  aliases_.names.insert(QStringLiteral("CAJA2"), QStringLiteral("caja_dos"));
  settings_.value = QStringLiteral("NO");
  QtReportSystem system(printers_);
  ASSERT_EQ(run(system, format("CAJA2", 400, 250, "S"), "00123"), ReportOutcome::Printed);
  double secondWidth = 0;
  ASSERT_EQ(run(system, format("", std::nullopt, std::nullopt, nullptr), "00124",
                [&](ReportCanvas& c) { secondWidth = c.PageWidth(); }),
            ReportOutcome::Printed);
  EXPECT_DOUBLE_EQ(secondWidth, 4.0);
  const auto jobs = cups.completedJobs(QStringLiteral("Caja_Dos"), 2);
  ASSERT_EQ(jobs.size(), 2u);
  EXPECT_EQ(jobs[0].name.toStdString(), "Rótulo articulo 00123");
  EXPECT_EQ(jobs[1].name.toStdString(), "Rótulo articulo 00124");
  EXPECT_EQ(jobs[0].media.toStdString(), "w288h180");
  EXPECT_EQ(jobs[1].media.toStdString(), "w288h180");
  EXPECT_TRUE(cups.completedJobs(QStringLiteral("Defecto"), 0, 0).empty());
}

}  // namespace
}  // namespace radevore::print
