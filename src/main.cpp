// radevore: prints the shelf labels waiting in the ERP's company database.

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "app/command_line.h"
#include "app/connection_keeper.h"
#include "app/data_module.h"
#include "app/job_history.h"
#include "app/journal_recorder.h"
#include "app/log_messages.h"
#include "app/main_window.h"
#include "app/message_box_messages.h"
#include "app/outage_notices.h"
#include "app/stderr_messages.h"
#include "app/termination_signals.h"
#include "app/unattended_start.h"
#include "print/held_messages.h"
#include "print/job_journal.h"
#include "print/print_run.h"
#include "report/print_service.h"
#include "report/qt_report_system.h"
#include "report/termination.h"

namespace {

using radevore::app::CommandLine;
using radevore::app::UnattendedOutcome;
using radevore::print::PrintRunResult;

void write(std::FILE* stream, const QString& text) {
  const QByteArray bytes = text.toUtf8();
  std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
}

// The exit status of a one-shot run: 0 when it printed or found nothing to print.
int onceStatus(const UnattendedOutcome& outcome) {
  if (outcome.kind != UnattendedOutcome::Kind::Ran) return 1;
  // Labels another station was printing are that station's work, not a failure of this one.
  return outcome.result == PrintRunResult::Printed ||
                 outcome.result == PrintRunResult::NothingToPrint ||
                 outcome.result == PrintRunResult::TakenByAnotherStation
             ? 0
             : 1;
}

// Without a window the platform's own notes (window hints, runtime folders) are no news for a
// log; the program's messages do not go through Qt's message handler.
void dropQtNotes(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtFatalMsg) write(stderr, text + u'\n');
}

QStringList rawArguments(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));
  return arguments;
}

