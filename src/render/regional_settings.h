#pragma once

#include <QChar>
#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>

#include "labels/amount.h"

namespace radevore::render {

// The workstation's regional settings for numbers, amounts and dates, taken from a QLocale
// (by default the system locale, which LANG / LC_ALL choose on Linux).
//
// The currency patterns are learnt from the locale's own currency formatting of a sample
// amount, so the symbol's placement, its spacing and the negative form (leading sign, trailing
// sign, parentheses) are the locale's. Patterns are written with "¤" for the symbol and "n" for
// the digits: "¤n", "n ¤", "(¤n)", "-n ¤".
class RegionalSettings {
 public:
  enum class CurrencyPlacement { Before, After, BeforeWithSpace, AfterWithSpace };

  RegionalSettings() : RegionalSettings(QLocale::system()) {}
  explicit RegionalSettings(const QLocale& locale);

  const QLocale& locale() const { return locale_; }

  const QString& currencySymbol() const { return currencySymbol_; }
  CurrencyPlacement currencyPlacement() const { return placement_; }
  const QString& currencyPattern() const { return positivePattern_; }
  const QString& negativeCurrencyPattern() const { return negativePattern_; }
  QChar thousandsSeparator() const { return groupSeparator_; }
  QChar decimalSeparator() const { return decimalSeparator_; }
  QString negativeSign() const { return negativeSign_; }
  const QString& shortDateFormat() const { return shortDateFormat_; }
  // 1 = Monday .. 7 = Sunday; 1 = January .. 12 = December.
  QString weekdayName(int dayOfWeek) const;
  QString monthName(int month) const;

  // The amount rounded to `decimals` places (0..4), digits grouped by three.
  QString formatNumber(labels::Amount amount, int decimals) const;
  QString formatCurrency(labels::Amount amount, int decimals) const;
  QString formatShortDate(QDate date) const;
  // "dddd, mmmm d, yyyy": weekday, month, day without leading zero, four-digit year.
  QString formatDateInWords(QDate date) const;
  // The short date, followed by the time of day unless it is midnight.
  QString formatTimestamp(const QDateTime& stamp) const;

 private:
  QLocale locale_;
  QString currencySymbol_;
  QString positivePattern_;
  QString negativePattern_;
  CurrencyPlacement placement_ = CurrencyPlacement::Before;
  QChar groupSeparator_;
  QChar decimalSeparator_;
  QString negativeSign_;
  QString shortDateFormat_;
  QString timeFormat_;
};

}  // namespace radevore::render
