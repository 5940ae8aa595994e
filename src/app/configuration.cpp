#include "app/configuration.h"

#include "db/attachment.h"
#include "print/user_messages.h"

namespace radevore::app {

Configuration::Configuration(print::UserMessages& messages) : messages_(messages) {}

void Configuration::cargue_configuracion(db::Attachment& company) {
  // The copy of the company logged in before goes first, so a failed reload leaves no setting of
  // it (its price list above all) in force for the new company.
  rows_.clear();
  loaded_ = false;
  const db::RowSet result = company.query(QStringLiteral("SELECT * FROM CONFIGURACION"));
  std::vector<ConfigurationRow> rows;
  rows.reserve(result.size());
  for (const db::Row& row : result.rows) {
    const db::Value& value = row[u"CONF_VALOR"];
    rows.push_back({row.text(u"CONF_MODULO"), row.text(u"CONF_CATEGORIA"),
                    row.text(u"CONF_PROPIEDAD"),
                    value.isNull() ? std::nullopt : std::optional<QString>(value.toText())});
  }
  rows_ = std::move(rows);
  loaded_ = true;
}

QString Configuration::configuracion(const QString& module, const QString& category,
                                     const QString& property) {
  for (const ConfigurationRow& row : rows_) {
    if (row.module == module && row.category == category && row.property == property) {
      return row.value.value_or(QString());
    }
  }
  messages_.showErrorDialog(QStringLiteral("No se encontró la configuración ") + property);
  return {};
}

}  // namespace radevore::app
