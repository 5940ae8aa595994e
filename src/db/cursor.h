#pragma once

#include <memory>
#include <optional>

#include "db/row_set.h"

namespace radevore::db {

// An open result of a prepared select, read one row at a time, so that a long result need not
// be held in memory. It lives inside its transaction: close it (or let it go) before the
// transaction ends. Movable; closed on destruction.
class Cursor {
 public:
  Cursor();
  ~Cursor();
  Cursor(Cursor&&) noexcept;
  Cursor& operator=(Cursor&&) noexcept;
  Cursor(const Cursor&) = delete;
  Cursor& operator=(const Cursor&) = delete;

  // The next row in delivery order; nullopt once the result is exhausted (the cursor is then
  // closed). Database errors propagate as DbError.
  std::optional<Row> next();
  void close();

 private:
  friend class Statement;
  struct Impl;
  explicit Cursor(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace radevore::db
