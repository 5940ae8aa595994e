#include "app/connection_keeper.h"

#include "app/data_module.h"
#include "app/login.h"
#include "app/main_window.h"
#include "db/db_error.h"

namespace radevore::app {

namespace {

// Swallows the messages of a quiet login attempt.
class QuietMessages : public print::UserMessages {
 public:
  void showMessage(const QString&) override {}
  void showErrorDialog(const QString&) override {}
  void showError(const QString&) override {}
};

}  // namespace

ConnectionKeeper::ConnectionKeeper(Tflabrions& window, Fdm& fdm, print::UserMessages& messages,
                                   Notices notices, std::optional<Choices> choices)
    : window_(window),
      fdm_(fdm),
      messages_(messages),
      notices_(std::move(notices)),
      choices_(std::move(choices)) {}

bool ConnectionKeeper::companyConnectionBroken() {
  if (!fdm_.Nexora.isOpen()) return false;  // never connected or logged out: not an outage
  try {
    fdm_.Nexora.query(QStringLiteral("SELECT 1 FROM RDB$DATABASE"));
    return false;
  } catch (const db::DbError&) {
    return true;
  }
}

void ConnectionKeeper::showError(const QString& text) {
  if (outage_) return;  // a later failure of the same outage
  if (!companyConnectionBroken()) {
    messages_.showError(text);
    return;
  }
  startOutage(text);
}

void ConnectionKeeper::startOutage(const QString& error) {
  if (outage_) return;
  outage_ = true;
  if (notices_.outage && !error.isEmpty()) notices_.outage(error);
}

bool ConnectionKeeper::readyForRun() {
  if (!outage_) return true;
  Choices wanted;
  if (choices_) {
    wanted = *choices_;
  } else {
    wanted.prefix = window_.prefix();
    const std::optional<qint64> key = window_.priceListKey();
    if (key && !window_.priceListText().isEmpty()) wanted.priceList = QString::number(*key);
  }
  QuietMessages quiet;
  Login login(window_, fdm_, quiet);
  login.CiaExit();
  if (fdm_.nexoraState() != ConnectionState::Open || companyConnectionBroken()) return false;
  window_.selectPrefixByKey(wanted.prefix);
  window_.selectPriceListByKey(wanted.priceList);
  outage_ = false;
  if (notices_.back) notices_.back();
  return true;
}

}  // namespace radevore::app
