#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>

#include "fixture_db.h"

namespace radevore::testing {

// The built program started as a process, with a system settings file that points it at an
// installation directory. Its standard error is collected as it comes.
class ProgramProcess {
 public:
  enum class Display {
    Offscreen,  // QT_QPA_PLATFORM=offscreen, as the window tests use
    None,       // no display and no platform chosen: what a service gets
  };

  explicit ProgramProcess(const QString& installationDir, Display display = Display::Offscreen);
  ~ProgramProcess();  // kills a program still running
  ProgramProcess(const ProgramProcess&) = delete;
  ProgramProcess& operator=(const ProgramProcess&) = delete;

  void setEnvironment(const QString& name, const QString& value);
  void start(const QStringList& arguments);
  qint64 pid() const;
  // The running program's arguments as the process list shows them (/proc/PID/cmdline), each
  // followed by a blank.
  QString processListEntry() const;
  bool running() const;
  void sendSignal(int signal);

  // Waits up to `ms` for the program to end; true when it did.
  bool waitForExit(int ms);
  int exitCode() const;  // -1 after a crash or while running
  QString standardError();
  QString standardOutput();
  // Waits up to `ms` until `condition` holds on the standard error collected so far.
  bool waitForStandardError(const std::function<bool(const QString&)>& condition, int ms);

 private:
  void collect();

  TempDir config_;
  QProcessEnvironment environment_;
  QProcess process_;
  QString standardError_;
  QString standardOutput_;
};

// Waits up to `ms` for `condition`, looking every 50 ms while Qt's events are handled.
bool waitUntil(const std::function<bool()>& condition, int ms);

}  // namespace radevore::testing
