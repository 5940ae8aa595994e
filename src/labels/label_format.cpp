#include "labels/label_format.h"

#include "db/attachment.h"
#include "db/sql_text.h"
#include "db/statement.h"
#include "db/transaction.h"

namespace radevore::labels {

namespace {

std::vector<db::Row> fetchRows(db::Attachment& company, db::Transaction& tr, const QString& sql) {
  db::Statement statement = company.prepare(tr, sql);
  return statement.execute(tr).rows;
}

}  // namespace

QString formatFilterText(const QString& prefix) {
  return QStringLiteral("tido_cod = %1 and pref_pre = ").arg(kLabelDocumentType) +
         db::sqlQuoted(prefix);
}

std::optional<LabelFormat> loadLabelFormat(db::Attachment& company, db::Transaction& tr,
                                           const QString& prefix) {
  // The prefix is matched here rather than in SQL: Firebird compares texts with blank padding
  // ('RT01' = 'RT01 ' holds) and through the column's collation, while a format is chosen by
  // exact equality. Reading the few label headers and comparing the texts keeps it exact, and a
  // prefix longer than the column cannot raise a truncation error.
  const std::vector<db::Row> headers = fetchRows(
      company, tr,
      QStringLiteral("select * from FORMATOS where TIDO_COD = %1").arg(kLabelDocumentType));

  for (const db::Row& header : headers) {
    if (header.text(u"PREF_PRE") != prefix) continue;

    // Elements belong to the header whose TIDO_COD and PREF_PRE equal their own; no sort order
    // is asked for, the delivery order is the drawing order.
    const QString link =
        QStringLiteral(" where TIDO_COD = %1 and PREF_PRE = ").arg(kLabelDocumentType) +
        db::sqlQuoted(header.text(u"PREF_PRE"));
    LabelFormat format;
    format.header = header;
    format.dataElements =
        fetchRows(company, tr, QStringLiteral("select * from FORMATO_DATOS") + link);
    format.staticElements =
        fetchRows(company, tr, QStringLiteral("select * from FORMATO_LINEAS") + link);
    return format;
  }
  return std::nullopt;
}

}  // namespace radevore::labels
