#include "app/server_list.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "support/case_printing.h"

namespace radevore::app {
namespace {

struct ServerListCase {
  const char* name;
  QByteArray bytes;
  QStringList entries;
};

void PrintTo(const ServerListCase& c, std::ostream* os) {
  using radevore::testing::printable;
  *os << c.name << " " << printable(c.bytes) << " -> " << printable(c.entries);
}

class ServerListParse : public ::testing::TestWithParam<ServerListCase> {};

TEST_P(ServerListParse, GivesTheEntries) {
  EXPECT_EQ(parseServerList(GetParam().bytes), GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ServerListParse,
    ::testing::Values(
        ServerListCase{"CrLf", "srv1\r\nsrv2\r\n", {"srv1", "srv2"}},
        ServerListCase{"Lf", "srv1\nsrv2\n", {"srv1", "srv2"}},
        ServerListCase{"NoFinalLineEnd", "srv1\r\nsrv2", {"srv1", "srv2"}},
        ServerListCase{"EmptyLineKept", "a\r\n\r\nb\r\n", {"a", "", "b"}},
        ServerListCase{"LoneCrSwallowsNextByte", "abc\rXdef\r\n", {"abc", "def"}},
        ServerListCase{"CrAtEndOfFile", "abc\r", {"abc"}},
        ServerListCase{"LfCrLf", "a\n\r\nb", {"a", "", "b"}},
        ServerListCase{"BlanksKept", " c:\\nexora \r\n", {" c:\\nexora "}},
        ServerListCase{"Empty", "", {}}, ServerListCase{"OnlyLineEnd", "\r\n", {""}},
        ServerListCase{"Windows1252", "serv\xe9\r\n", {QStringLiteral("servé")}},
        ServerListCase{"LongLineCut", QByteArray(300, 'x') + "\r\nb", {QString(255, u'x'), "b"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ServerListFile, AbsentFileGivesEmptyList) {
  QTemporaryDir dir;
  EXPECT_TRUE(readServerList(dir.filePath("SERVIDORES.cfg")).isEmpty());
}

TEST(ServerListFile, ReadsTheFileBytes) {
  QTemporaryDir dir;
  QFile file(dir.filePath("SERVIDORES.cfg"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("localhost:/a\r\n\r\nremote:/b");
  file.close();
  EXPECT_EQ(readServerList(file.fileName()), (QStringList{"localhost:/a", "", "remote:/b"}));
}

}  // namespace
}  // namespace radevore::app
