#pragma once

#include <QProcess>
#include <QString>
#include <memory>

#include "db/attachment.h"

namespace radevore::testing {

// A Firebird server of its own on a private loopback port, run as the firebird user for as long
// as this object lives. It never touches the machine's server: it gets a private root folder
// (copies of the configuration files and of the security database, SYSDBA's password set in
// that copy to one of its own), a private lock folder and a folder for its databases, all
// under one temporary folder that the firebird user owns. Several of them run side by side.
class FirebirdServer {
 public:
  FirebirdServer();   // starts the server; see available()
  ~FirebirdServer();  // stops it with SIGTERM and removes its folder
  FirebirdServer(const FirebirdServer&) = delete;
  FirebirdServer& operator=(const FirebirdServer&) = delete;

  bool available() const { return reason_.isEmpty(); }
  QString reason() const { return reason_; }  // why the server could not be started

  QString password() const { return password_; }  // SYSDBA's password on this server
  int port() const { return port_; }
  QString dataDir() const { return dataDir_; }  // writable by the firebird user
  QString databasePath(const QString& name) const { return dataDir_ + u'/' + name; }
  // "127.0.0.1/<port>:" + dbPath (IPv4 loopback).
  QString connectionString(const QString& dbPath) const;
  // SYSDBA with this server's password for a database it serves.
  db::ConnectionParams params(const QString& dbPath) const { return params(dbPath, password_); }
  db::ConnectionParams params(const QString& dbPath, const QString& password) const;

  // Gives a file or a folder (with everything in it) made by this process to the firebird user,
  // so that the server can open and write it.
  bool handOver(const QString& path) const;

  // Stops the server process and waits for it: its databases are closed and may be opened
  // through the embedded engine meanwhile. start() brings it back on the same port.
  void stopServer();
  bool startServer();  // false (and reason()) when it did not come up
  bool running() const;

 private:
  bool prepareRoot();
  bool setSysdbaPassword();
  QProcessEnvironment serverEnvironment() const;

  QString reason_;
  QString password_;
  int port_ = 0;
  QString folder_;   // everything of this server
  QString rootDir_;  // FIREBIRD: configuration, messages, security database
  QString lockDir_;  // FIREBIRD_LOCK
  QString dataDir_;
  std::unique_ptr<QProcess> process_;
};

}  // namespace radevore::testing
