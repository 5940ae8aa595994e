#include "labels/label_record_source.h"

#include "db/sql_text.h"
#include "db/statement.h"

namespace radevore::labels {

namespace {

const QString kUnitAndBarcodeLookup = QStringLiteral(
    "select arti_unidad, coba_cod from barras_articulo b, articulo a where a.arti_cod = "
    "b.arti_cod and a.arti_unidad = b.coba_unidad and a.arti_cod = ");

constexpr int kUnidadLength = 8;
constexpr int kBarrasLength = 20;

// The first `length` characters (not UTF-16 units) of the value's text form.
db::Value cutToField(const db::Value& value, int length) {
  const QList<uint> chars = value.toText().toUcs4();
  return db::Value::text(QString::fromUcs4(reinterpret_cast<const char32_t*>(chars.constData()),
                                           std::min<qsizetype>(chars.size(), length)));
}

std::optional<Amount> amountOf(const db::Value& value) {
  switch (value.kind()) {
    case db::Value::Kind::Null:
      return std::nullopt;
    case db::Value::Kind::Integer:
      return Amount::fromDecimal(value.asInteger(), 0);
    case db::Value::Kind::Decimal:
      return Amount::fromDecimal(value.asInteger(), value.scale());
    default:
      // A text, or a double whose text form is its shortest exact decimal form.
      return Amount::parse(value.toText(), u'.');
  }
}

}  // namespace

QString imprArticuloStatement(const QString& prefix, const QString& priceList) {
  return QStringLiteral("select * from impr_articulo(") + db::sqlQuoted(prefix) +
         QStringLiteral(",1,") + priceList + QStringLiteral(",'N',0)");
}

QString unitAndBarcodeStatement(const QString& articleCode) {
  return kUnitAndBarcodeLookup + db::sqlQuoted(articleCode);
}

std::optional<Amount> quantityBreakTotal(const db::Value& price, const db::Value& quantity) {
  if (price.toText().isEmpty() || quantity.toText().isEmpty()) return std::nullopt;
  auto p = amountOf(price);
  auto q = amountOf(quantity);
  if (!p || !q) return std::nullopt;
  return p->times(*q);
}

std::vector<LabelRecord> fetchLabelRecords(db::Attachment& attachment, db::Transaction& tr,
                                           const QString& statement) {
  db::RowSet rows = attachment.prepare(tr, statement).execute(tr);

  std::vector<LabelRecord> records;
  records.reserve(rows.rows.size());
  if (rows.rows.empty()) return records;

  // The code goes in as a parameter; the cast compares a code of any length, as the quoted
  // literal would.
  db::Statement lookup =
      attachment.prepare(tr, kUnitAndBarcodeLookup + QStringLiteral("cast(? as varchar(8191))"));
  static const QString kPrices[] = {QStringLiteral("PRECIO1"), QStringLiteral("PRECIO2"),
                                    QStringLiteral("PRECIO3"), QStringLiteral("PRECIO4")};
  static const QString kQuantities[] = {QStringLiteral("CANTMIN1"), QStringLiteral("CANTMIN2"),
                                        QStringLiteral("CANTMIN3"), QStringLiteral("CANTMIN4")};

  for (db::Row& row : rows.rows) {
    LabelRecord record;
    record.row = std::move(row);

    const QString code = record.row.text(u"ARTICULO");
    db::RowSet answer = lookup.executeFirst(tr, {db::Value::text(code)});
    if (!answer.rows.empty()) {
      const db::Row& first = answer.rows.front();
      record.unidad = cutToField(first.at(0), kUnidadLength);
      record.barras = cutToField(first.at(1), kBarrasLength);
    }

    for (size_t n = 0; n < 4; ++n) {
      record.totPrecio[n] = quantityBreakTotal(record.row[kPrices[n]], record.row[kQuantities[n]]);
    }
    records.push_back(std::move(record));
  }
  return records;
}

}  // namespace radevore::labels
