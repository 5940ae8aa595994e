#include "db/attachment.h"

#include <cstdint>

#include "db/code_page.h"
#include "db/db_error.h"
#include "db/fb_api.h"
#include "db/message_codec.h"
#include "db/statement.h"
#include "db/statement_impl.h"
#include "db/text_codec.h"
#include "db/transaction.h"
#include "db/transaction_impl.h"

namespace radevore::db {

namespace {

constexpr int kDialect = 3;

// A login text as the ERP's Windows-1252 workstation has it: characters outside the code page
// become '?', like in every other text of the program.
QByteArray loginText(const QString& text) {
  return decodeWindows1252(encodeWindows1252(text)).toUtf8();
}

// Database parameter block of a login: user, password, role, dialect and, when one is named,
// the connection character set.
//
// The client library hands the server these strings, and the database path, in UTF-8: on a
// Windows-1252 workstation it converts them from the code page itself. Here they are converted
// beforehand and marked as UTF-8, so what reaches the server does not depend on the process's
// locale (without the mark the library converts from the locale's character set, and a C locale
// refuses every accented password).
std::vector<unsigned char> buildDpb(const ConnectionParams& p, int pageSize = 0,
                                    const QString& defaultCharset = {}) {
  fb::Status st;
  fb::Owned<Firebird::IXpbBuilder> dpb(
      fb::util()->getXpbBuilder(&st, Firebird::IXpbBuilder::DPB, nullptr, 0));
  dpb->insertTag(&st, isc_dpb_utf8_filename);
  if (!p.user.isEmpty()) dpb->insertString(&st, isc_dpb_user_name, loginText(p.user).constData());
  if (!p.password.isEmpty())
    dpb->insertString(&st, isc_dpb_password, loginText(p.password).constData());
  if (!p.role.isEmpty())
    dpb->insertString(&st, isc_dpb_sql_role_name, loginText(p.role).constData());
  if (!p.charset.isEmpty())
    dpb->insertString(&st, isc_dpb_lc_ctype, p.charset.toUtf8().constData());
  dpb->insertInt(&st, isc_dpb_sql_dialect, kDialect);
  if (pageSize > 0) dpb->insertInt(&st, isc_dpb_page_size, pageSize);
  if (!defaultCharset.isEmpty())
    dpb->insertString(&st, isc_dpb_set_db_charset, defaultCharset.toUtf8().constData());
  const unsigned char* bytes = dpb->getBuffer(&st);
  return {bytes, bytes + dpb->getBufferLength(&st)};
}

// Read committed, record version, wait on locks (at most lockTimeout seconds when it is above 0).
std::vector<unsigned char> buildTpb(TransactionMode mode, int lockTimeout) {
  std::vector<unsigned char> tpb{
      isc_tpb_version3, isc_tpb_read_committed, isc_tpb_rec_version, isc_tpb_wait,
      static_cast<unsigned char>(mode == TransactionMode::ReadOnly ? isc_tpb_read : isc_tpb_write)};
  if (lockTimeout > 0) {
    const auto seconds = static_cast<std::uint32_t>(lockTimeout);
    tpb.insert(tpb.end(), {isc_tpb_lock_timeout, 4});
    for (int shift = 0; shift < 32; shift += 8) {
      tpb.push_back(static_cast<unsigned char>((seconds >> shift) & 0xFF));
    }
  }
  return tpb;
}

}  // namespace

struct Attachment::Impl {
  ConnectionParams params;
  fb::Ref<Firebird::IAttachment> att;
  unsigned charset = kCharsetNone;

