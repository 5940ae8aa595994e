#include "case_printing.h"

#include <cstdio>

namespace radevore::testing {

std::string printable(const char* text) {
  return text ? '"' + std::string(text) + '"' : std::string("null");
}

std::string printable(const QString& text) {
  return '"' + text.toStdString() + '"';
}

std::string printable(const QStringList& texts) {
  std::string out = "[";
  for (qsizetype i = 0; i < texts.size(); ++i) {
    if (i > 0) out += ", ";
    out += printable(texts[i]);
  }
  return out + "]";
}

std::string printable(const QByteArray& bytes) {
  std::string out = "\"";
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte >= 0x20 && byte < 0x7f) {
      out += c;
    } else {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
      out += escaped;
    }
  }
  return out + '"';
}

std::string printable(const db::Value& value) {
  using Kind = db::Value::Kind;
  switch (value.kind()) {
    case Kind::Null:
      return "null";
    case Kind::Text:
      return "text:" + printable(value.asString());
    case Kind::Integer:
      return "integer:" + value.toText().toStdString();
    case Kind::Decimal:
      return "decimal:" + value.toText().toStdString();
    case Kind::Float:
      return "float:" + value.toText().toStdString();
    case Kind::Date:
      return "date:" + value.toText().toStdString();
    case Kind::Time:
      return "time:" + value.toText().toStdString();
    case Kind::Timestamp:
      return "timestamp:" + value.toText().toStdString();
    case Kind::Blob:
      return "blob:" + printable(value.asBlob());
  }
  return "?";
}

std::string printable(QSize size) {
  return std::to_string(size.width()) + "x" + std::to_string(size.height());
}

std::string printable(QSizeF size) {
  return QStringLiteral("%1x%2").arg(size.width()).arg(size.height()).toStdString();
}

}  // namespace radevore::testing
