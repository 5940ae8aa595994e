#include "firebird_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QThread>
#include <filesystem>

namespace radevore::testing {

namespace {

constexpr const char* kServerBinary = "/usr/sbin/firebird";
// Read only: the files the private root starts from.
constexpr const char* kConfigDir = "/etc/firebird/3.0";
constexpr const char* kMessageFile = "/usr/lib/x86_64-linux-gnu/firebird/3.0/firebird.msg";
// The character sets (WIN1252 among them) come from $(root)/intl.
constexpr const char* kIntlLibrary = "/usr/lib/x86_64-linux-gnu/firebird/3.0/intl/libfbintl.so";
constexpr const char* kSecurityDb = "/var/lib/firebird/3.0/system/security3.fdb";

// A loopback port nobody listens on right now.
int freePort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return 0;
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  socklen_t len = sizeof addr;
  int port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0) {
    port = ntohs(addr.sin_port);
  }
  ::close(fd);
  return port;
}

bool portAccepts(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return false;
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(static_cast<uint16_t>(port));
  const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
  ::close(fd);
  return ok;
}

// A password nobody else knows: 16 letters and digits.
QString randomPassword() {
  static const char kChars[] = "abcdefghijkmnpqrstuvwxyzABCDEFGHJKLMNPQRSTUVWXYZ23456789";
  QString out;
  for (int i = 0; i < 16; ++i) {
    out.append(QLatin1Char(kChars[QRandomGenerator::global()->bounded(int(sizeof kChars - 1))]));
  }
  return out;
}

// A real copy (the Debian configuration files are reached through links into /etc; the copy
// must be a file of its own that may be changed).
bool copyFile(const QString& from, const QString& to) {
  std::error_code error;
  std::filesystem::copy_file(from.toStdString(), to.toStdString(),
                             std::filesystem::copy_options::overwrite_existing, error);
  return !error;
}

bool chownTree(const QString& path, uid_t uid, gid_t gid) {
  const std::string top = path.toStdString();
  if (::lchown(top.c_str(), uid, gid) != 0) return false;
  std::error_code error;
  if (!std::filesystem::is_directory(top, error)) return true;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(top, error)) {
    if (::lchown(entry.path().c_str(), uid, gid) != 0) return false;
  }
  return !error;
}

}  // namespace

FirebirdServer::FirebirdServer() : password_(randomPassword()) {
  if (!QFile::exists(QString::fromLatin1(kServerBinary))) {
    reason_ = QStringLiteral("%1 is not installed (package firebird3.0-server)")
                  .arg(QString::fromLatin1(kServerBinary));
    return;
  }
  if (::geteuid() != 0) {
    reason_ = QStringLiteral("starting the server as the firebird user needs root");
    return;
  }
  if (!::getpwnam("firebird")) {
    reason_ = QStringLiteral("there is no firebird user");
    return;
  }
  port_ = freePort();
  if (port_ == 0) {
    reason_ = QStringLiteral("no free loopback port");
    return;
  }
  if (!prepareRoot() || !setSysdbaPassword()) return;
  startServer();
}

FirebirdServer::~FirebirdServer() {
  stopServer();
  if (!folder_.isEmpty()) QDir(folder_).removeRecursively();
}

QString FirebirdServer::connectionString(const QString& dbPath) const {
  return QStringLiteral("127.0.0.1/%1:%2").arg(port_).arg(dbPath);
}

db::ConnectionParams FirebirdServer::params(const QString& dbPath, const QString& password) const {
  db::ConnectionParams p;
  p.database = connectionString(dbPath);
  p.user = QStringLiteral("SYSDBA");
  p.password = password;
  return p;
}

bool FirebirdServer::handOver(const QString& path) const {
  const passwd* fbUser = ::getpwnam("firebird");
  return fbUser && chownTree(path, fbUser->pw_uid, fbUser->pw_gid);
}

