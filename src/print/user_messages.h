#pragma once

#include <QString>

namespace radevore::print {

// The three ways the program speaks to the user. The window shows them modally; tests record
// them; the one-shot command-line mode writes them to standard error.
class UserMessages {
 public:
  virtual ~UserMessages() = default;
  // A plain message box with one OK button, for expected conditions.
  virtual void showMessage(const QString& text) = 0;
  // The error dialog of an absent setting: title "Error", an error symbol, one "OK" button.
  virtual void showErrorDialog(const QString& text) = 0;
  // The general error display: a message box with the error's own text.
  virtual void showError(const QString& text) = 0;
};

}  // namespace radevore::print
