#include "app/install_directory.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "support/case_printing.h"
#include "support/recording_messages.h"

namespace radevore::app {
namespace {

using testing::RecordingMessages;

const QString kAbsentKey = QStringLiteral(
    "No se encontró la Clave HKEY_LOCAL_MACHINE\\Software\\Orvane\\NexoraERP2021\\Directorio");

// Points the system-scope settings at a temporary folder for one test.
class InstallDirectoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = qgetenv("XDG_CONFIG_DIRS");
    qputenv("XDG_CONFIG_DIRS", config_.path().toLocal8Bit());
  }
  void TearDown() override {
    if (saved_.isNull()) {
      qunsetenv("XDG_CONFIG_DIRS");
    } else {
      qputenv("XDG_CONFIG_DIRS", saved_);
    }
  }
  void writeSettings(const QByteArray& content) {
    ASSERT_TRUE(QDir(config_.path()).mkpath("Orvane"));
    QFile file(config_.filePath("Orvane/NexoraERP2021.ini"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
  }

  QTemporaryDir config_;
  QByteArray saved_;
  RecordingMessages messages_;
};

TEST_F(InstallDirectoryTest, ReadsDirectorio) {
  writeSettings("[General]\nDirectorio=/opt/nexora\n");
  EXPECT_EQ(diraplicacion(messages_), "/opt/nexora");
  EXPECT_TRUE(messages_.entries.empty());
}

TEST_F(InstallDirectoryTest, ReadAnewAtEveryCall) {
  writeSettings("[General]\nDirectorio=/opt/a\n");
  EXPECT_EQ(diraplicacion(messages_), "/opt/a");
  writeSettings("[General]\nDirectorio=/opt/bb\n");
  EXPECT_EQ(diraplicacion(messages_), "/opt/bb");
  ASSERT_TRUE(QFile::remove(config_.filePath("Orvane/NexoraERP2021.ini")));
  EXPECT_EQ(diraplicacion(messages_), "");
  EXPECT_EQ(messages_.entries.size(), 1u);
}

TEST_F(InstallDirectoryTest, KeyWithoutTheValueIsEmptySilently) {
  writeSettings("[General]\nOtro=1\n");
  EXPECT_EQ(diraplicacion(messages_), "");
  EXPECT_TRUE(messages_.entries.empty());
}

TEST_F(InstallDirectoryTest, AbsentKeyShowsTheMessageAndFilesGoToTheRoot) {
  EXPECT_EQ(diraplicacion(messages_), "");
  ASSERT_EQ(messages_.entries.size(), 1u);
  EXPECT_EQ(messages_.entries[0],
            (RecordingMessages::Entry{RecordingMessages::Kind::Message, kAbsentKey}));
  EXPECT_EQ(installationFile(diraplicacion(messages_), "SERVIDORES.cfg"), "/SERVIDORES.cfg");
  EXPECT_EQ(messages_.entries.size(), 2u);
}

// The value is read as written: a Windows directory keeps its backslashes, a comma is part of
// the name, nothing is unescaped or unquoted.
struct DirectorioCase {
  const char* name;
  QByteArray file;
  QString directory;
};

void PrintTo(const DirectorioCase& c, std::ostream* os) {
  using radevore::testing::printable;
  *os << c.name << " " << printable(c.file) << " -> " << printable(c.directory);
}

class DirectorioValues : public InstallDirectoryTest,
                         public ::testing::WithParamInterface<DirectorioCase> {};

TEST_P(DirectorioValues, ReadAsWritten) {
  writeSettings(GetParam().file);
  EXPECT_EQ(diraplicacion(messages_), GetParam().directory);
  EXPECT_TRUE(messages_.entries.empty());
  EXPECT_EQ(directorioSetting(GetParam().file), GetParam().directory);
}

INSTANTIATE_TEST_SUITE_P(
    Values, DirectorioValues,
    ::testing::Values(
        DirectorioCase{"Backslashes", "[General]\nDirectorio=c:\\nexora\n", "c:\\nexora"},
        DirectorioCase{"DoubledBackslashes", "[General]\nDirectorio=c:\\\\nexora\\\\erp\n",
                       "c:\\\\nexora\\\\erp"},
        DirectorioCase{"Comma", "[General]\nDirectorio=/opt/nexora,2021\n", "/opt/nexora,2021"},
        DirectorioCase{"Semicolon", "[General]\nDirectorio=/opt/a;b\n", "/opt/a;b"},
        DirectorioCase{"QuotesKept", "[General]\nDirectorio=\"/opt/x\"\n", "\"/opt/x\""},
        DirectorioCase{"EqualsInValue", "[General]\nDirectorio=/opt/a=b\n", "/opt/a=b"},
        DirectorioCase{"CrLf", "[General]\r\nDirectorio=c:\\nexora\r\n", "c:\\nexora"},
        DirectorioCase{"NoFinalLineEnd", "[General]\nDirectorio=/opt/last", "/opt/last"},
        DirectorioCase{"BlanksAroundTheEquals", "[General]\n  Directorio = /opt/x \t\n", "/opt/x"},
        DirectorioCase{"InnerBlanksKept", "[General]\nDirectorio=/opt/mi erp\n", "/opt/mi erp"},
        DirectorioCase{"Utf8",
                       "[General]\nDirectorio=/opt/compa\xc3\xb1\xc3\xad"
                       "a\n",
                       QStringLiteral("/opt/compañía")},
        DirectorioCase{"BeforeAnyGroup", "Directorio=/opt/top\n[Other]\nDirectorio=/x\n",
                       "/opt/top"},
        DirectorioCase{"OtherGroupPassedOver",
                       "[Other]\nDirectorio=/x\n[General]\nOtro=1\nDirectorio=/opt/g\n", "/opt/g"},
        DirectorioCase{"OnlyInAnotherGroup", "[Other]\nDirectorio=/x\n", ""},
        DirectorioCase{"FirstLineWins", "[General]\nDirectorio=/a\nDirectorio=/b\n", "/a"},
        DirectorioCase{"CaseMatters", "[General]\ndirectorio=/x\n", ""},
        DirectorioCase{"LongerKey", "[General]\nDirectorioX=/x\n", ""},
        DirectorioCase{"EmptyValue", "[General]\nDirectorio=\n", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(InstallationFile, AppendsTheNameWithTheSeparator) {
  EXPECT_EQ(installationFile("/opt/nexora", "impresoras.cfg"), "/opt/nexora/impresoras.cfg");
  EXPECT_EQ(installationFile("", "impresoras.cfg"), "/impresoras.cfg");
}

}  // namespace
}  // namespace radevore::app
