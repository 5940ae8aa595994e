#pragma once

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QPushButton>
#include <vector>

#include "app/data_module.h"
#include "app/main_window.h"
#include "print/held_messages.h"
#include "print/print_run.h"
#include "report/qt_report_system.h"
#include "support/fake_print_service.h"
#include "support/fixture_db.h"
#include "support/recording_messages.h"

namespace radevore::testing {

// One spooler station wired as the program wires its window: data module, main window, a
// report system writing each job as a PDF into `pdfDirectory`, and the print run behind F2, the
// button and the timer. No printer is installed. Messages are recorded, not shown, and held
// back by the run as the program's are.
// The caller points the installation directory setting somewhere (SettingsScope).
struct WindowStation {
  // `sink` records what the user saw; the station's own when null.
  explicit WindowStation(const QString& pdfDirectory, RecordingMessages* sink = nullptr)
      : messages(sink ? *sink : ownMessages),
        reports(printers, report::PdfDirectory{pdfDirectory}) {
    QDir().mkpath(pdfDirectory);
    window.setPrintCommand([this] {
      results.push_back(run.SpeedButton3Click(&fdm.Nexora));
      return results.back();
    });
    window.setCancelCommand([this] { run.cancel(); });
    run.holdWhileFetching(program);
  }

  // Logs in through the window's fields to the installation's company and chooses the prefix.
  void login(const Installation& installation, const QString& prefix,
             const QString& company = QStringLiteral("001")) {
    window.setServers({installation.root});
    window.setUserName(QStringLiteral("SYSDBA"));
    window.setPassword(QStringLiteral("masterkey"));
    window.setCompany(company);
    window.CiaExit();
    window.selectPrefixByKey(prefix);
  }

  RecordingMessages ownMessages;
  RecordingMessages& messages;  // what the user saw, in order
  print::HeldMessages program{messages};
  app::Fdm fdm{program};
  app::Tflabrions window{fdm, program};
  FakePrintService printers;
  report::QtReportSystem reports;
  print::PrintRun run{window,  program, reports, fdm.configuration(), fdm.printerAliases(),
                      printers};
  std::vector<print::PrintRunResult> results;  // of every run the window started, in order
};

// The "Cancel" button of the job's status window while it is shown; null otherwise.
inline QPushButton* statusCancelButton() {
  for (QWidget* top : QApplication::topLevelWidgets()) {
    auto* dialog = qobject_cast<QDialog*>(top);
    if (!dialog || !dialog->isVisible() || dialog->windowTitle() != QLatin1String("Estado")) {
      continue;
    }
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
      if (button->text() == QLatin1String("Cancel")) return button;
    }
  }
  return nullptr;
}

// Whether any top-level window of the program is still shown.
inline bool anyWindowVisible() {
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (top->isVisible()) return true;
  }
  return false;
}

}  // namespace radevore::testing