// --history and --reprint: the job journal only, no display and no login.
int journalCommand(const CommandLine& line) {
  radevore::print::JobJournal journal(
      radevore::print::defaultJournalFolder(),
      [](const QString& warning) { write(stderr, warning + u'\n'); });
  if (line.action == CommandLine::Action::History) {
    write(stdout, radevore::app::historyText(journal, line.historyCount));
    return 0;
  }
  const radevore::app::ReprintOutcome outcome = radevore::app::reprintJob(
      journal, line.reprintId, line.pdfDirectory, radevore::app::submitToPrinter);
  write(outcome.ok ? stdout : stderr, outcome.text + u'\n');
  return outcome.ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace radevore;

  // Before any thread exists: SIGTERM and SIGINT are then seen only by the watcher below.
  app::TerminationSignals::blockInThisProcess();

  // The command line is read before Qt sees it, and Qt gets none of it: its own options
  // (-platform, -reverse...) must not take a position such as a password away.
  const CommandLine line = app::parseCommandLine(rawArguments(argc, argv));
  switch (line.action) {
    case CommandLine::Action::Help:
    case CommandLine::Action::Version:
      write(stdout, line.text);
      return 0;
    case CommandLine::Action::UsageError:
      write(stderr, line.error + QStringLiteral("\nradevore --help shows the usage.\n"));
      return 2;
    case CommandLine::Action::History:
    case CommandLine::Action::Reprint:
      return journalCommand(line);
    case CommandLine::Action::Run:
      break;
  }
  if (line.headless()) {
    // No window wanted: no display needed either.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(dropQtNotes);
  }
  // A password given as position 3 leaves the process list as soon as it has been read.
  app::hideArgument(argc, argv, line.parameter(3));
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  QApplication application(qtArgc, qtArgv);
  // Taken when the password position is empty; it then never stands in the process list.
  const QString environmentPassword = qEnvironmentVariable("ISC_PASSWORD");

  app::MessageBoxMessages boxes;
  app::StderrMessages errors;
  app::LogMessages log;
  // Held back by the print run while its fetch transaction holds the queued labels.
  print::HeldMessages messages(line.service ? static_cast<print::UserMessages&>(log)
                               : line.once  ? static_cast<print::UserMessages&>(errors)
                                            : static_cast<print::UserMessages&>(boxes));

  report::QtPrintService printers;
  std::unique_ptr<report::QtReportSystem> reports =
      line.pdfDirectory.isEmpty() ? std::make_unique<report::QtReportSystem>(printers)
                                  : std::make_unique<report::QtReportSystem>(
                                        printers, report::PdfDirectory{line.pdfDirectory});

  app::Fdm fdm(messages);
  app::Tflabrions window(fdm, messages);
  window.setRepeatInterval(line.intervalSeconds * 1000);
  boxes.setParent(&window);

  // A database outage: one log line (service) or one box that waits for nobody (window), then
  // quiet new logins before each run until one succeeds.
  app::ConnectionKeeper::Notices notices;
  if (line.service) {
    notices = app::serviceOutageNotices(log, window);
  } else if (!line.once) {
    notices = app::windowOutageNotices(window);
  } else {
    notices.outage = [&](const QString& error) { errors.showError(error); };
  }
  // The service has nobody to change the choices: after a new login it takes its own again.
  std::optional<app::ConnectionKeeper::Choices> choices;
  if (line.service) {
    choices = app::ConnectionKeeper::Choices{line.parameter(5), line.parameter(6)};
  }
  app::ConnectionKeeper keeper(window, fdm, messages, notices, choices);

  // SIGTERM or SIGINT: a run in progress stops its job (or commits one already handed over) and
  // unwinds before the message loop returns; every message box closes. A stop while idle (or in
  // a run that found nothing to print) is a clean stop, exit 0; a stop that came while a job
  // existed exits with 128 + the signal.
  app::TerminationSignals termination;
  int stopStatus = 0;
  QObject::connect(&termination, &app::TerminationSignals::requested, &application,
                   [] { QCoreApplication::exit(0); });

  print::PrintRun run(window, keeper, *reports, fdm.configuration(), fdm.printerAliases(),
                      printers);
  run.holdWhileFetching(messages);
  // Every run that printed, was cancelled or failed goes into the job journal, with the document
  // it printed. A journal that can't be written is said once, in the log or on standard error
  // (never in a box that would wait for somebody), and the runs go on.
  print::JobJournal journal(print::defaultJournalFolder(), [&](const QString& warning) {
    if (line.service) {
      log.warning(warning);
    } else {
      write(stderr, warning + u'\n');
    }
  });
  app::JournalRecorder recorder(journal, [&window] { return window.company(); });
  reports->onHandedOver(
      [&recorder](const report::HandedOverJob& job) { recorder.handedOver(job); });
  run.recordRunsWith(recorder);
  window.setPrintCommand([&] {
    // No new run once the program is ending; a tick may still be queued.
    if (report::terminationRequested()) return PrintRunResult::Busy;
    const QString prefix = window.prefix();
    const PrintRunResult result = app::runKeepingConnection(keeper, run, fdm);
    // A signal that came while a job existed (stopped, or handed over and committed) ends the
    // program with a status that says so.
    if (report::terminationRequested() &&
        (result == PrintRunResult::Cancelled || result == PrintRunResult::Printed)) {
      stopStatus = 128 + termination.signalNumber();
    }
    if (line.service && result == PrintRunResult::Printed) {
      log.info(QStringLiteral("Trabajo de impresión entregado (prefijo ") + prefix +
               QStringLiteral(")"));
    }
    return result;
  });
  window.setCancelCommand([&] { run.cancel(); });

  app::UnattendedStart start(
      window, fdm, app::loginParameters(line, environmentPassword),
      [&](const UnattendedOutcome& outcome) {
        if (line.service && outcome.kind == UnattendedOutcome::Kind::NotConnected) {
          // The error is in the log already; every tick tries a new login.
          keeper.startOutage(QString());
        }
        if (!line.once) return;
        const int status = onceStatus(outcome);
        QMetaObject::invokeMethod(
            &application, [status] { QCoreApplication::exit(status); }, Qt::QueuedConnection);
      });

  if (!line.headless()) {
    QObject::connect(&window, &app::Tflabrions::activated, &window, [&] { start.FormActivate(); });
    window.show();
  }
  if (line.service) {
    log.info(QStringLiteral("Servicio iniciado: cada %1 s, prefijo %2")
                 .arg(line.intervalSeconds)
                 .arg(line.parameter(5)));
  }
  // The first activation runs the unattended start; where the platform activates no window
  // (no window at all, offscreen, no window manager) it runs once the message loop has started.
  QTimer::singleShot(0, &window, [&] { start.FormActivate(); });
  const int status = application.exec();
  if (line.service) {
    log.info(stopStatus == 0 ? QStringLiteral("Servicio detenido")
                             : QStringLiteral("Servicio detenido durante una impresión"));
  }
  return termination.signalNumber() != 0 ? stopStatus : status;
}
