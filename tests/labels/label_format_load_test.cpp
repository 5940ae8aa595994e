#include <gtest/gtest.h>

#include <memory>

#include "db/attachment.h"
#include "db/transaction.h"
#include "labels/label_format.h"
#include "support/fixture_db.h"

namespace radevore::labels {
namespace {

using radevore::testing::Installation;
using radevore::testing::TempDir;

// Formats beside the fixture's RT01: one whose prefix needs quoting, one stored with a trailing
// blank, one with a prefix longer than FORMATO_DATOS.PREF_PRE, one of another document type, one
// without elements, and one whose elements were delivered out of item order, with a picture.
const char kExtraFormats[] = R"SQL(
INSERT INTO FORMATOS (TIDO_COD, PREF_PRE, FORM_NROITEMS, FORM_FONT, FORM_FSIZE)
  VALUES (36, 'O''X', 2, 'Courier', 100);
INSERT INTO FORMATO_DATOS (TIDO_COD, PREF_PRE, DAFO_DATO, DAFO_IMPRIME, DAFO_REPITE, DAFO_ITEM)
  VALUES (36, 'O''X', 'CODIGO', 'S', 'N', 1);
INSERT INTO FORMATOS (TIDO_COD, PREF_PRE, FORM_NROITEMS) VALUES (36, 'RT09 ', 1);
INSERT INTO FORMATOS (TIDO_COD, PREF_PRE, FORM_NROITEMS) VALUES (36, 'RT0123', 1);
INSERT INTO FORMATOS (TIDO_COD, PREF_PRE, FORM_NROITEMS) VALUES (35, 'RT05', 1);
INSERT INTO FORMATOS (TIDO_COD, PREF_PRE, FORM_NROITEMS) VALUES (36, 'VACIO', 4);
INSERT INTO FORMATOS (TIDO_COD, PREF_PRE, FORM_NROITEMS) VALUES (36, 'RT03', 1);
INSERT INTO FORMATO_LINEAS (TIDO_COD, PREF_PRE, FOLI_ITEM, FOLI_TIPO, FOLI_CADENA)
  VALUES (36, 'RT03', 3, 'T', 'third');
INSERT INTO FORMATO_LINEAS (TIDO_COD, PREF_PRE, FOLI_ITEM, FOLI_TIPO, FOLI_IMAGEN)
  VALUES (36, 'RT03', 1, 'G', x'424D1E000000000000001A0000000C000000010001000100180030201000');
INSERT INTO FORMATO_LINEAS (TIDO_COD, PREF_PRE, FOLI_ITEM, FOLI_TIPO, FOLI_CADENA)
  VALUES (36, 'RT03', 2, 'T', 'second');
INSERT INTO FORMATO_LINEAS (TIDO_COD, PREF_PRE, FOLI_ITEM, FOLI_TIPO, FOLI_CADENA)
  VALUES (35, 'RT03', 9, 'T', 'other type');
COMMIT;
)SQL";

class LabelFormatLoad : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = std::make_unique<TempDir>();
    installation_ = std::make_unique<Installation>(
        radevore::testing::makeInstallation(dir_->path(), "001", kExtraFormats));
  }
  static void TearDownTestSuite() {
    installation_.reset();
    dir_.reset();
  }

  std::optional<LabelFormat> load(const QString& prefix) {
    db::Attachment company = db::Attachment::open(radevore::testing::companyParams(*installation_));
    db::Transaction tr = company.startTransaction(db::TransactionMode::ReadOnly);
    return loadLabelFormat(company, tr, prefix);
  }

  static QStringList texts(const std::vector<db::Row>& rows, QStringView column) {
    QStringList list;
    for (const db::Row& row : rows) list << row.text(column);
    return list;
  }

  static std::unique_ptr<TempDir> dir_;
  static std::unique_ptr<Installation> installation_;
};

std::unique_ptr<TempDir> LabelFormatLoad::dir_;
std::unique_ptr<Installation> LabelFormatLoad::installation_;

TEST_F(LabelFormatLoad, LoadsHeaderAndBothElementListsOfThePrefix) {
  const std::optional<LabelFormat> format = load("RT01");
  ASSERT_TRUE(format);
  EXPECT_EQ(format->header.text(u"PREF_PRE"), "RT01");
  EXPECT_EQ(format->header[u"FORM_NROITEMS"].toIntegerOr0(), 3);
  EXPECT_EQ(format->header[u"FORM_ENTRELINEA"].toIntegerOr0(), 500);
  EXPECT_EQ(format->header.text(u"FORM_FONT"), "Arial");
  EXPECT_EQ(texts(format->dataElements, u"DAFO_DATO"),
            (QStringList{"CODIGO", "DESCRIPCION", "PRECIO", "CODIGO BARRAS"}));
  EXPECT_EQ(texts(format->staticElements, u"FOLI_TIPO"), (QStringList{"C", "L", "T"}));
  EXPECT_FALSE(format->staticElements[0][u"FOLI_CADENA"].isGiven());
  EXPECT_EQ(format->staticElements[2].text(u"FOLI_FSIZE"), "8");
}

TEST_F(LabelFormatLoad, KeepsDeliveryOrderAndOnlyTheFormatsOwnElements) {
  const std::optional<LabelFormat> format = load("RT03");
  ASSERT_TRUE(format);
  EXPECT_TRUE(format->dataElements.empty());
  EXPECT_EQ(texts(format->staticElements, u"FOLI_ITEM"), (QStringList{"3", "1", "2"}));
  const db::Value& picture = format->staticElements[1][u"FOLI_IMAGEN"];
  ASSERT_EQ(picture.kind(), db::Value::Kind::Blob);
  EXPECT_EQ(picture.asBlob().toHex().toUpper(),
            "424D1E000000000000001A0000000C000000010001000100180030201000");
}

TEST_F(LabelFormatLoad, FormatWithoutElementsHasEmptyLists) {
  const std::optional<LabelFormat> format = load("VACIO");
  ASSERT_TRUE(format);
  EXPECT_EQ(format->header[u"FORM_NROITEMS"].toIntegerOr0(), 4);
  EXPECT_TRUE(format->dataElements.empty());
  EXPECT_TRUE(format->staticElements.empty());
}

TEST_F(LabelFormatLoad, PrefixWithQuoteIsFound) {
  const std::optional<LabelFormat> format = load("O'X");
  ASSERT_TRUE(format);
  EXPECT_EQ(format->header.text(u"FORM_FONT"), "Courier");
  EXPECT_EQ(texts(format->dataElements, u"DAFO_DATO"), QStringList{"CODIGO"});
}

TEST_F(LabelFormatLoad, MatchesThePrefixExactly) {
  struct Case {
    QString prefix;
    bool found;
  };
  const Case cases[] = {
      {"rt01", false},      // case counts
      {"RT01 ", false},     // a trailing blank counts
      {"RT0", false},       //
      {"RT02", false},      // a prefix without format
      {"RT05", false},      // a format of another document type
      {"RT09", false},      // stored as 'RT09 '
      {"RT09 ", true},      //
      {"RT0123", true},     // longer than the data elements' prefix column
      {"RT01XYZW", false},  // longer than the column: no truncation error
      {"", false},
  };
  for (const Case& c : cases) {
    const std::optional<LabelFormat> format = load(c.prefix);
    EXPECT_EQ(format.has_value(), c.found) << "'" << c.prefix.toStdString() << "'";
    if (format) {
      EXPECT_EQ(format->header.text(u"PREF_PRE"), c.prefix);
    }
  }
}

}  // namespace
}  // namespace radevore::labels
