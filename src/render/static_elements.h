#pragma once

#include <QImage>
#include <unordered_map>

#include "db/row_set.h"
#include "render/page_scale.h"
#include "report/report_canvas.h"

namespace radevore::render {

// Static elements (FORMATO_LINEAS rows) drawn at their page position (x, y). Element types are
// compared exactly: "L" line, "C" rectangle, "G" image, "T" text; any other draws nothing.

// The pictures of the static elements of one run, each decoded once. Drawing the same image for
// every label also lets the output store it once.
class StaticPictures {
 public:
  // The element's FOLI_IMAGEN decoded; a null image when it holds none. Throws
  // InvalidBitmapError for a value that is not a bitmap.
  const QImage& of(const db::Row& element);

 private:
  std::unordered_map<const db::Row*, QImage> images_;
};

// First pass: lines and rectangle outlines from (x, y) to (x + FOLI_X * escala_x,
// y + FOLI_Y * escala_y) with the current pen, images at (x, y) in their natural size. Texts and
// unknown types draw nothing. Throws InvalidBitmapError for an image that is not a bitmap.
// Pictures come from `pictures` when given (the element rows must then outlive it).
void drawStaticShape(report::ReportCanvas& canvas, const db::Row& element, const PageScale& scale,
                     double x, double y, StaticPictures* pictures = nullptr);

// Second pass: a "T" element's FOLI_CADENA beginning at x with its baseline at y, in FOLI_FONT
// (else the header's FORM_FONT) at FOLI_FSIZE (else FORM_FSIZE) points. Other types draw
// nothing.
void drawStaticText(report::ReportCanvas& canvas, const db::Row& element, const db::Row& header,
                    double x, double y);

}  // namespace radevore::render
