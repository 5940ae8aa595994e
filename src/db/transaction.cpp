#include "db/transaction.h"

#include "db/db_error.h"
#include "db/transaction_impl.h"

namespace radevore::db {

Transaction::Transaction() = default;
Transaction::Transaction(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

Transaction::~Transaction() {
  if (!isActive()) return;
  // Rolled back silently: a destructor has nobody to report to.
  Firebird::IStatus* status = fb::master()->getStatus();
  Firebird::CheckStatusWrapper check(status);
  impl_->tra->rollback(&check);
  if (!(status->getState() & Firebird::IStatus::STATE_ERRORS)) impl_->tra.take();
  status->dispose();
}

Transaction::Transaction(Transaction&&) noexcept = default;

Transaction& Transaction::operator=(Transaction&& other) noexcept {
  if (this != &other) {
    Transaction old(std::move(*this));
    impl_ = std::move(other.impl_);
  }
  return *this;
}

bool Transaction::isActive() const {
  return impl_ && impl_->tra;
}

void Transaction::commit() {
  if (!isActive()) throw DbError(QStringLiteral("The transaction is not active"));
  fb::guarded([&] {
    fb::Status st;
    impl_->tra->commit(&st);
    impl_->tra.take();  // a successful commit releases the interface
  });
}

void Transaction::rollback() {
  if (!isActive()) return;
  fb::guarded([&] {
    fb::Status st;
    impl_->tra->rollback(&st);
    impl_->tra.take();
  });
}

Firebird::ITransaction* Transaction::handle() const {
  return isActive() ? impl_->tra.get() : nullptr;
}

}  // namespace radevore::db
