#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "db/attachment.h"

namespace radevore::testing {

// A fresh folder under the system's temporary folder, removed with everything in it at
// destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  QString path() const;
  QString file(const QString& name) const;

 private:
  QTemporaryDir dir_;
};

// RADEVORE_SOURCE_DIR "/fixtures/" + name.
QString fixturePath(const QString& name);

// Creates a new database at `path` with default character set WIN1252 and applies the scripts
// in order, then `extraSql`, through isql-fb. Script files are read as UTF-8. The result of the
// scripts is built once per build tree (build/fixture-cache, keyed by the scripts' content) and
// copied; only `extraSql` runs for each new database. Throws std::runtime_error with isql's
// output when a statement fails.
void createDatabase(const QString& path, const QStringList& scriptFiles,
                    const QString& extraSql = {});

// An ERP installation folder with the general database and one company database.
struct Installation {
  QString root;
  QString generalDb;  // root/datos/general.fdb
  QString companyDb;  // root/datos/<company>/nexora.fdb
};

// Builds root/datos/general.fdb from general.sql and root/datos/<company>/nexora.fdb from
// company.sql and company_data.sql, then `extraSql` on the company database.
Installation makeInstallation(const QString& root, const QString& company = QStringLiteral("001"),
                              const QString& extraSql = {});

// An installation in a temporary folder of its own, built once for a whole test suite.
struct SuiteInstallation {
  TempDir dir;
  Installation installation = makeInstallation(dir.path());
};

// Login values for the company database through the embedded engine: user SYSDBA (the
// embedded engine checks no password).
db::ConnectionParams companyParams(const Installation& installation);

}  // namespace radevore::testing
