#pragma once

#include <QChar>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

namespace radevore::labels {

// A signed fixed-point amount with four decimal places: a 64-bit count of ten-thousandths.
// Every rounding is to the nearest, ties to even.
class Amount {
 public:
  constexpr Amount() = default;
  static constexpr Amount fromUnits(std::int64_t tenThousandths) { return Amount(tenThousandths); }
  // unscaled * 10^-scale, rounded to four decimals.
  static Amount fromDecimal(std::int64_t unscaled, int scale);
  // Reads "[blanks][-]digits[sep digits]" with the given decimal separator; more than four
  // decimals are rounded. nullopt when the text is not such a number.
  static std::optional<Amount> parse(QStringView text, QChar decimalSeparator);

  constexpr std::int64_t units() const { return units_; }
  bool isNegative() const { return units_ < 0; }

  // Product rounded to four decimals; nullopt when it lies beyond the 64-bit range.
  std::optional<Amount> times(Amount other) const;
  Amount half() const;  // rounded to four decimals
  Amount negated() const { return Amount(-units_); }
  Amount roundedTo(int decimals) const;  // decimals 0..4

  // Absolute value with d decimals (0..4; rounded), digits grouped by three with groupSeparator
  // when it is not null, no sign: the building block of the regional formats.
  QString formatAbsolute(int decimals, QChar decimalSeparator, QChar groupSeparator) const;
  // Plain form: minus sign, integer digits and, when the fraction is not zero, the separator and
  // the fraction without trailing zeros (1500.5, 1500).
  QString plainText(QChar decimalSeparator) const;

  friend constexpr bool operator==(Amount, Amount) = default;
  friend constexpr auto operator<=>(Amount, Amount) = default;

 private:
  constexpr explicit Amount(std::int64_t units) : units_(units) {}
  std::int64_t units_ = 0;
};

}  // namespace radevore::labels
