#pragma once

#include <QStringList>
#include <functional>

#include "print/print_run.h"

namespace radevore::app {

class Fdm;
class Tflabrions;

// How an unattended start ended.
struct UnattendedOutcome {
  enum class Kind {
    Interactive,   // no prefix on the command line: nothing was done
    NotConnected,  // the login left the company connection closed: nothing was printed
    Ran,           // the print run ran; see `result`
  };
  Kind kind = Kind::Interactive;
  print::PrintRunResult result = print::PrintRunResult::NothingToPrint;
};

// The unattended start (FormActivate): with a prefix in position 5 it fills the login fields
// from the command line, logs in, chooses prefix and price list by key and, when the company
// connection is open, starts one print run. It runs once per program start: an activation while
// it runs, or any later one, does nothing (the repeat timer goes on printing).
class UnattendedStart {
 public:
  using Finished = std::function<void(const UnattendedOutcome&)>;

  // `parameters`: the positional parameters, position 0 the program.
  UnattendedStart(Tflabrions& window, Fdm& fdm, QStringList parameters, Finished finished = {});

  void FormActivate();
  bool done() const { return done_; }

 private:
  Tflabrions& window_;
  Fdm& fdm_;
  QStringList parameters_;
  Finished finished_;
  bool done_ = false;
};

}  // namespace radevore::app
