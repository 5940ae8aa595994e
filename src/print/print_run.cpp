#include "print/print_run.h"

#include <exception>
#include <optional>

#include "db/attachment.h"
#include "db/db_error.h"
#include "db/transaction.h"
#include "labels/label_format.h"
#include "labels/label_record_source.h"
#include "print/report_setup.h"
#include "render/data_catalogue.h"
#include "render/label_renderer.h"
#include "render/regional_settings.h"
#include "report/running_flag.h"

namespace radevore::print {

namespace {

const QString kPanelText = QStringLiteral("Generando informe. espere un momento...");
const QString kNoPrefix = QStringLiteral("Debe seleccionar el prefijo.");
const QString kNoFormat = QStringLiteral("No se encontró el formato de impresión.");

}  // namespace

PrintRun::PrintRun(PrintRunWindow& window, UserMessages& messages, report::ReportSystem& reports,
                   SettingsLookup& settings, PrinterAliases& aliases,
                   report::PrintService& printers)
    : window_(window),
      messages_(messages),
      reports_(reports),
      settings_(settings),
      aliases_(aliases),
      printers_(printers) {}

PrintRunResult PrintRun::SpeedButton3Click(db::Attachment* company) {
  // A timer tick or an F2 handled while this run processes window messages (or waits in one of
  // its message boxes) is dropped rather than started inside it.
  if (running_) return PrintRunResult::Busy;
  report::RunningFlag flag(running_);

  window_.showPanel(kPanelText);
  window_.processEvents();
  PrintRunResult result;
  try {
    result = runOnce(company);
  } catch (const std::exception& e) {
    // Database, report and picture errors all carry their own text.
    messages_.showError(QString::fromUtf8(e.what()));
    result = PrintRunResult::Failed;
  }
  // The panel is hidden after every run, an error or a "Cancel" included: the window is left
  // as it was before the run.
  window_.hidePanel();
  window_.processEvents();
  return result;
}

PrintRunResult PrintRun::runOnce(db::Attachment* company) {
  const QString prefix = window_.prefix();
  if (prefix.isEmpty()) {
    messages_.showMessage(kNoPrefix);
    return PrintRunResult::NoPrefix;
  }
  if (company == nullptr || !company->isOpen()) {
    // A later login that failed at the company database leaves the old prefix chosen.
    throw db::DbError(QStringLiteral("La base de datos de la compañía no está conectada."));
  }

  // Format, unit and article lookups only read.
  db::Transaction lookups = company->startTransaction(db::TransactionMode::ReadOnly);
  const std::optional<labels::LabelFormat> format =
      labels::loadLabelFormat(*company, lookups, prefix);
  if (!format) {
    messages_.showMessage(kNoFormat);
    return PrintRunResult::NoFormat;
  }

  QString priceList;
  if (!window_.priceListText().isEmpty()) {
    priceList = QString::number(window_.priceListKey().value_or(0));
  } else {
    priceList = settings_.configuracion(
        QStringLiteral("FACTURACION"), QStringLiteral("FACTURAS"),
        QStringLiteral("CODIGO DE LA LISTA DE PRECIOS A MOSTRAR EN ARTICULOS"));
  }

  render::DataCatalogue catalogue(
      *company, lookups, render::RegionalSettings(),
      render::WindowTexts{[this] { return window_.userName(); },
                          [this] { return window_.fixedText(); }, [] { return QString(); }});

  // The procedure may take the labels it returns off its queue. They are fetched in a
  // transaction of their own that is committed only once the job has been handed over, so a
  // failed or cancelled job leaves them waiting for the next run. The renderer reads them from
  // the open result as it draws, so the job holds a few hundred of them at a time.
  db::Transaction fetch = company->startTransaction(db::TransactionMode::ReadWrite);
  labels::LabelRecordStream records(*company, fetch,
                                    labels::imprArticuloStatement(prefix, priceList));
  records.onBatch(
      [&catalogue](const QStringList& articles) { catalogue.expectArticles(articles); });
  const labels::LabelRecord* first = records.peek();
  if (first == nullptr) {
    fetch.commit();
    return PrintRunResult::NothingToPrint;
  }

  const render::LabelRenderer renderer(*format, catalogue);
  const QString firstArticle = first->row.text(u"ARTICULO");

  const report::ReportOutcome outcome = reports_.RunReport(
      [&](report::ReportCanvas& canvas) {
        RvSystem1BeforePrint(canvas, *format, firstArticle, settings_, aliases_, printers_);
      },
      [&](report::ReportCanvas& canvas) { renderer.RvSystem1Print(canvas, records); });
  records.close();
  if (outcome == report::ReportOutcome::Cancelled) {
    fetch.rollback();
    return PrintRunResult::Cancelled;
  }
  fetch.commit();
  return PrintRunResult::Printed;
}

}  // namespace radevore::print