bool FirebirdServer::prepareRoot() {
  char folder[] = "/tmp/radevore-fbserver-XXXXXX";
  if (!::mkdtemp(folder)) {
    reason_ = QStringLiteral("cannot make a folder for the server");
    return false;
  }
  folder_ = QString::fromLocal8Bit(folder);
  rootDir_ = folder_ + QStringLiteral("/root");
  lockDir_ = folder_ + QStringLiteral("/lock");
  dataDir_ = folder_ + QStringLiteral("/data");
  QDir().mkpath(rootDir_);
  QDir().mkpath(lockDir_);
  QDir().mkpath(dataDir_);

  const QString config = QString::fromLatin1(kConfigDir);
  const QString security = rootDir_ + QStringLiteral("/security3.fdb");
  QDir().mkpath(rootDir_ + QStringLiteral("/intl"));
  for (const char* name : {"plugins.conf", "fbtrace.conf"}) {
    if (QFile::exists(config + u'/' + QLatin1String(name)) &&
        !copyFile(config + u'/' + QLatin1String(name), rootDir_ + u'/' + QLatin1String(name))) {
      reason_ = QStringLiteral("cannot copy %1").arg(QLatin1String(name));
      return false;
    }
  }
  if (!copyFile(QString::fromLatin1(kMessageFile), rootDir_ + QStringLiteral("/firebird.msg")) ||
      !copyFile(config + QStringLiteral("/fbintl.conf"),
                rootDir_ + QStringLiteral("/intl/fbintl.conf")) ||
      !copyFile(QString::fromLatin1(kIntlLibrary),
                rootDir_ + QStringLiteral("/intl/libfbintl.so")) ||
      !copyFile(QString::fromLatin1(kSecurityDb), security)) {
    reason_ =
        QStringLiteral("cannot copy the message file, the character sets or the security database");
    return false;
  }

  // The machine's settings, then this server's own: its port, bound to loopback only, and its
  // security database (the last setting of a name wins).
  QFile machineConfig(config + QStringLiteral("/firebird.conf"));
  QFile ownConfig(rootDir_ + QStringLiteral("/firebird.conf"));
  if (!machineConfig.open(QIODevice::ReadOnly) || !ownConfig.open(QIODevice::WriteOnly)) {
    reason_ = QStringLiteral("cannot write the server's firebird.conf");
    return false;
  }
  ownConfig.write(machineConfig.readAll());
  ownConfig.write(QStringLiteral("\nRemoteServicePort = %1\nRemoteBindAddress = 127.0.0.1\n"
                                 "SecurityDatabase = %2\n")
                      .arg(port_)
                      .arg(security)
                      .toUtf8());
  ownConfig.close();
  QFile aliases(rootDir_ + QStringLiteral("/databases.conf"));
  if (!aliases.open(QIODevice::WriteOnly)) {
    reason_ = QStringLiteral("cannot write the server's databases.conf");
    return false;
  }
  aliases.write(QStringLiteral("security.db = %1\n").arg(security).toUtf8());
  aliases.close();

  if (!handOver(folder_) || ::chmod(folder, 0770) != 0) {
    reason_ = QStringLiteral("cannot give the server's folder to the firebird user");
    return false;
  }
  return true;
}

QProcessEnvironment FirebirdServer::serverEnvironment() const {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("FIREBIRD"), rootDir_);
  env.insert(QStringLiteral("FIREBIRD_LOCK"), lockDir_);
  env.remove(QStringLiteral("ISC_USER"));
  env.remove(QStringLiteral("ISC_PASSWORD"));
  return env;
}

bool FirebirdServer::setSysdbaPassword() {
  // Through the embedded engine, as the firebird user and with the private root and lock
  // folder, before any server holds the copy.
  QProcess isql;
  isql.setProcessEnvironment(serverEnvironment());
  isql.setProcessChannelMode(QProcess::MergedChannels);
  isql.start(QStringLiteral("runuser"),
             {QStringLiteral("-u"), QStringLiteral("firebird"), QStringLiteral("--"),
              QStringLiteral("isql-fb"), QStringLiteral("-q"), QStringLiteral("-user"),
              QStringLiteral("SYSDBA"), rootDir_ + QStringLiteral("/security3.fdb")});
  isql.write(QStringLiteral("create or alter user SYSDBA password '%1';\ncommit;\n")
                 .arg(password_)
                 .toUtf8());
  isql.closeWriteChannel();
  if (!isql.waitForFinished(60000) || isql.exitStatus() != QProcess::NormalExit ||
      isql.exitCode() != 0) {
    reason_ = QStringLiteral("cannot set SYSDBA's password in the server's security database: %1")
                  .arg(QString::fromLocal8Bit(isql.readAll()));
    return false;
  }
  return true;
}

bool FirebirdServer::running() const {
  return process_ && process_->state() != QProcess::NotRunning;
}

bool FirebirdServer::startServer() {
  if (running()) return true;
  process_ = std::make_unique<QProcess>();
  process_->setProcessEnvironment(serverEnvironment());
  process_->setProcessChannelMode(QProcess::MergedChannels);
  process_->start(QStringLiteral("runuser"),
                  {QStringLiteral("-u"), QStringLiteral("firebird"), QStringLiteral("--"),
                   QString::fromLatin1(kServerBinary)});
  if (!process_->waitForStarted(10000)) {
    reason_ = QStringLiteral("cannot start %1: %2")
                  .arg(QString::fromLatin1(kServerBinary), process_->errorString());
    process_.reset();
    return false;
  }
  QElapsedTimer waited;
  waited.start();
  while (!portAccepts(port_)) {
    if (process_->state() == QProcess::NotRunning || waited.elapsed() > 30000) {
      reason_ = QStringLiteral("the server did not come up on port %1: %2")
                    .arg(port_)
                    .arg(QString::fromLocal8Bit(process_->readAll()));
      stopServer();
      return false;
    }
    QThread::msleep(20);
  }
  reason_.clear();
  return true;
}

void FirebirdServer::stopServer() {
  if (!process_) return;
  if (process_->state() != QProcess::NotRunning) {
    // runuser passes the signal on to the server and waits for it.
    ::kill(static_cast<pid_t>(process_->processId()), SIGTERM);
    if (!process_->waitForFinished(30000)) {
      process_->kill();
      process_->waitForFinished(5000);
    }
  }
  process_.reset();
}

}  // namespace radevore::testing
