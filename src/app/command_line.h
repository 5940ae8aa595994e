#pragma once

#include <QString>
#include <QStringList>

namespace radevore::app {

// The program's command line: the options taken out wherever they stand, then the positional
// parameters (position 0 the program, 1 to 6 server, user, password, company, prefix and
// price-list code).
//   --pdf DIR (or --pdf=DIR): every print job is written as a new PDF file in DIR instead of
//                             going to a printer.
//   --once: the unattended start ends the program after its first print run, and messages go
//           to standard error instead of waiting in message boxes.
struct CommandLine {
  QStringList parameters;
  QString pdfDirectory;  // empty: print to the printer
  bool once = false;
  QString error;  // a malformed option; empty when the line is sound

  // The positional parameter at `position`, "" when absent.
  QString parameter(int position) const { return parameters.value(position); }
};

CommandLine parseCommandLine(const QStringList& arguments);

}  // namespace radevore::app
