#include "app/log_messages.h"

#include <cstdio>

namespace radevore::app {

QString LogMessages::line(const QDateTime& when, Level level, const QString& text) {
  static const char* const kLevels[] = {"info", "warning", "error"};
  // Database errors come on several lines; a log line keeps them on one.
  QString oneLine = text.trimmed();
  oneLine.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
  oneLine.replace(u'\n', u' ');
  oneLine.replace(u'\r', u' ');
  return when.toUTC().toString(Qt::ISODate) + u' ' +
         QLatin1String(kLevels[static_cast<int>(level)]) + u' ' + oneLine;
}

void LogMessages::write(Level level, const QString& text) {
  const QByteArray bytes = line(QDateTime::currentDateTimeUtc(), level, text).toUtf8() + '\n';
  std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
  std::fflush(stderr);
}

}  // namespace radevore::app
