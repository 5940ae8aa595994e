#pragma once

#include "db/row_set.h"
#include "render/page_scale.h"
#include "report/report_canvas.h"

namespace radevore::render {

// Static elements (FORMATO_LINEAS rows) drawn at their page position (x, y). Element types are
// compared exactly: "L" line, "C" rectangle, "G" image, "T" text; any other draws nothing.

// First pass: lines and rectangle outlines from (x, y) to (x + FOLI_X * escala_x,
// y + FOLI_Y * escala_y) with the current pen, images at (x, y) in their natural size. Texts and
// unknown types draw nothing. Throws InvalidBitmapError for an image that is not a bitmap.
void drawStaticShape(report::ReportCanvas& canvas, const db::Row& element, const PageScale& scale,
                     double x, double y);

// Second pass: a "T" element's FOLI_CADENA beginning at x with its baseline at y, in FOLI_FONT
// (else the header's FORM_FONT) at FOLI_FSIZE (else FORM_FSIZE) points. Other types draw
// nothing.
void drawStaticText(report::ReportCanvas& canvas, const db::Row& element, const db::Row& header,
                    double x, double y);

}  // namespace radevore::render
