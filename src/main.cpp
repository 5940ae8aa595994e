// radevore: prints the shelf labels waiting in the ERP's company database.

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "app/command_line.h"
#include "app/data_module.h"
#include "app/main_window.h"
#include "app/message_box_messages.h"
#include "app/stderr_messages.h"
#include "app/termination_signals.h"
#include "app/unattended_start.h"
#include "print/print_run.h"
#include "report/print_service.h"
#include "report/qt_report_system.h"
#include "report/termination.h"

namespace {

using radevore::app::UnattendedOutcome;
using radevore::print::PrintRunResult;

void writeError(const QString& text) {
  const QByteArray bytes = text.toUtf8() + '\n';
  std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
}

// The exit status of a one-shot run: 0 when it printed or found nothing to print.
int onceStatus(const UnattendedOutcome& outcome) {
  if (outcome.kind != UnattendedOutcome::Kind::Ran) return 1;
  return outcome.result == PrintRunResult::Printed ||
                 outcome.result == PrintRunResult::NothingToPrint
             ? 0
             : 1;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace radevore;

  // Before any thread exists: SIGTERM and SIGINT are then seen only by the watcher below.
  app::TerminationSignals::blockInThisProcess();
  QApplication application(argc, argv);
  const app::CommandLine line = app::parseCommandLine(QApplication::arguments());
  if (!line.error.isEmpty()) {
    writeError(line.error);
    return 2;
  }
  const bool unattended = !line.parameter(5).isEmpty();
  if (line.once && !unattended) {
    // A one-shot run has nothing to do without the login and the prefix on the command line.
    writeError(QStringLiteral("--once necesita servidor, usuario, clave, compañía y prefijo"));
    return 2;
  }

  app::MessageBoxMessages boxes;
  app::StderrMessages errors;
  print::UserMessages& messages = line.once ? static_cast<print::UserMessages&>(errors)
                                            : static_cast<print::UserMessages&>(boxes);

  report::QtPrintService printers;
  std::unique_ptr<report::QtReportSystem> reports =
      line.pdfDirectory.isEmpty() ? std::make_unique<report::QtReportSystem>(printers)
                                  : std::make_unique<report::QtReportSystem>(
                                        printers, report::PdfDirectory{line.pdfDirectory});

  app::Fdm fdm(messages);
  app::Tflabrions window(fdm, messages);
  boxes.setParent(&window);
  print::PrintRun run(window, messages, *reports, fdm.configuration(), fdm.printerAliases(),
                      printers);
  window.setPrintCommand([&] {
    // No new run once the program is ending; a tick may still be queued.
    if (report::terminationRequested()) return PrintRunResult::Busy;
    return run.SpeedButton3Click(&fdm.Nexora);
  });

  // SIGTERM or SIGINT: a run in progress stops its job (or commits one already handed over) and
  // unwinds before the message loop returns; every message box closes. A stop while idle is a
  // clean stop, exit 0; a stop that interrupted a run exits with 128 + the signal.
  app::TerminationSignals termination;
  int stopStatus = 0;
  QObject::connect(&termination, &app::TerminationSignals::requested, &application,
                   [&](int signal) {
                     if (run.running()) stopStatus = 128 + signal;
                     QCoreApplication::exit(stopStatus);
                   });

  app::UnattendedStart start(window, fdm, line.parameters, [&](const UnattendedOutcome& outcome) {
    if (!line.once) return;
    const int status = onceStatus(outcome);
    QMetaObject::invokeMethod(
        &application, [status] { QCoreApplication::exit(status); }, Qt::QueuedConnection);
  });
  QObject::connect(&window, &app::Tflabrions::activated, &window, [&] { start.FormActivate(); });

  window.show();
  // The first activation runs the unattended start; where the platform activates no window
  // (offscreen, no window manager) it runs once the message loop has started.
  QTimer::singleShot(0, &window, [&] { start.FormActivate(); });
  const int status = application.exec();
  return termination.signalNumber() != 0 ? stopStatus : status;
}
