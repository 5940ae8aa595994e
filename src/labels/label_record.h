#pragma once

#include <array>
#include <optional>
#include <vector>

#include "db/row_set.h"
#include "db/value.h"
#include "labels/amount.h"

namespace radevore::labels {

// One label to print: a row returned by impr_articulo plus the fields the program computes.
struct LabelRecord {
  db::Row row;       // the procedure's columns (ARTICULO, DESCRIPCION, PRECIO, ...)
  db::Value unidad;  // UNIDAD: the article's unit from the barcode lookup, null when no row
  db::Value barras;  // BARRAS: the article's barcode for that unit, null when no row
  // TotPrecio1..4: PRECIOn x CANTMINn, absent when either factor is null.
  std::array<std::optional<Amount>, 4> totPrecio;
  // TotPrecio n was left absent because PRECIOn x CANTMINn lies beyond the amount's range.
  std::array<bool, 4> totPrecioOverflow{};
};

// The label records of a run, handed out one at a time in print order.
class LabelRecords {
 public:
  virtual ~LabelRecords() = default;
  // The next record, valid until the following call; null after the last.
  virtual const LabelRecord* next() = 0;
};

// Records held in a list.
class LabelRecordList : public LabelRecords {
 public:
  explicit LabelRecordList(const std::vector<LabelRecord>& records) : records_(records) {}
  const LabelRecord* next() override {
    return position_ < records_.size() ? &records_[position_++] : nullptr;
  }

 private:
  const std::vector<LabelRecord>& records_;
  size_t position_ = 0;
};

}  // namespace radevore::labels
