#pragma once

#include <QString>

#include "print/user_messages.h"

namespace radevore::app {

// The user messages written to standard error, one line each, without waiting for anybody
// (the one-shot command-line mode). Remembers whether an error was reported.
class StderrMessages : public print::UserMessages {
 public:
  void showMessage(const QString& text) override;
  void showErrorDialog(const QString& text) override;
  void showError(const QString& text) override;

  bool errorShown() const { return errorShown_; }

 private:
  bool errorShown_ = false;
};

}  // namespace radevore::app
