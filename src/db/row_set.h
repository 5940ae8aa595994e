#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "db/value.h"

namespace radevore::db {

// Column names of a result, in select order, as Firebird reports them (aliases, upper case).
class Columns {
 public:
  explicit Columns(QStringList names) : names_(std::move(names)) {}
  const QStringList& names() const { return names_; }
  int size() const { return static_cast<int>(names_.size()); }
  // Position of the column, compared ignoring case as column names are; -1 when absent.
  int indexOf(QStringView name) const;

 private:
  QStringList names_;
};

// One row held in memory.
class Row {
 public:
  Row() = default;
  Row(std::shared_ptr<const Columns> columns, std::vector<Value> values)
      : columns_(std::move(columns)), values_(std::move(values)) {}

  const Columns& columns() const { return *columns_; }
  int size() const { return static_cast<int>(values_.size()); }
  const Value& at(int i) const { return values_.at(static_cast<size_t>(i)); }
  Value& at(int i) { return values_.at(static_cast<size_t>(i)); }
  bool has(QStringView name) const { return columns_ && columns_->indexOf(name) >= 0; }
  // The named column; throws DbError("Field 'NAME' not found") when the row has no such column.
  const Value& operator[](QStringView name) const;
  // Convenience: the text form of the named column (null reads as "").
  QString text(QStringView name) const { return (*this)[name].toText(); }

 private:
  std::shared_ptr<const Columns> columns_;
  std::vector<Value> values_;
};

// A whole result held in memory, rows in the order the database delivered them.
struct RowSet {
  std::shared_ptr<const Columns> columns;
  std::vector<Row> rows;

  bool empty() const { return rows.empty(); }
  size_t size() const { return rows.size(); }
};

}  // namespace radevore::db