  void detach() {
    if (!att) return;
    Firebird::IStatus* status = fb::master()->getStatus();
    Firebird::CheckStatusWrapper check(status);
    att->detach(&check);
    if (!(status->getState() & Firebird::IStatus::STATE_ERRORS)) att.take();
    status->dispose();
    att.reset();
  }
  ~Impl() { detach(); }
};

Attachment::Attachment() = default;
Attachment::~Attachment() = default;
Attachment::Attachment(Attachment&&) noexcept = default;
Attachment& Attachment::operator=(Attachment&&) noexcept = default;

Attachment Attachment::open(const ConnectionParams& params) {
  return fb::guarded([&] {
    fb::Status st;
    const std::vector<unsigned char> dpb = buildDpb(params);
    fb::Ref<Firebird::IProvider> provider(fb::master()->getDispatcher());
    Attachment a;
    a.impl_ = std::make_unique<Impl>();
    a.impl_->params = params;
    a.impl_->charset = charsetIdOf(params.charset);
    a.impl_->att.reset(provider->attachDatabase(&st, params.database.toUtf8().constData(),
                                                static_cast<unsigned>(dpb.size()), dpb.data()));
    return a;
  });
}

Attachment Attachment::create(const ConnectionParams& params, int pageSize,
                              const QString& defaultCharset) {
  return fb::guarded([&] {
    fb::Status st;
    const std::vector<unsigned char> dpb = buildDpb(params, pageSize, defaultCharset);
    fb::Ref<Firebird::IProvider> provider(fb::master()->getDispatcher());
    Attachment a;
    a.impl_ = std::make_unique<Impl>();
    a.impl_->params = params;
    a.impl_->charset = charsetIdOf(params.charset);
    a.impl_->att.reset(provider->createDatabase(&st, params.database.toUtf8().constData(),
                                                static_cast<unsigned>(dpb.size()), dpb.data()));
    return a;
  });
}

bool Attachment::isOpen() const {
  return impl_ && impl_->att;
}

void Attachment::close() {
  if (!isOpen()) return;
  try {
    fb::guarded([&] {
      fb::Status st;
      impl_->att->detach(&st);
      impl_->att.take();  // a successful detach releases the interface
    });
  } catch (const DbError&) {
    // A connection the server dropped (restarted, network gone) cannot be detached; it is let
    // go, so that a new login can open the database again.
    impl_->att.reset();
  }
}

const ConnectionParams& Attachment::params() const {
  static const ConnectionParams none;
  return impl_ ? impl_->params : none;
}

Transaction Attachment::startTransaction(TransactionMode mode, int lockTimeoutSeconds) {
  if (!isOpen()) throw DbError(QStringLiteral("The database is not open"));
  return fb::guarded([&] {
    fb::Status st;
    const std::vector<unsigned char> tpb = buildTpb(mode, lockTimeoutSeconds);
    auto impl = std::make_unique<Transaction::Impl>();
    impl->tra.reset(
        impl_->att->startTransaction(&st, static_cast<unsigned>(tpb.size()), tpb.data()));
    return Transaction(std::move(impl));
  });
}

Statement Attachment::prepare(Transaction& tr, const QString& sql) {
  if (!isOpen()) throw DbError(QStringLiteral("The database is not open"));
  if (!tr.isActive()) throw DbError(QStringLiteral("The transaction is not active"));
  return fb::guarded([&] {
    fb::Status st;
    auto impl = std::make_unique<Statement::Impl>();
    impl_->att->addRef();
    impl->att.reset(impl_->att.get());
    impl->textCharset = impl_->charset;
    const QByteArray text = encodeText(sql, impl_->charset);
    impl->stmt.reset(impl_->att->prepare(&st, tr.handle(), static_cast<unsigned>(text.size()),
                                         text.constData(), kDialect,
                                         Firebird::IStatement::PREPARE_PREFETCH_METADATA));
    impl->in.reset(impl->stmt->getInputMetadata(&st));
    impl->out.reset(impl->stmt->getOutputMetadata(&st));
    impl->columns = std::make_shared<const Columns>(columnNames(impl->out.get()));
    const unsigned type = impl->stmt->getType(&st);
    impl->hasCursor = impl->out->getCount(&st) > 0 && (type == isc_info_sql_stmt_select ||
                                                       type == isc_info_sql_stmt_select_for_upd);
    return Statement(std::move(impl));
  });
}

RowSet Attachment::query(const QString& sql, const std::vector<Value>& params) {
  Transaction tr = startTransaction();
  Statement stmt = prepare(tr, sql);
  RowSet rows = stmt.execute(tr, params);
  stmt = Statement();
  tr.commit();
  return rows;
}

void Attachment::execute(const QString& sql, const std::vector<Value>& params) {
  query(sql, params);
}

Firebird::IAttachment* Attachment::handle() const {
  return isOpen() ? impl_->att.get() : nullptr;
}

}  // namespace radevore::db
