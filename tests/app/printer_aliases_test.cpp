#include "app/printer_aliases.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "support/case_printing.h"
#include "support/recording_messages.h"

namespace radevore::app {
namespace {

using testing::RecordingMessages;

struct AliasCase {
  const char* name;
  QByteArray bytes;
  QString alias;
  QString printer;
};

void PrintTo(const AliasCase& c, std::ostream* os) {
  using radevore::testing::printable;
  *os << c.name << " " << printable(c.bytes) << " alias " << printable(c.alias) << " -> "
      << printable(c.printer);
}

class AliasLookup : public ::testing::TestWithParam<AliasCase> {};

TEST_P(AliasLookup, FindsThePrinterName) {
  EXPECT_EQ(findPrinterName(GetParam().bytes, GetParam().alias), GetParam().printer);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, AliasLookup,
    ::testing::Values(
        AliasCase{"Plain", "A,P\r\n", "A", "P"}, AliasCase{"AliasInsideLine", "XA,P\r\n", "A", "P"},
        AliasCase{"CommaInName", "A,P,Q\r\n", "A", "P,Q"},
        AliasCase{"EmptyNamePassedOver", "A,\r\nA,Second\r\n", "A", "Second"},
        AliasCase{"OnlyEmptyName", "A,\r\n", "A", ""}, AliasCase{"CaseMatters", "a,P\r\n", "A", ""},
        AliasCase{"LeadingBlankKept", "A, P\r\n", "A", " P"},
        AliasCase{"TrailingBlankKept", "A,P \r\n", "A", "P "},
        AliasCase{"LfLineEnds", "B,X\nA,HP LaserJet 400\n", "A", "HP LaserJet 400"},
        AliasCase{"NoFinalLineEnd", "B,X\r\nA,Last", "A", "Last"},
        AliasCase{"LoneCrEndsLine", "A,P\rB,Q", "B", "Q"},
        AliasCase{"LoneCrDoesNotJoinLines", "A,P\rB,Q", "A", "P"},
        AliasCase{"FirstLineWins", "A,One\r\nA,Two\r\n", "A", "One"},
        AliasCase{"NoKey", "CAJA1 HP\r\nA P\r\n", "A", ""},
        AliasCase{"FirstOccurrenceInLine", "A,A,Z\r\n", "A", "A,Z"},
        AliasCase{"Windows1252", "A,Impresora caf\xe9\r\n", "A", QStringLiteral("Impresora café")},
        AliasCase{"EmptyFile", "", "A", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PrinterAliasFile, ReadsImpresorasCfgOfTheDirectoryAtEveryCall) {
  QTemporaryDir dir;
  RecordingMessages messages;
  PrinterAliasFile aliases(messages, [&] { return dir.path(); });
  QFile file(dir.filePath("impresoras.cfg"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("CAJA1,HP LaserJet 400\r\n");
  file.close();
  EXPECT_EQ(aliases.nombre_impresora("CAJA1"), "HP LaserJet 400");

  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write("CAJA1,Zebra\r\n");
  file.close();
  EXPECT_EQ(aliases.nombre_impresora("CAJA1"), "Zebra");
  EXPECT_TRUE(messages.entries.empty());
}

TEST(PrinterAliasFile, AbsentFileShowsTheMessageWithThePath) {
  QTemporaryDir dir;
  RecordingMessages messages;
  PrinterAliasFile aliases(messages, [&] { return dir.path(); });
  EXPECT_EQ(aliases.nombre_impresora("CAJA1"), "");
  ASSERT_EQ(messages.entries.size(), 1u);
  EXPECT_EQ(messages.entries[0].kind, RecordingMessages::Kind::Message);
  EXPECT_EQ(messages.entries[0].text, "Error abriendo el archivo" + dir.path() + "/impresoras.cfg");
}

}  // namespace
}  // namespace radevore::app
