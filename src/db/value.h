#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <cstdint>
#include <variant>

namespace radevore::db {

// One column value as read from Firebird, null-aware. Text arrives already decoded from the
// database's single-byte code page. Exact numerics keep their scaled integer, so nothing on the
// way from a NUMERIC column to a printed amount goes through floating point.
class Value {
 public:
  enum class Kind { Null, Text, Integer, Decimal, Float, Date, Time, Timestamp, Blob };

  Value() = default;  // null
  static Value text(QString v);
  static Value integer(std::int64_t v);
  // unscaled * 10^-scale, scale 0..18 (NUMERIC(15,2) 1500.50 is decimal(150050, 2)).
  static Value decimal(std::int64_t unscaled, int scale);
  static Value floating(double v);
  static Value date(QDate v);
  static Value time(QTime v);
  static Value timestamp(QDateTime v);
  static Value blob(QByteArray v);

  Kind kind() const { return kind_; }
  bool isNull() const { return kind_ == Kind::Null; }

  // Accessors for the stored representation; each expects the matching kind.
  const QString& asString() const;
  std::int64_t asInteger() const;  // Integer, or the unscaled value of a Decimal
  int scale() const;               // 0 unless Decimal
  double asDouble() const;         // any numeric kind
  QDate asDate() const;            // Date or Timestamp
  QTime asTime() const;            // Time or Timestamp
  QDateTime asTimestamp() const;
  const QByteArray& asBlob() const;

  // Text form as the readers of a row see it: null reads as the empty text; integers as their
  // decimal digits; decimals and floats in plain form (minus sign, integer digits and, when the
  // fraction is not zero, the separator and the fraction without trailing zeros); dates as
  // yyyy-MM-dd, times as HH:mm:ss, timestamps as both; blobs decoded as text.
  QString toText(QChar decimalSeparator = u'.') const;

  // "Given" in the label format's sense: the text form is not empty.
  bool isGiven() const { return !toText().isEmpty(); }

  // A null or non-numeric value reads as 0 where it is used as a count or in arithmetic;
  // decimals are truncated towards zero.
  std::int64_t toIntegerOr0() const;

  friend bool operator==(const Value&, const Value&) = default;

 private:
  Kind kind_ = Kind::Null;
  std::variant<std::monostate, QString, std::int64_t, double, QDate, QTime, QDateTime, QByteArray>
      v_;
  int scale_ = 0;
};

}  // namespace radevore::db
