#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "db/row_set.h"

namespace radevore::db {
class Attachment;
class Transaction;
}  // namespace radevore::db

namespace radevore::labels {

// Document type of label formats in FORMATOS.
inline constexpr int kLabelDocumentType = 36;

// One label format: the FORMATOS header with its data elements (FORMATO_DATOS) and static
// elements (FORMATO_LINEAS), each list in the order the database delivered it. That order is the
// drawing order: a later element lies over an earlier one.
struct LabelFormat {
  db::Row header;
  std::vector<db::Row> dataElements;
  std::vector<db::Row> staticElements;
};

// The condition that selects the label format of a prefix among all format headers:
// tido_cod = 36 and pref_pre = 'RT01' (the prefix as an SQL string literal).
QString formatFilterText(const QString& prefix);

// Loads the label format of the prefix: the FORMATOS header with TIDO_COD 36 whose PREF_PRE is
// exactly the prefix (case and trailing blanks count), and the elements of that header.
// nullopt when there is no such header. Database errors propagate as db::DbError.
std::optional<LabelFormat> loadLabelFormat(db::Attachment& company, db::Transaction& tr,
                                           const QString& prefix);

}  // namespace radevore::labels
