#include "db/statement.h"

#include "db/db_error.h"
#include "db/message_codec.h"
#include "db/statement_impl.h"
#include "db/transaction.h"

namespace radevore::db {

Statement::Statement() = default;
Statement::Statement(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Statement::~Statement() = default;
Statement::Statement(Statement&&) noexcept = default;
Statement& Statement::operator=(Statement&&) noexcept = default;

bool Statement::isValid() const {
  return impl_ && impl_->stmt;
}

RowSet Statement::execute(Transaction& tr, const std::vector<Value>& params) {
  if (!isValid()) throw DbError(QStringLiteral("Statement is not prepared"));
  return impl_->run(tr, params, -1);
}

RowSet Statement::executeFirst(Transaction& tr, const std::vector<Value>& params) {
  if (!isValid()) throw DbError(QStringLiteral("Statement is not prepared"));
  return impl_->run(tr, params, 1);
}

RowSet Statement::Impl::run(Transaction& tr, const std::vector<Value>& params, long maxRows) {
  if (!tr.isActive()) throw DbError(QStringLiteral("The transaction is not active"));
  return fb::guarded([&] {
    fb::Status st;
    Firebird::ITransaction* tra = tr.handle();
    InputMessage input = writeParams(in.get(), params, textCharset, att.get(), tra);
    RowSet result;
    result.columns = columns;
    const unsigned outCount = out->getCount(&st);
    MessageBuffer outBuf(out->getMessageLength(&st));

    if (hasCursor) {
      fb::Ref<Firebird::IResultSet> rs(
          stmt->openCursor(&st, tra, input.meta.get(), input.buffer.data(), out.get(), 0));
      while (maxRows < 0 || static_cast<long>(result.rows.size()) < maxRows) {
        if (rs->fetchNext(&st, outBuf.data()) != Firebird::IStatus::RESULT_OK) break;
        result.rows.emplace_back(columns, readRow(out.get(), outBuf.data(), att.get(), tra));
      }
      rs->close(&st);
      rs.take();
    } else {
      stmt->execute(&st, tra, input.meta.get(), input.buffer.data(), outCount ? out.get() : nullptr,
                    outCount ? outBuf.data() : nullptr);
      if (outCount) {
        result.rows.emplace_back(columns, readRow(out.get(), outBuf.data(), att.get(), tra));
      }
    }
    return result;
  });
}

}  // namespace radevore::db
