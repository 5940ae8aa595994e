#include "render/text_output.h"

#include <algorithm>
#include <limits>

namespace radevore::render {

namespace {

const db::Value& columnOrNull(const db::Row& row, QStringView name) {
  static const db::Value null;
  return row.has(name) ? row[name] : null;
}

}  // namespace

QString cutText(const QString& value, const db::Value& start, const db::Value& length) {
  const QString lengthText = length.toText();
  if (lengthText.isEmpty() || lengthText == u"0") return value;

  const std::int64_t count = length.toIntegerOr0();
  if (count < 0) return {};
  const std::int64_t first = std::max<std::int64_t>(start.toIntegerOr0(), 1);

  const QList<uint> chars = value.toUcs4();
  const auto size = static_cast<std::int64_t>(chars.size());
  if (first > size) return {};
  const std::int64_t end = count >= size - (first - 1) ? size : first - 1 + count;
  return QString::fromUcs4(reinterpret_cast<const char32_t*>(chars.constData()) + (first - 1),
                           static_cast<qsizetype>(end - (first - 1)));
}

void imprima_cadena(report::ReportCanvas& canvas, const QString& value, double x, double y,
                    const db::Row& element) {
  canvas.PrintAt(
      x, y,
      cutText(value, columnOrNull(element, u"DAFO_INI"), columnOrNull(element, u"DAFO_LONG")));
}

int decimalPlaces(QStringView decimals) {
  qsizetype i = 0;
  const qsizetype n = decimals.size();
  while (i < n && decimals[i].isSpace()) ++i;
  bool negative = false;
  if (i < n && (decimals[i] == u'-' || decimals[i] == u'+')) {
    negative = decimals[i] == u'-';
    ++i;
  }
  const qsizetype digitsStart = i;
  std::int64_t magnitude = 0;
  while (i < n && decimals[i] >= u'0' && decimals[i] <= u'9') {
    magnitude = std::min<std::int64_t>(magnitude * 10 + (decimals[i].unicode() - u'0'),
                                       std::numeric_limits<std::int32_t>::max() + std::int64_t{1});
    ++i;
  }
  if (i == digitsStart || i != n) return 2;
  const std::int64_t value = negative ? -magnitude : magnitude;
  // Beyond a 32-bit integer the text does not read as an integer.
  if (value > std::numeric_limits<std::int32_t>::max() ||
      value < std::numeric_limits<std::int32_t>::min()) {
    return 2;
  }
  return static_cast<int>(std::clamp<std::int64_t>(value, 0, 4));
}

void imprima_numero(report::ReportCanvas& canvas, const QString& value, double x, double y,
                    bool currency, const QString& decimals, const RegionalSettings& regional) {
  if (value.isEmpty()) return;
  const auto amount = labels::Amount::parse(value, regional.decimalSeparator());
  if (!amount) return;
  const int places = decimalPlaces(decimals);
  canvas.PrintRightAt(
      x, y,
      currency ? regional.formatCurrency(*amount, places) : regional.formatNumber(*amount, places));
}

}  // namespace radevore::render
