#include "labels/amount.h"

#include <array>
#include <limits>

namespace radevore::labels {

namespace {

using Wide = __int128;

constexpr std::int64_t kUnitsPerOne = 10000;

constexpr Wide pow10(int n) {
  Wide r = 1;
  for (int i = 0; i < n; ++i) r *= 10;
  return r;
}

// n / d rounded to the nearest integer, ties to even; d > 0.
Wide divideRoundedEven(Wide n, Wide d) {
  Wide q = n / d;
  Wide r = n % d;  // same sign as n
  if (r == 0) return q;
  Wide twice = (r < 0 ? -r : r) * 2;
  int step = n < 0 ? -1 : 1;
  if (twice > d || (twice == d && q % 2 != 0)) q += step;
  return q;
}

bool fitsInt64(Wide v) {
  return v >= std::numeric_limits<std::int64_t>::min() &&
         v <= std::numeric_limits<std::int64_t>::max();
}

// Decimal digits of a non-negative number, most significant first.
QString digitsOf(unsigned __int128 v) {
  if (v == 0) return QStringLiteral("0");
  std::array<char16_t, 48> buf{};
  int pos = static_cast<int>(buf.size());
  while (v != 0) {
    buf[static_cast<size_t>(--pos)] = static_cast<char16_t>(u'0' + static_cast<int>(v % 10));
    v /= 10;
  }
  return QString(reinterpret_cast<const QChar*>(buf.data() + pos),
                 static_cast<qsizetype>(buf.size()) - pos);
}

unsigned __int128 magnitude(std::int64_t v) {
  return v < 0 ? static_cast<unsigned __int128>(-static_cast<Wide>(v))
               : static_cast<unsigned __int128>(v);
}

bool isAsciiDigit(QChar c) {
  return c >= u'0' && c <= u'9';
}

}  // namespace

Amount Amount::fromDecimal(std::int64_t unscaled, int scale) {
  if (scale <= 4) {
    return Amount(static_cast<std::int64_t>(static_cast<Wide>(unscaled) * pow10(4 - scale)));
  }
  return Amount(static_cast<std::int64_t>(divideRoundedEven(unscaled, pow10(scale - 4))));
}

std::optional<Amount> Amount::parse(QStringView text, QChar decimalSeparator) {
  qsizetype i = 0;
  const qsizetype n = text.size();
  while (i < n && text[i].isSpace()) ++i;
  bool negative = false;
  if (i < n && text[i] == u'-') {
    negative = true;
    ++i;
  }

  // Integer digits: at least one.
  Wide whole = 0;
  const qsizetype intStart = i;
  while (i < n && isAsciiDigit(text[i])) {
    whole = whole * 10 + (text[i].unicode() - u'0');
    if (whole > std::numeric_limits<std::int64_t>::max()) return std::nullopt;
    ++i;
  }
  if (i == intStart) return std::nullopt;

  // Fraction: the first four digits are kept, the rest only decide the rounding.
  Wide fraction = 0;
  int kept = 0;
  int firstDropped = -1;      // first digit after the fourth, -1 when none
  bool nonZeroAfter = false;  // any non-zero digit after that one
  if (i < n && text[i] == decimalSeparator) {
    ++i;
    const qsizetype fracStart = i;
    while (i < n && isAsciiDigit(text[i])) {
      int digit = text[i].unicode() - u'0';
      if (kept < 4) {
        fraction = fraction * 10 + digit;
        ++kept;
      } else if (firstDropped < 0) {
        firstDropped = digit;
      } else if (digit != 0) {
        nonZeroAfter = true;
      }
      ++i;
    }
    if (i == fracStart) return std::nullopt;
  }
  if (i != n) return std::nullopt;

  Wide units = whole * kUnitsPerOne + fraction * pow10(4 - kept);
  if (firstDropped > 5 || (firstDropped == 5 && (nonZeroAfter || units % 2 != 0))) ++units;
  if (negative) units = -units;
  if (!fitsInt64(units)) return std::nullopt;
  return Amount(static_cast<std::int64_t>(units));
}

std::optional<Amount> Amount::times(Amount other) const {
  // Two 64-bit counts multiply exactly in 128 bits; only the rounded result can be too large.
  const Wide product = divideRoundedEven(static_cast<Wide>(units_) * other.units_, kUnitsPerOne);
  if (!fitsInt64(product)) return std::nullopt;
  return Amount(static_cast<std::int64_t>(product));
}

Amount Amount::half() const {
  return Amount(static_cast<std::int64_t>(divideRoundedEven(units_, 2)));
}

Amount Amount::roundedTo(int decimals) const {
  if (decimals >= 4) return *this;
  if (decimals < 0) decimals = 0;
  Wide step = pow10(4 - decimals);
  return Amount(static_cast<std::int64_t>(divideRoundedEven(units_, step) * step));
}

QString Amount::formatAbsolute(int decimals, QChar decimalSeparator, QChar groupSeparator) const {
  if (decimals < 0) decimals = 0;
  if (decimals > 4) decimals = 4;
  // Rounded in wide arithmetic so that the extreme values cannot overflow.
  Wide step = pow10(4 - decimals);
  Wide rounded = divideRoundedEven(units_, step) * step;
  unsigned __int128 abs = rounded < 0 ? static_cast<unsigned __int128>(-rounded)
                                      : static_cast<unsigned __int128>(rounded);

  QString whole = digitsOf(abs / kUnitsPerOne);
  if (!groupSeparator.isNull()) {
    for (qsizetype pos = whole.size() - 3; pos > 0; pos -= 3) whole.insert(pos, groupSeparator);
  }
  if (decimals == 0) return whole;

  QString fraction = digitsOf(abs % kUnitsPerOne).rightJustified(4, u'0');
  return whole + decimalSeparator + fraction.left(decimals);
}

QString Amount::plainText(QChar decimalSeparator) const {
  unsigned __int128 abs = magnitude(units_);
  QString text = units_ < 0 ? QStringLiteral("-") : QString();
  text += digitsOf(abs / kUnitsPerOne);
  auto fractionUnits = static_cast<int>(abs % kUnitsPerOne);
  if (fractionUnits != 0) {
    QString fraction = digitsOf(static_cast<unsigned>(fractionUnits)).rightJustified(4, u'0');
    while (fraction.endsWith(u'0')) fraction.chop(1);
    text += decimalSeparator + fraction;
  }
  return text;
}

}  // namespace radevore::labels
