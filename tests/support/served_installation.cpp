#include "served_installation.h"

namespace radevore::testing {

ServedInstallation::ServedInstallation(FirebirdServer& s, const QString& name,
                                       const QString& extraSql)
    : server(s),
      installation(makeInstallation(s.databasePath(name), QStringLiteral("001"), extraSql)),
      serverText(s.connectionString(installation.root)) {
  s.handOver(installation.root);
}

db::ConnectionParams ServedInstallation::companyOnServer() const {
  return server.params(installation.companyDb);
}

db::ConnectionParams ServedInstallation::companyEmbedded() const {
  return companyParams(installation);
}

}  // namespace radevore::testing
