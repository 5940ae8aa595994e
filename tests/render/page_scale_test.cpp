#include "render/page_scale.h"

#include <gtest/gtest.h>

#include "support/case_printing.h"

namespace radevore::render {
namespace {

struct ScaleCase {
  double width;
  double height;
  std::int64_t x;  // ten-thousandths
  std::int64_t y;
};

void PrintTo(const ScaleCase& c, std::ostream* os) {
  *os << c.width << "x" << c.height << " -> " << c.x << ", " << c.y;
}

class PageScaleTest : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(PageScaleTest, RoundsBothFactorsToFourDecimals) {
  const ScaleCase c = GetParam();
  const PageScale scale = pageScaleFor(c.width, c.height);
  EXPECT_EQ(scale.xTenThousandths, c.x) << c.width << " x " << c.height;
  EXPECT_EQ(scale.yTenThousandths, c.y) << c.width << " x " << c.height;
}

INSTANTIATE_TEST_SUITE_P(
    Pages, PageScaleTest,
    ::testing::Values(ScaleCase{8.5, 11.0, 57, 55},        // letter: 0.005667 -> 0.0057
                      ScaleCase{8.2677, 11.6929, 55, 58},  // A4 in inches
                      ScaleCase{11.0, 8.5, 73, 42},        // 8.5 / 2000 = 0.00425: tie to even
                      ScaleCase{4.0, 2.5, 27, 12},         // 0.00125: tie to even, down
                      ScaleCase{0.225, 0.7, 2, 4},         // 0.00015 -> 2, 0.00035 -> 4
                      ScaleCase{0.075, 0.1, 0, 0},         // 0.00005 -> 0, 0.00005 -> 0
                      ScaleCase{210.0 / 25.4, 297.0 / 25.4, 55, 58}, ScaleCase{0.0, 0.0, 0, 0}));

TEST(RoundToTenThousandths, TiesGoToTheEvenNeighbour) {
  EXPECT_EQ(roundToTenThousandths(0.00005), 0);
  EXPECT_EQ(roundToTenThousandths(0.00015), 2);
  EXPECT_EQ(roundToTenThousandths(0.00025), 2);
  EXPECT_EQ(roundToTenThousandths(0.00425), 42);
  EXPECT_EQ(roundToTenThousandths(0.00435), 44);
  EXPECT_EQ(roundToTenThousandths(-0.00015), -2);
  EXPECT_EQ(roundToTenThousandths(-0.00025), -2);
}

TEST(RoundToTenThousandths, NonTiesGoToTheNearest) {
  EXPECT_EQ(roundToTenThousandths(8.5 / 1500.0), 57);
  EXPECT_EQ(roundToTenThousandths(0.0055), 55);
  EXPECT_EQ(roundToTenThousandths(0.000250001), 3);
  EXPECT_EQ(roundToTenThousandths(0.000249999), 2);
}

TEST(RoundToTenThousandths, NotFiniteGivesZero) {
  EXPECT_EQ(roundToTenThousandths(std::numeric_limits<double>::infinity()), 0);
  EXPECT_EQ(roundToTenThousandths(std::numeric_limits<double>::quiet_NaN()), 0);
}

}  // namespace
}  // namespace radevore::render
