// The built program started the way a scheduler starts it, with no locale at all, logs in to a
// server with an accented password given on its command line and prints.

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

TEST(ProgramOnServer, AccentedPasswordLogsInWhateverTheLocale) {
  FirebirdServer server;
  ASSERT_TRUE(server.available()) << server.reason().toStdString();
  const Installation installation = makeInstallation(
      server.databasePath(QStringLiteral("erp")), "001",
      QStringLiteral(
          "INSERT INTO ROTULOS_PENDIENTES (PREF_PRE, ARTI_COD) VALUES ('RT01', '00123');\n"
          "INSERT INTO ROTULOS_PENDIENTES (PREF_PRE, ARTI_COD) VALUES ('RT01', '00300');\n"));
  ASSERT_TRUE(server.handOver(installation.root));
  const QString password = QStringLiteral("Señor€1");
  {
    db::ConnectionParams admin = server.params(installation.generalDb);
    admin.charset = QStringLiteral("WIN1252");  // as the ERP changes its passwords
    db::Attachment::open(admin).execute(
        QStringLiteral("ALTER USER SYSDBA PASSWORD '%1'").arg(password));
  }

  TempDir config;
  TempDir out;
  QDir(config.path()).mkpath(QStringLiteral("Orvane"));
  QFile settings(config.file(QStringLiteral("Orvane/NexoraERP2021.ini")));
  ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
  settings.write("[General]\nDirectorio=" + out.path().toUtf8() + "\n");
  settings.close();

  QProcess process;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"LANG", "LANGUAGE", "LC_CTYPE", "LC_ALL"})
    env.remove(QString::fromLatin1(name));
  env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  env.insert(QStringLiteral("XDG_CONFIG_DIRS"), config.path());
  process.setProcessEnvironment(env);
  process.start(QStringLiteral(RADEVORE_BINARY_DIR "/radevore"),
                {"--once", "--pdf", out.path(), server.connectionString(installation.root),
                 "SYSDBA", password, "001", "RT01", "4"});
  ASSERT_TRUE(process.waitForFinished(120000));
  const QString errors = QString::fromUtf8(process.readAllStandardError());
  EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(process.exitCode(), 0) << errors.toStdString();
  const QStringList pdfs = QDir(out.path()).entryList({"*.pdf"}, QDir::Files);
  ASSERT_EQ(pdfs.size(), 1) << errors.toStdString();
  QStringList words;
  for (const PdfWord& word : pdfWords(QDir(out.path()).filePath(pdfs[0]))) words.append(word.text);
  EXPECT_TRUE(words.contains("00123")) << words.join(' ').toStdString();
  EXPECT_TRUE(words.contains("00300")) << words.join(' ').toStdString();
}

}  // namespace
}  // namespace radevore::testing
