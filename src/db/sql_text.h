#pragma once

#include <QString>
#include <QStringView>

namespace radevore::db {

// The text as an SQL string literal: enclosed in single quotes, each inner single quote doubled
// (O'X becomes 'O''X').
QString sqlQuoted(QStringView text);

}  // namespace radevore::db
