#pragma once

#include <pwd.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QString>

#include "support/firebird_server.h"
#include "support/fixture_db.h"

namespace radevore::testing {

// A copy of a fixture installation's databases in the server's folder, owned by the server's
// user. `root` is what the program's server field holds to reach it through the server
// ("127.0.0.1/<port>:<folder>"); `companyParams` opens the company database the same way.
struct ServedInstallation {
  QString root;
  db::ConnectionParams companyParams;
};

inline ServedInstallation serveInstallation(const FirebirdServer& server, const Installation& local,
                                            const QString& company = QStringLiteral("001")) {
  const QString folder = server.dataDir() + QStringLiteral("/inst");
  const QString companyDir = folder + QStringLiteral("/datos/") + company;
  QDir().mkpath(companyDir);
  const QString general = folder + QStringLiteral("/datos/general.fdb");
  const QString companyDb = companyDir + QStringLiteral("/nexora.fdb");
  QFile::copy(local.generalDb, general);
  QFile::copy(local.companyDb, companyDb);
  if (const passwd* user = ::getpwnam("firebird")) {
    for (const QString& path :
         {folder, folder + QStringLiteral("/datos"), companyDir, general, companyDb}) {
      (void)::chown(path.toLocal8Bit().constData(), user->pw_uid, user->pw_gid);
    }
  }
  return {server.connectionString(folder), server.params(companyDb)};
}

}  // namespace radevore::testing
