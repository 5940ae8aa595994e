#include "render/data_catalogue.h"

#include <gtest/gtest.h>

#include <QHash>
#include <memory>

#include "db/db_error.h"
#include "format_rows.h"
#include "labels/label_record_source.h"
#include "report/recording_canvas.h"
#include "support/fixture_db.h"

namespace radevore::render {
namespace {

using namespace radevore::testing;
using db::Value;

// Articles beside the standard ones, for the weight flag: null, lower-case s, S without a
// price, and a price for a code that is not an article.
const char* const kExtraArticles =
    "INSERT INTO ARTICULO (ARTI_COD, ARTI_NOM, ARTI_UNIDAD, ARTI_PESOAUTO) VALUES ('PL-NUL', "
    "'PESO NULO', 'UND', NULL);\n"
    "INSERT INTO ARTICULO (ARTI_COD, ARTI_NOM, ARTI_UNIDAD, ARTI_PESOAUTO) VALUES ('PL-LOW', "
    "'PESO MINUSCULA', 'UND', 's');\n"
    "INSERT INTO ARTICULO (ARTI_COD, ARTI_NOM, ARTI_UNIDAD, ARTI_PESOAUTO) VALUES ('PL-NOP', "
    "'PESO SIN PRECIO', 'UND', 'S');\n"
    "INSERT INTO PRECIOS_ARTICULO (LIPR_COD, ARTI_COD, PRAR_PRECIO) VALUES (4, 'PL-NUL', 100.00);\n"
    "INSERT INTO PRECIOS_ARTICULO (LIPR_COD, ARTI_COD, PRAR_PRECIO) VALUES (4, 'PL-LOW', 100.00);\n"
    "INSERT INTO PRECIOS_ARTICULO (LIPR_COD, ARTI_COD, PRAR_PRECIO) VALUES (4, 'ZZZ', 100.00);\n";

const QDate kLabelDate(2024, 3, 5);  // a Tuesday

struct Expect {
  QString op;  // "PrintAt", "PrintRightAt", or empty for no call at all
  QString text;
};

Expect at(const QString& text) {
  return {QStringLiteral("PrintAt"), text};
}
Expect right(const QString& text) {
  return {QStringLiteral("PrintRightAt"), text};
}
Expect nothing() {
  return {};
}

QString shortDate(const char* locale, QDate date) {
  return QLocale(QString::fromLatin1(locale)).toString(date, QLocale::ShortFormat);
}

// One company database shared by the tests: labels queued for RT01 and fetched once (fetching
// takes them off the queue), list 4.
class DataCatalogueTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    shared_ = std::make_unique<Shared>();
    shared_->installation = makeInstallation(shared_->dir.path(), "001", kExtraArticles);
    shared_->attachment = db::Attachment::open(companyParams(shared_->installation));
    db::Attachment& att = shared_->attachment;
    for (const char* code :
         {"00123", "00200", "00300", "00400", "00700", "PL-NUL", "PL-LOW", "PL-NOP", "ZZZ"}) {
      const bool dated = QByteArray(code) != "00200";
      att.execute(
          "insert into rotulos_pendientes (pref_pre, arti_cod, rope_fecha) values ('RT01', ?, ?)",
          {Value::text(code), dated ? Value::date(kLabelDate) : Value()});
    }
    db::Transaction tr = att.startTransaction();
    for (auto& r : labels::fetchLabelRecords(att, tr, labels::imprArticuloStatement("RT01", "4"))) {
      shared_->records.insert(r.row.text(u"ARTICULO"), r);
    }
    tr.commit();
  }
  static void TearDownTestSuite() { shared_.reset(); }

  void SetUp() override {
    ASSERT_EQ(shared_->records.size(), 9);
    tr_ = shared_->attachment.startTransaction(db::TransactionMode::ReadOnly);
  }

  static const labels::LabelRecord& record(const QString& code) {
    return shared_->records.find(code).value();
  }

