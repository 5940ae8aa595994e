#pragma once

#include <array>
#include <optional>

#include "db/row_set.h"
#include "db/value.h"
#include "labels/amount.h"

namespace radevore::labels {

// One label to print: a row returned by impr_articulo plus the fields the program computes.
struct LabelRecord {
  db::Row row;      // the procedure's columns (ARTICULO, DESCRIPCION, PRECIO, ...)
  db::Value unidad; // UNIDAD: the article's unit from the barcode lookup, null when no row
  db::Value barras; // BARRAS: the article's barcode for that unit, null when no row
  // TotPrecio1..4: PRECIOn x CANTMINn, absent when either factor is null.
  std::array<std::optional<Amount>, 4> totPrecio;
};

}  // namespace radevore::labels
