#include <gtest/gtest.h>

#include "db/statement.h"
#include "db/transaction.h"
#include "support/fixture_db.h"

namespace radevore::db {
namespace {

const QString kCall = QStringLiteral("select * from impr_articulo('RT01', 1, 4, 'N', 0)");

class LabelProcedure : public ::testing::Test {
 protected:
  void SetUp() override {
    inst_ = testing::makeInstallation(
        dir_.path(), QStringLiteral("001"),
        QStringLiteral(
            "INSERT INTO ROTULOS_PENDIENTES (PREF_PRE, ARTI_COD) VALUES ('RT01', '00123');\n"
            "INSERT INTO ROTULOS_PENDIENTES (PREF_PRE, ARTI_COD) VALUES ('RT01', '00200');\n"
            "INSERT INTO ROTULOS_PENDIENTES (PREF_PRE, ARTI_COD) VALUES ('RT02', '00300');\n"
            "INSERT INTO ROTULOS_PENDIENTES (PREF_PRE, ARTI_COD) VALUES ('RT01', '00123');\n"));
  }
  Attachment open() { return Attachment::open(testing::companyParams(inst_)); }
  std::int64_t queued(Attachment& att) {
    return att.query("SELECT COUNT(*) FROM ROTULOS_PENDIENTES").rows.at(0).at(0).asInteger();
  }

  testing::TempDir dir_;
  testing::Installation inst_;
};

TEST_F(LabelProcedure, ReturnsTheRecordColumnsInOrder) {
  Attachment att = open();
  RowSet rows = att.query(kCall);
  const QStringList expected = {
      "ARTICULO", "DESCRIPCION", "DESCCORTA", "PRECIO",  "CODFAMI",      "NOMFAMI", "CODGRUPO",
      "NOMGRUPO", "CODSUBG",     "NOMSUBG",   "CODMARC", "NOMMARC",      "CODSUBM", "NOMSUBM",
      "PORIVA",   "PESO",        "PUM",       "COSTOP",  "COSTOPMASIVA", "UCOSTO",  "UCOSTOMASIVA",
      "LISTAP",   "NOMLISTA",    "PRECIO1",   "PRECIO2", "PRECIO3",      "PRECIO4", "CANTMIN1",
      "CANTMIN2", "CANTMIN3",    "CANTMIN4",  "AHORRO1", "AHORRO2",      "AHORRO3", "AHORRO4",
      "NOMBRE1",  "NOMBRE2",     "NOMBRE3",   "NOMBRE4", "FECHA"};
  EXPECT_EQ(rows.columns->names(), expected);

  ASSERT_EQ(rows.size(), 3u);
  QStringList codes;
  for (const Row& r : rows.rows) codes << r.text(u"ARTICULO");
  EXPECT_EQ(codes, QStringList({"00123", "00200", "00123"})) << "queue order, duplicates kept";

  const Row& full = rows.rows[0];
  EXPECT_EQ(full.text(u"DESCRIPCION"), "ARROZ DIANITA X 500 GR");
  EXPECT_EQ(full[u"PRECIO"], Value::decimal(150050, 2));
  EXPECT_EQ(full.text(u"NOMFAMI"), "ABARROTES");
  EXPECT_EQ(full.text(u"CODGRUPO"), "011");
  EXPECT_EQ(full.text(u"NOMSUBM"), "DIANITA");
  EXPECT_EQ(full[u"PORIVA"], Value::decimal(1900, 2));
  EXPECT_EQ(full[u"PESO"], Value::decimal(5000, 4));
  EXPECT_EQ(full[u"COSTOPMASIVA"], Value::decimal(130900, 2));
  EXPECT_EQ(full[u"LISTAP"], Value::integer(4));
  EXPECT_EQ(full.text(u"NOMLISTA"), "LISTA DETAL");
  EXPECT_EQ(full[u"PRECIO1"], Value::decimal(123450, 2));
  EXPECT_EQ(full[u"CANTMIN1"], Value::decimal(30000, 4));
  EXPECT_TRUE(full[u"CANTMIN4"].isNull());
  EXPECT_EQ(full.text(u"NOMBRE1"), "LLEVE 3");
  EXPECT_EQ(full[u"FECHA"].kind(), Value::Kind::Date);

  const Row& bare = rows.rows[1];
  EXPECT_EQ(bare.text(u"DESCRIPCION"), "PRODUCTO SIN DATOS");
  EXPECT_TRUE(bare[u"PRECIO"].isNull()) << "no price row in the list: still printed";
  EXPECT_TRUE(bare[u"NOMFAMI"].isNull());
}

TEST_F(LabelProcedure, RowsLeaveTheQueueOnlyWhenCommitted) {
  Attachment att = open();
  Attachment other = open();
  {
    Transaction tr = att.startTransaction();
    Statement call = att.prepare(tr, kCall);
    EXPECT_EQ(call.execute(tr).size(), 3u);
    EXPECT_TRUE(call.execute(tr).empty()) << "a second call returns nothing new";
    tr.rollback();  // printing failed
  }
  EXPECT_EQ(queued(other), 4);

  Transaction tr = att.startTransaction();
  EXPECT_EQ(att.prepare(tr, kCall).execute(tr).size(), 3u);
  tr.commit();  // printed
  EXPECT_EQ(queued(other), 1) << "only the RT02 label is left";
  EXPECT_TRUE(other.query(kCall).empty());
  EXPECT_EQ(
      other.query("select * from impr_articulo('RT02', 1, 4, 'N', 0)").rows.at(0).text(u"ARTICULO"),
      "00300");
}

TEST_F(LabelProcedure, AnotherPriceListGivesItsPrices) {
  Attachment att = open();
  RowSet rows = att.query("select * from impr_articulo('RT01', 1, 12, 'N', 0)");
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows.rows[0][u"PRECIO"], Value::decimal(135000, 2));
  EXPECT_EQ(rows.rows[0].text(u"NOMLISTA"), "MAYORISTAS");
}

}  // namespace
}  // namespace radevore::db
