#include "program_process.h"

#include <signal.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

namespace radevore::testing {

ProgramProcess::ProgramProcess(const QString& installationDir, Display display)
    : environment_(QProcessEnvironment::systemEnvironment()) {
  QDir(config_.path()).mkpath(QStringLiteral("Orvane"));
  QFile settings(config_.file(QStringLiteral("Orvane/NexoraERP2021.ini")));
  if (settings.open(QIODevice::WriteOnly)) {
    settings.write("[General]\nDirectorio=" + installationDir.toUtf8() + "\n");
  }
  environment_.insert(QStringLiteral("XDG_CONFIG_DIRS"), config_.path());
  // The job journal of each program goes with its configuration, never into the real home.
  environment_.insert(QStringLiteral("XDG_STATE_HOME"), config_.file(QStringLiteral("state")));
  environment_.remove(QStringLiteral("ISC_USER"));
  environment_.remove(QStringLiteral("ISC_PASSWORD"));
  if (display == Display::Offscreen) {
    environment_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  } else {
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
      environment_.remove(QString::fromLatin1(name));
    }
  }
}

ProgramProcess::~ProgramProcess() {
  if (process_.state() != QProcess::NotRunning) {
    process_.kill();
    process_.waitForFinished(10000);
  }
}

void ProgramProcess::setEnvironment(const QString& name, const QString& value) {
  environment_.insert(name, value);
}

void ProgramProcess::start(const QStringList& arguments) {
  process_.setProcessEnvironment(environment_);
  process_.start(QStringLiteral(RADEVORE_BINARY_DIR "/radevore"), arguments);
  process_.waitForStarted(30000);
}

qint64 ProgramProcess::pid() const {
  return process_.processId();
}

QString ProgramProcess::processListEntry() const {
  QFile file(QStringLiteral("/proc/%1/cmdline").arg(pid()));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromLocal8Bit(file.readAll().replace('\0', ' '));
}

bool ProgramProcess::running() const {
  return process_.state() != QProcess::NotRunning;
}

void ProgramProcess::sendSignal(int signal) {
  if (running()) ::kill(static_cast<pid_t>(process_.processId()), signal);
}

bool ProgramProcess::waitForExit(int ms) {
  const bool ended = process_.state() == QProcess::NotRunning || process_.waitForFinished(ms);
  collect();
  return ended;
}

int ProgramProcess::exitCode() const {
  if (process_.state() != QProcess::NotRunning || process_.exitStatus() != QProcess::NormalExit) {
    return -1;
  }
  return process_.exitCode();
}

void ProgramProcess::collect() {
  standardError_ += QString::fromUtf8(process_.readAllStandardError());
  standardOutput_ += QString::fromUtf8(process_.readAllStandardOutput());
}

QString ProgramProcess::standardError() {
  collect();
  return standardError_;
}

QString ProgramProcess::standardOutput() {
  collect();
  return standardOutput_;
}

bool ProgramProcess::waitForStandardError(const std::function<bool(const QString&)>& condition,
                                          int ms) {
  return waitUntil(
      [&] {
        process_.waitForReadyRead(0);
        return condition(standardError());
      },
      ms);
}

bool waitUntil(const std::function<bool()>& condition, int ms) {
  QElapsedTimer waited;
  waited.start();
  while (!condition()) {
    if (waited.elapsed() > ms) return false;
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
    QThread::msleep(50);
  }
  return true;
}

}  // namespace radevore::testing