  static db::Row element(const QString& name, Value formato = Value(), Value ini = Value(),
                         Value length = Value()) {
    return makeRow(dataColumns(), {{"DAFO_DATO", txt(name)},
                                   {"DAFO_FORMATO", std::move(formato)},
                                   {"DAFO_INI", std::move(ini)},
                                   {"DAFO_LONG", std::move(length)}});
  }

  std::vector<report::CanvasCall> print(const labels::LabelRecord& rec, const db::Row& el,
                                        const WindowTexts& window = {},
                                        const char* locale = "es_CO") {
    report::RecordingCanvas canvas;
    DataCatalogue catalogue(shared_->attachment, tr_,
                            RegionalSettings(QLocale(QString::fromLatin1(locale))), window);
    catalogue.print(canvas, el, rec, 2.25, 3.5);
    return canvas.calls();
  }

  static void check(const std::vector<report::CanvasCall>& calls, const Expect& e) {
    if (e.op.isEmpty()) {
      EXPECT_TRUE(calls.empty()) << "printed " << calls.front().op.toStdString() << " "
                                 << calls.front().text.toStdString();
      return;
    }
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].op, e.op);
    EXPECT_EQ(calls[0].text, e.text);
    EXPECT_DOUBLE_EQ(calls[0].numbers[0], 2.25);
    EXPECT_DOUBLE_EQ(calls[0].numbers[1], 3.5);
  }

  struct Shared {
    TempDir dir;
    Installation installation;
    db::Attachment attachment;
    QHash<QString, labels::LabelRecord> records;
  };
  static std::unique_ptr<Shared> shared_;
  db::Transaction tr_;
};

std::unique_ptr<DataCatalogueTest::Shared> DataCatalogueTest::shared_;

TEST(DataCatalogueNames, AreTheSixtyOneNamesInCatalogueOrder) {
  const QStringList& names = DataCatalogue::names();
  ASSERT_EQ(names.size(), 61);
  EXPECT_EQ(names.first(), "CODIGO");
  EXPECT_EQ(names.mid(19, 9), (QStringList{"PRECIO", "PRECIO1", "AHORRO1", "PRECIO2", "AHORRO2",
                                           "PRECIO3", "AHORRO3", "PRECIO4", "AHORRO4"}));
  EXPECT_EQ(names.last(), "USUARIO REGISTRO");
  EXPECT_EQ(QSet<QString>(names.begin(), names.end()).size(), 61);
}

