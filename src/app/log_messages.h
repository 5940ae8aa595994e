#pragma once

#include <QDateTime>
#include <QString>

#include "print/user_messages.h"

namespace radevore::app {

// The user messages of the service as log lines on standard error, one line each, so that
// journald or a log file keeps them: "2026-12-11T15:40:00Z error <text>". Nothing waits.
class LogMessages : public print::UserMessages {
 public:
  enum class Level { Info, Warning, Error };

  // One log line (without its line end): UTC time to the second, level, the text on one line.
  static QString line(const QDateTime& when, Level level, const QString& text);

  void info(const QString& text) { write(Level::Info, text); }
  void warning(const QString& text) { write(Level::Warning, text); }
  void error(const QString& text) { write(Level::Error, text); }

  // Plain messages are conditions somebody should look at; the other two are errors.
  void showMessage(const QString& text) override { warning(text); }
  void showErrorDialog(const QString& text) override { error(text); }
  void showError(const QString& text) override { error(text); }

 private:
  void write(Level level, const QString& text);
};

}  // namespace radevore::app
