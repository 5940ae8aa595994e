#include "app/printer_aliases.h"

#include "app/install_directory.h"
#include "app/local_file.h"
#include "db/code_page.h"
#include "print/user_messages.h"

namespace radevore::app {

QString findPrinterName(QByteArrayView bytes, const QString& alias) {
  const QString key = alias + QLatin1Char(',');
  qsizetype start = 0;
  while (start < bytes.size()) {
    qsizetype end = start;
    while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r') ++end;
    const QString line = db::decodeWindows1252(bytes.sliced(start, end - start));
    const qsizetype at = line.indexOf(key, 0, Qt::CaseSensitive);
    if (at >= 0) {
      const QString name = line.mid(at + key.size());
      if (!name.isEmpty()) return name;
    }
    start = end;
    if (start < bytes.size() && bytes[start] == '\r') ++start;
    if (start < bytes.size() && bytes[start] == '\n') ++start;
  }
  return {};
}

PrinterAliasFile::PrinterAliasFile(print::UserMessages& messages,
                                   std::function<QString()> directory)
    : messages_(messages), directory_(std::move(directory)) {}

QString PrinterAliasFile::nombre_impresora(const QString& alias) {
  const QString path = installationFile(directory_(), QStringLiteral("impresoras.cfg"));
  const LocalFile file = readLocalFile(path);
  switch (file.status) {
    case LocalFile::Status::Read:
      break;
    case LocalFile::Status::CannotOpen:
      messages_.showMessage(QStringLiteral("Error abriendo el archivo") + path);
      return {};
    case LocalFile::Status::ReadFailed:
      // An input/output error ends the lookup and whatever asked for it: printing on some other
      // printer than the alias names is worse than not printing.
      throw FileReadError(file.error);
  }
  return findPrinterName(file.bytes, alias);
}

}  // namespace radevore::app
