// Figures for the data pass: catalogue prints per second over a company database, with and
// without lookups, and the cost of fetching label records with their barcode lookups.
#include <QElapsedTimer>
#include <QLocale>
#include <cstdio>

#include "labels/label_record_source.h"
#include "render/data_catalogue.h"
#include "report/recording_canvas.h"
#include "support/fixture_db.h"

using namespace radevore;

namespace {

db::Row element(const QString& name) {
  static const auto columns = std::make_shared<const db::Columns>(
      QStringList{"DAFO_DATO", "DAFO_FORMATO", "DAFO_INI", "DAFO_LONG"});
  return db::Row(columns, {db::Value::text(name), db::Value::text("2"), {}, {}});
}

}  // namespace

int main() {
  testing::TempDir dir;
  const auto installation = testing::makeInstallation(dir.path());
  db::Attachment att = db::Attachment::open(testing::companyParams(installation));

  constexpr int kLabels = 2000;
  for (int i = 0; i < kLabels; ++i) {
    att.execute("insert into rotulos_pendientes (pref_pre, arti_cod) values ('RT01', ?)",
                {db::Value::text(i % 2 ? "00123" : "00400")});
  }
  db::Transaction tr = att.startTransaction();
  QElapsedTimer timer;
  timer.start();
  const auto records =
      labels::fetchLabelRecords(att, tr, labels::imprArticuloStatement("RT01", "4"));
  const qint64 fetchMs = timer.elapsed();
  tr.commit();
  std::printf("fetch %zu records with barcode lookups: %lld ms (%.1f us/record)\n", records.size(),
              static_cast<long long>(fetchMs), 1000.0 * fetchMs / double(records.size()));

  db::Transaction ro = att.startTransaction(db::TransactionMode::ReadOnly);
  render::DataCatalogue catalogue(att, ro, render::RegionalSettings(QLocale("es_CO")), {});
  for (const char* name : {"CODIGO", "PRECIO", "USUARIO REGISTRO", "UNIDAD", "PRECIO LIBRA"}) {
    report::RecordingCanvas canvas;
    const db::Row el = element(QString::fromLatin1(name));
    timer.restart();
    for (const auto& r : records) catalogue.print(canvas, el, r, 1.0, 1.0);
    const qint64 ns = timer.nsecsElapsed();
    std::printf("%-18s %8.2f us/label\n", name, ns / 1000.0 / double(records.size()));
  }
  return 0;
}
