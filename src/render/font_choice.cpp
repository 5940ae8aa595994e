#include "render/font_choice.h"

#include <algorithm>
#include <limits>

namespace radevore::render {

int intValueOf(const db::Value& value) {
  const std::int64_t v = value.toIntegerOr0();
  return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(),
                                                   std::numeric_limits<int>::max()));
}

FontChoice chooseFont(const db::Row& element, QStringView faceColumn, QStringView sizeColumn,
                      const db::Row& header) {
  FontChoice font;
  const db::Value& face = element[faceColumn];
  font.face = face.isGiven() ? face.toText() : header.text(u"FORM_FONT");
  const db::Value& size = element[sizeColumn];
  font.size = intValueOf(size.isGiven() ? size : header[u"FORM_FSIZE"]);
  return font;
}

}  // namespace radevore::render
