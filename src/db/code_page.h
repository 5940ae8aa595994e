#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace radevore::db {

// The single-byte Windows code page of the ERP's texts and files (Windows-1252).
QString decodeWindows1252(QByteArrayView bytes);
// Characters outside the code page become '?'.
QByteArray encodeWindows1252(QStringView text);

}  // namespace radevore::db
