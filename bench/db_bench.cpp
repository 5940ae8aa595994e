// Figures for the database layer on the embedded engine: a prepared single-row lookup run many
// times against an ad-hoc prepare + execute per lookup, and the time to build a test company.
#include <QElapsedTimer>
#include <cstdio>

#include "db/attachment.h"
#include "db/statement.h"
#include "db/transaction.h"
#include "support/fixture_db.h"

using namespace radevore;

namespace {

constexpr int kLookups = 10000;

double msSince(const QElapsedTimer& t) {
  return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

const QStringList kCodes = {"00123", "00300", "A'1", "00400", "00500", "00600", "00700"};

QString quoted(const QString& text) {
  QString q = text;
  q.replace(u'\'', QStringLiteral("''"));
  return u'\'' + q + u'\'';
}

}  // namespace

int main() {
  testing::TempDir dir;

  QElapsedTimer t;
  t.start();
  const auto inst = testing::makeInstallation(dir.path());
  std::printf("installation (general + company database from the fixtures): %8.1f ms\n",
              msSince(t));

  t.restart();
  testing::makeInstallation(dir.file(QStringLiteral("second")), QStringLiteral("001"),
                            QStringLiteral("INSERT INTO ROTULOS_PENDIENTES (PREF_PRE, ARTI_COD) "
                                           "VALUES ('RT01', '00123');"));
  std::printf("installation with extra SQL (queued label):                  %8.1f ms\n",
              msSince(t));

  db::Attachment att = db::Attachment::open(testing::companyParams(inst));
  db::Transaction tr = att.startTransaction(db::TransactionMode::ReadOnly);
  const QString lookup = QStringLiteral(
      "select arti_unidad, coba_cod from barras_articulo b, articulo a where "
      "a.arti_cod = b.arti_cod and a.arti_unidad = b.coba_unidad and a.arti_cod = ");

  size_t found = 0;
  t.restart();
  db::Statement prepared = att.prepare(tr, lookup + QStringLiteral("?"));
  for (int i = 0; i < kLookups; ++i) {
    found += prepared.executeFirst(tr, {db::Value::text(kCodes[i % kCodes.size()])}).size();
  }
  const double preparedMs = msSince(t);

  t.restart();
  for (int i = 0; i < kLookups; ++i) {
    db::Statement adhoc = att.prepare(tr, lookup + quoted(kCodes[i % kCodes.size()]));
    found += adhoc.executeFirst(tr).size();
  }
  const double adhocMs = msSince(t);

  t.restart();
  for (int i = 0; i < 200; ++i) {
    db::Attachment a = db::Attachment::open(testing::companyParams(inst));
  }
  const double attachMs = msSince(t) / 200;

  std::printf("%d lookups, prepared once:          %8.1f ms (%6.1f us each)\n", kLookups,
              preparedMs, preparedMs * 1000 / kLookups);
  std::printf("%d lookups, prepared each time:     %8.1f ms (%6.1f us each)\n", kLookups, adhocMs,
              adhocMs * 1000 / kLookups);
  std::printf("attach + detach:                          %8.2f ms\n", attachMs);
  std::printf("(rows found: %zu)\n", found);
  return 0;
}
