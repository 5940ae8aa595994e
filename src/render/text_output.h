#pragma once

#include <QString>
#include <QStringView>
#include <optional>

#include "db/row_set.h"
#include "db/value.h"
#include "render/regional_settings.h"
#include "report/report_canvas.h"

namespace radevore::render {

// The part of `value` an element's cut keeps: `start` counted from 1 (null reads as 0, below 1
// as 1) and `length` characters (counted as characters, not UTF-16 units). The cut applies only
// when the length's text form is neither empty nor "0"; a start past the end or a negative
// length keep nothing, a length past the end keeps the rest.
QString cutText(const QString& value, const db::Value& start, const db::Value& length);

// Text output: the value cut by the element's DAFO_INI / DAFO_LONG, left end at x, baseline at
// y. PrintAt is called also for an empty text. A column the element row lacks reads as null.
void imprima_cadena(report::ReportCanvas& canvas, const QString& value, double x, double y,
                    const db::Row& element);

// The decimal places a decimals text asks for: its integer value when the whole text reads as
// one (leading blanks, optional sign, digits), else 2; then held to 0..4, the places an amount
// has (below 0 prints as 0, above 4 as 4).
int decimalPlaces(QStringView decimals);

// Number output: the value, read with the regional decimal separator, in the regional currency
// or number format with decimalPlaces(decimals) places, right end at x, baseline at y.
// An empty value, or one that does not read as a number, makes no canvas call.
void imprima_numero(report::ReportCanvas& canvas, const QString& value, double x, double y,
                    bool currency, const QString& decimals, const RegionalSettings& regional);

}  // namespace radevore::render
