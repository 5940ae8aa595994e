#pragma once

#include <QString>
#include <vector>

#include "render/data_element_printer.h"

namespace radevore::testing {

// Prints "DAFO_DATO:ARTICULO" at the element position, so data output shows in the canvas's
// call list with its page and font, and keeps each call.
class DataPrinterFake : public render::DataElementPrinter {
 public:
  struct Call {
    QString name;
    QString article;
    double x;
    double y;
  };

  void print(report::ReportCanvas& canvas, const db::Row& element,
             const labels::LabelRecord& record, double x, double y) override {
    const QString name = element.text(u"DAFO_DATO");
    const QString article = record.row.text(u"ARTICULO");
    calls.push_back({name, article, x, y});
    canvas.PrintAt(x, y, name + u':' + article);
  }

  std::vector<Call> calls;
};

}  // namespace radevore::testing
