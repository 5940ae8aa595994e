#pragma once

#include <QString>

#include "firebird_server.h"
#include "fixture_db.h"

namespace radevore::testing {

// An ERP installation in the private loopback server's data folder, owned by the firebird user
// so that the server can open it; also reachable through the embedded engine while the server
// is stopped.
struct ServedInstallation {
  ServedInstallation(FirebirdServer& server, const QString& name, const QString& extraSql = {});

  FirebirdServer& server;
  Installation installation;
  QString serverText;  // the server text of the login: "127.0.0.1/<port>:<root>"

  db::ConnectionParams companyOnServer() const;  // the company database through the server
  db::ConnectionParams companyEmbedded() const;  // the same file through the embedded engine
};

}  // namespace radevore::testing
