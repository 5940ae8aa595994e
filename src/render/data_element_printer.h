#pragma once

#include "db/row_set.h"
#include "labels/label_record.h"
#include "report/report_canvas.h"

namespace radevore::render {

// Prints the value of one data element (a FORMATO_DATOS row) for one label record at (x, y).
// The element's font is already selected on the canvas.
class DataElementPrinter {
 public:
  virtual ~DataElementPrinter() = default;
  virtual void print(report::ReportCanvas& canvas, const db::Row& element,
                     const labels::LabelRecord& record, double x, double y) = 0;
};

}  // namespace radevore::render
