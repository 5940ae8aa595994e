#pragma once

#include <QString>
#include <vector>

#include "db/attachment.h"
#include "db/transaction.h"
#include "labels/label_record.h"

namespace radevore::labels {

// "select * from impr_articulo('<prefix>',1,<price list>,'N',0)": the prefix as an SQL string
// literal, the price list inserted as it is given.
QString imprArticuloStatement(const QString& prefix, const QString& priceList);

// The unit and barcode lookup of one article as literal SQL text (the article code quoted).
QString unitAndBarcodeStatement(const QString& articleCode);

// TotPrecio: price x minimum quantity in fixed point; absent when either factor is null.
// Decimal and integer columns are taken exactly; a text column is read with '.' as separator.
std::optional<Amount> quantityBreakTotal(const db::Value& price, const db::Value& quantity);

// Runs `statement` (an impr_articulo call) in `tr` and returns its rows in delivery order, each
// with its UNIDAD and BARRAS (first row of the unit and barcode lookup, cut to 8 and 20
// characters, null when the lookup has no row) and TotPrecio1..4. The lookup is prepared once
// and run per record in the same transaction. Database errors propagate as db::DbError.
std::vector<LabelRecord> fetchLabelRecords(db::Attachment& attachment, db::Transaction& tr,
                                           const QString& statement);

}  // namespace radevore::labels
