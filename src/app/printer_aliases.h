#pragma once

#include <QByteArrayView>
#include <QString>
#include <functional>

#include "print/print_seams.h"

namespace radevore::print {
class UserMessages;
}

namespace radevore::app {

// The printer name for `alias` in the bytes of impresoras.cfg: in the first line holding
// alias + "," (case-sensitive, anywhere in the line) with text after it, that text, untrimmed.
// Lines end with LF or CR LF; a lone CR ends a line as well. Bytes are Windows-1252.
QString findPrinterName(QByteArrayView bytes, const QString& alias);

// nombre_impresora over impresoras.cfg of the installation directory, read anew at every call.
// A file that cannot be opened (absent, not a regular file, over the size limit) shows
// "Error abriendo el archivo" + path and gives no name; a read that fails once the file is open
// throws FileReadError.
class PrinterAliasFile : public print::PrinterAliases {
 public:
  // `directory` gives the installation directory at the moment of the lookup (diraplicacion).
  PrinterAliasFile(print::UserMessages& messages, std::function<QString()> directory);

  QString nombre_impresora(const QString& alias) override;

 private:
  print::UserMessages& messages_;
  std::function<QString()> directory_;
};

}  // namespace radevore::app
