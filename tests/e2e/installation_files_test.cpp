// The built program with installation files that are not small regular files: a FIFO, a link
// to /dev/zero, a folder. It must neither hang nor run out of memory: such a file counts as one
// that cannot be opened, and the unattended run prints its labels.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <functional>
#include <iostream>

#include "support/case_printing.h"
#include "support/fixture_db.h"
#include "support/pdf_probe.h"

namespace radevore::testing {
namespace {

struct FileKind {
  const char* name;
  std::function<bool(const QString& path)> make;
};

void PrintTo(const FileKind& c, std::ostream* os) {
  *os << c.name;
}

const FileKind kKinds[] = {
    {"Fifo", [](const QString& p) { return ::mkfifo(QFile::encodeName(p), 0600) == 0; }},
    {"LinkToDevZero", [](const QString& p) { return QFile::link("/dev/zero", p); }},
    {"Directory", [](const QString& p) { return QDir().mkdir(p); }},
};

class InstallationFileKinds : public ::testing::TestWithParam<FileKind> {};

TEST_P(InstallationFileKinds, UnattendedRunEndsPromptlyAndPrints) {
  TempDir data;
  TempDir install;
  TempDir config;
  TempDir out;
  makeInstallation(
      data.path(), "001",
      "INSERT INTO ROTULOS_PENDIENTES (PREF_PRE, ARTI_COD) VALUES ('RT01', '00123');\n"
      "INSERT INTO ROTULOS_PENDIENTES (PREF_PRE, ARTI_COD) VALUES ('RT01', '00300');\n");
  ASSERT_TRUE(GetParam().make(install.file("SERVIDORES.cfg")));
  ASSERT_TRUE(GetParam().make(install.file("impresoras.cfg")));
  QDir(config.path()).mkpath("Orvane");
  QFile settings(config.file("Orvane/NexoraERP2021.ini"));
  ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
  settings.write("[General]\nDirectorio=" + install.path().toUtf8() + "\n");
  settings.close();

  QProcess process;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "offscreen");
  env.insert("XDG_CONFIG_DIRS", config.path());
  process.setProcessEnvironment(env);
  QElapsedTimer clock;
  clock.start();
  process.start(
      QStringLiteral(RADEVORE_BINARY_DIR "/radevore"),
      {"--once", "--pdf", out.path(), data.path(), "SYSDBA", "masterkey", "001", "RT01", "4"});
  const bool finished = process.waitForFinished(120000);
  if (!finished) {
    process.kill();
    process.waitForFinished();
  }
  ASSERT_TRUE(finished) << "the program hung";
  const QString errors = QString::fromUtf8(process.readAllStandardError());
  EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << errors.toStdString();
  EXPECT_EQ(process.exitCode(), 0) << errors.toStdString();
  EXPECT_TRUE(errors.contains("Error abriendo el archivo" + install.file("impresoras.cfg")))
      << errors.toStdString();
  const QStringList pdfs = QDir(out.path()).entryList({"*.pdf"}, QDir::Files);
  ASSERT_EQ(pdfs.size(), 1) << errors.toStdString();
  QStringList words;
  for (const PdfWord& word : pdfWords(QDir(out.path()).filePath(pdfs[0]))) words.append(word.text);
  EXPECT_EQ(words.count("00123"), 1);
  EXPECT_EQ(words.count("00300"), 1);
  std::cout << "[ figures ] " << GetParam().name << ": exit " << process.exitCode() << " after "
            << clock.elapsed() << " ms, labels printed "
            << words.count("00123") + words.count("00300") << " of 2\n";
}

INSTANTIATE_TEST_SUITE_P(Kinds, InstallationFileKinds, ::testing::ValuesIn(kKinds),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace radevore::testing
