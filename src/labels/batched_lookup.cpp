#include "labels/batched_lookup.h"

#include <algorithm>

namespace radevore::labels {

namespace {

// The list of codes travels as one text of fixed-width slots, cut back into rows by a
// recursive query: the database's recursion depth caps a batch at 1,024 codes, the text
// parameter at kListChars characters.
constexpr qsizetype kMaxBatch = 1000;
constexpr qsizetype kListChars = 8000;
// Answers kept for a run: past this the oldest are dropped, so a run over a huge catalogue
// holds a bounded memory.
constexpr qsizetype kMaxAnswers = 20000;

qsizetype characters(const QString& code) {
  return code.toUcs4().size();
}

}  // namespace

BatchedLookup::BatchedLookup(db::Attachment& attachment, db::Transaction& transaction,
                             QString columns, QString tables, QString condition, QString tieOrder)
    : attachment_(attachment), transaction_(transaction) {
  // Parameters: the number of codes, the list, the slot width twice. A blank-padded slot
  // compares equal to the code it holds, as the database compares texts with blank padding.
  condition.replace(QStringLiteral(":code"), QStringLiteral("k.code"));
  sql_ = QStringLiteral(
             "with recursive n (i) as (select 0 from rdb$database union all select i + 1 from n "
             "where i + 1 < cast(? as integer)), "
             "k (pos, code) as (select i, substring(cast(? as varchar(%1)) from i * cast(? as "
             "integer) + 1 for cast(? as integer)) from n) "
             "select k.pos, %2 from k, %3 where %4 order by k.pos, %5")
             .arg(kListChars)
             .arg(columns, tables, condition, tieOrder);
}

void BatchedLookup::expect(const QStringList& codes) {
  expected_ = codes;
}

const std::vector<db::Value>* BatchedLookup::find(const QString& code) {
  auto found = answers_.constFind(code);
  if (found == answers_.constEnd()) {
    // This code and the announced ones not answered yet, as many as one query takes.
    QStringList batch{code};
    QHash<QString, bool> inBatch{{code, true}};
    qsizetype width = std::max<qsizetype>(characters(code), 1);
    for (const QString& next : std::as_const(expected_)) {
      if (batch.size() >= kMaxBatch) break;
      if (answers_.contains(next) || inBatch.contains(next)) continue;
      const qsizetype w = std::max(width, characters(next));
      if (w * (batch.size() + 1) > kListChars) break;
      width = w;
      batch << next;
      inBatch.insert(next, true);
    }
    if (answers_.size() + batch.size() > kMaxAnswers) answers_.clear();
    answer(batch);
    found = answers_.constFind(code);
  }
  return found->has_value() ? &**found : nullptr;
}

void BatchedLookup::answer(const QStringList& codes) {
  qsizetype width = 1;
  for (const QString& c : codes) width = std::max(width, characters(c));
  QString list;
  list.reserve(width * codes.size());
  for (const QString& c : codes) {
    list += c;
    list += QString(width - characters(c), u' ');
  }
  if (!statement_) statement_ = attachment_.prepare(transaction_, sql_);
  const db::RowSet rows =
      statement_->execute(transaction_, {db::Value::integer(codes.size()), db::Value::text(list),
                                         db::Value::integer(width), db::Value::integer(width)});
  ++queries_;
  for (const QString& c : codes) answers_.insert(c, std::nullopt);
  for (const db::Row& row : rows.rows) {
    const auto pos = row.at(0).asInteger();
    if (pos < 0 || pos >= codes.size()) continue;
    auto& slot = answers_[codes[static_cast<qsizetype>(pos)]];
    if (slot) continue;  // the first row of a code wins
    std::vector<db::Value> values;
    values.reserve(static_cast<size_t>(row.size() - 1));
    for (int i = 1; i < row.size(); ++i) values.push_back(row.at(i));
    slot = std::move(values);
  }
}

}  // namespace radevore::labels
