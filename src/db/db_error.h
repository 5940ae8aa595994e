#pragma once

#include <QString>
#include <stdexcept>
#include <vector>

namespace radevore::db {

// An error raised by the database client, carrying Firebird's own formatted status text
// (or this layer's text for misuse such as an absent column).
class DbError : public std::runtime_error {
 public:
  explicit DbError(const QString& text, std::vector<long> codes = {})
      : std::runtime_error(text.toStdString()), text_(text), codes_(std::move(codes)) {}
  const QString& text() const { return text_; }
  // Firebird's error codes (isc_...) in the order of the status vector; none for this layer's
  // own errors.
  const std::vector<long>& codes() const { return codes_; }
  // A lock or update conflict with another transaction: a lock wait that ran out, a deadlock,
  // or a record that another transaction changed or deleted (and committed) meanwhile.
  bool isLockConflict() const;

 private:
  QString text_;
  std::vector<long> codes_;
};

}  // namespace radevore::db
