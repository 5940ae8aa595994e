#include "db/sql_text.h"

namespace radevore::db {

QString sqlQuoted(QStringView text) {
  QString quoted;
  quoted.reserve(text.size() + 2);
  quoted += u'\'';
  for (QChar c : text) {
    quoted += c;
    if (c == u'\'') quoted += u'\'';
  }
  quoted += u'\'';
  return quoted;
}

}  // namespace radevore::db
