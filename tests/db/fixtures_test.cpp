#include <gtest/gtest.h>

#include <QFile>

#include "db/db_error.h"
#include "support/fixture_db.h"

namespace radevore::db {
namespace {

// The standard company data that the other areas' tests build on.
TEST(Fixtures, InstallationHoldsTheStandardCompany) {
  testing::TempDir dir;
  const auto inst = testing::makeInstallation(dir.path(), "002");
  EXPECT_EQ(inst.generalDb, dir.path() + "/datos/general.fdb");
  EXPECT_EQ(inst.companyDb, dir.path() + "/datos/002/nexora.fdb");
  EXPECT_TRUE(QFile::exists(inst.generalDb));

  Attachment att = Attachment::open(testing::companyParams(inst));
  QStringList prefixes;
  for (const Row& r :
       att.query("select * from prefijos where tido_cod=36 and pref_activo = 'S'").rows)
    prefixes << r.text(u"PREF_PRE");
  EXPECT_EQ(prefixes, QStringList({"RT01", "RT02"}));

  QStringList lists;
  for (const Row& r : att.query("SELECT * FROM LISTA_PRECIOS").rows) lists << r.text(u"LIPR_COD");
  EXPECT_EQ(lists, QStringList({"1", "3", "4", "12"}));

  const Row full = att.query("SELECT * FROM LISTA_PRECIOS WHERE LIPR_COD = 4").rows.at(0);
  EXPECT_EQ(full[u"LIPR_COMI"], Value::decimal(25000, 4));
  EXPECT_EQ(full[u"LIPR_HORAINI"], Value::time(QTime(7, 0)));
  EXPECT_EQ(full[u"LIPR_DIASEM"], Value::integer(127));

  EXPECT_EQ(att.query("SELECT CONF_VALOR FROM CONFIGURACION WHERE CONF_PROPIEDAD = "
                      "'CODIGO DE LA LISTA DE PRECIOS A MOSTRAR EN ARTICULOS'")
                .rows.at(0)
                .text(u"CONF_VALOR"),
            "4");
  EXPECT_TRUE(att.query("SELECT * FROM ROTULOS_PENDIENTES").empty());
  EXPECT_EQ(att.query("select arti_unidad, coba_cod from barras_articulo b, articulo a where "
                      "a.arti_cod = b.arti_cod and a.arti_unidad = b.coba_unidad and a.arti_cod = "
                      "'00123'")
                .rows.at(0)
                .text(u"COBA_COD"),
            "7701234567890");
  EXPECT_EQ(att.query("select arti_pesoauto from articulo where arti_cod = 'A''1'").size(), 1u);
}

TEST(Fixtures, ExtraSqlAppliesAfterTheDataAndErrorsCarryIsqlsText) {
  testing::TempDir dir;
  const auto inst = testing::makeInstallation(
      dir.path(), "001", "UPDATE CONFIGURACION SET CONF_VALOR = 'SI' WHERE CONF_VALOR = 'NO';");
  Attachment att = Attachment::open(testing::companyParams(inst));
  EXPECT_EQ(att.query("SELECT * FROM CONFIGURACION WHERE CONF_VALOR = 'SI'").size(), 1u);

  try {
    testing::createDatabase(dir.file("bad.fdb"), {}, "CREATE TABLE X (A NOSUCHTYPE);");
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("NOSUCHTYPE"), std::string::npos) << e.what();
  }
}

TEST(Fixtures, DemoDataBuildsAndQueuesLabels) {
  testing::TempDir dir;
  const QString path = dir.file("demo.fdb");
  testing::createDatabase(
      path, {testing::fixturePath("company.sql"), testing::fixturePath("demo_data.sql")});
  ConnectionParams p;
  p.database = path;
  p.user = "SYSDBA";
  Attachment att = Attachment::open(p);
  const QString prefix = att.query("select * from prefijos where tido_cod=36 and pref_activo = 'S'")
                             .rows.at(0)
                             .text(u"PREF_PRE");
  RowSet labels =
      att.query(QStringLiteral("select * from impr_articulo('%1', 1, 1, 'N', 0)").arg(prefix));
  EXPECT_GE(labels.size(), 24u);
  EXPECT_EQ(labels.rows.at(1).text(u"DESCRIPCION"),
            QString::fromUtf8("AZÚCAR MANUELITA BLANCA X 1 KG"));
  for (const Row& r : labels.rows)
    EXPECT_FALSE(r[u"PRECIO"].isNull()) << r.text(u"ARTICULO").toStdString();
  EXPECT_EQ(
      att.query(QStringLiteral("SELECT * FROM FORMATOS WHERE TIDO_COD = 36 AND PREF_PRE = '%1'")
                    .arg(prefix))
          .size(),
      1u);
}

}  // namespace
}  // namespace radevore::db
