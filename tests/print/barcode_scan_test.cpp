// Bar-code texts printed in the format's bar-code font must scan: the labels of a real print run
// are rendered from the PDF and read back with a bar-code reader.
#include <gtest/gtest.h>

#include <QDir>
#include <QFontDatabase>
#include <QProcess>

#include "db/attachment.h"
#include "print/print_run.h"
#include "print_run_fakes.h"
#include "report/qt_report_system.h"
#include "support/fixture_db.h"
#include "support/recording_messages.h"

namespace radevore::print {
namespace {

QString run(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  process.waitForFinished(60000);
  return QString::fromUtf8(process.readAllStandardOutput());
}

TEST(BarcodeScan, Code39TextsOfAPrintRunScan) {
  // The fixture's format prints "CODIGO BARRAS" in Libre Barcode 39, installed with the
  // project's set-up like any workstation font.
  ASSERT_TRUE(QFontDatabase::families().contains(QStringLiteral("Libre Barcode 39")));

  testing::TempDir dir;
  const QStringList codes{"00123", "00300", "00500", "00700"};
  QString queue;
  for (const QString& code : codes) {
    queue += QStringLiteral(
                 "INSERT INTO ROTULOS_PENDIENTES (PREF_PRE, ARTI_COD) VALUES ('RT01', '%1');\n")
                 .arg(code);
  }
  const testing::Installation installation =
      testing::makeInstallation(dir.path(), QStringLiteral("001"), queue);
  db::Attachment company = db::Attachment::open(testing::companyParams(installation));

  testing::FakePrintWindow window;
  window.prefixText = QStringLiteral("RT01");
  testing::RecordingMessages messages;
  testing::FakeSettings settings;
  testing::FakeAliases aliases;
  testing::NoPrinters printers;
  const QString out = dir.file("pdf");
  QDir().mkpath(out);
  report::QtReportSystem reports(printers, report::PdfDirectory{out});
  PrintRun printRun(window, messages, reports, settings, aliases, printers);
  ASSERT_EQ(printRun.SpeedButton3Click(&company), PrintRunResult::Printed);
  ASSERT_TRUE(messages.entries.empty()) << messages.texts().front().toStdString();

  const QString page = dir.file("page");
  run("pdftoppm",
      {"-png", "-r", "300", "-f", "1", "-l", "1", "-singlefile", reports.lastPdfPath(), page});
  const QStringList scanned =
      run("zbarimg", {"-q", "--raw", "-Sdisable", "-Scode39.enable", page + ".png"})
          .split(u'\n', Qt::SkipEmptyParts);
  QStringList sorted = scanned;
  sorted.sort();
  EXPECT_EQ(sorted, codes);
}

}  // namespace
}  // namespace radevore::print
