#include "app/configuration.h"

#include <gtest/gtest.h>

#include "support/case_printing.h"
#include "support/recording_messages.h"

namespace radevore::app {
namespace {

using testing::RecordingMessages;

const QString kPriceList = QStringLiteral("CODIGO DE LA LISTA DE PRECIOS A MOSTRAR EN ARTICULOS");
const QString kPreview = QStringLiteral("PREVISUALIZAR IMPRESION DE DOCUMENTOS");

std::vector<ConfigurationRow> sampleRows() {
  return {
      {"facturacion", "FACTURAS", kPriceList, QString("9")},
      {"FACTURACION", "FACTURAS", kPriceList, QString("4")},
      {"FACTURACION", "FACTURAS", kPriceList, QString("7")},
      {"INVENTARIO", "GENERAL", kPreview, std::nullopt},
      {"INVENTARIO", "GENERAL ", "PADDED", QString("x")},
      {"INVENTARIO", "GENERAL", "EMPTY", QString("")},
  };
}

struct LookupCase {
  const char* name;
  QString module, category, property;
  QString value;
  bool dialog;
};

void PrintTo(const LookupCase& c, std::ostream* os) {
  using radevore::testing::printable;
  *os << c.name << " " << printable(c.module) << "/" << printable(c.category) << "/"
      << printable(c.property) << " -> " << printable(c.value) << (c.dialog ? " with dialog" : "");
}

class SettingsLookupTable : public ::testing::TestWithParam<LookupCase> {};

TEST_P(SettingsLookupTable, ComparesExactlyAndReportsAbsentSettings) {
  const LookupCase& c = GetParam();
  RecordingMessages messages;
  Configuration configuration(messages);
  configuration.setRows(sampleRows());
  EXPECT_EQ(configuration.configuracion(c.module, c.category, c.property), c.value);
  if (c.dialog) {
    ASSERT_EQ(messages.entries.size(), 1u);
    EXPECT_EQ(messages.entries[0],
              (RecordingMessages::Entry{RecordingMessages::Kind::ErrorDialog,
                                        "No se encontró la configuración " + c.property}));
  } else {
    EXPECT_TRUE(messages.entries.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SettingsLookupTable,
    ::testing::Values(
        LookupCase{"FirstOfDuplicatesWins", "FACTURACION", "FACTURAS", kPriceList, "4", false},
        LookupCase{"NullValueIsEmptyWithoutDialog", "INVENTARIO", "GENERAL", kPreview, "", false},
        LookupCase{"EmptyValueWithoutDialog", "INVENTARIO", "GENERAL", "EMPTY", "", false},
        LookupCase{"ModuleCaseMatters", "Facturacion", "FACTURAS", kPriceList, "", true},
        LookupCase{"NoTrimOfStoredValue", "INVENTARIO", "GENERAL", "PADDED", "", true},
        LookupCase{"NoTrimOfArgument", "INVENTARIO", "GENERAL ", "PADDED", "x", false},
        LookupCase{"Absent", "INVENTARIO", "GENERAL", "NADA", "", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SettingsLookup, DialogAtEveryLookupOfAnAbsentSetting) {
  RecordingMessages messages;
  Configuration configuration(messages);
  configuration.configuracion("INVENTARIO", "GENERAL", kPreview);
  configuration.configuracion("INVENTARIO", "GENERAL", kPreview);
  EXPECT_EQ(messages.entries.size(), 2u);
}

}  // namespace
}  // namespace radevore::app
