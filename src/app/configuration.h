#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "print/print_seams.h"

namespace radevore::db {
class Attachment;
}
namespace radevore::print {
class UserMessages;
}

namespace radevore::app {

// One row of CONFIGURACION; a null CONF_VALOR is kept apart from an empty one.
struct ConfigurationRow {
  QString module;
  QString category;
  QString property;
  std::optional<QString> value;
};

// The in-memory copy of the company's CONFIGURACION table (CConfiguracion) and its lookup.
class Configuration : public print::SettingsLookup {
 public:
  explicit Configuration(print::UserMessages& messages);

  // Reloads the whole table from the company connection, rows in delivery order. The earlier
  // copy is dropped first: after an error (DbError) the copy is empty and not loaded.
  void cargue_configuracion(db::Attachment& company);
  void setRows(std::vector<ConfigurationRow> rows) { rows_ = std::move(rows); }
  const std::vector<ConfigurationRow>& rows() const { return rows_; }
  bool loaded() const { return loaded_; }

  // The value of the first row whose module, category and property equal the arguments exactly
  // (case-sensitive, untrimmed); "" for a null value. Absent: the error dialog
  // "No se encontró la configuración " + property, then "".
  QString configuracion(const QString& module, const QString& category,
                        const QString& property) override;

 private:
  print::UserMessages& messages_;
  std::vector<ConfigurationRow> rows_;
  bool loaded_ = false;
};

}  // namespace radevore::app
