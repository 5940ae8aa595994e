#include "db/value.h"

#include <charconv>
#include <cstdlib>
#include <system_error>

#include "db/code_page.h"
#include "db/db_error.h"

namespace radevore::db {

namespace {

std::int64_t pow10(int n) {
  std::int64_t p = 1;
  for (int i = 0; i < n; ++i) p *= 10;
  return p;
}

[[noreturn]] void wrongKind(const char* wanted) {
  throw DbError(QStringLiteral("Value is not %1").arg(QLatin1String(wanted)));
}

// Unscaled integer with `scale` decimals in plain form: no trailing fraction zeros.
QString plainDecimal(std::int64_t unscaled, int scale, QChar separator) {
  const bool negative = unscaled < 0;
  // Work on the magnitude as unsigned so INT64_MIN survives.
  std::uint64_t magnitude =
      negative ? std::uint64_t(0) - static_cast<std::uint64_t>(unscaled) : std::uint64_t(unscaled);
  const auto divisor = static_cast<std::uint64_t>(pow10(scale));
  const std::uint64_t whole = magnitude / divisor;
  std::uint64_t fraction = magnitude % divisor;
  QString out = negative ? QStringLiteral("-") : QString();
  out += QString::number(whole);
  if (fraction != 0) {
    QString digits = QString::number(fraction).rightJustified(scale, u'0');
    while (digits.endsWith(u'0')) digits.chop(1);
    out += separator;
    out += digits;
  }
  return out;
}

QString plainDouble(double v, QChar separator) {
  char buffer[400];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed);
  if (ec != std::errc()) return QString::number(v);
  QString out = QString::fromLatin1(buffer, end - buffer);
  if (out.contains(u'.')) {
    while (out.endsWith(u'0')) out.chop(1);
    if (out.endsWith(u'.')) out.chop(1);
    out.replace(u'.', separator);
  }
  if (out == QLatin1String("-0")) out = QStringLiteral("0");
  return out;
}

}  // namespace

Value Value::text(QString v) {
  Value r;
  r.kind_ = Kind::Text;
  r.v_ = std::move(v);
  return r;
}

Value Value::integer(std::int64_t v) {
  Value r;
  r.kind_ = Kind::Integer;
  r.v_ = v;
  return r;
}

Value Value::decimal(std::int64_t unscaled, int scale) {
  if (scale < 0 || scale > 18)
    throw DbError(QStringLiteral("Decimal scale %1 out of range").arg(scale));
  Value r;
  r.kind_ = Kind::Decimal;
  r.v_ = unscaled;
  r.scale_ = scale;
  return r;
}

Value Value::floating(double v) {
  Value r;
  r.kind_ = Kind::Float;
  r.v_ = v;
  return r;
}

Value Value::date(QDate v) {
  Value r;
  r.kind_ = Kind::Date;
  r.v_ = v;
  return r;
}

Value Value::time(QTime v) {
  Value r;
  r.kind_ = Kind::Time;
  r.v_ = v;
  return r;
}

Value Value::timestamp(QDateTime v) {
  Value r;
  r.kind_ = Kind::Timestamp;
  r.v_ = std::move(v);
  return r;
}

Value Value::blob(QByteArray v) {
  Value r;
  r.kind_ = Kind::Blob;
  r.v_ = std::move(v);
  return r;
}

const QString& Value::asString() const {
  if (kind_ != Kind::Text) wrongKind("text");
  return std::get<QString>(v_);
}

std::int64_t Value::asInteger() const {
  if (kind_ != Kind::Integer && kind_ != Kind::Decimal) wrongKind("an integer");
  return std::get<std::int64_t>(v_);
}

int Value::scale() const {
  return kind_ == Kind::Decimal ? scale_ : 0;
}

double Value::asDouble() const {
  switch (kind_) {
    case Kind::Integer:
      return static_cast<double>(std::get<std::int64_t>(v_));
    case Kind::Decimal:
      return static_cast<double>(std::get<std::int64_t>(v_)) / static_cast<double>(pow10(scale_));
    case Kind::Float:
      return std::get<double>(v_);
    default:
      wrongKind("a number");
  }
}

QDate Value::asDate() const {
  if (kind_ == Kind::Date) return std::get<QDate>(v_);
  if (kind_ == Kind::Timestamp) return std::get<QDateTime>(v_).date();
  wrongKind("a date");
}

QTime Value::asTime() const {
  if (kind_ == Kind::Time) return std::get<QTime>(v_);
  if (kind_ == Kind::Timestamp) return std::get<QDateTime>(v_).time();
  wrongKind("a time");
}

QDateTime Value::asTimestamp() const {
  if (kind_ != Kind::Timestamp) wrongKind("a timestamp");
  return std::get<QDateTime>(v_);
}

const QByteArray& Value::asBlob() const {
  if (kind_ != Kind::Blob) wrongKind("a blob");
  return std::get<QByteArray>(v_);
}

QString Value::toText(QChar decimalSeparator) const {
  switch (kind_) {
    case Kind::Null:
      return {};
    case Kind::Text:
      return std::get<QString>(v_);
    case Kind::Integer:
      return QString::number(std::get<std::int64_t>(v_));
    case Kind::Decimal:
      return plainDecimal(std::get<std::int64_t>(v_), scale_, decimalSeparator);
    case Kind::Float:
      return plainDouble(std::get<double>(v_), decimalSeparator);
    case Kind::Date:
      return std::get<QDate>(v_).toString(QStringLiteral("yyyy-MM-dd"));
    case Kind::Time:
      return std::get<QTime>(v_).toString(QStringLiteral("HH:mm:ss"));
    case Kind::Timestamp:
      return std::get<QDateTime>(v_).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case Kind::Blob:
      return decodeWindows1252(std::get<QByteArray>(v_));
  }
  return {};
}

std::int64_t Value::toIntegerOr0() const {
  switch (kind_) {
    case Kind::Integer:
      return std::get<std::int64_t>(v_);
    case Kind::Decimal:
      return std::get<std::int64_t>(v_) / pow10(scale_);  // C++ division truncates towards zero
    case Kind::Float: {
      const double d = std::get<double>(v_);
      if (!(d > -9.2e18 && d < 9.2e18)) return 0;
      return static_cast<std::int64_t>(d);
    }
    case Kind::Text: {
      bool ok = false;
      const qlonglong n = std::get<QString>(v_).toLongLong(&ok);
      return ok ? n : 0;
    }
    default:
      return 0;
  }
}

}  // namespace radevore::db
