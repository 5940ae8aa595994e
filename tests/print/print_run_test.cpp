#include "print/print_run.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include "db/attachment.h"
#include "labels/label_format.h"
#include "labels/label_record_source.h"
#include "print_run_fakes.h"
#include "report/qt_report_system.h"
#include "support/fixture_db.h"
#include "support/recording_messages.h"

namespace radevore::print {
namespace {

using testing::FakeAliases;
using testing::FakePrintWindow;
using testing::FakeSettings;
using testing::NoPrinters;
using testing::RecordingMessages;
using testing::RecordingReportSystem;

const QString kPriceListSetting =
    QStringLiteral("CODIGO DE LA LISTA DE PRECIOS A MOSTRAR EN ARTICULOS");

QString queue(const QString& prefix, const QStringList& articles) {
  QString sql;
  for (const QString& a : articles) {
    sql +=
        QStringLiteral("INSERT INTO ROTULOS_PENDIENTES (PREF_PRE, ARTI_COD) VALUES ('%1', '%2');\n")
            .arg(prefix, a);
  }
  return sql;
}

// A company database with queued labels, the print run wired to fakes around it.
class PrintRunTest : public ::testing::Test {
 protected:
  void build(const QString& extraSql = {}) {
    installation_ = testing::makeInstallation(dir_.path(), QStringLiteral("001"), extraSql);
    company_ = db::Attachment::open(testing::companyParams(installation_));
  }

  PrintRun makeRun(report::ReportSystem& reports) {
    return PrintRun(window_, messages_, reports, settings_, aliases_, printers_);
  }

  // Labels still waiting for a prefix, read in a transaction of its own.
  int queued(const QString& prefix) {
    return static_cast<int>(
        company_
            .query(QStringLiteral("SELECT ROPE_ID FROM ROTULOS_PENDIENTES WHERE PREF_PRE = ?"),
                   {db::Value::text(prefix)})
            .size());
  }

  // The texts a job printed, in order.
  static QStringList printed(const report::RecordingCanvas& canvas) {
    QStringList out;
    for (const auto& call : canvas.calls()) {
      if (call.op == u"PrintAt" || call.op == u"PrintRightAt") out << call.text;
    }
    return out;
  }