TEST_F(DataCatalogueTest, EveryNamePrintsItsValueForAFullRecord) {
  const QString dec2 = "2";
  const QHash<QString, std::pair<QString, Expect>> expected = {
      {"CODIGO", {"", at("00123")}},
      {"CODIGO BARRAS", {"", at("*00123*")}},
      {"CODIGO BARRAS 128", {"", at("#00123#")}},
      {"DESCRIPCION", {"", at("ARROZ DIANITA X 500 GR")}},
      {"DESCRIPCION CORTA", {"", at("ARROZ DIANITA 500")}},
      {"FECHA", {"", at(shortDate("es_CO", kLabelDate))}},
      {"FECHA LETRAS", {"", at("martes, marzo 5, 2024")}},
      {"FAMILIA", {"", at("ABARROTES")}},
      {"NOMBRE FAMILIA", {"", at("ABARROTES")}},
      {"GRUPO", {"", at("011")}},
      {"NOMBRE GRUPO", {"", at("GRANOS")}},
      {"SUBGRUPO", {"", at("111")}},
      {"NOMBRE SUBGRUPO", {"", at("ARROZ")}},
      {"FABRICANTE", {"", at("001")}},
      {"NOMBRE FABRICANTE", {"", at("MOLINOS DEL CAMPO")}},
      {"MARCA", {"", at("0001")}},
      {"NOMBRE MARCA", {"", at("DIANITA")}},
      {"LISTA", {"", at("4")}},
      {"NOMBRE LISTA", {"", at("LISTA DETAL")}},
      {"PRECIO", {dec2, right("$1.500,50")}},
      {"PRECIO1", {dec2, right("$1.234,50")}},
      {"AHORRO1", {dec2, right("$300,00")}},
      {"PRECIO2", {"0", right("$2")}},
      {"AHORRO2", {dec2, right("$0,00")}},
      {"PRECIO3", {"3", right("$0,500")}},
      {"AHORRO3", {"", right("$0,00")}},
      {"PRECIO4", {dec2, right("$10,00")}},
      {"AHORRO4", {"dos", right("$5,00")}},
      {"NOMBRE1", {"", at("LLEVE 3")}},
      {"NOMBRE2", {"", at("PROMO 2")}},
      {"NOMBRE3", {"", at("PROMO 3")}},
      {"NOMBRE4", {"", at("PROMO 4")}},
      {"TOTAL PRECIO1", {dec2, right("$3.703,50")}},
      {"TOTAL PRECIO2", {"4", right("$0,0002")}},
      {"TOTAL PRECIO3", {"4", right("$0,0000")}},
      {"TOTAL PRECIO4", {dec2, nothing()}},
      {"CANTIDAD MINIMA 1", {"4", right("3,0000")}},
      {"CANTIDAD MINIMA 2", {"4", right("0,0001")}},
      {"CANTIDAD MINIMA 3", {dec2, right("0,00")}},
      {"CANTIDAD MINIMA 4", {dec2, nothing()}},
      {"PRECIO SIN FORMATO", {dec2, at("1500,5")}},
      {"PORCENTAJE IVA", {dec2, at("19")}},
      {"COSTO PROMEDIO", {"", at("1100")}},
      {"ULTIMO COSTO", {"", at("1150")}},
      {"COSTO PROMEDIO MAS IVA", {"", at("1309")}},
      {"ULTIMO COSTO MAS IVA", {"", at("1368,5")}},
      {"PRECIO LIBRA", {dec2, nothing()}},  // arti_pesoauto 'N'
      {"PESO", {"4", right("0,5000")}},
      {"P.U.M.", {dec2, right("$3,00")}},
      {"NOMBRE USUARIO", {"", at("ANA")}},
      {"CODIGO USUARIO", {"", at("ANA")}},
      {"UNIDAD", {"", at("UND")}},
      {"CODIGO INVIMA", {"", at("RSA-0012345-2020")}},
      {"UNIDAD BARRAS", {"", at("UND")}},
      {"BARRAS", {"", at("*7701234567890*")}},
      {"BARRAS 128", {"", at("#7701234567890#")}},
      {"BARRAS EAN", {"", at("7701234567890")}},
      {"TEXTO FIJO", {"", at("OFERTA 2X1")}},
      {"FECHA REGISTRO", {"", at(shortDate("es_CO", QDate(2024, 3, 5)))}},
      {"HORA REGISTRO", {"", at("17:45:10")}},
      {"USUARIO REGISTRO", {"", at("PEDRO")}},
  };
  const WindowTexts window{[] { return QStringLiteral("ANA"); },
                           [] { return QStringLiteral("OFERTA 2X1"); },
                           [] { return QStringLiteral("555"); }};
  for (const QString& name : DataCatalogue::names()) {
    SCOPED_TRACE(name.toStdString());
    ASSERT_TRUE(expected.contains(name));
    const auto& [formato, e] = expected[name];
    check(print(record("00123"), element(name, formato.isEmpty() ? Value() : txt(formato)), window),
          e);
  }
}

