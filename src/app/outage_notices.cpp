#include "app/outage_notices.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <memory>

#include "app/data_module.h"
#include "app/log_messages.h"
#include "app/main_window.h"
#include "print/print_run.h"

namespace radevore::app {

ConnectionKeeper::Notices windowOutageNotices(QWidget& window) {
  // The box belongs to the window (deleted with it or when closed); the notices share a
  // pointer that goes null when it is gone.
  auto box = std::make_shared<QPointer<QMessageBox>>();
  QWidget* parent = &window;
  ConnectionKeeper::Notices notices;
  notices.outage = [box, parent](const QString& error) {
    if (*box) return;
    *box = new QMessageBox(QMessageBox::Critical, QApplication::applicationDisplayName(), error,
                           QMessageBox::Ok, parent);
    (*box)->setAttribute(Qt::WA_DeleteOnClose);
    (*box)->setWindowModality(Qt::NonModal);
    (*box)->show();
  };
  notices.back = [box] {
    if (*box) (*box)->close();
  };
  return notices;
}

ConnectionKeeper::Notices serviceOutageNotices(LogMessages& log, const Tflabrions& window) {
  ConnectionKeeper::Notices notices;
  notices.outage = [&log](const QString& error) { log.error(error); };
  notices.back = [&log, &window] {
    log.info(QStringLiteral("Conectado de nuevo a la base de datos ") + window.company());
  };
  return notices;
}

print::PrintRunResult runKeepingConnection(ConnectionKeeper& keeper, print::PrintRun& run,
                                           Fdm& fdm) {
  if (!run.running() && !keeper.readyForRun()) return print::PrintRunResult::Failed;
  return run.SpeedButton3Click(&fdm.Nexora);
}

}  // namespace radevore::app