  testing::TempDir dir_;
  testing::Installation installation_;
  db::Attachment company_;
  FakePrintWindow window_;
  RecordingMessages messages_;
  FakeSettings settings_;
  FakeAliases aliases_;
  NoPrinters printers_;
};

TEST(PrintRunStatementTest, QuotesThePrefixAndInsertsThePriceListAsGiven) {
  struct Case {
    QString prefix, priceList, statement, filter;
  };
  const Case cases[] = {
      {"RT01", "3", "select * from impr_articulo('RT01',1,3,'N',0)",
       "tido_cod = 36 and pref_pre = 'RT01'"},
      {"O'X", "12", "select * from impr_articulo('O''X',1,12,'N',0)",
       "tido_cod = 36 and pref_pre = 'O''X'"},
      {"RT01", "", "select * from impr_articulo('RT01',1,,'N',0)",
       "tido_cod = 36 and pref_pre = 'RT01'"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(labels::imprArticuloStatement(c.prefix, c.priceList), c.statement);
    EXPECT_EQ(labels::formatFilterText(c.prefix), c.filter);
  }
}

TEST_F(PrintRunTest, WithoutPrefixSaysSoAndTouchesNothing) {
  build(queue("RT01", {"00123"}));
  RecordingReportSystem reports;
  PrintRun run = makeRun(reports);

  // Before any login: no connection and no prefix.
  EXPECT_EQ(run.SpeedButton3Click(nullptr), PrintRunResult::NoPrefix);
  EXPECT_EQ(messages_.texts(), std::vector<QString>{"Debe seleccionar el prefijo."});
  EXPECT_TRUE(reports.jobs.empty());
  EXPECT_EQ(window_.panelLog,
            (std::vector<QString>{"show:Generando informe. espere un momento...", "hide"}));
  EXPECT_EQ(queued("RT01"), 1);
}

TEST_F(PrintRunTest, PrefixWithoutCompanyConnectionIsAnErrorNotACrash) {
  build(queue("RT01", {"00123"}));
  RecordingReportSystem reports;
  PrintRun run = makeRun(reports);
  window_.prefixText = "RT01";
  db::Attachment closed;

  for (db::Attachment* company : {static_cast<db::Attachment*>(nullptr), &closed}) {
    messages_.entries.clear();
    EXPECT_EQ(run.SpeedButton3Click(company), PrintRunResult::Failed);
    ASSERT_EQ(messages_.entries.size(), 1u);
    EXPECT_EQ(messages_.entries[0].kind, RecordingMessages::Kind::Error);
    EXPECT_EQ(messages_.entries[0].text,
              QStringLiteral("La base de datos de la compañía no está conectada."));
  }
  EXPECT_TRUE(reports.jobs.empty());
  EXPECT_FALSE(window_.panelVisible);
  EXPECT_EQ(queued("RT01"), 1);
}

TEST_F(PrintRunTest, PrefixWithoutFormatRunsNoRecordQuery) {
  // RT02 is an active prefix without a label format; its queued label must stay queued, which
  // shows that impr_articulo was not called.
  build(queue("RT02", {"00123", "00200"}));
  RecordingReportSystem reports;
  PrintRun run = makeRun(reports);
  window_.prefixText = "RT02";

  EXPECT_EQ(run.SpeedButton3Click(&company_), PrintRunResult::NoFormat);
  EXPECT_EQ(messages_.texts(), std::vector<QString>{"No se encontró el formato de impresión."});
  EXPECT_TRUE(reports.jobs.empty());
  EXPECT_EQ(queued("RT02"), 2);
  EXPECT_FALSE(window_.panelVisible);
}

TEST_F(PrintRunTest, QueuedLabelsGiveOneJobAndAnEmptyQueueNone) {
  build(queue("RT01", {"00123", "00200", "00123"}));
  RecordingReportSystem reports;
  PrintRun run = makeRun(reports);
  window_.prefixText = "RT01";

  EXPECT_EQ(run.SpeedButton3Click(&company_), PrintRunResult::Printed);
  ASSERT_EQ(reports.jobs.size(), 1u);
  EXPECT_TRUE(messages_.entries.empty());
  const QStringList texts = printed(*reports.jobs[0]);
  EXPECT_EQ(texts.count("00123"), 2);
  EXPECT_EQ(texts.count("00200"), 1);
  const auto titles = reports.jobs[0]->callsOf("SetTitle");
  ASSERT_EQ(titles.size(), 1u);
  EXPECT_EQ(titles[0].text, QStringLiteral("Rótulo articulo 00123"));
  EXPECT_EQ(queued("RT01"), 0);

  // The queue is empty now: no job and no message.
  EXPECT_EQ(run.SpeedButton3Click(&company_), PrintRunResult::NothingToPrint);
  EXPECT_EQ(reports.jobs.size(), 1u);
  EXPECT_TRUE(messages_.entries.empty());
  EXPECT_FALSE(window_.panelVisible);
}

TEST_F(PrintRunTest, PrefixWithAQuoteSelectsItsFormatAndItsLabels) {
  build(QStringLiteral(
            "INSERT INTO PREFIJOS (TIDO_COD, PREF_PRE, PREF_NOM, PREF_ACTIVO) "
            "VALUES (36, 'O''X', 'COMILLA', 'S');\n"
            "INSERT INTO FORMATOS (TIDO_COD, PREF_PRE, FORM_NROITEMS, FORM_ENTRELINEA, FORM_FONT, "
            "FORM_FSIZE) VALUES (36, 'O''X', 2, 700, 'Arial', 300);\n"
            "INSERT INTO FORMATO_DATOS (TIDO_COD, PREF_PRE, DAFO_DATO, DAFO_IMPRIME, DAFO_POSX, "
            "DAFO_POSY, DAFO_REPITE, DAFO_ITEM) VALUES (36, 'O''X', 'CODIGO', 'S', 10, 20, 'N', "
            "1);\n") +
        queue("O''X", {"00123"}) + queue("RT01", {"00200"}));
  RecordingReportSystem reports;
  PrintRun run = makeRun(reports);
  window_.prefixText = "O'X";

  EXPECT_EQ(run.SpeedButton3Click(&company_), PrintRunResult::Printed);
  ASSERT_EQ(reports.jobs.size(), 1u);
  EXPECT_EQ(printed(*reports.jobs[0]), QStringList{"00123"});
  EXPECT_EQ(queued("O'X"), 0);
  EXPECT_EQ(queued("RT01"), 1);
}

TEST_F(PrintRunTest, PriceListComesFromTheWindowOrElseFromTheConfiguration) {
  // A format printing the price list code of each label.
  build(QStringLiteral("INSERT INTO FORMATO_DATOS (TIDO_COD, PREF_PRE, DAFO_DATO, DAFO_IMPRIME, "
                       "DAFO_POSX, DAFO_POSY, DAFO_REPITE, DAFO_ITEM) "
                       "VALUES (36, 'RT01', 'LISTA', 'S', 10, 20, 'N', 9);\n") +
        queue("RT01", {"00123"}));
  RecordingReportSystem reports;
  PrintRun run = makeRun(reports);
  window_.prefixText = "RT01";

  window_.priceText = "MAYORISTAS";
  window_.priceKey = 12;
  ASSERT_EQ(run.SpeedButton3Click(&company_), PrintRunResult::Printed);
  EXPECT_TRUE(printed(*reports.jobs.back()).contains("12"));

  company_.execute(queue("RT01", {"00123"}).trimmed().chopped(1));
  window_.priceText.clear();
  window_.priceKey = 12;  // a key without a shown text does not count
  ASSERT_EQ(run.SpeedButton3Click(&company_), PrintRunResult::Printed);
  EXPECT_TRUE(printed(*reports.jobs.back()).contains("4"));
  EXPECT_FALSE(printed(*reports.jobs.back()).contains("12"));
  EXPECT_TRUE(settings_.dialogs.empty());
}

TEST_F(PrintRunTest, AbsentPriceListSettingEndsInTheDatabaseErrorAndKeepsTheLabels) {
  build(queue("RT01", {"00123"}));
  settings_.values.erase(FakeSettings::priceListKey());
  RecordingReportSystem reports;
  PrintRun run = makeRun(reports);
  window_.prefixText = "RT01";

  EXPECT_EQ(run.SpeedButton3Click(&company_), PrintRunResult::Failed);
  EXPECT_EQ(settings_.dialogs,
            std::vector<QString>{"No se encontró la configuración " + kPriceListSetting});
  ASSERT_EQ(messages_.entries.size(), 1u);
  EXPECT_EQ(messages_.entries[0].kind, RecordingMessages::Kind::Error);
  EXPECT_FALSE(messages_.entries[0].text.isEmpty());
  EXPECT_TRUE(reports.jobs.empty());
  EXPECT_EQ(queued("RT01"), 1);
  EXPECT_FALSE(window_.panelVisible);
}

TEST_F(PrintRunTest, ATriggerDuringARunIsDropped) {
  build(queue("RT01", {"00123", "00200"}));
  RecordingReportSystem reports;
  PrintRun run = makeRun(reports);
  window_.prefixText = "RT01";
  std::vector<PrintRunResult> nested;
  reports.duringPrint = [&](report::RecordingCanvas&) {
    // A timer tick or an F2 handled while the job processes window messages.
    EXPECT_TRUE(run.running());
    nested.push_back(run.SpeedButton3Click(&company_));
  };

  EXPECT_EQ(run.SpeedButton3Click(&company_), PrintRunResult::Printed);
  EXPECT_EQ(nested, std::vector<PrintRunResult>{PrintRunResult::Busy});
  EXPECT_EQ(reports.jobs.size(), 1u);
  EXPECT_FALSE(run.running());
  EXPECT_EQ(queued("RT01"), 0);
}

TEST_F(PrintRunTest, CancelledJobLeavesItsLabelsForTheNextRun) {
  build(queue("RT01", {"00123", "00200"}));
  RecordingReportSystem reports;
  PrintRun run = makeRun(reports);
  window_.prefixText = "RT01";

  reports.cancel = true;
  EXPECT_EQ(run.SpeedButton3Click(&company_), PrintRunResult::Cancelled);
  EXPECT_TRUE(messages_.entries.empty());
  EXPECT_EQ(queued("RT01"), 2);
  EXPECT_FALSE(window_.panelVisible);

  reports.cancel = false;
  EXPECT_EQ(run.SpeedButton3Click(&company_), PrintRunResult::Printed);
  EXPECT_EQ(printed(*reports.jobs.back()).filter(QRegularExpression("^00")).size(), 2);
  EXPECT_EQ(queued("RT01"), 0);
}

TEST_F(PrintRunTest, ErrorWhileDrawingIsShownOnceAndKeepsTheLabels) {
  build(queue("RT01", {"00123"}));
  RecordingReportSystem reports;
  reports.duringPrint = [](report::RecordingCanvas&) {
    throw report::ReportError(QStringLiteral("Bitmap image is not valid"));
  };
  PrintRun run = makeRun(reports);
  window_.prefixText = "RT01";

  EXPECT_EQ(run.SpeedButton3Click(&company_), PrintRunResult::Failed);
  EXPECT_EQ(messages_.texts(), std::vector<QString>{"Bitmap image is not valid"});
  EXPECT_EQ(queued("RT01"), 1);
  EXPECT_FALSE(window_.panelVisible);
}

// With real PDF output: a directory that cannot be written fails the job after the labels were
// fetched; they stay queued and the next run prints them exactly once.
TEST_F(PrintRunTest, FailedPdfJobKeepsItsLabelsAndTheNextRunPrintsThemOnce) {
  build(queue("RT01", {"00123", "00200"}));
  NoPrinters service;
  const QString blocked = dir_.file("blocked");
  QFile(blocked).open(QIODevice::WriteOnly);  // a file where the directory should be
  report::QtReportSystem failing(service, report::PdfDirectory{blocked + "/out"});
  PrintRun failingRun = makeRun(failing);
  window_.prefixText = "RT01";

  EXPECT_EQ(failingRun.SpeedButton3Click(&company_), PrintRunResult::Failed);
  ASSERT_EQ(messages_.entries.size(), 1u);
  EXPECT_EQ(messages_.entries[0].kind, RecordingMessages::Kind::Error);
  EXPECT_EQ(queued("RT01"), 2);

  const QString out = dir_.file("pdf");
  QDir().mkpath(out);
  report::QtReportSystem working(service, report::PdfDirectory{out});
  PrintRun run = makeRun(working);
  EXPECT_EQ(run.SpeedButton3Click(&company_), PrintRunResult::Printed);
  EXPECT_EQ(run.SpeedButton3Click(&company_), PrintRunResult::NothingToPrint);
  const QStringList pdfs = QDir(out).entryList({"*.pdf"}, QDir::Files);
  ASSERT_EQ(pdfs.size(), 1);

  QProcess text;
  text.start("pdftotext", {QDir(out).filePath(pdfs[0]), "-"});
  ASSERT_TRUE(text.waitForFinished(30000));
  const QString content = QString::fromUtf8(text.readAllStandardOutput());
  // Each label prints its code and its bar-code text once.
  EXPECT_EQ(content.count("*00123*"), 1);
  EXPECT_EQ(content.count("00123"), 2);
  EXPECT_EQ(content.count("*00200*"), 1);
  EXPECT_EQ(content.count("00200"), 2);

  QProcess info;
  info.start("pdfinfo", {QDir(out).filePath(pdfs[0])});
  ASSERT_TRUE(info.waitForFinished(30000));
  EXPECT_TRUE(QString::fromUtf8(info.readAllStandardOutput()).contains("Rótulo articulo 00123"));
}

}  // namespace
}  // namespace radevore::print
