#include "firebird_server.h"

#include <arpa/inet.h>
#include <grp.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include "db/db_error.h"

namespace radevore::testing {

namespace {

constexpr const char* kServerBinary = "/usr/sbin/firebird";
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

// Sets SYSDBA's password in the security database. It must be done while no server holds the
// file; when another test suite's server holds it, that suite has set the same password.
void setSysdbaPassword() {
  QProcess isql;
  isql.setProcessChannelMode(QProcess::MergedChannels);
  isql.start(QStringLiteral("isql-fb"),
             {QStringLiteral("-q"), QStringLiteral("-user"), QStringLiteral("SYSDBA"),
              QString::fromLatin1(kSecurityDb)});
  isql.write(QStringLiteral("create or alter user SYSDBA password '%1';\ncommit;\n")
                 .arg(QString::fromLatin1(FirebirdServer::kPassword))
                 .toUtf8());
  isql.closeWriteChannel();
  isql.waitForFinished(30000);
}

}  // namespace

FirebirdServer::FirebirdServer()
    : machineLock_(QDir::tempPath() + QStringLiteral("/radevore-firebird-server.lock")) {
  machineLock_.setStaleLockTime(0);  // a lock left by a dead test process is taken over
  if (!machineLock_.tryLock(5 * 60 * 1000)) {
    reason_ = QStringLiteral("another test's Firebird server did not stop within 5 minutes");
    return;
  }
  start();
}

FirebirdServer::~FirebirdServer() {
  stop();
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

void FirebirdServer::start() {
  if (!QFile::exists(QString::fromLatin1(kServerBinary))) {
    reason_ = QStringLiteral("%1 is not installed (package firebird3.0-server)")
                  .arg(QString::fromLatin1(kServerBinary));
    return;
  }
  if (::geteuid() != 0) {
    reason_ = QStringLiteral("starting the server as the firebird user needs root");
    return;
  }
  const passwd* fbUser = ::getpwnam("firebird");
  if (!fbUser) {
    reason_ = QStringLiteral("there is no firebird user");
    return;
  }
  port_ = freePort();
  if (port_ == 0) {
    reason_ = QStringLiteral("no free loopback port");
    return;
  }

  char folder[] = "/tmp/radevore-fbserver-XXXXXX";
  if (!::mkdtemp(folder) || ::chown(folder, fbUser->pw_uid, fbUser->pw_gid) != 0 ||
      ::chmod(folder, 0770) != 0) {
    reason_ = QStringLiteral("cannot prepare a folder for the server's databases");
    return;
  }
  dataDir_ = QString::fromLocal8Bit(folder);

  launch();
  if (!available()) return;
  // The password is set once per machine (scripts/setup does it too); only when this server
  // turns it down is the security database changed, with the server stopped.
  if (!passwordAccepted()) {
    stopProcess();
    setSysdbaPassword();
    launch();
  }
}

bool FirebirdServer::passwordAccepted() const {
  try {
    db::Attachment::open(params(dataDir_ + QStringLiteral("/absent.fdb")));
  } catch (const db::DbError& e) {
    return !e.text().contains(QStringLiteral("user name and password"));
  }
  return true;
}

void FirebirdServer::launch() {
  process_ = std::make_unique<QProcess>();
  process_->setProcessChannelMode(QProcess::MergedChannels);
  process_->start(
      QStringLiteral("runuser"),
      {QStringLiteral("-u"), QStringLiteral("firebird"), QStringLiteral("--"),
       QString::fromLatin1(kServerBinary), QStringLiteral("-p"), QString::number(port_)});
  if (!process_->waitForStarted(10000)) {
    reason_ = QStringLiteral("cannot start %1: %2")
                  .arg(QString::fromLatin1(kServerBinary), process_->errorString());
    process_.reset();
    return;
  }
  QElapsedTimer waited;
  waited.start();
  while (!portAccepts(port_)) {
    if (process_->state() == QProcess::NotRunning || waited.elapsed() > 15000) {
      reason_ = QStringLiteral("the server did not come up on port %1: %2")
                    .arg(port_)
                    .arg(QString::fromLocal8Bit(process_->readAll()));
      stopProcess();
      return;
    }
    QThread::msleep(20);
  }
}

void FirebirdServer::stop() {
  stopProcess();
  if (!dataDir_.isEmpty()) {
    QDir(dataDir_).removeRecursively();
    dataDir_.clear();
  }
}

void FirebirdServer::stopProcess() {
  if (process_) {
    if (process_->state() != QProcess::NotRunning) {
      // runuser passes the signal on to the server and waits for it.
      ::kill(static_cast<pid_t>(process_->processId()), SIGTERM);
      if (!process_->waitForFinished(15000)) {
        process_->kill();
        process_->waitForFinished(5000);
      }
    }
    process_.reset();
  }
}

}  // namespace radevore::testing
