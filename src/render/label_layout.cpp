#include "render/label_layout.h"

namespace radevore::render {

LabelLayout::LabelLayout(const db::Row& header, const PageScale& scale)
    : scale_(scale),
      pitchX_(header[u"FORM_ENTRELINEA"].toIntegerOr0()),
      pitchY_(header[u"FORM_FSIZE"].toIntegerOr0()),
      labelsPerRow_(header[u"FORM_NROITEMS"].toIntegerOr0()) {}

double LabelLayout::x(const db::Value& posX, std::int64_t columna) const {
  const double unit = scale_.x();
  return static_cast<double>(posX.toIntegerOr0()) * unit +
         static_cast<double>(pitchX_) * static_cast<double>(columna) * unit;
}

double LabelLayout::y(const db::Value& posY, std::int64_t fila) const {
  const double unit = scale_.y();
  return static_cast<double>(posY.toIntegerOr0()) * unit +
         static_cast<double>(pitchY_) * static_cast<double>(fila) * unit;
}

}  // namespace radevore::render
