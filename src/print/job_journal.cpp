#include "print/job_journal.h"

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <utility>

namespace radevore::print {

namespace {

constexpr int kBusyMilliseconds = 2000;

const char* const kSchema =
    "create table if not exists jobs ("
    " id integer primary key autoincrement, time text not null, company text, prefix text,"
    " price_list text, labels integer, pages integer, destination text, title text,"
    " outcome text, error text, document text)";

// One prepared statement, finalized when it goes.
class Query {
 public:
  Query(sqlite3* db, const char* sql) {
    if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) stmt_ = nullptr;
  }
  ~Query() { sqlite3_finalize(stmt_); }
  Query(const Query&) = delete;
  Query& operator=(const Query&) = delete;

  bool ok() const { return stmt_ != nullptr; }
  void bind(int index, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    sqlite3_bind_text(stmt_, index, bytes.constData(), static_cast<int>(bytes.size()),
                      SQLITE_TRANSIENT);
  }
  void bind(int index, qint64 value) { sqlite3_bind_int64(stmt_, index, value); }
  int step() { return sqlite3_step(stmt_); }
  QString text(int column) const {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return bytes ? QString::fromUtf8(bytes, sqlite3_column_bytes(stmt_, column)) : QString();
  }
  qint64 number(int column) const { return sqlite3_column_int64(stmt_, column); }

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

const char* const kColumns =
    "id, time, company, prefix, price_list, labels, pages, destination, title, outcome, error,"
    " document";

JournalEntry readEntry(const Query& q) {
  JournalEntry e;
  e.id = q.number(0);
  e.time = QDateTime::fromString(q.text(1), Qt::ISODateWithMs);
  e.company = q.text(2);
  e.prefix = q.text(3);
  e.priceList = q.text(4);
  e.labels = static_cast<int>(q.number(5));
  e.pages = static_cast<int>(q.number(6));
  e.destination = q.text(7);
  e.title = q.text(8);
  e.outcome = q.text(9);
  e.error = q.text(10);
  e.document = q.text(11);
  return e;
}

}  // namespace

void JobJournal::Closer::operator()(sqlite3* db) const {
  sqlite3_close(db);
}

JobJournal::JobJournal(QString folder, Warning warn, JournalLimits limits)
    : folder_(std::move(folder)), warn_(std::move(warn)), limits_(limits) {}

JobJournal::~JobJournal() = default;

void JobJournal::fail(const QString& what) {
  // Once is enough: a store's spooler would otherwise repeat it every run.
  if (warned_) return;
  warned_ = true;
  if (warn_)
    warn_(QStringLiteral("No se pudo escribir el historial de trabajos en %1: %2")
              .arg(QDir::toNativeSeparators(folder_), what));
}

bool JobJournal::open() {
  if (db_) return true;
  if (!QDir().mkpath(QDir(folder_).filePath(QStringLiteral("jobs")))) {
    fail(QStringLiteral("no se puede crear la carpeta"));
    return false;
  }
  sqlite3* raw = nullptr;
  const QByteArray path = QDir(folder_).filePath(QStringLiteral("journal.sqlite")).toUtf8();
  const int rc =
      sqlite3_open_v2(path.constData(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  std::unique_ptr<sqlite3, Closer> db(raw);
  if (rc != SQLITE_OK) {
    fail(QString::fromUtf8(raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc)));
    return false;
  }
  // Two spoolers of one user may share the journal; neither waits long for the other.
  sqlite3_busy_timeout(db.get(), kBusyMilliseconds);
  if (sqlite3_exec(db.get(), kSchema, nullptr, nullptr, nullptr) != SQLITE_OK) {
    fail(QString::fromUtf8(sqlite3_errmsg(db.get())));
    return false;
  }
  db_ = std::move(db);
  return true;
}

std::optional<qint64> JobJournal::record(JournalEntry entry, const QString& document) {
  if (!open()) return std::nullopt;
  if (!entry.time.isValid()) entry.time = QDateTime::currentDateTimeUtc();
  Query insert(db_.get(),
               "insert into jobs (time, company, prefix, price_list, labels, pages, destination,"
               " title, outcome, error, document) values (?,?,?,?,?,?,?,?,?,?,'')");
  if (!insert.ok()) {
    fail(QString::fromUtf8(sqlite3_errmsg(db_.get())));
    return std::nullopt;
  }
  insert.bind(1, entry.time.toUTC().toString(Qt::ISODateWithMs));
  insert.bind(2, entry.company);
  insert.bind(3, entry.prefix);
  insert.bind(4, entry.priceList);
  insert.bind(5, qint64{entry.labels});
  insert.bind(6, qint64{entry.pages});
  insert.bind(7, entry.destination);
  insert.bind(8, entry.title);
  insert.bind(9, entry.outcome);
  insert.bind(10, entry.error);
  if (insert.step() != SQLITE_DONE) {
    fail(QString::fromUtf8(sqlite3_errmsg(db_.get())));
    return std::nullopt;
  }
  const qint64 id = sqlite3_last_insert_rowid(db_.get());
  if (!document.isEmpty()) {
    const QString kept = keepDocument(id, document);
    if (!kept.isEmpty()) {
      Query update(db_.get(), "update jobs set document = ? where id = ?");
      update.bind(1, kept);
      update.bind(2, id);
      if (update.step() != SQLITE_DONE) fail(QString::fromUtf8(sqlite3_errmsg(db_.get())));
    }
    prune(entry.time);
  }
  return id;
}

QString JobJournal::keepDocument(qint64 id, const QString& document) {
  const QString kept = QDir(folder_).filePath(QStringLiteral("jobs/%1.pdf").arg(id));
  QFile::remove(kept);
  if (!QFile::copy(document, kept)) {
    fail(QStringLiteral("no se pudo guardar una copia de %1").arg(document));
    return {};
  }
  return kept;
}

void JobJournal::prune(const QDateTime& now) {
  // Oldest first: past the age limit they all go; then until the rest fits the size limit.
  Query kept(db_.get(), "select id, time, document from jobs where document <> '' order by id");
  struct Document {
    qint64 id;
    QDateTime time;
    QString path;
    qint64 size;
  };
  std::vector<Document> documents;
  qint64 total = 0;
  while (kept.ok() && kept.step() == SQLITE_ROW) {
    Document d{kept.number(0), QDateTime::fromString(kept.text(1), Qt::ISODateWithMs), kept.text(2),
               0};
    d.size = QFileInfo(d.path).size();
    total += d.size;
    documents.push_back(std::move(d));
  }
  const QDateTime oldest = now.addDays(-limits_.maxAgeDays);
  for (const Document& d : documents) {
    if (d.time >= oldest && total <= limits_.maxBytes) break;
    QFile::remove(d.path);
    total -= d.size;
    Query forget(db_.get(), "update jobs set document = '' where id = ?");
    forget.bind(1, d.id);
    forget.step();
  }
}

std::vector<JournalEntry> JobJournal::latest(int count) {
  std::vector<JournalEntry> entries;
  if (!open()) return entries;
  const QByteArray sql = QByteArray("select ") + kColumns + " from jobs order by id desc limit ?";
  Query q(db_.get(), sql.constData());
  if (!q.ok()) return entries;
  q.bind(1, qint64{count});
  while (q.step() == SQLITE_ROW) entries.push_back(readEntry(q));
  return entries;
}

std::optional<JournalEntry> JobJournal::find(qint64 id) {
  if (!open()) return std::nullopt;
  const QByteArray sql = QByteArray("select ") + kColumns + " from jobs where id = ?";
  Query q(db_.get(), sql.constData());
  if (!q.ok()) return std::nullopt;
  q.bind(1, id);
  if (q.step() != SQLITE_ROW) return std::nullopt;
  return readEntry(q);
}

QString defaultJournalFolder() {
  QString state = qEnvironmentVariable("XDG_STATE_HOME");
  if (state.isEmpty()) state = QDir::homePath() + QStringLiteral("/.local/state");
  return QDir(state).filePath(QStringLiteral("radevore"));
}

}  // namespace radevore::print
