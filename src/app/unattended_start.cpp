#include "app/unattended_start.h"

#include "app/connection_state.h"
#include "app/data_module.h"
#include "app/main_window.h"

namespace radevore::app {

UnattendedStart::UnattendedStart(Tflabrions& window, Fdm& fdm, QStringList parameters,
                                 Finished finished)
    : window_(window),
      fdm_(fdm),
      parameters_(std::move(parameters)),
      finished_(std::move(finished)) {}

void UnattendedStart::FormActivate() {
  if (done_) return;
  // Marked before anything runs: the message boxes of the sequence re-activate the window.
  done_ = true;
  UnattendedOutcome outcome;
  const QString prefix = parameters_.value(5);
  if (!prefix.isEmpty()) {
    window_.setServers({parameters_.value(1)});
    window_.setUserName(parameters_.value(2));
    window_.setPassword(parameters_.value(3));
    window_.setCompany(parameters_.value(4));
    window_.CiaExit();
    window_.selectPrefixByKey(prefix);
    window_.selectPriceListByKey(parameters_.value(6));
    if (fdm_.nexoraState() == ConnectionState::Open) {
      outcome.kind = UnattendedOutcome::Kind::Ran;
      outcome.result = window_.SpeedButton3Click();
    } else {
      outcome.kind = UnattendedOutcome::Kind::NotConnected;
    }
  }
  if (finished_) finished_(outcome);
}

}  // namespace radevore::app
