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

QString imprArticuloCall() {
  return QStringLiteral("select * from impr_articulo(?,1,?,'N',0)");
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

namespace {

// Both factors read as amounts and yet no total: their product is beyond range.
bool quantityBreakOverflows(const db::Value& price, const db::Value& quantity) {
  if (price.toText().isEmpty() || quantity.toText().isEmpty()) return false;
  const auto p = amountOf(price);
  const auto q = amountOf(quantity);
  return p && q && !p->times(*q);
}

// Records read from the procedure before their lookups run and the renderer takes them.
constexpr size_t kBatchSize = 500;

const QString kPrices[] = {QStringLiteral("PRECIO1"), QStringLiteral("PRECIO2"),
                           QStringLiteral("PRECIO3"), QStringLiteral("PRECIO4")};
const QString kQuantities[] = {QStringLiteral("CANTMIN1"), QStringLiteral("CANTMIN2"),
                               QStringLiteral("CANTMIN3"), QStringLiteral("CANTMIN4")};

}  // namespace

LabelRecordStream::LabelRecordStream(db::Attachment& attachment, db::Transaction& tr,
                                     const QString& statement, const std::vector<db::Value>& params)
    : cursor_(attachment.prepare(tr, statement).open(tr, params)),
      lookup_(attachment, tr, QStringLiteral("a.arti_unidad, b.coba_cod"),
              QStringLiteral("barras_articulo b, articulo a"),
              QStringLiteral("a.arti_cod = b.arti_cod and a.arti_unidad = b.coba_unidad and "
                             "a.arti_cod = :code"),
              QStringLiteral("b.rdb$db_key")) {}

LabelRecordStream::~LabelRecordStream() = default;

void LabelRecordStream::onBatch(std::function<void(const QStringList&)> listener) {
  listener_ = std::move(listener);
}

const LabelRecord* LabelRecordStream::peek() {
  if (position_ >= batch_.size() && !fill()) return nullptr;
  return &batch_[position_];
}

const LabelRecord* LabelRecordStream::next() {
  const LabelRecord* record = peek();
  if (record) ++position_;
  return record;
}

void LabelRecordStream::close() {
  cursor_.close();
  exhausted_ = true;
  batch_.clear();
  position_ = 0;
}

// Positions of the columns the computation reads, found once per result: every row of a
// result has the same columns. A column the procedure does not return reads through the row's
// own lookup, which raises its "not found" error.
const db::Value& LabelRecordStream::column(const db::Row& row, int which) {
  if (positions_.empty()) {
    positions_.push_back(row.columns().indexOf(u"ARTICULO"));
    for (const QString& name : kPrices) positions_.push_back(row.columns().indexOf(name));
    for (const QString& name : kQuantities) positions_.push_back(row.columns().indexOf(name));
  }
  const int at = positions_[static_cast<size_t>(which)];
  if (at >= 0) return row.at(at);
  return row[which == 0   ? QStringView(u"ARTICULO")
             : which <= 4 ? QStringView(kPrices[which - 1])
                          : QStringView(kQuantities[which - 5])];
}

bool LabelRecordStream::fill() {
  batch_.clear();
  position_ = 0;
  if (exhausted_) return false;
  QStringList articles;
  while (batch_.size() < kBatchSize) {
    std::optional<db::Row> row = cursor_.next();
    if (!row) {
      exhausted_ = true;
      break;
    }
    LabelRecord record;
    record.row = std::move(*row);
    articles << column(record.row, 0).toText();
    batch_.push_back(std::move(record));
  }
  if (batch_.empty()) return false;

  lookup_.expect(articles);
  if (listener_) listener_(articles);
  for (size_t i = 0; i < batch_.size(); ++i) {
    LabelRecord& record = batch_[i];
    if (const std::vector<db::Value>* first = lookup_.find(articles[static_cast<qsizetype>(i)])) {
      record.unidad = cutToField(first->at(0), kUnidadLength);
      record.barras = cutToField(first->at(1), kBarrasLength);
    }
    for (int n = 0; n < 4; ++n) {
      const auto i = static_cast<size_t>(n);
      const db::Value& price = column(record.row, 1 + n);
      const db::Value& quantity = column(record.row, 5 + n);
      record.totPrecio[i] = quantityBreakTotal(price, quantity);
      if (!record.totPrecio[i])
        record.totPrecioOverflow[i] = quantityBreakOverflows(price, quantity);
    }
  }
  return true;
}

std::vector<LabelRecord> fetchLabelRecords(db::Attachment& attachment, db::Transaction& tr,
                                           const QString& statement,
                                           const std::vector<db::Value>& params) {
  LabelRecordStream stream(attachment, tr, statement, params);
  std::vector<LabelRecord> records;
  while (const LabelRecord* record = stream.next()) records.push_back(*record);
  return records;
}

}  // namespace radevore::labels
