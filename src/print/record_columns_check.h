#pragma once

#include <QStringList>
#include <vector>

#include "labels/label_format.h"
#include "labels/label_record.h"
#include "render/data_catalogue.h"

namespace radevore::print {

// The label records of a run as the renderer takes them, each checked on its way against the
// columns the format's printed data elements read: a column the procedure did not return, or a
// value a number element cannot read as a number, throws db::DbError with the data layer's text
// ("Field 'PRECIO' not found") and ends the job before it is handed over. Totals left out of a
// record because they were beyond range are noted for the user.
class CheckedRecords : public labels::LabelRecords {
 public:
  CheckedRecords(labels::LabelRecords& records, const labels::LabelFormat& format);

  const labels::LabelRecord* next() override;
  // Checks one record; the first one is checked when the records are opened, before drawing.
  void check(const labels::LabelRecord& record);

  // "TOTAL PRECIO1 del artículo 00123: 1000000000 x 1000000" for each total left out so far.
  const QStringList& overflows() const { return overflows_; }

 private:
  labels::LabelRecords& records_;
  std::vector<render::RecordColumnUse> used_;
  QStringList overflows_;
  const labels::LabelRecord* lastChecked_ = nullptr;
};

}  // namespace radevore::print
