#pragma once

#include <QString>
#include <QStringList>

namespace radevore::app {

// The program's command line: options wherever they stand (until "--", after which everything
// is positional), then the positional parameters (position 0 the program, 1 to 6 server, user,
// password, company, prefix and price-list code).
//   --pdf DIR (or --pdf=DIR): every print job is written as a new PDF file in DIR instead of
//                             going to a printer.
//   --once: the unattended start ends the program after its first print run; no window, and
//           messages go to standard error instead of waiting in message boxes.
//   --service: the unattended start without a window, printing at every interval until
//              stopped; every message is a time-stamped line on standard error.
//   --interval SECONDS: the repeat timer's period (default 90).
//   --history [N]: lists the last N print jobs of the job journal (default 20) and ends.
//   --reprint ID: sends the kept document of job ID again (with --pdf, copies it) and ends.
//   --help, --version.
struct CommandLine {
  enum class Action { Run, Help, Version, UsageError, History, Reprint };

  Action action = Action::Run;
  QStringList parameters;
  QString pdfDirectory;  // empty: print to the printer
  bool once = false;
  bool service = false;
  int intervalSeconds = 90;
  int historyCount = 20;
  qint64 reprintId = 0;
  QString error;  // the usage error; empty when the line is sound
  QString text;   // what --help or --version print

  // The positional parameter at `position`, "" when absent.
  QString parameter(int position) const { return parameters.value(position); }
  // No window is wanted: the program picks a platform that needs no display.
  bool headless() const { return once || service; }
};

// `arguments` as the program got them, position 0 the program; Qt sees none of them.
CommandLine parseCommandLine(const QStringList& arguments);

// The login's password: position 3, or, when that is empty or absent, the environment's
// ISC_PASSWORD (Firebird's own convention), so that it need not stand in the process list.
QString loginPassword(const CommandLine& line, const QString& environmentPassword);

// The positional parameters with the password as the login uses it.
QStringList loginParameters(const CommandLine& line, const QString& environmentPassword);

// Overwrites, in the process's own argument memory, every argument (after the program's name)
// that equals `secret` with asterisks, so that the process list no longer shows it. The
// arguments must have been read before.
void hideArgument(int argc, char** argv, const QString& secret);

constexpr int kMaxIntervalSeconds = 24 * 60 * 60;
constexpr int kDefaultHistoryCount = 20;

}  // namespace radevore::app
