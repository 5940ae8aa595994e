#include <gtest/gtest.h>

#include <memory>

#include "db/transaction.h"
#include "db_test_support.h"

namespace radevore::db {
namespace {

const char* kSchema = R"(
CREATE TABLE T (
  ID   INTEGER NOT NULL,
  SI   SMALLINT, I INTEGER, BI BIGINT,
  N2   NUMERIC(15,2), N4 NUMERIC(15,4), N52 NUMERIC(5,2), D3 DECIMAL(9,3), N18 NUMERIC(18,4),
  F    FLOAT, DP DOUBLE PRECISION,
  C    CHAR(5), V VARCHAR(10), CU CHAR(3) CHARACTER SET UTF8, VU VARCHAR(10) CHARACTER SET UTF8,
  DT   DATE, TM TIME, TS TIMESTAMP,
  BT   BLOB SUB_TYPE 1, BB BLOB SUB_TYPE 0);
INSERT INTO T VALUES (1, -7, 2147483647, 9223372036854775807,
  1500.50, -0.0001, 999.99, -12.345, 922337203685477.5807,
  1.5, -2.25,
  'ab', 'x y ', 'ñ', 'Ωñ',
  '2024-02-29', '23:59:58.1234', '1999-12-31 08:00:01',
  'línea uno' || ASCII_CHAR(10) || 'línea dos', x'00FF10');
INSERT INTO T (ID) VALUES (2);
)";

class ColumnTypes : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { scratch_ = std::make_unique<testing::ScratchDb>(kSchema); }
  static void TearDownTestSuite() { scratch_.reset(); }
  Row row(int id) {
    Attachment att = scratch_->open();
    RowSet rows = att.query("SELECT * FROM T WHERE ID = ?", {Value::integer(id)});
    EXPECT_EQ(rows.size(), 1u);
    return rows.rows.at(0);
  }
  static inline std::unique_ptr<testing::ScratchDb> scratch_;
};

TEST_F(ColumnTypes, ExactNumbersKeepIntegerOrScale) {
  const Row r = row(1);
  struct Case {
    const char* column;
    Value expected;
  } cases[] = {
      {"SI", Value::integer(-7)},
      {"I", Value::integer(2147483647)},
      {"BI", Value::integer(9223372036854775807)},
      {"N2", Value::decimal(150050, 2)},
      {"N4", Value::decimal(-1, 4)},
      {"N52", Value::decimal(99999, 2)},
      {"D3", Value::decimal(-12345, 3)},
      {"N18", Value::decimal(9223372036854775807, 4)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.column);
    EXPECT_EQ(r[QString::fromLatin1(c.column)], c.expected);
  }
  EXPECT_EQ(r.text(u"N2"), "1500.5");
  EXPECT_EQ(r.text(u"N18"), "922337203685477.5807");
}

TEST_F(ColumnTypes, FloatsTextsAndDates) {
  const Row r = row(1);
  EXPECT_EQ(r[u"F"], Value::floating(1.5));
  EXPECT_EQ(r[u"DP"], Value::floating(-2.25));
  EXPECT_EQ(r[u"C"], Value::text("ab   ")) << "CHAR keeps its padding";
  EXPECT_EQ(r[u"V"], Value::text("x y "));
  EXPECT_EQ(r[u"CU"], Value::text(QString::fromUtf8("ñ  ")));
  EXPECT_EQ(r[u"VU"], Value::text(QString::fromUtf8("Ωñ")));
  EXPECT_EQ(r[u"DT"], Value::date(QDate(2024, 2, 29)));
  EXPECT_EQ(r[u"TM"].asTime(), QTime(23, 59, 58, 123));
  EXPECT_EQ(r[u"TS"].asTimestamp(), QDateTime(QDate(1999, 12, 31), QTime(8, 0, 1)));
}

TEST_F(ColumnTypes, BlobsTextDecodedBinaryKept) {
  const Row r = row(1);
  EXPECT_EQ(r[u"BT"], Value::text(QString::fromUtf8("línea uno\nlínea dos")));
  EXPECT_EQ(r[u"BB"], Value::blob(QByteArray("\x00\xFF\x10", 3)));
}

TEST_F(ColumnTypes, NullsOfEveryType) {
  const Row r = row(2);
  for (int i = 1; i < r.size(); ++i) {
    SCOPED_TRACE(r.columns().names().at(i).toStdString());
    EXPECT_TRUE(r.at(i).isNull());
    EXPECT_EQ(r.at(i).toText(), "");
  }
}

TEST(Blobs, ABigBlobIsReadWhole) {
  testing::ScratchDb scratch(
      "CREATE TABLE B (ID INTEGER, BB BLOB SUB_TYPE 0, BT BLOB SUB_TYPE 1);");
  Attachment att = scratch.open();
  QByteArray big(3 * 1024 * 1024 + 17, '\0');
  for (qsizetype i = 0; i < big.size(); ++i) big[i] = static_cast<char>((i * 31 + i / 997) & 0xFF);
  const QString longText = QString(70000, QChar(u'ñ')) + "fin";
  att.execute("INSERT INTO B VALUES (1, ?, ?)", {Value::blob(big), Value::text(longText)});
  RowSet rows = att.query("SELECT BB, BT, OCTET_LENGTH(BT) AS BYTES FROM B");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows.rows[0][u"BB"].asBlob(), big);
  EXPECT_EQ(rows.rows[0][u"BT"].asString(), longText);
  EXPECT_EQ(rows.rows[0][u"BYTES"].asInteger(), 70003);
}

}  // namespace
}  // namespace radevore::db
