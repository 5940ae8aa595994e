#include "app/local_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>

#include "app/install_directory.h"
#include "app/printer_aliases.h"
#include "app/server_list.h"
#include "app_fixture.h"
#include "support/case_printing.h"
#include "support/recording_messages.h"

namespace radevore::app {
namespace {

using testing::RecordingMessages;
using testing::TempDir;
using Status = LocalFile::Status;

// Ways the installation's small files can be something other than a small regular file. Each
// makes `path` one of them.
struct FileKind {
  const char* name;
  std::function<void(const QString& path)> make;
  Status status;
  QByteArray bytes;  // when read
};

void PrintTo(const FileKind& c, std::ostream* os) {
  *os << c.name << " status " << int(c.status) << " bytes " << c.bytes.size();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  ASSERT_EQ(file.write(bytes), bytes.size());
}

const FileKind kKinds[] = {
    {"RegularFile", [](const QString& p) { writeBytes(p, "srv1\r\nsrv2\r\n"); }, Status::Read,
     "srv1\r\nsrv2\r\n"},
    {"EmptyFile", [](const QString& p) { writeBytes(p, ""); }, Status::Read, ""},
    {"AtTheLimit", [](const QString& p) { writeBytes(p, QByteArray(kLocalFileLimit, 'x')); },
     Status::Read, QByteArray(kLocalFileLimit, 'x')},
    {"OverTheLimit", [](const QString& p) { writeBytes(p, QByteArray(kLocalFileLimit + 1, 'x')); },
     Status::CannotOpen, ""},
    {"Absent", [](const QString&) {}, Status::CannotOpen, ""},
    // Without a writer, reading a FIFO would wait for ever.
    {"Fifo", [](const QString& p) { ASSERT_EQ(::mkfifo(QFile::encodeName(p), 0600), 0); },
     Status::CannotOpen, ""},
    // Never ends: reading it whole would exhaust the memory.
    {"LinkToDevZero",
     [](const QString& p) { ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), p)); },
     Status::CannotOpen, ""},
    {"Directory", [](const QString& p) { ASSERT_TRUE(QDir().mkdir(p)); }, Status::CannotOpen, ""},
    {"DanglingLink",
     [](const QString& p) { ASSERT_TRUE(QFile::link(p + QStringLiteral(".none"), p)); },
     Status::CannotOpen, ""},
    // Opens as a regular file; reading at offset 0 fails with an input/output error.
    {"LinkToUnreadableMemory",
     [](const QString& p) { ASSERT_TRUE(QFile::link(QStringLiteral("/proc/self/mem"), p)); },
     Status::ReadFailed, ""},
};

class LocalFileKinds : public ::testing::TestWithParam<FileKind> {
 protected:
  void SetUp() override { GetParam().make(dir_.file(QStringLiteral("SERVIDORES.cfg"))); }
  TempDir dir_;
};

TEST_P(LocalFileKinds, ReadsOnlySmallRegularFilesAndReturnsPromptly) {
  const QString path = dir_.file(QStringLiteral("SERVIDORES.cfg"));
  const LocalFile file = readLocalFile(path);
  EXPECT_EQ(file.status, GetParam().status);
  EXPECT_EQ(file.bytes, GetParam().bytes);
  if (file.status == Status::ReadFailed) {
    EXPECT_EQ(file.error, path + QStringLiteral(": Input/output error"));
  } else {
    EXPECT_TRUE(file.error.isEmpty());
  }
}

// The server list takes anything it cannot read whole as no list at all, silently.
TEST_P(LocalFileKinds, ServerListIsEmptyUnlessTheFileIsRead) {
  const QStringList servers = readServerList(dir_.file(QStringLiteral("SERVIDORES.cfg")));
  EXPECT_EQ(servers,
            GetParam().status == Status::Read ? parseServerList(GetParam().bytes) : QStringList());
}

INSTANTIATE_TEST_SUITE_P(Kinds, LocalFileKinds, ::testing::ValuesIn(kKinds),
                         [](const auto& info) { return std::string(info.param.name); });

// impresoras.cfg: a file that cannot be opened shows "Error abriendo el archivo" + path and
// gives no name; a read error after opening ends the lookup with the system's text.
class PrinterAliasFileKinds : public ::testing::TestWithParam<FileKind> {};

TEST_P(PrinterAliasFileKinds, LookupEndsAsTheFileAllows) {
  TempDir dir;
  const QString path = dir.file(QStringLiteral("impresoras.cfg"));
  GetParam().make(path);
  RecordingMessages messages;
  PrinterAliasFile aliases(messages, [&] { return dir.path(); });
  switch (GetParam().status) {
    case Status::Read:
      EXPECT_EQ(aliases.nombre_impresora(QStringLiteral("srv1")), "");
      EXPECT_TRUE(messages.entries.empty());
      break;
    case Status::CannotOpen:
      EXPECT_EQ(aliases.nombre_impresora(QStringLiteral("CAJA1")), "");
      EXPECT_EQ(messages.entries,
                (std::vector<RecordingMessages::Entry>{
                    {RecordingMessages::Kind::Message, "Error abriendo el archivo" + path}}));
      break;
    case Status::ReadFailed:
      try {
        aliases.nombre_impresora(QStringLiteral("CAJA1"));
        FAIL() << "a read error gave a name";
      } catch (const FileReadError& e) {
        EXPECT_EQ(QString::fromUtf8(e.what()), path + QStringLiteral(": Input/output error"));
      }
      EXPECT_TRUE(messages.entries.empty());
      break;
  }
}

INSTANTIATE_TEST_SUITE_P(Kinds, PrinterAliasFileKinds, ::testing::ValuesIn(kKinds),
                         [](const auto& info) { return std::string(info.param.name); });

// The settings file that stands for the registry key: anything but a readable regular file is
// an absent key.
class SettingsFileKinds : public ::testing::TestWithParam<FileKind> {};

TEST_P(SettingsFileKinds, AnUnreadableSettingsFileIsAnAbsentKey) {
  testing::SettingsScope scope;
  ASSERT_TRUE(QDir(scope.path()).mkpath(QStringLiteral("Orvane")));
  GetParam().make(scope.path() + QStringLiteral("/Orvane/NexoraERP2021.ini"));
  RecordingMessages messages;
  const QString directory = diraplicacion(messages);
  EXPECT_EQ(directory, "");
  if (GetParam().status == Status::Read) {
    EXPECT_TRUE(messages.entries.empty());
  } else {
    EXPECT_EQ(messages.entries,
              (std::vector<RecordingMessages::Entry>{
                  {RecordingMessages::Kind::Message,
                   "No se encontró la Clave "
                   "HKEY_LOCAL_MACHINE\\Software\\Orvane\\NexoraERP2021\\Directorio"}}));
  }
}

INSTANTIATE_TEST_SUITE_P(Kinds, SettingsFileKinds, ::testing::ValuesIn(kKinds),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace radevore::app
