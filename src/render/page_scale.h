#pragma once

#include <cstdint>

namespace radevore::render {

// The size of one format unit on the page, in inches, held as a count of ten-thousandths:
// escala_x is the page width / 1500, escala_y the page height / 2000, each rounded to four
// decimals (ties to even). The rounding is part of the geometry: every position is a format value
// times the rounded factor.
struct PageScale {
  std::int64_t xTenThousandths = 0;
  std::int64_t yTenThousandths = 0;

  double x() const { return static_cast<double>(xTenThousandths) / 10000.0; }
  double y() const { return static_cast<double>(yTenThousandths) / 10000.0; }
};

// The quotient rounded to the nearest ten-thousandth, ties to even. A quotient whose scaled value
// lies within floating-point noise of a half counts as a tie. Not finite: 0.
std::int64_t roundToTenThousandths(double quotient);

// escala_y from the page height, then escala_x from the page width.
PageScale pageScaleFor(double pageWidth, double pageHeight);

}  // namespace radevore::render
