#include "app/stderr_messages.h"

#include <cstdio>

namespace radevore::app {

namespace {

void writeLine(const QString& text) {
  const QByteArray bytes = text.toUtf8() + '\n';
  std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
  std::fflush(stderr);
}

}  // namespace

void StderrMessages::showMessage(const QString& text) {
  writeLine(text);
}

void StderrMessages::showErrorDialog(const QString& text) {
  writeLine(QStringLiteral("Error: ") + text);
}

void StderrMessages::showError(const QString& text) {
  errorShown_ = true;
  writeLine(text);
}

}  // namespace radevore::app
