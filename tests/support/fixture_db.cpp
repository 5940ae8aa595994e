#include "fixture_db.h"

#include <firebird/Interface.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <cstdio>
#include <stdexcept>
#include <vector>

namespace radevore::testing {

namespace {

QString sqlLiteral(const QString& text) {
  QString quoted = text;
  quoted.replace(u'\'', QStringLiteral("''"));
  return u'\'' + quoted + u'\'';
}

// Creates the empty database in this process with forced writes off: a test database needs no
// flush to disk after every commit, and the scripts run several times faster without it.
void createEmptyDatabase(const QString& path) {
  Firebird::IMaster* master = Firebird::fb_get_master_interface();
  Firebird::IStatus* status = master->getStatus();
  Firebird::ThrowStatusWrapper st(status);
  Firebird::IXpbBuilder* dpb = nullptr;
  Firebird::IProvider* provider = nullptr;
  Firebird::IAttachment* att = nullptr;
  std::string error;
  try {
    dpb = master->getUtilInterface()->getXpbBuilder(&st, Firebird::IXpbBuilder::DPB, nullptr, 0);
    dpb->insertString(&st, isc_dpb_user_name, "SYSDBA");
    dpb->insertInt(&st, isc_dpb_sql_dialect, 3);
    dpb->insertInt(&st, isc_dpb_page_size, 8192);
    dpb->insertString(&st, isc_dpb_set_db_charset, "WIN1252");
    dpb->insertInt(&st, isc_dpb_force_write, 0);
    provider = master->getDispatcher();
    att = provider->createDatabase(&st, QFile::encodeName(path).constData(),
                                   dpb->getBufferLength(&st), dpb->getBuffer(&st));
    att->detach(&st);
    att = nullptr;
  } catch (const Firebird::FbException& e) {
    std::vector<char> text(2048);
    master->getUtilInterface()->formatStatus(text.data(), static_cast<unsigned>(text.size() - 1),
                                             e.getStatus());
    error = text.data();
  }
  if (att) att->release();
  if (provider) provider->release();
  if (dpb) dpb->dispose();
  status->dispose();
  if (!error.empty()) {
    throw std::runtime_error("cannot create " + path.toStdString() + ":\n" + error);
  }
}

}  // namespace

TempDir::TempDir() : dir_(QDir::tempPath() + QStringLiteral("/radevore-XXXXXX")) {
  if (!dir_.isValid()) throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() = default;

QString TempDir::path() const {
  return dir_.path();
}

QString TempDir::file(const QString& name) const {
  return dir_.filePath(name);
}

QString fixturePath(const QString& name) {
  return QStringLiteral(RADEVORE_SOURCE_DIR "/fixtures/") + name;
}

namespace {

// Runs the scripts, then `extraSql`, on the existing database at `path` in one isql run. The
// connection character set is UTF8 so that the UTF-8 script files reach the WIN1252 columns as
// the right characters.
void runScripts(const QString& path, const QStringList& scriptFiles, const QString& extraSql) {
  QString script = QStringLiteral(
                       "SET SQL DIALECT 3;\n"
                       "SET NAMES UTF8;\n"
                       "CONNECT %1 USER 'SYSDBA';\n")
                       .arg(sqlLiteral(path));
  for (const QString& file : scriptFiles) {
    script += QStringLiteral("INPUT %1;\n").arg(sqlLiteral(file));
  }
  if (!extraSql.isEmpty()) script += extraSql + QStringLiteral("\n");
  script += QStringLiteral("COMMIT;\n");

  QFile scriptFile(path + QStringLiteral(".sql"));
  if (!scriptFile.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      scriptFile.write(script.toUtf8()) < 0) {
    throw std::runtime_error("cannot write " + scriptFile.fileName().toStdString());
  }
  scriptFile.close();

  QProcess isql;
  isql.setProcessChannelMode(QProcess::MergedChannels);
  isql.start(QStringLiteral("isql-fb"), {QStringLiteral("-q"), QStringLiteral("-b"),
                                         QStringLiteral("-i"), scriptFile.fileName()});
  const bool finished = isql.waitForFinished(120000);
  const QString output = QString::fromUtf8(isql.readAll());
  scriptFile.remove();
  if (!finished || isql.exitStatus() != QProcess::NormalExit || isql.exitCode() != 0) {
    throw std::runtime_error("isql-fb failed on " + path.toStdString() + ":\n" +
                             (isql.error() == QProcess::FailedToStart
                                  ? std::string("isql-fb could not be started")
                                  : output.toStdString()));
  }
}

// A database built from `scriptFiles` once per build tree and content of the scripts, kept in
// the build folder; new databases are copies of it. Another test process building the same one
// at the same time is harmless: each builds under a name of its own and renames it into place.
QString templateDatabase(const QStringList& scriptFiles) {
  QCryptographicHash hash(QCryptographicHash::Sha1);
  hash.addData(QByteArrayLiteral("radevore fixture v1"));
  for (const QString& file : scriptFiles) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
      throw std::runtime_error("no such script: " + file.toStdString());
    hash.addData(f.readAll());
    hash.addData(QByteArrayLiteral("\0"));
  }
  const QString cacheDir = QStringLiteral(RADEVORE_BINARY_DIR "/fixture-cache");
  const QString finalPath = cacheDir + u'/' + QString::fromLatin1(hash.result().toHex()) + ".fdb";
  if (QFile::exists(finalPath)) return finalPath;

  QDir().mkpath(cacheDir);
  const QString building =
      finalPath + QStringLiteral(".%1.building").arg(QCoreApplication::applicationPid());
  QFile::remove(building);
  try {
    createEmptyDatabase(building);
    runScripts(building, scriptFiles, {});
  } catch (...) {
    QFile::remove(building);
    throw;
  }
  if (::rename(QFile::encodeName(building).constData(), QFile::encodeName(finalPath).constData()) !=
      0) {
    QFile::remove(building);
    throw std::runtime_error("cannot store " + finalPath.toStdString());
  }
  return finalPath;
}

}  // namespace

void createDatabase(const QString& path, const QStringList& scriptFiles, const QString& extraSql) {
  if (QFile::exists(path)) throw std::runtime_error(path.toStdString() + " exists already");
  if (!QFile::copy(templateDatabase(scriptFiles), path)) {
    throw std::runtime_error("cannot create " + path.toStdString());
  }
  QFile::setPermissions(
      path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup);
  if (!extraSql.isEmpty()) runScripts(path, {}, extraSql);
}

Installation makeInstallation(const QString& root, const QString& company,
                              const QString& extraSql) {
  Installation inst;
  inst.root = root;
  inst.generalDb = root + QStringLiteral("/datos/general.fdb");
  inst.companyDb = root + QStringLiteral("/datos/") + company + QStringLiteral("/nexora.fdb");
  if (!QDir().mkpath(root + QStringLiteral("/datos/") + company)) {
    throw std::runtime_error("cannot create " + root.toStdString() + "/datos/" +
                             company.toStdString());
  }
  createDatabase(inst.generalDb, {fixturePath(QStringLiteral("general.sql"))});
  createDatabase(
      inst.companyDb,
      {fixturePath(QStringLiteral("company.sql")), fixturePath(QStringLiteral("company_data.sql"))},
      extraSql);
  return inst;
}

db::ConnectionParams companyParams(const Installation& installation) {
  db::ConnectionParams p;
  p.database = installation.companyDb;
  p.user = QStringLiteral("SYSDBA");
  p.password = QStringLiteral("masterkey");
  return p;
}

}  // namespace radevore::testing
