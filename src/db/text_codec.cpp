#include "db/text_codec.h"

#include "db/code_page.h"

namespace radevore::db {

unsigned charsetIdOf(const QString& name) {
  const QString n = name.trimmed().toUpper();
  if (n.isEmpty() || n == QLatin1String("NONE")) return kCharsetNone;
  if (n == QLatin1String("UTF8")) return kCharsetUtf8;
  if (n == QLatin1String("UNICODE_FSS")) return kCharsetUnicodeFss;
  if (n == QLatin1String("OCTETS")) return kCharsetOctets;
  return kCharsetWin1252;
}

static bool isUnicode(unsigned charset) {
  return charset == kCharsetUtf8 || charset == kCharsetUnicodeFss;
}

QString decodeText(const QByteArray& bytes, unsigned charset) {
  return isUnicode(charset) ? QString::fromUtf8(bytes) : decodeWindows1252(bytes);
}

QByteArray encodeText(const QString& text, unsigned charset) {
  return isUnicode(charset) ? text.toUtf8() : encodeWindows1252(text);
}

unsigned maxBytesPerChar(unsigned charset) {
  if (charset == kCharsetUtf8) return 4;
  if (charset == kCharsetUnicodeFss) return 3;
  return 1;
}

}  // namespace radevore::db
