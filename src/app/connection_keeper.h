#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "print/user_messages.h"

namespace radevore::app {

class Fdm;
class Tflabrions;

// Keeps a spooler printing through a database outage. It stands between the print run and the
// real messages: an error of a run whose company connection turns out to be broken (server
// restarted, network dropped) is announced once per outage instead of being shown as usual.
// Before every later run it logs in again, quietly, with the same login (the window's fields,
// which the command line filled), and chooses the prefix and price list again; while that
// fails the run is skipped without a word. When the login succeeds the return is announced and
// the run goes ahead. Other messages pass through unchanged.
class ConnectionKeeper : public print::UserMessages {
 public:
  struct Notices {
    std::function<void(const QString& error)> outage;  // once per outage, with the error's text
    std::function<void()> back;                        // once when the connection is back
  };
  // The prefix and price list to choose after a new login; empty: those chosen before it.
  struct Choices {
    QString prefix;
    QString priceList;
  };

  ConnectionKeeper(Tflabrions& window, Fdm& fdm, print::UserMessages& messages, Notices notices,
                   std::optional<Choices> choices = std::nullopt);

  // Before a run: true when the run may go ahead (no outage, or the new login succeeded).
  bool readyForRun();
  // An outage that no run has seen yet (the unattended login could not connect); an empty
  // error is announced no further (the login reported it already).
  void startOutage(const QString& error);
  bool inOutage() const { return outage_; }

  void showMessage(const QString& text) override { messages_.showMessage(text); }
  void showErrorDialog(const QString& text) override { messages_.showErrorDialog(text); }
  void showError(const QString& text) override;

 private:
  bool companyConnectionBroken();

  Tflabrions& window_;
  Fdm& fdm_;
  print::UserMessages& messages_;
  Notices notices_;
  std::optional<Choices> choices_;
  bool outage_ = false;
};

}  // namespace radevore::app
