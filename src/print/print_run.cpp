#include "print/print_run.h"

#include <QLoggingCategory>
#include <exception>
#include <optional>
#include <stdexcept>

#include "db/attachment.h"
#include "db/db_error.h"
#include "db/transaction.h"
#include "labels/label_format.h"
#include "labels/label_record_source.h"
#include "print/cancellable_canvas.h"
#include "print/held_messages.h"
#include "print/record_columns_check.h"
#include "print/report_setup.h"
#include "render/data_catalogue.h"
#include "render/label_renderer.h"
#include "render/regional_settings.h"
#include "report/running_flag.h"
#include "report/watched_canvas.h"

Q_LOGGING_CATEGORY(lcPrintRun, "radevore.print")

namespace radevore::print {

namespace {

const QString kPanelText = QStringLiteral("Generando informe. espere un momento...");
const QString kNoPrefix = QStringLiteral("Debe seleccionar el prefijo.");
const QString kNoFormat = QStringLiteral("No se encontró el formato de impresión.");
const QString kPriceListSetting =
    QStringLiteral("CODIGO DE LA LISTA DE PRECIOS A MOSTRAR EN ARTICULOS");

// Another station fetching the same labels holds their rows until its job is handed over; a
// fetch that waits longer than this gives way and tries again at the next run.
constexpr int kFetchLockTimeoutSeconds = 5;

// The configured price list as the procedure's integer argument. The value reaches the
// database only as a bound number, never as SQL text.
qint64 configuredPriceList(const QString& value) {
  bool ok = false;
  const int list = value.toInt(&ok);
  if (!ok) {
    throw std::runtime_error((QStringLiteral("La configuración \"") + kPriceListSetting +
                              QStringLiteral("\" no es un número entero: \"") + value +
                              QStringLiteral("\""))
                                 .toStdString());
  }
  return list;
}

// Counts the records the renderer takes: the labels of the job.
class CountedRecords : public labels::LabelRecords {
 public:
  CountedRecords(labels::LabelRecords& records, int& count) : records_(records), count_(count) {}
  const labels::LabelRecord* next() override {
    const labels::LabelRecord* record = records_.next();
    if (record != nullptr) ++count_;
    return record;
  }

 private:
  labels::LabelRecords& records_;
  int& count_;
};

QString outcomeName(PrintRunResult result) {
  switch (result) {
    case PrintRunResult::Printed:
      return QStringLiteral("printed");
    case PrintRunResult::Cancelled:
      return QStringLiteral("cancelled");
    case PrintRunResult::Failed:
      return QStringLiteral("failed");
    default:
      return {};
  }
}

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
  stopRequested_ = false;
  afterRun_.clear();

  finished_ = FinishedRun{};
  window_.showPanel(kPanelText);
  window_.processEvents();
  PrintRunResult result;
  std::optional<QString> error;
  try {
    // Told to stop while the panel was painted: nothing fetched, nothing to undo.
    result = stopRequested_ ? PrintRunResult::Cancelled : runOnce(company);
  } catch (const std::exception& e) {
    // Database, report and picture errors all carry their own text.
    error = QString::fromUtf8(e.what());
    finished_.error = *error;
    result = PrintRunResult::Failed;
  }
  // The fetch transaction has ended here: messages held while it was open may be shown now.
  if (held_) held_->release();
  if (error) messages_.showError(*error);
  if (!afterRun_.isEmpty()) messages_.showError(afterRun_.join(u'\n'));
  // The panel is hidden after every run, an error or a "Cancel" included: the window is left
  // as it was before the run.
  window_.hidePanel();
  window_.processEvents();
  // Recorded once the window's messages are handled, so that nothing it queues runs inside the run.
  finished_.outcome = outcomeName(result);
  if (recorder_ != nullptr && !finished_.outcome.isEmpty()) recorder_->recordRun(finished_);
  return result;
}

void PrintRun::cancel() {
  if (running_) stopRequested_ = true;
}

PrintRunResult PrintRun::runOnce(db::Attachment* company) {
  const QString prefix = window_.prefix();
  finished_.prefix = prefix;
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

  // The window's key is an integer already; the configured value must read as one.
  const qint64 priceList =
      !window_.priceListText().isEmpty()
          ? window_.priceListKey().value_or(0)
          : configuredPriceList(settings_.configuracion(
                QStringLiteral("FACTURACION"), QStringLiteral("FACTURAS"), kPriceListSetting));

  finished_.priceList = QString::number(priceList);

  render::DataCatalogue catalogue(
      *company, lookups, render::RegionalSettings(),
      render::WindowTexts{[this] { return window_.userName(); },
                          [this] { return window_.fixedText(); }, [] { return QString(); }});

  // The procedure may take the labels it returns off its queue. They are fetched in a
  // transaction of their own that is committed only once the job has been handed over, so a
  // failed or cancelled job leaves them waiting for the next run. The renderer reads them from
  // the open result as it draws, so the job holds a few hundred of them at a time. No message
  // box may wait for the user while the transaction holds them.
  if (held_) held_->hold();
  db::Transaction fetch =
      company->startTransaction(db::TransactionMode::ReadWrite, kFetchLockTimeoutSeconds);
  try {
    labels::LabelRecordStream stream(*company, fetch, labels::imprArticuloCall(),
                                     {db::Value::text(prefix), db::Value::integer(priceList)});
    stream.onBatch(
        [&catalogue](const QStringList& articles) { catalogue.expectArticles(articles); });
    const labels::LabelRecord* first = stream.peek();
    if (first == nullptr) {
      fetch.commit();
      return PrintRunResult::NothingToPrint;
    }
    CheckedRecords records(stream, *format);
    records.check(*first);  // the result's columns, before anything is drawn

    const render::LabelRenderer renderer(*format, catalogue);
    const QString firstArticle = first->row.text(u"ARTICULO");

    report::ReportOutcome outcome = report::ReportOutcome::Cancelled;
    try {
      outcome = reports_.RunReport(
          [&](report::ReportCanvas& canvas) {
            CancellableCanvas stoppable(canvas, stopRequested_);
            RvSystem1BeforePrint(stoppable, *format, firstArticle, settings_, aliases_, printers_);
          },
          [&](report::ReportCanvas& canvas) {
            CancellableCanvas stoppable(canvas, stopRequested_);
            CountedRecords counted(records, finished_.labels);
            renderer.RvSystem1Print(stoppable, counted);
          });
    } catch (const report::JobCancelled&) {
      // A report system that lets the stop through ends the same way as one that reports it.
      outcome = report::ReportOutcome::Cancelled;
    }
    stream.close();
    if (outcome == report::ReportOutcome::Cancelled) {
      fetch.rollback();
      return PrintRunResult::Cancelled;
    }
    fetch.commit();

    // A total beyond range printed nothing rather than a wrong price; the labels are out, and
    // holding them back would block the prefix's queue at every run, so the user is told which.
    if (!records.overflows().isEmpty()) {
      afterRun_ = QStringList{QStringLiteral("Valores fuera de rango; no se imprimieron:")} +
                  records.overflows();
    }
    return PrintRunResult::Printed;
  } catch (const db::DbError& e) {
    if (!e.isLockConflict()) throw;
    // Another station has fetched these labels and prints them; nothing to show, the next run
    // finds whatever it leaves.
    fetch.rollback();
    qCInfo(lcPrintRun).noquote() << "Prefix" << prefix
                                 << "is being printed by another station; retrying at the next "
                                    "run:"
                                 << e.text().section(u'\n', 0, 0);
    return PrintRunResult::TakenByAnotherStation;
  }
}

}  // namespace radevore::print
