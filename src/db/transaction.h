#pragma once

#include <memory>

namespace Firebird {
class ITransaction;
}

namespace radevore::db {

// A transaction that is rolled back on destruction unless committed. Movable.
class Transaction {
 public:
  Transaction();
  ~Transaction();
  Transaction(Transaction&&) noexcept;
  Transaction& operator=(Transaction&&) noexcept;
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  bool isActive() const;
  void commit();    // ends the transaction (no commit-retaining); throws DbError
  void rollback();  // throws DbError; a no-op when already ended

  Firebird::ITransaction* handle() const;

 private:
  friend class Attachment;
  struct Impl;
  explicit Transaction(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace radevore::db
