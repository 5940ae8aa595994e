#include "db/row_set.h"

#include "db/db_error.h"

namespace radevore::db {

int Columns::indexOf(QStringView name) const {
  for (int i = 0; i < names_.size(); ++i) {
    if (QStringView(names_[i]).compare(name, Qt::CaseInsensitive) == 0) return i;
  }
  return -1;
}

const Value& Row::operator[](QStringView name) const {
  const int i = columns_ ? columns_->indexOf(name) : -1;
  if (i < 0) throw DbError(QStringLiteral("Field '%1' not found").arg(name));
  return values_.at(static_cast<size_t>(i));
}

}  // namespace radevore::db
