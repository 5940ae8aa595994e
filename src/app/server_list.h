#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace radevore::app {

// The longest server list line kept; longer lines are cut to this many characters and the rest
// of the line is dropped.
inline constexpr int kServerLineLimit = 255;

// Splits the bytes of SERVIDORES.cfg into entries. LF ends a line; CR ends a line too and the
// byte after it is dropped whatever it is (the second half of CR LF). Entries are kept as they
// stand, empty lines included; text after the last line end is the last entry. Bytes are
// Windows-1252.
QStringList parseServerList(QByteArrayView bytes);

// Reads SERVIDORES.cfg at `path`; a file that cannot be opened or read (absent, not a regular
// file, over the size limit) gives an empty list, silently.
QStringList readServerList(const QString& path);

}  // namespace radevore::app
