#include "db/cursor.h"

#include "db/cursor_impl.h"
#include "db/db_error.h"
#include "db/statement_impl.h"
#include "db/transaction.h"

namespace radevore::db {

Cursor::Cursor() = default;
Cursor::Cursor(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Cursor::~Cursor() {
  try {
    close();
  } catch (const DbError&) {
    // The transaction already ended and took the result with it.
  }
}
Cursor::Cursor(Cursor&&) noexcept = default;
Cursor& Cursor::operator=(Cursor&& o) noexcept {
  if (this != &o) {
    try {
      close();
    } catch (const DbError&) {
    }
    impl_ = std::move(o.impl_);
  }
  return *this;
}

std::optional<Row> Cursor::next() {
  if (!impl_ || !impl_->rs) return std::nullopt;
  return fb::guarded([&]() -> std::optional<Row> {
    fb::Status st;
    if (impl_->rs->fetchNext(&st, impl_->buffer.data()) != Firebird::IStatus::RESULT_OK) {
      impl_->rs->close(&st);
      impl_->rs.take();
      return std::nullopt;
    }
    return Row(impl_->columns,
               readRow(impl_->out.get(), impl_->buffer.data(), impl_->att.get(), impl_->tra));
  });
}

void Cursor::close() {
  if (!impl_ || !impl_->rs) return;
  fb::guarded([&] {
    fb::Status st;
    Firebird::IResultSet* rs = impl_->rs.take();
    try {
      rs->close(&st);
    } catch (const Firebird::FbException&) {
      rs->release();
      throw;
    }
  });
}

Cursor Statement::open(Transaction& tr, const std::vector<Value>& params) {
  if (!isValid()) throw DbError(QStringLiteral("Statement is not prepared"));
  if (!tr.isActive()) throw DbError(QStringLiteral("The transaction is not active"));
  if (!impl_->hasCursor) throw DbError(QStringLiteral("The statement returns no rows"));
  return fb::guarded([&] {
    fb::Status st;
    auto cursor = std::make_unique<Cursor::Impl>(impl_->out->getMessageLength(&st));
    Firebird::ITransaction* tra = tr.handle();
    InputMessage input =
        writeParams(impl_->in.get(), params, impl_->textCharset, impl_->att.get(), tra);
    impl_->att->addRef();
    cursor->att.reset(impl_->att.get());
    impl_->stmt->addRef();
    cursor->stmt.reset(impl_->stmt.get());
    impl_->out->addRef();
    cursor->out.reset(impl_->out.get());
    cursor->columns = impl_->columns;
    cursor->tra = tra;
    cursor->rs.reset(impl_->stmt->openCursor(&st, tra, input.meta.get(), input.buffer.data(),
                                             impl_->out.get(), 0));
    return Cursor(std::move(cursor));
  });
}

}  // namespace radevore::db
