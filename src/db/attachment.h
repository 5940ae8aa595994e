#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "db/row_set.h"
#include "db/value.h"

namespace Firebird {
class IAttachment;
}

namespace radevore::db {

class Transaction;
class Statement;

// Fixed connection settings: SQL dialect 3, role parameter "RoleName", user and password from
// the caller. A plain file path opens through the embedded engine; "host:/path" or
// "host/port:/path" goes to a server.
struct ConnectionParams {
  QString database;
  QString user;
  QString password;
  QString role = QStringLiteral("RoleName");
  QString charset;  // empty: no connection character set is named (text comes as the column's)
};

enum class TransactionMode {
  ReadWrite,  // read committed, record version, wait on locks
  ReadOnly,   // the same, read only
};

// One attachment to a database. Movable, closes itself on destruction.
class Attachment {
 public:
  Attachment();
  ~Attachment();
  Attachment(Attachment&&) noexcept;
  Attachment& operator=(Attachment&&) noexcept;
  Attachment(const Attachment&) = delete;
  Attachment& operator=(const Attachment&) = delete;

  // Throws DbError with Firebird's text when the database cannot be opened.
  static Attachment open(const ConnectionParams& params);
  // Creates a new database file (tests, fixtures, demo) and returns it open.
  static Attachment create(const ConnectionParams& params, int pageSize = 8192,
                           const QString& defaultCharset = QStringLiteral("WIN1252"));

  bool isOpen() const;
  void close();
  const ConnectionParams& params() const;

  // A lock wait ends after `lockTimeoutSeconds` with a lock conflict when it is above 0;
  // otherwise it lasts until the other transaction ends.
  Transaction startTransaction(TransactionMode mode = TransactionMode::ReadWrite,
                               int lockTimeoutSeconds = 0);
  Statement prepare(Transaction& tr, const QString& sql);

  // Runs one statement in a read-committed transaction of its own, committed when it ends
  // (the way every statement of the program runs unless it asks for a transaction), and returns
  // all its rows in delivery order.
  RowSet query(const QString& sql, const std::vector<Value>& params = {});
  // The same for a statement without result (DDL, DML); used by fixtures and tests.
  void execute(const QString& sql, const std::vector<Value>& params = {});

  Firebird::IAttachment* handle() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace radevore::db
