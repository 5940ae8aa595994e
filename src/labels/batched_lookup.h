#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "db/attachment.h"
#include "db/statement.h"
#include "db/transaction.h"
#include "db/value.h"

namespace radevore::labels {

// A per-article look-up ("select COLUMNS from TABLES where CONDITION and a.arti_cod = CODE")
// answered for many article codes at once. The codes a run is about to ask for are announced
// with expect(); the first find() of a code then runs one query for all announced codes that
// have no answer yet, and the answers are kept for the rest of the run. The cost of a batch is
// one query whatever the tables' indexes: the database joins the list of codes with the tables
// (a hash join where the article code has no index).
//
// Answers are those of the single-article query: the code is compared by the database itself
// (blank padding, the column's collation, any length), the first row wins, where the rows of
// one code come in storage order as a query without ORDER BY delivers them from a table scan or
// an index, and a code without rows has no answer.
class BatchedLookup {
 public:
  // `columns`: the select list; `tables`: the from list; `condition`: the where clause, with
  // `:code` standing for the article code to match; `tieOrder`: the storage order of the rows of
  // one code (e.g. "b.rdb$db_key").
  BatchedLookup(db::Attachment& attachment, db::Transaction& transaction, QString columns,
                QString tables, QString condition, QString tieOrder);

  // The codes of the labels about to be read; replaces the previous announcement.
  void expect(const QStringList& codes);

  // The first row of the look-up for `code` (its columns only), or null when it has none.
  // Database errors propagate as db::DbError.
  const std::vector<db::Value>* find(const QString& code);

  // Queries run so far (a figure for tests and benchmarks).
  int queries() const { return queries_; }

 private:
  void answer(const QStringList& codes);

  db::Attachment& attachment_;
  db::Transaction& transaction_;
  QString sql_;
  std::optional<db::Statement> statement_;
  QStringList expected_;
  QHash<QString, std::optional<std::vector<db::Value>>> answers_;
  int queries_ = 0;
};

}  // namespace radevore::labels
