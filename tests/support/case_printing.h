#pragma once

#include <QByteArray>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <optional>
#include <ostream>
#include <string>

#include "db/value.h"

// Readable forms of the Qt and database values that the tables of value-parameterised tests
// hold, for their PrintTo functions: without them a failing case prints as raw object bytes.
namespace radevore::testing {

std::string printable(const char* text);          // "text", or null
std::string printable(const QString& text);       // "text", quoted, as UTF-8
std::string printable(const QStringList& texts);  // ["a", "b"]
std::string printable(const QByteArray& bytes);   // "ab\x01", C escapes for the rest
std::string printable(const db::Value& value);    // null, or kind:text
inline std::string printable(int number) {
  return std::to_string(number);
}
std::string printable(QSize size);  // 100x200
std::string printable(QSizeF size);

template <typename T>
std::string printable(const std::optional<T>& value) {
  return value ? printable(*value) : std::string("none");
}

}  // namespace radevore::testing
