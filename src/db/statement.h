#pragma once

#include <QString>
#include <memory>
#include <vector>

#include "db/row_set.h"
#include "db/value.h"

namespace radevore::db {

class Cursor;
class Transaction;

// A prepared statement with positional parameters (?), executed as often as needed.
// Movable; freed on destruction.
class Statement {
 public:
  Statement();
  ~Statement();
  Statement(Statement&&) noexcept;
  Statement& operator=(Statement&&) noexcept;
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  bool isValid() const;
  // Executes with the given parameters and returns every row, blobs read whole.
  RowSet execute(Transaction& tr, const std::vector<Value>& params = {});
  // Reads at most one row (lookups that want only the first answer); nullopt-like empty RowSet
  // when there is none.
  RowSet executeFirst(Transaction& tr, const std::vector<Value>& params = {});
  // Opens the result of a select for reading row by row (defined in cursor.cpp).
  Cursor open(Transaction& tr, const std::vector<Value>& params = {});

 private:
  friend class Attachment;
  struct Impl;
  explicit Statement(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace radevore::db
