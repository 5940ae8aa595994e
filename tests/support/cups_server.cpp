#include "support/cups_server.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <algorithm>
#include <memory>

namespace radevore::testing {

namespace {

void writeFile(const QString& path, const QString& text) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
  file.write(text.toUtf8());
}

QString readFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll());
}

}  // namespace

CupsServer::CupsServer() {
  if (!dir_.isValid()) {
    failure_ = QStringLiteral("no temporary directory");
    return;
  }
  const QString d = dir_.path();
  QDir root(d);
  for (const char* sub : {"etc", "spool", "cache", "state", "tmp", "log", "out"}) root.mkpath(sub);
  // The scheduler runs filters and backends as lp: they need the spool, temp and output folders.
  QProcess::execute(QStringLiteral("chown"), {QStringLiteral("root:lp"), d + "/spool", d + "/tmp"});
  QFile::setPermissions(d, QFile::permissions(d) | QFile::ExeOther | QFile::ReadOther);
  ::chmod(QFile::encodeName(d + "/spool").constData(), 0710);
  ::chmod(QFile::encodeName(d + "/tmp").constData(), 01770);
  ::chmod(QFile::encodeName(d + "/out").constData(), 0777);

  writeFile(d + "/etc/cups-files.conf", QStringLiteral("SystemGroup root lpadmin\n"
                                                       "FileDevice Yes\n"
                                                       "ServerRoot %1/etc\n"
                                                       "RequestRoot %1/spool\n"
                                                       "CacheDir %1/cache\n"
                                                       "StateDir %1/state\n"
                                                       "TempDir %1/tmp\n"
                                                       "AccessLog %1/log/access_log\n"
                                                       "ErrorLog %1/log/error_log\n"
                                                       "PageLog %1/log/page_log\n")
                                            .arg(d));
  writeFile(d + "/etc/cupsd.conf",
            QStringLiteral("Listen %1/cups.sock\n"
                           "Browsing No\n"
                           "WebInterface No\n"
                           "PreserveJobHistory Yes\n"
                           "PreserveJobFiles Yes\n"
                           "PageLogFormat %p %j %u %T %P %C \"%{job-name}\" %{media}\n"
                           "<Location />\n  Order allow,deny\n  Allow localhost\n</Location>\n"
                           "<Location /admin>\n  Order allow,deny\n  Allow localhost\n</Location>\n"
                           "<Policy default>\n  JobPrivateValues none\n"
                           "  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n")
                .arg(d));

  qputenv("CUPS_SERVER", QFile::encodeName(socketPath()));
  const QByteArray conf = QFile::encodeName(d + "/etc/cupsd.conf");
  const QByteArray files = QFile::encodeName(d + "/etc/cups-files.conf");
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::execl("/usr/sbin/cupsd", "cupsd", "-f", "-c", conf.constData(), "-s", files.constData(),
            static_cast<char*>(nullptr));
    ::_exit(127);
  }
  if (pid < 0) {
    failure_ = QStringLiteral("fork failed");
    return;
  }
  pid_ = pid;
  QElapsedTimer waited;
  waited.start();
  while (!QFileInfo::exists(socketPath())) {
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) == pid) {
      pid_ = 0;
      failure_ = QStringLiteral("cupsd exited: ") + readFile(d + "/log/error_log");
      return;
    }
    if (waited.elapsed() > 10000) {
      failure_ = QStringLiteral("cupsd did not open its socket");
      return;
    }
    QThread::msleep(20);
  }
}

CupsServer::~CupsServer() {
  if (pid_ > 0) {
    ::kill(static_cast<pid_t>(pid_), SIGTERM);
    int status = 0;
    ::waitpid(static_cast<pid_t>(pid_), &status, 0);
  }
}

QString CupsServer::runTool(const QString& tool, const QStringList& arguments) {
  QProcess process;
  process.start(tool, QStringList{QStringLiteral("-h"), socketPath()} + arguments);
  process.waitForFinished(30000);
  const QString output = QString::fromUtf8(process.readAllStandardOutput());
  EXPECT_EQ(process.exitCode(), 0) << tool.toStdString() << ' ' << arguments.join(' ').toStdString()
                                   << ": " << process.readAllStandardError().toStdString();
  return output;
}

void CupsServer::addZebraQueue(const QString& name) {
  runTool(QStringLiteral("lpadmin"),
          {QStringLiteral("-p"), name, QStringLiteral("-E"), QStringLiteral("-v"),
           QStringLiteral("file://%1/out/%2.zpl").arg(directory(), name), QStringLiteral("-m"),
           QStringLiteral("drv:///sample.drv/zebra.ppd")});
}

void CupsServer::removeQueue(const QString& name) {
  runTool(QStringLiteral("lpadmin"), {QStringLiteral("-x"), name});
}

void CupsServer::setDefault(const QString& name) {
  runTool(QStringLiteral("lpadmin"), {QStringLiteral("-d"), name});
}

std::vector<int> CupsServer::acceptedJobs(const QString& printer) {
  // "<printer>-<id> user size date" per job
  const QRegularExpression line(
      QStringLiteral(R"(^%1-(\d+)\s)").arg(QRegularExpression::escape(printer)));
  std::vector<int> ids;
  const QStringList lines =
      runTool(QStringLiteral("lpstat"),
              {QStringLiteral("-W"), QStringLiteral("all"), QStringLiteral("-o"), printer})
          .split('\n');
  for (const QString& text : lines) {
    const QRegularExpressionMatch m = line.match(text);
    if (m.hasMatch()) ids.push_back(m.captured(1).toInt());
  }
  std::sort(ids.begin(), ids.end());
  return ids;
}

QString CupsServer::jobDocument(int jobId) const {
  return QStringLiteral("%1/spool/d%2-001").arg(directory()).arg(jobId, 5, 10, QLatin1Char('0'));
}

void CupsServer::freeze() {
  if (pid_ > 0) ::kill(static_cast<pid_t>(pid_), SIGSTOP);
}

void CupsServer::thaw() {
  if (pid_ > 0) ::kill(static_cast<pid_t>(pid_), SIGCONT);
}

std::vector<LoggedJob> CupsServer::completedJobs(const QString& printer, int count, int timeoutMs) {
  // printer job user [time] total copies "name" media
  static const QRegularExpression line(
      QStringLiteral(R"re(^(\S+) (\d+) \S+ \[[^\]]*\] total \d+ "(.*)" (\S*)$)re"));
  QElapsedTimer waited;
  waited.start();
  for (;;) {
    std::vector<LoggedJob> jobs;
    const QStringList lines = readFile(directory() + "/log/page_log").split('\n');
    for (const QString& text : lines) {
      const QRegularExpressionMatch m = line.match(text);
      if (m.hasMatch() && m.captured(1) == printer)
        jobs.push_back(
            LoggedJob{m.captured(1), m.captured(2).toInt(), m.captured(3), m.captured(4)});
    }
    if (static_cast<int>(jobs.size()) >= count || waited.elapsed() > timeoutMs) return jobs;
    QThread::msleep(100);
  }
}

CupsServer& sharedCupsServer() {
  static const std::unique_ptr<CupsServer> server = std::make_unique<CupsServer>();
  return *server;
}

}  // namespace radevore::testing
