#pragma once

#include <QString>
#include <QStringList>

#include "print/print_seams.h"
#include "print/user_messages.h"
#include "report/report_system.h"

namespace radevore::db {
class Attachment;
}
namespace radevore::report {
class PrintService;
}

namespace radevore::print {

enum class PrintRunResult {
  Busy,            // another run was in progress: this trigger was dropped
  NoPrefix,        // "Debe seleccionar el prefijo."
  NoFormat,        // "No se encontró el formato de impresión."
  NothingToPrint,  // no label waiting
  Printed,         // one job handed to the printer (or written as PDF)
  Cancelled,       // "Cancel" in the status window; labels stay queued
  Failed,          // an error was shown; labels stay queued
  // Another station holds the prefix's labels (its fetch came first); nothing was shown, the
  // next run tries again.
  TakenByAnotherStation,
};

class HeldMessages;

// The print run (SpeedButton3Click): selects the label format of the chosen prefix, fetches the
// waiting labels and prints them as one job. F2, the button, the repeat timer and the unattended
// start all call it.
class PrintRun {
 public:
  PrintRun(PrintRunWindow& window, UserMessages& messages, report::ReportSystem& reports,
           SettingsLookup& settings, PrinterAliases& aliases, report::PrintService& printers);
  // The program's messages, which the settings and the printer aliases show theirs through
  // too: the run holds them back while its fetch transaction is open and shows them once it
  // has ended.
  void holdWhileFetching(HeldMessages& messages) { held_ = &messages; }

  // `company` is the open company connection, or null (or closed) before a login.
  PrintRunResult SpeedButton3Click(db::Attachment* company);

  bool running() const { return running_; }
  // Stops the run in progress: its job ends at the next drawing operation as after "Cancel"
  // (the labels stay queued), and a run that has not fetched yet fetches nothing. Does nothing
  // between runs.
  void cancel();

  // Every run that printed, was cancelled or failed is told to `recorder` as it ends.
  void recordRunsWith(JobRecorder& recorder) { recorder_ = &recorder; }

 private:
  PrintRunResult runOnce(db::Attachment* company);

  PrintRunWindow& window_;
  UserMessages& messages_;
  HeldMessages* held_ = nullptr;
  report::ReportSystem& reports_;
  SettingsLookup& settings_;
  PrinterAliases& aliases_;
  report::PrintService& printers_;
  bool running_ = false;
  bool stopRequested_ = false;
  QStringList afterRun_;  // shown by the general error display once the run has ended
  JobRecorder* recorder_ = nullptr;
  FinishedRun finished_;  // what this run has done so far
};

}  // namespace radevore::print
