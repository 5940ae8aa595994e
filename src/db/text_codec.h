#pragma once

#include <QByteArray>
#include <QString>

namespace radevore::db {

// Firebird character set ids this layer tells apart.
enum CharsetId : unsigned {
  kCharsetNone = 0,
  kCharsetOctets = 1,
  kCharsetUnicodeFss = 3,
  kCharsetUtf8 = 4,
  kCharsetWin1252 = 53
};

// The id of a connection character set name; an empty name is NONE (no lc_ctype sent).
unsigned charsetIdOf(const QString& name);

// Text bytes of a column or blob in character set `charset`: UTF-8 for the Unicode sets,
// Windows-1252 for every single-byte set this system meets (NONE, WIN1252, ...).
QString decodeText(const QByteArray& bytes, unsigned charset);
QByteArray encodeText(const QString& text, unsigned charset);

// Bytes one character takes at most in `charset`.
unsigned maxBytesPerChar(unsigned charset);

}  // namespace radevore::db
