#pragma once

#include <vector>

#include "db/attachment.h"
#include "db/db_error.h"
#include "db/statement.h"
#include "db/transaction.h"
#include "support/recording_messages.h"

namespace radevore::testing {

// Whether another station could take the prefix's queued labels right now: a delete of them in
// a transaction that waits at most a second for locks, rolled back.
inline bool queueLockedFor(const db::ConnectionParams& company, const QString& prefix) {
  db::Attachment other = db::Attachment::open(company);
  db::Transaction tr = other.startTransaction(db::TransactionMode::ReadWrite, 1);
  try {
    other.prepare(tr, QStringLiteral("DELETE FROM ROTULOS_PENDIENTES WHERE PREF_PRE = ?"))
        .execute(tr, {db::Value::text(prefix)});
  } catch (const db::DbError& e) {
    if (e.isLockConflict()) return true;
    throw;
  }
  tr.rollback();
  return false;
}

// Recorded messages, each with whether the prefix's queue was locked at the moment it was shown
// (a modal box then would keep every other station waiting).
class LockProbeMessages : public RecordingMessages {
 public:
  LockProbeMessages(db::ConnectionParams company, QString prefix)
      : company_(std::move(company)), prefix_(std::move(prefix)) {}

  void showMessage(const QString& text) override {
    probe();
    RecordingMessages::showMessage(text);
  }
  void showErrorDialog(const QString& text) override {
    probe();
    RecordingMessages::showErrorDialog(text);
  }
  void showError(const QString& text) override {
    probe();
    RecordingMessages::showError(text);
  }

  std::vector<bool> lockedWhenShown;

 private:
  void probe() { lockedWhenShown.push_back(queueLockedFor(company_, prefix_)); }

  db::ConnectionParams company_;
  QString prefix_;
};

}  // namespace radevore::testing
