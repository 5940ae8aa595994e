#include "print/record_columns_check.h"

#include "db/db_error.h"
#include "labels/amount.h"

namespace radevore::print {

namespace {

bool readsAsNumber(const db::Value& value) {
  switch (value.kind()) {
    case db::Value::Kind::Null:
    case db::Value::Kind::Integer:
    case db::Value::Kind::Decimal:
    case db::Value::Kind::Float:
      return true;
    case db::Value::Kind::Text:
      // The record source reads number texts with '.' as their separator; an empty one is no
      // value.
      return value.asString().isEmpty() || labels::Amount::parse(value.asString(), u'.');
    default:
      return false;
  }
}

}  // namespace

CheckedRecords::CheckedRecords(labels::LabelRecords& records, const labels::LabelFormat& format)
    : records_(records) {
  for (const db::Row& element : format.dataElements) {
    if (!element.has(u"DAFO_IMPRIME") || element.text(u"DAFO_IMPRIME") != u"S") continue;
    if (!element.has(u"DAFO_DATO")) continue;
    for (render::RecordColumnUse& use :
         render::DataCatalogue::recordColumnsOf(element.text(u"DAFO_DATO"))) {
      used_.push_back(std::move(use));
    }
  }
}

const labels::LabelRecord* CheckedRecords::next() {
  const labels::LabelRecord* record = records_.next();
  if (record != nullptr && record != lastChecked_) check(*record);
  lastChecked_ = nullptr;
  return record;
}

void CheckedRecords::check(const labels::LabelRecord& record) {
  for (const render::RecordColumnUse& use : used_) {
    // The row throws the data layer's own error for a column the result does not have.
    const db::Value& value = record.row[use.column];
    if (use.number && !readsAsNumber(value)) {
      throw db::DbError(QStringLiteral("Field '%1' cannot be read as a number: '%2' (article %3)")
                            .arg(use.column, value.toText(), record.row.text(u"ARTICULO")));
    }
  }
  for (int n = 0; n < 4; ++n) {
    if (!record.totPrecioOverflow[static_cast<size_t>(n)]) continue;
    const QString number = QString::number(n + 1);
    overflows_ << QStringLiteral("TOTAL PRECIO%1 del artículo %2: %3 x %4")
                      .arg(number, record.row.text(u"ARTICULO"),
                           record.row.text(QStringLiteral("PRECIO") + number),
                           record.row.text(QStringLiteral("CANTMIN") + number));
  }
  lastChecked_ = &record;
}

}  // namespace radevore::print
