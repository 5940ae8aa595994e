#pragma once

#include <QString>
#include <stdexcept>

namespace radevore::db {

// An error raised by the database client, carrying Firebird's own formatted status text
// (or this layer's text for misuse such as an absent column).
class DbError : public std::runtime_error {
 public:
  explicit DbError(const QString& text) : std::runtime_error(text.toStdString()), text_(text) {}
  const QString& text() const { return text_; }

 private:
  QString text_;
};

}  // namespace radevore::db
