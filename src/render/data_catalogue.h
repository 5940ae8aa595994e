#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "db/attachment.h"
#include "db/statement.h"
#include "db/transaction.h"
#include "labels/batched_lookup.h"
#include "render/data_element_printer.h"
#include "render/regional_settings.h"

namespace radevore::render {

// Texts of the main window that the catalogue reads when an element is printed.
struct WindowTexts {
  std::function<QString()> userName;   // Tusua: "NOMBRE USUARIO", "CODIGO USUARIO"
  std::function<QString()> fixedText;  // Texto: "TEXTO FIJO"
  // The audited document of the three audit names; empty (the default) prints nothing for
  // them, and so does a text that is not all digits.
  std::function<QString()> auditedDocument;
};

// A column of the label record that a data name reads.
struct RecordColumnUse {
  QString column;
  bool number = false;  // read as an amount (number output, totals, plain numbers)
};

// The catalogue of data names: turns a data element's DAFO_DATO into the value of the current
// label record and prints it through the text or number output. Names are matched exactly.
//
// Lives for one print run. The lookups run in the given transaction (read-only, owned by the
// print run) and their answers hold for the run: an article lookup is asked once for all the
// articles announced with expectArticles() that it has not answered yet, an audit lookup once
// per audited document. A lookup query runs only when an element needs it; its errors
// propagate as db::DbError.
class DataCatalogue : public DataElementPrinter {
 public:
  DataCatalogue(db::Attachment& attachment, db::Transaction& transaction, RegionalSettings regional,
                WindowTexts window);
  ~DataCatalogue() override;

  void print(report::ReportCanvas& canvas, const db::Row& element,
             const labels::LabelRecord& record, double x, double y) override;

  // The article codes of the labels about to be printed (a batch of the record stream).
  void expectArticles(const QStringList& codes);

  // Lookup queries run so far.
  int lookupQueries() const;

  // The 61 data names in the catalogue's order.
  static const QStringList& names();
  // The record columns the data name reads; none for an unknown name and for names that print
  // the window's texts, lookups or UNIDAD and BARRAS.
  static std::vector<RecordColumnUse> recordColumnsOf(const QString& dataName);

 private:
  enum class Lookup { PesoAuto, Unidad, Invima, AuditFecha, AuditHora, AuditUsuario, Count };

  // The first column of the first row of a lookup, or null when there is no row.
  db::Value lookup(Lookup which, const db::Value& key);
  QString valueText(const db::Value& value) const;

  db::Attachment& attachment_;
  db::Transaction& transaction_;
  RegionalSettings regional_;
  WindowTexts window_;
  static constexpr int kArticleLookups = 3;  // PesoAuto, Unidad, Invima
  std::unique_ptr<labels::BatchedLookup> articles_[kArticleLookups];
  QStringList expected_;
  std::optional<db::Statement> audits_[static_cast<int>(Lookup::Count) - kArticleLookups];
  QHash<std::int64_t, db::Value> auditAnswers_[static_cast<int>(Lookup::Count) - kArticleLookups];
  int auditQueries_ = 0;
};

}  // namespace radevore::render
