#include "labels/label_record_source.h"

#include <gtest/gtest.h>

#include "db/db_error.h"
#include "db/statement.h"
#include "support/fixture_db.h"

namespace radevore::labels {
namespace {

using db::Value;

TEST(ImprArticuloStatement, QuotesThePrefixAndInsertsThePriceList) {
  EXPECT_EQ(imprArticuloStatement("RT01", "3"), "select * from impr_articulo('RT01',1,3,'N',0)");
  EXPECT_EQ(imprArticuloStatement("O'X", "12"), "select * from impr_articulo('O''X',1,12,'N',0)");
  EXPECT_EQ(imprArticuloStatement("RT01", ""), "select * from impr_articulo('RT01',1,,'N',0)");
}

TEST(UnitAndBarcodeStatement, EndsInTheQuotedArticleCode) {
  EXPECT_EQ(unitAndBarcodeStatement("00123"),
            "select arti_unidad, coba_cod from barras_articulo b, articulo a where a.arti_cod = "
            "b.arti_cod and a.arti_unidad = b.coba_unidad and a.arti_cod = '00123'");
  EXPECT_TRUE(unitAndBarcodeStatement("A'1").endsWith("a.arti_cod = 'A''1'"));
}

TEST(QuantityBreakTotal, MultipliesPriceByQuantityInFixedPoint) {
  struct Case {
    Value price, quantity;
    std::optional<std::int64_t> units;
  } cases[] = {
      {Value::decimal(123450, 2), Value::decimal(30000, 4), 37035000},  // 3703.5000
      {Value::decimal(150, 2), Value::decimal(1, 4), 2},                // 0.00015 -> 0.0002
      {Value::decimal(50, 2), Value::decimal(1, 4), 0},                 // 0.00005 -> 0.0000
      {Value::decimal(250, 2), Value::decimal(1, 4), 2},                // 0.00025 -> 0.0002
      {Value::decimal(180000, 2), Value::decimal(0, 4), 0},             // a quantity of 0
      {Value::decimal(-150, 2), Value::decimal(1, 4), -2},
      {Value::decimal(1000, 2), Value(), std::nullopt},
      {Value(), Value::decimal(30000, 4), std::nullopt},
      {Value(), Value(), std::nullopt},
      {Value::integer(7), Value::decimal(15000, 4), 105000},
      {Value::text("2.5"), Value::decimal(20000, 4), 50000},
      {Value::text(""), Value::decimal(20000, 4), std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.price.toText().toStdString() + " x " + c.quantity.toText().toStdString());
    const auto total = quantityBreakTotal(c.price, c.quantity);
    ASSERT_EQ(total.has_value(), c.units.has_value());
    if (total) {
      EXPECT_EQ(total->units(), *c.units);
    }
  }
}

// A company database with labels queued for RT01, fetched through impr_articulo.
class LabelRecordSourceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    installation_ = testing::makeInstallation(dir_.path());
    attachment_ = db::Attachment::open(testing::companyParams(installation_));
  }

  void queue(const QStringList& codes) {
    for (const QString& code : codes) {
      attachment_.execute("insert into rotulos_pendientes (pref_pre, arti_cod) values ('RT01', ?)",
                          {Value::text(code)});
    }
  }

  std::vector<LabelRecord> fetch(const QString& priceList = "4") {
    db::Transaction tr = attachment_.startTransaction();
    auto records = fetchLabelRecords(attachment_, tr, imprArticuloStatement("RT01", priceList));
    tr.commit();
    return records;
  }

  testing::TempDir dir_;
  testing::Installation installation_;
  db::Attachment attachment_;
};