TEST_F(DataCatalogueTest, EveryNamePrintsItsValueForARecordOfNulls) {
  // 00200: code and name only, no prices, no unit, no date; the window's texts are empty and
  // there is no audited document.
  const QStringList texts = {"DESCRIPCION CORTA",
                             "FECHA",
                             "FECHA LETRAS",
                             "FAMILIA",
                             "NOMBRE FAMILIA",
                             "GRUPO",
                             "NOMBRE GRUPO",
                             "SUBGRUPO",
                             "NOMBRE SUBGRUPO",
                             "FABRICANTE",
                             "NOMBRE FABRICANTE",
                             "MARCA",
                             "NOMBRE MARCA",
                             "NOMBRE1",
                             "NOMBRE2",
                             "NOMBRE3",
                             "NOMBRE4",
                             "PRECIO SIN FORMATO",
                             "PORCENTAJE IVA",
                             "COSTO PROMEDIO",
                             "ULTIMO COSTO",
                             "COSTO PROMEDIO MAS IVA",
                             "ULTIMO COSTO MAS IVA",
                             "NOMBRE USUARIO",
                             "CODIGO USUARIO",
                             "UNIDAD BARRAS",
                             "BARRAS EAN",
                             "TEXTO FIJO"};
  QHash<QString, Expect> expected = {
      {"CODIGO", at("00200")},
      {"CODIGO BARRAS", at("*00200*")},
      {"CODIGO BARRAS 128", at("#00200#")},
      {"DESCRIPCION", at("PRODUCTO SIN DATOS")},
      {"LISTA", at("4")},
      {"NOMBRE LISTA", at("LISTA DETAL")},
      {"BARRAS", at("**")},
      {"BARRAS 128", at("##")},
  };
  for (const QString& name : texts) expected.insert(name, at(""));
  const WindowTexts window{[] { return QString(); }, [] { return QString(); },
                           [] { return QString(); }};
  for (const QString& name : DataCatalogue::names()) {
    SCOPED_TRACE(name.toStdString());
    check(print(record("00200"), element(name, txt("2")), window), expected.value(name));
  }
}

TEST_F(DataCatalogueTest, NamesAreMatchedExactly) {
  for (const char* name : {"codigo", "CODIGO ", " CODIGO", "Precio", "", "BARRAS  EAN", "PRECIO5",
                           "TOTAL PRECIO", "P.U.M"}) {
    SCOPED_TRACE(name);
    check(print(record("00123"), element(QString::fromLatin1(name), txt("2"))), nothing());
  }
}

TEST_F(DataCatalogueTest, PoundPricePrintsHalfThePriceOnlyForTheWeightFlagS) {
  const struct {
    const char* code;
    const char* decimals;
    Expect expected;
  } cases[] = {
      {"00400", "2", right("$2.500,25")},  // 'S' and 5000.50
      {"00400", "0", right("$2.500")},
      {"00400", "4", right("$2.500,2500")},
      {"00123", "2", nothing()},   // 'N'
      {"PL-NUL", "2", nothing()},  // null
      {"PL-LOW", "2", nothing()},  // 's'
      {"PL-NOP", "2", nothing()},  // 'S' without a price
      {"ZZZ", "2", nothing()},     // not an article
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.code) + " d=" + c.decimals);
    check(print(record(c.code), element("PRECIO LIBRA", txt(c.decimals))), c.expected);
  }
  // The price itself prints for all of them but the one without a price.
  check(print(record("PL-NOP"), element("PRECIO", txt("2"))), nothing());
  check(print(record("ZZZ"), element("PRECIO", txt("2"))), right("$100,00"));
}

TEST_F(DataCatalogueTest, UnitLookupDiffersFromTheBarcodeUnit) {
  // 00300 sells by KG and has a barcode only for UND.
  const auto& r = record("00300");
  check(print(r, element("UNIDAD")), at("KG"));
  check(print(r, element("UNIDAD BARRAS")), at(""));
  check(print(r, element("BARRAS")), at("**"));
  check(print(r, element("BARRAS 128")), at("##"));
  check(print(r, element("BARRAS EAN")), at(""));
  check(print(r, element("CODIGO INVIMA")), nothing());
}

TEST_F(DataCatalogueTest, TheCutAppliesToTheWrappedText) {
  const auto& r = record("00123");
  check(print(r, element("CODIGO BARRAS", Value(), Value(), num(5))), at("*0012"));
  check(print(r, element("BARRAS 128", Value(), num(2), num(5))), at("77012"));
  check(print(r, element("UNIDAD", Value(), num(2), num(1))), at("N"));
  check(print(r, element("PRECIO SIN FORMATO", Value(), Value(), num(3))), at("150"));
  check(print(record("00700"), element("DESCRIPCION", Value(), Value(), num(3))), at("PAÑ"));
  // The number output has no cut.
  check(print(r, element("PRECIO", txt("2"), Value(), num(3))), right("$1.500,50"));
}

