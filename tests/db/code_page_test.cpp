#include "db/code_page.h"

#include <gtest/gtest.h>

#include "db/transaction.h"
#include "db_test_support.h"

namespace radevore::db {
namespace {

TEST(CodePage, EveryByteRoundTrips) {
  QByteArray all;
  for (int b = 0; b < 256; ++b) all.append(static_cast<char>(b));
  const QString text = decodeWindows1252(all);
  ASSERT_EQ(text.size(), 256);
  EXPECT_EQ(encodeWindows1252(text), all);
}

TEST(CodePage, HighRangeUsesWindowsCharacters) {
  const QString text = decodeWindows1252(QByteArray("\x80\x99\x8A\x9F\xE9\xD1"));
  EXPECT_EQ(text, QString::fromUtf8("€™ŠŸéÑ"));
}

TEST(CodePage, CharactersOutsideBecomeQuestionMarks) {
  EXPECT_EQ(encodeWindows1252(QString::fromUtf8("a€Ωb😀")), QByteArray("a\x80?b?"));
}

// Text goes in and comes out of a WIN1252 column as the same characters, stored one byte each,
// both as a parameter and inside the statement's text.
TEST(CodePage, AccentsRoundTripThroughTheDatabase) {
  testing::ScratchDb scratch("CREATE TABLE T (ID INTEGER, S VARCHAR(20), C CHAR(6));");
  Attachment att = scratch.open();
  const QString word = QString::fromUtf8("éÑ€™ Año");
  att.execute("INSERT INTO T VALUES (1, ?, ?)",
              {Value::text(word), Value::text(QString::fromUtf8("Ñu"))});
  att.execute(QString::fromUtf8("INSERT INTO T VALUES (2, 'éÑ€™ Año', 'Ñu')"));

  RowSet rows = att.query("SELECT ID, S, C, OCTET_LENGTH(S) AS BYTES FROM T ORDER BY ID");
  ASSERT_EQ(rows.size(), 2u);
  for (const Row& row : rows.rows) {
    SCOPED_TRACE(row.text(u"ID").toStdString());
    EXPECT_EQ(row.text(u"S"), word);
    EXPECT_EQ(row.text(u"C"), QString::fromUtf8("Ñu    "));
    EXPECT_EQ(row[u"BYTES"].asInteger(), 8);
  }
  // A parameter compares equal to the stored text.
  EXPECT_EQ(att.query("SELECT ID FROM T WHERE S = ?", {Value::text(word)}).size(), 2u);
}

TEST(CodePage, FixtureTextsArriveAsTheirCharacters) {
  testing::TempDir dir;
  const auto inst = testing::makeInstallation(dir.path());
  Attachment att = Attachment::open(testing::companyParams(inst));
  RowSet rows = att.query(
      "SELECT ARTI_NOM, OCTET_LENGTH(ARTI_NOM) AS BYTES FROM ARTICULO WHERE ARTI_COD = '00700'");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows.rows[0].text(u"ARTI_NOM"), QString::fromUtf8("PAÑALES BEBÉ ETAPA 1 X 30"));
  EXPECT_EQ(rows.rows[0][u"BYTES"].asInteger(), 25);
}

}  // namespace
}  // namespace radevore::db
