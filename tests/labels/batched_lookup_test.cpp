#include "labels/batched_lookup.h"

#include <gtest/gtest.h>

#include "db/statement.h"
#include "labels/label_record_source.h"
#include "support/fixture_db.h"

namespace radevore::labels {
namespace {

using db::Value;

// Beside the fixture's articles: a unit with two bar codes inserted in the reverse of their
// sorted order, an article without a unit, one whose unit has no bar code, and codes that
// differ only in case or in trailing blanks.
const char* const kExtra =
    "INSERT INTO ARTICULO (ARTI_COD, ARTI_UNIDAD, ARTI_INVIMA) VALUES ('DUP', 'UND', NULL);\n"
    "INSERT INTO BARRAS_ARTICULO VALUES ('DUP', '9999', 'UND');\n"
    "INSERT INTO BARRAS_ARTICULO VALUES ('DUP', '1111', 'UND');\n"
    "INSERT INTO BARRAS_ARTICULO VALUES ('DUP', '5555', 'CAJ');\n"
    "INSERT INTO ARTICULO (ARTI_COD, ARTI_UNIDAD) VALUES ('NOUNIT', NULL);\n"
    "INSERT INTO BARRAS_ARTICULO VALUES ('NOUNIT', '4444', 'UND');\n"
    "INSERT INTO ARTICULO (ARTI_COD, ARTI_UNIDAD, ARTI_INVIMA) VALUES ('Ab', 'KG', 'INV-Ab');\n"
    "INSERT INTO BARRAS_ARTICULO VALUES ('Ab', '3333', 'KG');\n"
    "INSERT INTO ARTICULO (ARTI_COD, ARTI_UNIDAD, ARTI_INVIMA) VALUES ('AB', 'UND', '');\n"
    "INSERT INTO BARRAS_ARTICULO VALUES ('AB', '2222', 'UND');\n";

// Codes as labels may carry them: repeated, absent, empty, of other lengths, with a quote.
const QStringList kCodes = {
    "00123", "DUP", "00300", "DUP",   "NOUNIT", "NOEXISTE",        "Ab",    "AB",    "ab",
    "AB   ", "",    "A'1",   "00500", "00123",  QString(40, u'9'), "00600", "00200", "00700"};

class BatchedLookupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    installation_ = testing::makeInstallation(dir_.path(), "001", kExtra);
    attachment_ = db::Attachment::open(testing::companyParams(installation_));
  }

  BatchedLookup unitAndBarcode(db::Transaction& tr) {
    return BatchedLookup(attachment_, tr, "a.arti_unidad, b.coba_cod",
                         "barras_articulo b, articulo a",
                         "a.arti_cod = b.arti_cod and a.arti_unidad = b.coba_unidad and "
                         "a.arti_cod = :code",
                         "b.rdb$db_key");
  }

  // What the single-article statement answers: its first row, or nothing.
  std::optional<std::vector<Value>> single(const QString& sql) {
    const db::RowSet rows = attachment_.query(sql);
    if (rows.empty()) return std::nullopt;
    std::vector<Value> values;
    for (int i = 0; i < rows.rows[0].size(); ++i) values.push_back(rows.rows[0].at(i));
    return values;
  }

  void expectSameAsSingleQueries() {
    db::Transaction tr = attachment_.startTransaction(db::TransactionMode::ReadOnly);
    BatchedLookup lookup = unitAndBarcode(tr);
    lookup.expect(kCodes);
    for (const QString& code : kCodes) {
      SCOPED_TRACE("code '" + code.toStdString() + "'");
      const std::vector<Value>* batched = lookup.find(code);
      const auto expected = single(unitAndBarcodeStatement(code));
      ASSERT_EQ(batched != nullptr, expected.has_value());
      if (batched) {
        EXPECT_EQ(*batched, *expected);
      }
    }
    // Every announced code answered by one query, repeats and all.
    EXPECT_EQ(lookup.queries(), 1);
  }

  testing::TempDir dir_;
  testing::Installation installation_;
  db::Attachment attachment_;
};