TEST_F(DataCatalogueTest, FollowsTheRegionalSettings) {
  const auto& r = record("00123");
  check(print(r, element("FECHA"), {}, "en_US"), at("3/5/24"));
  check(print(r, element("FECHA LETRAS"), {}, "en_US"), at("Tuesday, March 5, 2024"));
  check(print(r, element("FECHA LETRAS"), {}, "de_DE"), at("Dienstag, März 5, 2024"));
  check(print(r, element("FECHA LETRAS"), {}, "ru_RU"), at("вторник, март 5, 2024"));
  check(print(r, element("FECHA LETRAS"), {}, "pl_PL"), at("wtorek, marzec 5, 2024"));
  check(print(r, element("PRECIO", txt("2")), {}, "en_US"), right("$1,500.50"));
  check(print(r, element("PRECIO", txt("2")), {}, "de_DE"), right("1.500,50\u00a0€"));
  check(print(r, element("PRECIO SIN FORMATO"), {}, "en_US"), at("1500.5"));
  check(print(r, element("ULTIMO COSTO MAS IVA"), {}, "de_DE"), at("1368,5"));
  check(print(r, element("TOTAL PRECIO1", txt("2")), {}, "en_US"), right("$3,703.50"));
  check(print(r, element("CANTIDAD MINIMA 1", txt("1")), {}, "en_US"), right("3.0"));
  check(print(record("00400"), element("PRECIO LIBRA", txt("2")), {}, "en_US"), right("$2,500.25"));
}

TEST_F(DataCatalogueTest, WindowTextsAreReadWhenPrinted) {
  QString fixed = "PRIMERO";
  const WindowTexts window{{}, [&fixed] { return fixed; }, {}};
  report::RecordingCanvas canvas;
  DataCatalogue catalogue(shared_->attachment, tr_, RegionalSettings(QLocale("es_CO")), window);
  catalogue.print(canvas, element("TEXTO FIJO"), record("00123"), 1, 1);
  fixed = "SEGUNDO";
  catalogue.print(canvas, element("TEXTO FIJO"), record("00123"), 1, 1);
  // Without a source the user name is empty.
  catalogue.print(canvas, element("NOMBRE USUARIO"), record("00123"), 1, 1);
  ASSERT_EQ(canvas.calls().size(), 3u);
  EXPECT_EQ(canvas.calls()[0].text, "PRIMERO");
  EXPECT_EQ(canvas.calls()[1].text, "SEGUNDO");
  EXPECT_EQ(canvas.calls()[2].text, "");
}

TEST_F(DataCatalogueTest, AuditNamesNeedADocumentOfDigits) {
  const struct {
    const char* document;
    bool prints;
  } cases[] = {
      {"", false},
      {"55a", false},
      {" 555", false},
      {"-555", false},
      {"5 55", false},
      {"999", false},
      {"99999999999999999999", false},
      {"555", true},
      {"0555", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.document);
    const QString document = QString::fromLatin1(c.document);
    const WindowTexts window{{}, {}, [document] { return document; }};
    check(print(record("00200"), element("USUARIO REGISTRO"), window),
          c.prints ? at("PEDRO") : nothing());
    check(print(record("00200"), element("HORA REGISTRO"), window),
          c.prints ? at("17:45:10") : nothing());
  }
}

TEST_F(DataCatalogueTest, ArticleLookupsTakeCodesOfAnyLength) {
  labels::LabelRecord r = record("00123");
  const int i = r.row.columns().indexOf(u"ARTICULO");
  r.row.at(i) = Value::text(QString(40, u'9'));
  check(print(r, element("UNIDAD")), nothing());
  check(print(r, element("PRECIO LIBRA", txt("2"))), nothing());
  r.row.at(i) = Value::text("A'1");
  check(print(r, element("UNIDAD")), at("UND"));
}

