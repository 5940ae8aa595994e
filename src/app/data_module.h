#pragma once

#include <QString>

#include "app/configuration.h"
#include "app/connection_state.h"
#include "app/printer_aliases.h"
#include "db/attachment.h"

namespace radevore::print {
class UserMessages;
}

namespace radevore::app {

// The data module (fdm): the general connection ConGeneral, the company connection Nexora, the
// configuration table and the printer alias lookup. Both connections start closed.
class Fdm {
 public:
  explicit Fdm(print::UserMessages& messages);

  db::Attachment ConGeneral;
  db::Attachment Nexora;

  ConnectionState nexoraState() const;
  // Closes Nexora and opens it with `params`; the state reads Connecting while it opens.
  // Throws DbError, leaving Nexora closed.
  void openNexora(const db::ConnectionParams& params);
  // Closes ConGeneral and opens it with `params`; throws DbError, leaving it closed.
  void openGeneral(const db::ConnectionParams& params);

  Configuration& configuration() { return configuration_; }
  // cargue_configuracion on the company connection.
  void cargue_configuracion() { configuration_.cargue_configuracion(Nexora); }
  QString configuracion(const QString& module, const QString& category, const QString& property) {
    return configuration_.configuracion(module, category, property);
  }

  PrinterAliasFile& printerAliases() { return aliases_; }
  QString nombre_impresora(const QString& alias) { return aliases_.nombre_impresora(alias); }

 private:
  Configuration configuration_;
  PrinterAliasFile aliases_;
  bool connecting_ = false;
};

}  // namespace radevore::app
