#include "render/page_scale.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace radevore::render {

std::int64_t roundToTenThousandths(double quotient) {
  const double scaled = quotient * 10000.0;
  if (!std::isfinite(scaled) || std::fabs(scaled) > 9.0e18) return 0;

  const double lower = std::floor(scaled);
  const double fraction = scaled - lower;
  // The quotient comes from a binary division: a decimal tie such as 0.00005 lands a few ulps
  // away from the exact half.
  const double noise =
      64.0 * std::numeric_limits<double>::epsilon() * std::max(1.0, std::fabs(scaled));
  if (std::fabs(fraction - 0.5) <= noise) {
    const auto low = static_cast<std::int64_t>(lower);
    return (low % 2 == 0) ? low : low + 1;
  }
  return std::llround(scaled);
}

PageScale pageScaleFor(double pageWidth, double pageHeight) {
  PageScale scale;
  scale.yTenThousandths = roundToTenThousandths(pageHeight / 2000.0);
  scale.xTenThousandths = roundToTenThousandths(pageWidth / 1500.0);
  return scale;
}

}  // namespace radevore::render
