// Starts the built program with a whole login on its command line, --once and --pdf, and looks
// at its exit status, its standard error and the PDF files it wrote.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

#include "support/firebird_server.h"
#include "support/fixture_db.h"
#include "support/pdf_probe.h"

namespace radevore::testing {
namespace {

const QString kQueueTwoLabels = QStringLiteral(
    "INSERT INTO ROTULOS_PENDIENTES (PREF_PRE, ARTI_COD) VALUES ('RT01', '00123');\n"
    "INSERT INTO ROTULOS_PENDIENTES (PREF_PRE, ARTI_COD) VALUES ('RT01', '00300');\n");

struct RunResult {
  int exitCode = -1;
  bool finished = false;
  QString standardError;
  QStringList pdfs;  // files written into the PDF folder
};

// One ERP installation with its settings file, a PDF folder and the program to start.
class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    installation_ = makeInstallation(root_.path(), "001", kQueueTwoLabels);
    QDir(config_.path()).mkpath("Orvane");
    QFile settings(config_.file("Orvane/NexoraERP2021.ini"));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("[General]\nDirectorio=" + root_.path().toUtf8() + "\n");
    settings.close();
    QDir().mkpath(pdfDir());
  }

  QString pdfDir() const { return out_.file("pdf"); }

  RunResult run(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_DIRS", config_.path());
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(RADEVORE_BINARY_DIR "/radevore"), arguments);
    RunResult result;
    result.finished = process.waitForFinished(120000);
    if (!result.finished) process.kill();
    process.waitForFinished();
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.standardError = QString::fromUtf8(process.readAllStandardError());
    for (const QString& name : QDir(pdfDir()).entryList({"*.pdf"}, QDir::Files, QDir::Name)) {
      result.pdfs.append(QDir(pdfDir()).filePath(name));
    }
    return result;
  }

  QStringList unattended(const QString& prefix, const QString& priceList,
                         const QString& password = "masterkey") {
    return {"--once", "--pdf", pdfDir(), root_.path(), "SYSDBA",
            password, "001",   prefix,   priceList};
  }

  static QStringList words(const QString& pdf) {
    QStringList out;
    for (const PdfWord& word : pdfWords(pdf)) out.append(word.text);
    return out;
  }

  TempDir root_;
  TempDir config_;
  TempDir out_;
  Installation installation_;
};

TEST_F(ProgramTest, PrintsTheQueuedLabelsOnceIntoAPdf) {
  const RunResult result = run(unattended("RT01", "4"));
  ASSERT_TRUE(result.finished);
  EXPECT_EQ(result.exitCode, 0) << result.standardError.toStdString();
  ASSERT_EQ(result.pdfs.size(), 1) << result.standardError.toStdString();
  const QStringList text = words(result.pdfs[0]);
  EXPECT_TRUE(text.contains("00123")) << text.join(' ').toStdString();
  EXPECT_TRUE(text.contains("00300")) << text.join(' ').toStdString();
  EXPECT_EQ(pdfInfo(result.pdfs[0]).value("Title"), QStringLiteral("Rótulo articulo 00123"));

  // The labels left the queue: the next start prints nothing and still succeeds.
  const RunResult again = run(unattended("RT01", "4"));
  EXPECT_EQ(again.exitCode, 0) << again.standardError.toStdString();
  EXPECT_EQ(again.pdfs.size(), 1);
}

TEST_F(ProgramTest, OptionsMayStandAnywhere) {
  const RunResult result =
      run({root_.path(), "SYSDBA", "--pdf", pdfDir(), "masterkey", "001", "--once", "RT01", "4"});
  EXPECT_EQ(result.exitCode, 0) << result.standardError.toStdString();
  EXPECT_EQ(result.pdfs.size(), 1);
}

TEST_F(ProgramTest, UnknownPrefixReportsTheAbsentPrefix) {
  const RunResult result = run(unattended("ZZ99", "4"));
  ASSERT_TRUE(result.finished);
  EXPECT_NE(result.exitCode, 0);
  EXPECT_TRUE(result.standardError.contains("Debe seleccionar el prefijo."))
      << result.standardError.toStdString();
  EXPECT_TRUE(result.pdfs.isEmpty());
}

TEST_F(ProgramTest, UnknownPriceListUsesTheConfiguredOne) {
  const RunResult unknown = run(unattended("RT01", "99"));
  ASSERT_EQ(unknown.exitCode, 0) << unknown.standardError.toStdString();
  ASSERT_EQ(unknown.pdfs.size(), 1);
  const QStringList unknownWords = words(unknown.pdfs[0]);

  // The same labels queued again, printed once with list 4 and once with list 12.
  auto printWith = [&](const QString& list) {
    TempDir root;
    makeInstallation(root.path(), "001", kQueueTwoLabels);
    QStringList args = unattended("RT01", list);
    args[3] = root.path();
    const RunResult r = run(args);
    EXPECT_EQ(r.exitCode, 0) << r.standardError.toStdString();
    const QStringList w = r.pdfs.isEmpty() ? QStringList() : words(r.pdfs.last());
    QFile::remove(r.pdfs.value(r.pdfs.size() - 1));
    return w;
  };
  QFile::remove(unknown.pdfs[0]);
  EXPECT_EQ(unknownWords, printWith("4"));
  EXPECT_NE(unknownWords, printWith("12"));
}

TEST_F(ProgramTest, FourParametersStartInteractivelyAndOnceEndsAtOnce) {
  const RunResult result =
      run({"--once", "--pdf", pdfDir(), root_.path(), "SYSDBA", "masterkey", "001"});
  ASSERT_TRUE(result.finished);
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_TRUE(result.standardError.contains("--once")) << result.standardError.toStdString();
  EXPECT_TRUE(result.pdfs.isEmpty());
}

TEST_F(ProgramTest, FailedCompanyLoginPrintsNothing) {
  QStringList args = unattended("RT01", "4");
  args[6] = "999";  // no such company
  const RunResult result = run(args);
  ASSERT_TRUE(result.finished);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_FALSE(result.standardError.trimmed().isEmpty());
  EXPECT_TRUE(result.pdfs.isEmpty());
}

TEST(ProgramOnServer, WrongPasswordShowsFirebirdsErrorAndPrintsNothing) {
  FirebirdServer server;
  ASSERT_TRUE(server.available()) << server.reason().toStdString();
  TempDir config;
  TempDir out;
  QDir(config.path()).mkpath("Orvane");
  QFile settings(config.file("Orvane/NexoraERP2021.ini"));
  ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
  settings.write("[General]\nDirectorio=" + out.path().toUtf8() + "\n");
  settings.close();

  QProcess process;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("XDG_CONFIG_DIRS", config.path());
  process.setProcessEnvironment(env);
  process.start(QStringLiteral(RADEVORE_BINARY_DIR "/radevore"),
                {"--once", "--pdf", out.path(), server.connectionString(server.dataDir()), "SYSDBA",
                 "wrong", "001", "RT01", "4"});
  ASSERT_TRUE(process.waitForFinished(120000));
  const QString errors = QString::fromUtf8(process.readAllStandardError());
  EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(process.exitCode(), 1);
  EXPECT_TRUE(errors.contains("password", Qt::CaseInsensitive)) << errors.toStdString();
  EXPECT_TRUE(QDir(out.path()).entryList({"*.pdf"}, QDir::Files).isEmpty());
}

}  // namespace
}  // namespace radevore::testing
