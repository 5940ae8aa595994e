#include "app/login.h"

#include <QScopedValueRollback>

#include "app/data_module.h"
#include "db/db_error.h"
#include "print/user_messages.h"

namespace radevore::app {

DatabasePaths databasePaths(const QString& server, const QString& company) {
  return {server + QStringLiteral("/datos/general.fdb"),
          server + QStringLiteral("/datos/") + company + QStringLiteral("/nexora.fdb")};
}

namespace {

// The fixed connection settings with the login's path, user and password; no connection
// character set is named.
db::ConnectionParams loginParams(const QString& path, const QString& user,
                                 const QString& password) {
  db::ConnectionParams params;
  params.database = path;
  params.user = user;
  params.password = password;
  return params;
}

std::vector<PriceListEntry> readPriceLists(db::Attachment& company) {
  const db::RowSet rows = company.query(QStringLiteral("SELECT * FROM LISTA_PRECIOS"));
  std::vector<PriceListEntry> lists;
  lists.reserve(rows.size());
  for (const db::Row& row : rows.rows) {
    lists.push_back({row[u"LIPR_COD"].toIntegerOr0(), row.text(u"LIPR_NOM")});
  }
  return lists;
}

QStringList readPrefixes(db::Attachment& company) {
  const db::RowSet rows = company.query(
      QStringLiteral("select * from prefijos where tido_cod=36 and pref_activo = 'S'"));
  QStringList prefixes;
  for (const db::Row& row : rows.rows) prefixes.append(row.text(u"PREF_PRE"));
  return prefixes;
}

}  // namespace

Login::Login(LoginForm& form, Fdm& fdm, print::UserMessages& messages)
    : form_(form), fdm_(fdm), messages_(messages) {}

void Login::CiaExit() {
  // A focus change while a message of this sequence is open must not start another one.
  if (running_) return;
  const QString company = form_.company();
  if (company.isEmpty()) return;
  const QString user = form_.userName();
  if (user.isEmpty()) return;
  const QString password = form_.password();
  if (password.isEmpty()) return;

  const QScopedValueRollback<bool> busy(running_, true);
  form_.showPanel(QStringLiteral("Conectando a la base de datos ") + company +
                  QStringLiteral(" ..."));
  const DatabasePaths paths = databasePaths(form_.server(), company);
  try {
    fdm_.openGeneral(loginParams(paths.general, user, password));
    fdm_.openNexora(loginParams(paths.company, user, password));
  } catch (const db::DbError& error) {
    form_.hidePanel();
    messages_.showError(error.text());
    return;
  }
  form_.hidePanel();
  form_.enablePrintButton();
  try {
    fdm_.cargue_configuracion();
    const std::vector<PriceListEntry> lists = readPriceLists(fdm_.Nexora);
    form_.setPriceLists(lists);
    const QStringList prefixes = readPrefixes(fdm_.Nexora);
    form_.setPrefixes(prefixes);
    if (prefixes.isEmpty()) {
      messages_.showMessage(
          QStringLiteral("Debe crear antes un prefijo válido para el documento."));
    }
  } catch (const db::DbError& error) {
    messages_.showError(error.text());
  }
}

}  // namespace radevore::app
