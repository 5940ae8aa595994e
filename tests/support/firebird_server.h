#pragma once

#include <QLockFile>
#include <QProcess>
#include <QString>
#include <memory>

#include "db/attachment.h"

namespace radevore::testing {

// The Debian Firebird server on a private loopback port, run as the firebird user for as long
// as this object lives, with SYSDBA's password set to "masterkey". Its databases live in a
// folder of their own that the firebird user may write, never shared with embedded tests (the
// engine refuses a file that another engine instance holds).
class FirebirdServer {
 public:
  static constexpr const char* kPassword = "masterkey";

  FirebirdServer();   // starts the server; see available()
  ~FirebirdServer();  // stops it with SIGTERM and removes its folder
  FirebirdServer(const FirebirdServer&) = delete;
  FirebirdServer& operator=(const FirebirdServer&) = delete;

  bool available() const { return reason_.isEmpty(); }
  QString reason() const { return reason_; }  // why the server could not be started

  int port() const { return port_; }
  QString dataDir() const { return dataDir_; }  // writable by the firebird user
  QString databasePath(const QString& name) const { return dataDir_ + u'/' + name; }
  QString connectionString(
      const QString& dbPath) const;  // "127.0.0.1/<port>:" + dbPath (IPv4 loopback)
  // SYSDBA with the given password for a database this server serves.
  db::ConnectionParams params(const QString& dbPath,
                              const QString& password = QString::fromLatin1(kPassword)) const;

 private:
  void start();
  void launch();
  bool passwordAccepted() const;
  void stopProcess();
  void stop();

  // One server at a time on this machine: every server opens the same security database, which
  // a second server process could not open while the first holds it. Test programs that run
  // in parallel wait here for each other.
  QLockFile machineLock_;
  QString reason_;
  int port_ = 0;
  QString dataDir_;
  std::unique_ptr<QProcess> process_;
};

}  // namespace radevore::testing
