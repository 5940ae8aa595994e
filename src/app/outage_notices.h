#pragma once

#include "app/connection_keeper.h"
#include "print/print_run.h"

class QWidget;

namespace radevore::app {

class Fdm;
class LogMessages;

// How a database outage is told in the window: one error box that waits for nobody (the
// spooler goes on with its ticks underneath); a second outage while it is still open adds none.
// It closes by itself when the connection is back.
ConnectionKeeper::Notices windowOutageNotices(QWidget& window);

// How it is told in the service: one error line per outage and one info line when it is back.
ConnectionKeeper::Notices serviceOutageNotices(LogMessages& log, const Tflabrions& window);

// The spooler's print command: a run when the keeper says the connection is usable, nothing
// (Failed, quietly) while an outage lasts. A trigger during a run is dropped by the run itself.
print::PrintRunResult runKeepingConnection(ConnectionKeeper& keeper, print::PrintRun& run,
                                           Fdm& fdm);

}  // namespace radevore::app
