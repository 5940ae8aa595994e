#pragma once

#include <QString>
#include <QStringView>

#include "db/row_set.h"

namespace radevore::render {

// The face and size an element prints in: its own face column when given (non-empty text),
// else the header's FORM_FONT; its own size column when given (so 0 counts), else the header's
// FORM_FSIZE (null reads as 0).
struct FontChoice {
  QString face;
  int size = 0;
};

FontChoice chooseFont(const db::Row& element, QStringView faceColumn, QStringView sizeColumn,
                      const db::Row& header);

// An integer column as an int for canvas calls: null reads as 0, values beyond int are clamped.
int intValueOf(const db::Value& value);

}  // namespace radevore::render
