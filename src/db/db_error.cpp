#include "db/db_error.h"

#include <ibase.h>

#include <algorithm>

namespace radevore::db {

bool DbError::isLockConflict() const {
  static const long kConflicts[] = {isc_lock_conflict, isc_lock_timeout, isc_deadlock,
                                    isc_update_conflict, isc_concurrent_transaction};
  const bool conflict = std::any_of(codes_.begin(), codes_.end(), [](long code) {
    return std::find(std::begin(kConflicts), std::end(kConflicts), code) != std::end(kConflicts);
  });
  // A delete that waited for another transaction's delete of the same record, which then
  // committed: Firebird 3 reports it with its generic code and this text only.
  return conflict || (!codes_.empty() && codes_.front() == isc_random &&
                      text_.startsWith(QLatin1String("cannot update erased record")));
}

}  // namespace radevore::db
