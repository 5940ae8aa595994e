#include "app/command_line.h"

namespace radevore::app {

CommandLine parseCommandLine(const QStringList& arguments) {
  CommandLine line;
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (i > 0 && argument == QLatin1String("--once")) {
      line.once = true;
    } else if (i > 0 && argument == QLatin1String("--pdf")) {
      line.pdfDirectory = i + 1 < arguments.size() ? arguments[++i] : QString();
      if (line.pdfDirectory.isEmpty()) line.error = QStringLiteral("--pdf necesita una carpeta");
    } else if (i > 0 && argument.startsWith(QLatin1String("--pdf="))) {
      line.pdfDirectory = argument.mid(6);
      if (line.pdfDirectory.isEmpty()) line.error = QStringLiteral("--pdf necesita una carpeta");
    } else {
      line.parameters.append(argument);
    }
  }
  return line;
}

}  // namespace radevore::app
