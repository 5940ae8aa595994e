#pragma once

#include <QString>

#include "db/attachment.h"
#include "support/fixture_db.h"

namespace radevore::testing {

// A database of its own for one test, created from `sql` alone (no company schema).
struct ScratchDb {
  TempDir dir;
  QString path = dir.file(QStringLiteral("scratch.fdb"));

  explicit ScratchDb(const QString& sql = {}) { createDatabase(path, {}, sql); }

  db::ConnectionParams params() const {
    db::ConnectionParams p;
    p.database = path;
    p.user = QStringLiteral("SYSDBA");
    p.password = QStringLiteral("masterkey");
    return p;
  }
  db::Attachment open() const { return db::Attachment::open(params()); }
};

}  // namespace radevore::testing