// A catalogue kept for a whole run prints what a fresh catalogue prints for each label alone,
// with one query per article lookup for all the announced articles.
TEST_F(DataCatalogueTest, ArticleLookupsOfARunAnswerAsSingleLookupsWithOneQueryEach) {
  const QStringList codes = {"00123",  "00200",  "00300", "00400", "00700", "PL-NUL",
                             "PL-LOW", "PL-NOP", "ZZZ",   "00123", "PL-NUL"};
  const char* const names[] = {"UNIDAD", "CODIGO INVIMA", "PRECIO LIBRA"};
  report::RecordingCanvas canvas;
  DataCatalogue run(shared_->attachment, tr_, RegionalSettings(QLocale("es_CO")), {});
  run.expectArticles(codes);
  for (const QString& code : codes) {
    for (const char* name : names) {
      SCOPED_TRACE(code.toStdString() + " " + name);
      const db::Row el = element(QString::fromLatin1(name), txt("2"));
      const size_t before = canvas.calls().size();
      run.print(canvas, el, record(code), 2.25, 3.5);
      const std::vector<report::CanvasCall> printed(canvas.calls().begin() + before,
                                                    canvas.calls().end());
      const std::vector<report::CanvasCall> alone = print(record(code), el);
      ASSERT_EQ(printed.size(), alone.size());
      if (!alone.empty()) {
        EXPECT_EQ(printed[0].text, alone[0].text);
      }
    }
  }
  EXPECT_EQ(run.lookupQueries(), 3);
}

// A database the tests may break.
class DataCatalogueErrorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    installation_ = makeInstallation(dir_.path());
    attachment_ = db::Attachment::open(companyParams(installation_));
    attachment_.execute("insert into rotulos_pendientes (pref_pre, arti_cod) values ('RT01', ?)",
                        {Value::text("00123")});
    db::Transaction tr = attachment_.startTransaction();
    records_ =
        labels::fetchLabelRecords(attachment_, tr, labels::imprArticuloStatement("RT01", "4"));
    tr.commit();
    ASSERT_EQ(records_.size(), 1u);
  }

  TempDir dir_;
  Installation installation_;
  db::Attachment attachment_;
  std::vector<labels::LabelRecord> records_;
};

TEST_F(DataCatalogueErrorTest, WithoutADocumentTheAuditNamesIssueNoQuery) {
  attachment_.execute("drop table auditoria");
  db::Transaction tr = attachment_.startTransaction(db::TransactionMode::ReadOnly);
  QString document;
  DataCatalogue catalogue(attachment_, tr, RegionalSettings(QLocale("es_CO")),
                          {{}, {}, [&document] { return document; }});
  report::RecordingCanvas canvas;
  auto el = [](const char* name) {
    return makeRow(dataColumns(), {{"DAFO_DATO", txt(QString::fromLatin1(name))}});
  };
  for (const QString& name : DataCatalogue::names()) {
    catalogue.print(canvas, el(name.toLatin1().constData()), records_[0], 1, 1);
  }
  document = "555";
  try {
    catalogue.print(canvas, el("FECHA REGISTRO"), records_[0], 1, 1);
    FAIL() << "no error";
  } catch (const db::DbError& e) {
    EXPECT_TRUE(e.text().contains("AUDITORIA", Qt::CaseInsensitive)) << e.what();
  }
}

TEST_F(DataCatalogueErrorTest, ALookupErrorPropagates) {
  attachment_.execute("alter table articulo drop arti_invima");
  db::Transaction tr = attachment_.startTransaction(db::TransactionMode::ReadOnly);
  DataCatalogue catalogue(attachment_, tr, RegionalSettings(QLocale("es_CO")), {});
  report::RecordingCanvas canvas;
  catalogue.print(canvas, makeRow(dataColumns(), {{"DAFO_DATO", txt("UNIDAD")}}), records_[0], 1,
                  1);
  EXPECT_THROW(
      catalogue.print(canvas, makeRow(dataColumns(), {{"DAFO_DATO", txt("CODIGO INVIMA")}}),
                      records_[0], 1, 1),
      db::DbError);
  ASSERT_EQ(canvas.calls().size(), 1u);
  EXPECT_EQ(canvas.calls()[0].text, "UND");
}

}  // namespace
}  // namespace radevore::render