TEST_F(LabelRecordSourceTest, KeepsDeliveryOrderAndComputesUnitBarcodeAndTotals) {
  queue({"00600", "00123", "00300", "A'1", "00123", "00500", "00200"});
  const auto records = fetch();
  ASSERT_EQ(records.size(), 7u);

  struct Expected {
    const char* code;
    Value unidad, barras;
  } expected[] = {
      {"00600", Value::text("UND"), Value::text("ABCDEFGHIJKLMNOPQRST")},  // 25 cut to 20
      {"00123", Value::text("UND"), Value::text("7701234567890")},         // not the CAJ code
      {"00300", Value(), Value()},  // no barcode of its own unit KG
      {"A'1", Value::text("UND"), Value::text("7700000000011")},
      {"00123", Value::text("UND"), Value::text("7701234567890")},
      {"00500", Value::text("UND"), Value::text("7700000005001")},  // the first of two
      {"00200", Value(), Value()},                                  // no unit at all
  };
  for (size_t i = 0; i < records.size(); ++i) {
    SCOPED_TRACE(expected[i].code);
    EXPECT_EQ(records[i].row.text(u"ARTICULO"), expected[i].code);
    EXPECT_EQ(records[i].unidad, expected[i].unidad);
    EXPECT_EQ(records[i].barras, expected[i].barras);
  }

  // 00123 in list 4: 1234.50 x 3, 1.50 x 0.0001, 0.50 x 0.0001, 10.00 x null.
  const auto& totals = records[1].totPrecio;
  ASSERT_TRUE(totals[0] && totals[1] && totals[2]);
  EXPECT_EQ(totals[0]->units(), 37035000);
  EXPECT_EQ(totals[1]->units(), 2);
  EXPECT_EQ(totals[2]->units(), 0);
  EXPECT_FALSE(totals[3].has_value());
  // 00500: 1800.00 x 0.0000 is present and 0.
  ASSERT_TRUE(records[5].totPrecio[0].has_value());
  EXPECT_EQ(records[5].totPrecio[0]->units(), 0);
  for (size_t n = 1; n < 4; ++n) EXPECT_FALSE(records[5].totPrecio[n].has_value());
  // 00200 has no prices at all.
  for (const auto& t : records[6].totPrecio) EXPECT_FALSE(t.has_value());
}

TEST_F(LabelRecordSourceTest, ParameterLookupAnswersAsTheLiteralStatement) {
  attachment_.execute(
      "insert into articulo (arti_cod, arti_unidad) values ('00800', 'UNIDAD1234')");
  attachment_.execute("insert into barras_articulo values ('00800', '', 'UNIDAD1234')");
  queue({"00123", "00300", "A'1", "00500", "00600", "00700", "00200", "00800", "NOEXISTE"});
  const auto records = fetch();
  ASSERT_EQ(records.size(), 9u);
  for (const LabelRecord& r : records) {
    const QString code = r.row.text(u"ARTICULO");
    SCOPED_TRACE(code.toStdString());
    const db::RowSet literal = attachment_.query(unitAndBarcodeStatement(code));
    if (literal.empty()) {
      EXPECT_TRUE(r.unidad.isNull());
      EXPECT_TRUE(r.barras.isNull());
      continue;
    }
    EXPECT_EQ(r.unidad.toText(), literal.rows[0].at(0).toText().left(8));
    EXPECT_EQ(r.barras.toText(), literal.rows[0].at(1).toText().left(20));
  }
  EXPECT_EQ(records[5].unidad.toText(), "PAQ");
  EXPECT_EQ(records[7].unidad, Value::text("UNIDAD12"));  // 10 characters cut to 8
  EXPECT_EQ(records[7].barras, Value::text(""));          // an empty code is not null
}

TEST_F(LabelRecordSourceTest, ReturnsNothingWhenNothingIsQueued) {
  EXPECT_TRUE(fetch().empty());
}

TEST_F(LabelRecordSourceTest, TheProcedureCallRunsInTheCallersTransaction) {
  queue({"00123"});
  {
    db::Transaction tr = attachment_.startTransaction();
    EXPECT_EQ(fetchLabelRecords(attachment_, tr, imprArticuloStatement("RT01", "4")).size(), 1u);
    tr.rollback();
  }
  // Rolled back: the label is still queued.
  EXPECT_EQ(fetch().size(), 1u);
  EXPECT_TRUE(fetch().empty());
}

TEST_F(LabelRecordSourceTest, ALookupErrorEndsTheFetch) {
  attachment_.execute("drop table barras_articulo");
  queue({"00123"});
  db::Transaction tr = attachment_.startTransaction();
  try {
    fetchLabelRecords(attachment_, tr, imprArticuloStatement("RT01", "4"));
    FAIL() << "no error";
  } catch (const db::DbError& e) {
    EXPECT_TRUE(e.text().contains("BARRAS_ARTICULO", Qt::CaseInsensitive)) << e.what();
  }
}

TEST_F(LabelRecordSourceTest, AStatementTheDatabaseRejectsRaisesItsError) {
  db::Transaction tr = attachment_.startTransaction();
  EXPECT_THROW(fetchLabelRecords(attachment_, tr, imprArticuloStatement("RT01", "")), db::DbError);
}

}  // namespace
}  // namespace radevore::labels
