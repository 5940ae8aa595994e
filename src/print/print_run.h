#pragma once

#include <QString>

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
};

// The print run (SpeedButton3Click): selects the label format of the chosen prefix, fetches the
// waiting labels and prints them as one job. F2, the button, the repeat timer and the unattended
// start all call it.
class PrintRun {
 public:
  PrintRun(PrintRunWindow& window, UserMessages& messages, report::ReportSystem& reports,
           SettingsLookup& settings, PrinterAliases& aliases, report::PrintService& printers);

  // `company` is the open company connection, or null (or closed) before a login.
  PrintRunResult SpeedButton3Click(db::Attachment* company);

  bool running() const { return running_; }

 private:
  PrintRunResult runOnce(db::Attachment* company);

  PrintRunWindow& window_;
  UserMessages& messages_;
  report::ReportSystem& reports_;
  SettingsLookup& settings_;
  PrinterAliases& aliases_;
  report::PrintService& printers_;
  bool running_ = false;
};

}  // namespace radevore::print
