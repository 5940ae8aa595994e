#pragma once

#include <cstdint>

#include "db/row_set.h"
#include "render/page_scale.h"

namespace radevore::render {

// Where the labels of a sheet go. The label in column `columna` and row `fila` has its origin at
// FORM_ENTRELINEA * columna * escala_x across and FORM_FSIZE * fila * escala_y down from the
// page's top-left corner; an element at (POSX, POSY) of that label lies at
//   x = POSX * escala_x + FORM_ENTRELINEA * columna * escala_x
//   y = POSY * escala_y + FORM_FSIZE * fila * escala_y
// with null values read as 0, computed in double.
class LabelLayout {
 public:
  LabelLayout(const db::Row& header, const PageScale& scale);

  double x(const db::Value& posX, std::int64_t columna) const;
  double y(const db::Value& posY, std::int64_t fila) const;
  // FORM_NROITEMS, labels per row (null reads as 0).
  std::int64_t labelsPerRow() const { return labelsPerRow_; }
  const PageScale& scale() const { return scale_; }

 private:
  PageScale scale_;
  std::int64_t pitchX_;  // FORM_ENTRELINEA
  std::int64_t pitchY_;  // FORM_FSIZE
  std::int64_t labelsPerRow_;
};

}  // namespace radevore::render
