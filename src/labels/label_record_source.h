#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "db/attachment.h"
#include "db/cursor.h"
#include "db/transaction.h"
#include "labels/batched_lookup.h"
#include "labels/label_record.h"

namespace radevore::labels {

// "select * from impr_articulo('<prefix>',1,<price list>,'N',0)": the prefix as an SQL string
// literal, the price list inserted as it is given.
QString imprArticuloStatement(const QString& prefix, const QString& priceList);

// The procedure call with the prefix (text) and the price list (integer) as parameters:
// "select * from impr_articulo(?,1,?,'N',0)".
QString imprArticuloCall();

// The unit and barcode lookup of one article as literal SQL text (the article code quoted).
QString unitAndBarcodeStatement(const QString& articleCode);

// TotPrecio: price x minimum quantity in fixed point; absent when either factor is null, and
// when the product lies beyond the amount's range.
// Decimal and integer columns are taken exactly; a text column is read with '.' as separator.
std::optional<Amount> quantityBreakTotal(const db::Value& price, const db::Value& quantity);

// The label records of one impr_articulo call, read from the database a batch at a time as the
// renderer asks for them, so that a run holds a few hundred records whatever its length. Each
// record comes with its UNIDAD and BARRAS (the first row of the unit and barcode lookup, cut to
// 8 and 20 characters, null when the lookup has no row) and TotPrecio1..4 (totPrecioOverflow
// set for a product beyond range). The lookups of a batch are answered by one query for its
// articles not met before in the run. `params` fill the statement's parameters.
//
// Everything runs in the given transaction, which must outlive the stream; the procedure's
// rows are all read once next() has returned null. Database errors propagate as db::DbError.
class LabelRecordStream : public LabelRecords {
 public:
  LabelRecordStream(db::Attachment& attachment, db::Transaction& tr, const QString& statement,
                    const std::vector<db::Value>& params = {});
  ~LabelRecordStream() override;

  // Told the article codes of each batch before its first record is handed out.
  void onBatch(std::function<void(const QStringList& articles)> listener);

  const LabelRecord* next() override;
  // The record next() returns next, without moving on; null when there is none.
  const LabelRecord* peek();
  // Stops reading; the rows not read stay with the procedure's transaction.
  void close();

  // Unit and barcode queries run so far.
  int lookupQueries() const { return lookup_.queries(); }

 private:
  bool fill();
  // ARTICULO (0), PRECIO1..4 (1..4), CANTMIN1..4 (5..8) of a row of this result.
  const db::Value& column(const db::Row& row, int which);

  db::Cursor cursor_;
  BatchedLookup lookup_;
  std::function<void(const QStringList&)> listener_;
  std::vector<LabelRecord> batch_;
  size_t position_ = 0;
  bool exhausted_ = false;
  std::vector<int> positions_;
};

// Runs `statement` (an impr_articulo call) in `tr` and returns all its records in delivery
// order, computed as LabelRecordStream computes them.
std::vector<LabelRecord> fetchLabelRecords(db::Attachment& attachment, db::Transaction& tr,
                                           const QString& statement,
                                           const std::vector<db::Value>& params = {});

}  // namespace radevore::labels
