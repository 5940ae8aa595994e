// Values that used to reach the database or the page unchecked: a configured price list that
// is not a number, a procedure without a column the format prints (or with one that cannot be
// read), and a quantity-break total beyond the amount's range.

#include <gtest/gtest.h>

#include "app_scope.h"
#include "labels/label_record_source.h"
#include "lock_probe.h"
#include "support/label_ledger.h"
#include "support/pdf_probe.h"
#include "window_station.h"

namespace radevore {
namespace {

using print::PrintRunResult;

const QString kPriceListSetting =
    QStringLiteral("CODIGO DE LA LISTA DE PRECIOS A MOSTRAR EN ARTICULOS");

TEST(PriceListFault, TheProcedureCallTakesPrefixAndPriceListAsParameters) {
  EXPECT_EQ(labels::imprArticuloCall(), "select * from impr_articulo(?,1,?,'N',0)");
}

TEST(PriceListFault, AConfiguredPriceListThatIsNoWholeNumberEndsTheRunAndKeepsTheLabels) {
  testing::AppScope scope;
  testing::WindowStation station(scope.file("pdf"));
  db::Attachment company = db::Attachment::open(testing::companyParams(scope.installation));

  struct Case {
    QString value;
    bool prints;
  };
  const Case cases[] = {
      {"(select max(lipr_cod) from lista_precios)", false},
      {"4 union select * from impr_articulo('RT01',1,4,'N',0)", false},
      {"4.5", false},
      {"cuatro", false},
      {"", false},
      {"99999999999", false},
      {"12", true},
  };
  int round = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value.toStdString());
    company.execute("UPDATE CONFIGURACION SET CONF_VALOR = ? WHERE CONF_PROPIEDAD = ?",
                    {db::Value::text(c.value), db::Value::text(kPriceListSetting)});
    // Codes of this round only, so the PDFs of earlier rounds do not count here.
    const QStringList queued =
        testing::queueNumberedLabels(company, "RT01", 5, QStringLiteral("P%1-").arg(++round));
    station.messages.entries.clear();
    station.login(scope.installation, "RT01");  // reloads the configuration
    ASSERT_TRUE(station.messages.entries.empty());
    ASSERT_TRUE(station.window.priceListText().isEmpty());

    const PrintRunResult result = station.window.SpeedButton3Click();
    QStringList printed = testing::printedArticlesIn(scope.file("pdf"));
    printed.removeIf([&](const QString& code) { return !queued.contains(code); });
    const testing::LabelBalance balance =
        testing::labelBalance(queued, printed, testing::queuedArticles(company, "RT01"));
    EXPECT_TRUE(balance.balanced()) << balance.describe().toStdString();
    if (c.prints) {
      EXPECT_EQ(result, PrintRunResult::Printed);
      EXPECT_EQ(balance.printed, 5);
      EXPECT_TRUE(station.messages.entries.empty());
    } else {
      EXPECT_EQ(result, PrintRunResult::Failed);
      EXPECT_EQ(balance.stillQueued, 5);
      ASSERT_EQ(station.messages.entries.size(), 1u);
      EXPECT_EQ(station.messages.entries[0].kind, testing::RecordingMessages::Kind::Error);
      EXPECT_EQ(station.messages.entries[0].text, "La configuración \"" + kPriceListSetting +
                                                      "\" no es un número entero: \"" + c.value +
                                                      "\"");
      company.execute("DELETE FROM ROTULOS_PENDIENTES");
    }
  }
}

// impr_articulo with the given output columns besides ARTICULO and the quantity breaks, each
// set by its assignment for every queued label of the prefix, which it takes off the queue.
QString procedureWith(const QString& columns, const QString& assignments) {
  QString breaks;
  for (int n = 1; n <= 4; ++n) {
    breaks += QStringLiteral(", PRECIO%1 NUMERIC(15,2), CANTMIN%1 NUMERIC(15,4)").arg(n);
  }
  return QStringLiteral(
             "SET TERM ^ ;\n"
             "ALTER PROCEDURE IMPR_ARTICULO (PREFIJO VARCHAR(6), N INTEGER, LISTA INTEGER, "
             "FLAG CHAR(1), M INTEGER)\n"
             "RETURNS (ARTICULO VARCHAR(15), %1%2)\n"
             "AS DECLARE VARIABLE ID INTEGER;\n"
             "BEGIN\n"
             "  FOR SELECT ROPE_ID, ARTI_COD FROM ROTULOS_PENDIENTES WHERE PREF_PRE = :PREFIJO\n"
             "      ORDER BY ROPE_ID INTO :ID, :ARTICULO DO\n"
             "  BEGIN\n"
             "    %3\n"
             "    DELETE FROM ROTULOS_PENDIENTES WHERE ROPE_ID = :ID;\n"
             "    SUSPEND;\n"
             "  END\n"
             "END^\n"
             "SET TERM ; ^\n")
      .arg(columns, breaks, assignments);
}