TEST_F(BatchedLookupTest, AnswersAsTheSingleArticleStatementWithOneQuery) {
  expectSameAsSingleQueries();
  db::Transaction tr = attachment_.startTransaction(db::TransactionMode::ReadOnly);
  BatchedLookup lookup = unitAndBarcode(tr);
  lookup.expect(kCodes);
  // The cases themselves: the first row in storage order, blank padding, exact case.
  EXPECT_EQ(*lookup.find("DUP"), (std::vector<Value>{Value::text("UND"), Value::text("9999")}));
  EXPECT_EQ(*lookup.find("AB   "), (std::vector<Value>{Value::text("UND"), Value::text("2222")}));
  EXPECT_EQ(*lookup.find("Ab"), (std::vector<Value>{Value::text("KG"), Value::text("3333")}));
  EXPECT_EQ(lookup.find("ab"), nullptr);
  EXPECT_EQ(lookup.find("NOUNIT"), nullptr);
  EXPECT_EQ(lookup.find(QString(40, u'9')), nullptr);
}

TEST_F(BatchedLookupTest, AnIndexOnTheArticleCodeChangesNoAnswer) {
  attachment_.execute("create index barras_articulo_cod on barras_articulo (arti_cod)");
  expectSameAsSingleQueries();
}

TEST_F(BatchedLookupTest, ColumnLookupsKeepNullsApartFromAbsentRows) {
  db::Transaction tr = attachment_.startTransaction(db::TransactionMode::ReadOnly);
  BatchedLookup invima(attachment_, tr, "a.arti_invima", "articulo a", "a.arti_cod = :code",
                       "a.rdb$db_key");
  invima.expect({"DUP", "AB", "Ab", "NOEXISTE"});
  EXPECT_EQ(*invima.find("DUP"), std::vector<Value>{Value()});  // a row with a null
  EXPECT_EQ(*invima.find("AB"), std::vector<Value>{Value::text("")});
  EXPECT_EQ(*invima.find("Ab"), std::vector<Value>{Value::text("INV-Ab")});
  EXPECT_EQ(invima.find("NOEXISTE"), nullptr);  // no row
  EXPECT_EQ(invima.queries(), 1);
}

TEST_F(BatchedLookupTest, ACodeNotAnnouncedIsAskedOnceAndLargeAnnouncementsAreSplit) {
  db::Transaction tr = attachment_.startTransaction(db::TransactionMode::ReadOnly);
  BatchedLookup lookup = unitAndBarcode(tr);
  EXPECT_EQ(*lookup.find("00123"),
            (std::vector<Value>{Value::text("UND"), Value::text("7701234567890")}));
  EXPECT_EQ(lookup.find("00123"), lookup.find("00123"));
  EXPECT_EQ(lookup.queries(), 1);

  // 1,500 codes take two queries (a query takes at most 1,000), asked in any order.
  QStringList many;
  for (int i = 0; i < 1500; ++i) many << QStringLiteral("X%1").arg(i);
  many << "DUP";
  lookup.expect(many);
  EXPECT_EQ(lookup.find("DUP")->at(1), Value::text("9999"));
  for (const QString& code : many) EXPECT_EQ(lookup.find(code) == nullptr, code != u"DUP");
  EXPECT_EQ(lookup.queries(), 3);
}

// The record stream: labels read a batch at a time, their unit and bar code from one query per
// batch of articles not met before.
TEST_F(BatchedLookupTest, TheRecordStreamAsksOncePerBatchOfNewArticles) {
  attachment_.execute(
      "execute block as declare k integer = 0; begin while (k < 1200) do begin "
      "insert into rotulos_pendientes (pref_pre, arti_cod) values ('RT01', "
      "case mod(:k, 3) when 0 then 'DUP' when 1 then '00123' else 'NOEXISTE' end); "
      "k = k + 1; end end");
  db::Transaction tr = attachment_.startTransaction();
  LabelRecordStream stream(attachment_, tr, imprArticuloStatement("RT01", "4"));
  std::vector<qsizetype> batches;
  stream.onBatch([&](const QStringList& articles) { batches.push_back(articles.size()); });
  int count = 0;
  while (const LabelRecord* r = stream.next()) {
    const QString code = r->row.text(u"ARTICULO");
    SCOPED_TRACE(code.toStdString());
    if (code == u"DUP") {
      EXPECT_EQ(r->barras, Value::text("9999"));
    } else if (code == u"00123") {
      EXPECT_EQ(r->barras, Value::text("7701234567890"));
    } else {
      EXPECT_TRUE(r->unidad.isNull());
      EXPECT_TRUE(r->barras.isNull());
    }
    ++count;
  }
  EXPECT_EQ(count, 1200);
  EXPECT_EQ(batches, (std::vector<qsizetype>{500, 500, 200}));
  EXPECT_EQ(stream.lookupQueries(), 1);
  EXPECT_EQ(stream.next(), nullptr);
  tr.commit();
}

}  // namespace
}  // namespace radevore::labels
