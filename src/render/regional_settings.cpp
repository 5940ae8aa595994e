#include "render/regional_settings.h"

#include <QRegularExpression>
#include <QTime>
#include <algorithm>

namespace radevore::render {

namespace {

constexpr QChar kSymbolMark = QChar(0x00A4);  // ¤
constexpr QChar kNumberMark = u'n';

QChar singleChar(const QString& s) {
  return s.isEmpty() ? QChar() : s.front();
}

// The locale's currency text for a sample, with the symbol and the digits replaced by marks.
QString learnPattern(const QLocale& locale, qlonglong sample) {
  QString text = locale.toCurrencyString(sample, QString(kSymbolMark));
  const QString digits = locale.toString(qlonglong(sample < 0 ? -sample : sample));
  qsizetype at = text.indexOf(digits);
  if (at < 0) return sample < 0 ? QStringLiteral("-¤n") : QStringLiteral("¤n");
  text.replace(at, digits.size(), kNumberMark);
  if (!text.contains(kSymbolMark)) text.prepend(kSymbolMark);
  return text;
}

RegionalSettings::CurrencyPlacement placementOf(const QString& pattern) {
  qsizetype symbol = pattern.indexOf(kSymbolMark);
  qsizetype number = pattern.indexOf(kNumberMark);
  qsizetype from = std::min(symbol, number) + 1;
  qsizetype to = std::max(symbol, number);
  bool spaced = false;
  for (qsizetype i = from; i < to; ++i) spaced = spaced || pattern[i].isSpace();
  if (symbol < number) {
    return spaced ? RegionalSettings::CurrencyPlacement::BeforeWithSpace
                  : RegionalSettings::CurrencyPlacement::Before;
  }
  return spaced ? RegionalSettings::CurrencyPlacement::AfterWithSpace
                : RegionalSettings::CurrencyPlacement::After;
}

// The long time format without its time-zone part.
QString timeFormatOf(const QLocale& locale) {
  QString format = locale.timeFormat(QLocale::LongFormat);
  static const QRegularExpression zone(QStringLiteral("\\s*\\(?\\bt+\\b\\)?"));
  return format.remove(zone).trimmed();
}

}  // namespace

RegionalSettings::RegionalSettings(const QLocale& locale)
    : locale_(locale),
      currencySymbol_(locale.currencySymbol(QLocale::CurrencySymbol)),
      positivePattern_(learnPattern(locale, 7)),
      negativePattern_(learnPattern(locale, -7)),
      placement_(placementOf(positivePattern_)),
      groupSeparator_(singleChar(locale.groupSeparator())),
      decimalSeparator_(singleChar(locale.decimalPoint())),
      negativeSign_(locale.negativeSign()),
      shortDateFormat_(locale.dateFormat(QLocale::ShortFormat)),
      timeFormat_(timeFormatOf(locale)) {}

// Also as it stands alone, like the Windows long day names: "tiistai", not "tiistaina".
QString RegionalSettings::weekdayName(int dayOfWeek) const {
  return locale_.standaloneDayName(dayOfWeek, QLocale::LongFormat);
}

// The name as it stands alone (nominative), as the Windows long month names give it: "март",
// not the in-sentence "марта" or "de març".
QString RegionalSettings::monthName(int month) const {
  return locale_.standaloneMonthName(month, QLocale::LongFormat);
}

QString RegionalSettings::formatNumber(labels::Amount amount, int decimals) const {
  labels::Amount rounded = amount.roundedTo(std::clamp(decimals, 0, 4));
  QString digits = rounded.formatAbsolute(decimals, decimalSeparator_, groupSeparator_);
  return rounded.isNegative() ? negativeSign_ + digits : digits;
}

QString RegionalSettings::formatCurrency(labels::Amount amount, int decimals) const {
  labels::Amount rounded = amount.roundedTo(std::clamp(decimals, 0, 4));
  const QString digits = rounded.formatAbsolute(decimals, decimalSeparator_, groupSeparator_);
  const QString& pattern = rounded.isNegative() ? negativePattern_ : positivePattern_;
  QString text;
  for (QChar c : pattern) {
    if (c == kSymbolMark) {
      text += currencySymbol_;
    } else if (c == kNumberMark) {
      text += digits;
    } else {
      text += c;
    }
  }
  // Without a symbol the blank that would part it from the digits goes too.
  return currencySymbol_.isEmpty() ? text.trimmed() : text;
}

QString RegionalSettings::formatShortDate(QDate date) const {
  return locale_.toString(date, shortDateFormat_);
}

QString RegionalSettings::formatDateInWords(QDate date) const {
  return weekdayName(date.dayOfWeek()) + QStringLiteral(", ") + monthName(date.month()) +
         QLatin1Char(' ') + QString::number(date.day()) + QStringLiteral(", ") +
         QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'));
}

QString RegionalSettings::formatTimestamp(const QDateTime& stamp) const {
  QString text = formatShortDate(stamp.date());
  if (stamp.time() != QTime(0, 0))
    text += QLatin1Char(' ') + locale_.toString(stamp.time(), timeFormat_);
  return text;
}

}  // namespace radevore::render
