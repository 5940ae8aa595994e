#pragma once

#include <vector>

#include "labels/label_format.h"
#include "labels/label_record.h"
#include "render/data_element_printer.h"
#include "render/page_scale.h"
#include "report/report_canvas.h"

namespace radevore::render {

// Draws one label per record on the canvas of a running report: labels in rows of FORM_NROITEMS,
// rows under rows, a new page when a static element would fall below the page. For every label:
// the static shapes, then the static texts, then the data elements (printed through the
// DataElementPrinter), so texts lie over shapes and data over both.
//
// Errors from the canvas, the data printer or a picture (InvalidBitmapError) end the drawing and
// propagate.
class LabelRenderer {
 public:
  // The format and the printer must outlive the renderer.
  LabelRenderer(const labels::LabelFormat& format, DataElementPrinter& dataPrinter);

  // The report's print callback: computes escala_y and escala_x from the canvas's page, then
  // draws all labels with imprime_encabezado.
  void RvSystem1Print(report::ReportCanvas& canvas, labels::LabelRecords& records) const;
  void RvSystem1Print(report::ReportCanvas& canvas,
                      const std::vector<labels::LabelRecord>& records) const;

  // Draws all labels on a canvas already on its first page, with the given scale, taking the
  // records one at a time.
  void imprime_encabezado(report::ReportCanvas& canvas, const PageScale& scale,
                          labels::LabelRecords& records) const;
  void imprime_encabezado(report::ReportCanvas& canvas, const PageScale& scale,
                          const std::vector<labels::LabelRecord>& records) const;

 private:
  const labels::LabelFormat& format_;
  DataElementPrinter& dataPrinter_;
};

}  // namespace radevore::render
