#include "app/install_directory.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

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

TEST(InstallationFile, AppendsTheNameWithTheSeparator) {
  EXPECT_EQ(installationFile("/opt/nexora", "impresoras.cfg"), "/opt/nexora/impresoras.cfg");
  EXPECT_EQ(installationFile("", "impresoras.cfg"), "/impresoras.cfg");
}

}  // namespace
}  // namespace radevore::app