TEST(RecordColumnsFault, AColumnTheFormatPrintsMissingOrUnreadableEndsTheRunBeforeDrawing) {
  struct Case {
    const char* what;
    QString procedure;
    QString error;
  };
  const Case cases[] = {
      {"no DESCRIPCION", procedureWith("PRECIO NUMERIC(15,2)", "PRECIO = 1500;"),
       "Field 'DESCRIPCION' not found"},
      {"PRECIO as words",
       procedureWith("DESCRIPCION VARCHAR(60), PRECIO VARCHAR(20)",
                     "DESCRIPCION = 'ARROZ'; PRECIO = 'mil quinientos';"),
       "Field 'PRECIO' cannot be read as a number: 'mil quinientos' (article L00001)"},
      {"PRECIO as a date",
       procedureWith("DESCRIPCION VARCHAR(60), PRECIO DATE",
                     "DESCRIPCION = 'ARROZ'; PRECIO = DATE '2026-12-11';"),
       "Field 'PRECIO' cannot be read as a number: '2026-12-11' (article L00001)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testing::AppScope scope(c.procedure);
    testing::WindowStation station(scope.file("pdf"));
    db::Attachment company = db::Attachment::open(testing::companyParams(scope.installation));
    const QStringList queued = testing::queueNumberedLabels(company, "RT01", 12);
    station.login(scope.installation, "RT01");
    ASSERT_TRUE(station.messages.entries.empty());

    EXPECT_EQ(station.window.SpeedButton3Click(), PrintRunResult::Failed);
    EXPECT_EQ(station.messages.texts(), std::vector<QString>{c.error});
    EXPECT_TRUE(QDir(scope.file("pdf")).entryList({"*.pdf"}, QDir::Files).isEmpty());
    const testing::LabelBalance balance =
        testing::labelBalance(queued, testing::printedArticlesIn(scope.file("pdf")),
                              testing::queuedArticles(company, "RT01"));
    EXPECT_TRUE(balance.balanced()) << balance.describe().toStdString();
    EXPECT_EQ(balance.stillQueued, 12);
  }
}

// 1,000,000,000.00 x 1,000,000.0000 is beyond the 64-bit count of ten-thousandths.
TEST(AmountOverflowFault, ATotalBeyondRangePrintsNothingAndIsReportedAfterTheCommit) {
  testing::AppScope scope(QStringLiteral(
      "INSERT INTO ARTICULO (ARTI_COD, ARTI_NOM) VALUES ('OVF1', 'PRECIO ENORME');\n"
      "INSERT INTO PRECIOS_ARTICULO (LIPR_COD, ARTI_COD, PRAR_PRECIO, PRAR_PRECIO1, "
      "PRAR_CANTMIN1) VALUES (4, 'OVF1', 1000000000.00, 1000000000.00, 1000000.0000);\n"
      "INSERT INTO FORMATO_DATOS (TIDO_COD, PREF_PRE, DAFO_DATO, DAFO_IMPRIME, DAFO_POSX, "
      "DAFO_POSY, DAFO_FORMATO, DAFO_REPITE, DAFO_FONT, DAFO_FSIZE, DAFO_ITEM) VALUES "
      "(36, 'RT01', 'TOTAL PRECIO1', 'S', 440, 150, '0', 'N', 'Arial', 8, 5);\n"
      "INSERT INTO ROTULOS_PENDIENTES (PREF_PRE, ARTI_COD) VALUES ('RT01', 'OVF1');\n"
      "INSERT INTO ROTULOS_PENDIENTES (PREF_PRE, ARTI_COD) VALUES ('RT01', '00123');\n"));
  const db::ConnectionParams params = testing::companyParams(scope.installation);
  testing::LockProbeMessages seen(params, "RT01");
  testing::WindowStation station(scope.file("pdf"), &seen);
  db::Attachment company = db::Attachment::open(params);
  const QStringList queued = testing::queuedArticles(company, "RT01");
  station.login(scope.installation, "RT01");
  ASSERT_TRUE(seen.entries.empty());
  seen.lockedWhenShown.clear();

  EXPECT_EQ(station.window.SpeedButton3Click(), PrintRunResult::Printed);
  const testing::LabelBalance balance =
      testing::labelBalance(queued, testing::printedArticlesIn(scope.file("pdf")),
                            testing::queuedArticles(company, "RT01"));
  EXPECT_TRUE(balance.balanced()) << balance.describe().toStdString();
  EXPECT_EQ(balance.printed, 2);

  ASSERT_EQ(seen.entries.size(), 1u);
  EXPECT_EQ(seen.entries[0].kind, testing::RecordingMessages::Kind::Error);
  EXPECT_TRUE(
      seen.entries[0].text.contains("TOTAL PRECIO1 del artículo OVF1: 1000000000 x 1000000"))
      << seen.entries[0].text.toStdString();
  EXPECT_EQ(seen.lockedWhenShown, std::vector<bool>{false});

  // No wrapped (negative) total on the page: the only numbers are the two prices.
  const QStringList pdfs = QDir(scope.file("pdf")).entryList({"*.pdf"}, QDir::Files);
  ASSERT_EQ(pdfs.size(), 1);
  for (const testing::PdfWord& word : testing::pdfWords(scope.file("pdf/" + pdfs[0]))) {
    EXPECT_FALSE(word.text.startsWith(u'-')) << word.text.toStdString();
  }
}

}  // namespace
}  // namespace radevore
