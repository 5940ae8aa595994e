#include "labels/amount.h"

#include <gtest/gtest.h>

#include <limits>

namespace radevore::labels {
namespace {

struct ParseCase {
  const char16_t* text;
  char16_t separator;
  std::optional<std::int64_t> units;
};

TEST(AmountParse, ReadsPlainNumbersWithTheGivenSeparator) {
  const ParseCase cases[] = {
      {u"1500.5", u'.', 15005000},
      {u"1500,5", u',', 15005000},
      {u"1500", u'.', 15000000},
      {u"0", u'.', 0},
      {u"-0.0001", u'.', -1},
      {u"-12345.6789", u'.', -123456789},
      {u"   42.10", u'.', 421000},
      {u"007.5", u'.', 75000},
      // more than four decimals: nearest, ties to even
      {u"0.00015", u'.', 2},
      {u"0.00025", u'.', 2},
      {u"0.000250001", u'.', 3},
      {u"0.00024999", u'.', 2},
      {u"0.00016", u'.', 2},
      {u"-0.00015", u'.', -2},
      {u"-0.00025", u'.', -2},
      {u"1.99995", u'.', 20000},
      {u"922337203685477.5807", u'.', std::numeric_limits<std::int64_t>::max()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
    auto parsed = Amount::parse(QString::fromUtf16(c.text), QChar(c.separator));
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->units(), *c.units);
  }
}

TEST(AmountParse, RejectsTextThatIsNotSuchANumber) {
  const ParseCase cases[] = {
      {u"", u'.', {}},
      {u"   ", u'.', {}},
      {u"-", u'.', {}},
      {u"1500.5", u',', {}},
      {u"1.500,5", u',', {}},
      {u"12a", u'.', {}},
      {u"1.", u'.', {}},
      {u".5", u'.', {}},
      {u"1.2.3", u'.', {}},
      {u"+5", u'.', {}},
      {u"5 ", u'.', {}},
      {u"dos", u'.', {}},
      {u"- 5", u'.', {}},
      {u"922337203685478", u'.', {}},
      {u"99999999999999999999999", u'.', {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
    EXPECT_FALSE(Amount::parse(QString::fromUtf16(c.text), QChar(c.separator)).has_value());
  }
}

TEST(AmountFromDecimal, ScalesAndRoundsToFourDecimals) {
  struct Case {
    std::int64_t unscaled;
    int scale;
    std::int64_t units;
  } cases[] = {
      {150050, 2, 15005000},
      {30000, 4, 30000},
      {7, 0, 70000},
      {-150050, 2, -15005000},
      {15, 5, 2},
      {25, 5, 2},
      {35, 5, 4},
      {-15, 5, -2},
      {123456789, 9, 1235},
      {1234500001, 9, 12345},
      {123450000, 9, 1234},
      {123450001, 9, 1235},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.unscaled << "e-" << c.scale);
    EXPECT_EQ(Amount::fromDecimal(c.unscaled, c.scale).units(), c.units);
  }
}

TEST(AmountTimes, MultipliesInFixedPointRoundingTiesToEven) {
  struct Case {
    std::int64_t a, b, product;
  } cases[] = {
      {12345000, 30000, 37035000},  // 1234.50 x 3.0000 = 3703.5000
      {15000, 1, 2},                // 1.50 x 0.0001 = 0.00015 -> 0.0002
      {5000, 1, 0},                 // 0.50 x 0.0001 = 0.00005 -> 0.0000
      {25000, 1, 2},                // 2.50 x 0.0001 = 0.00025 -> 0.0002
      {35000, 1, 4},                // 3.50 x 0.0001 = 0.00035 -> 0.0004
      {-15000, 1, -2},
      {-5000, 1, 0},
      {100000, 0, 0},  // a quantity of 0 gives 0
      {99999999999, 10000, 99999999999},
      // a product far beyond 64 bits before the division stays exact
      {9000000000000, 9000000, 8100000000000000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.a << " x " << c.b);
    EXPECT_EQ(Amount::fromUnits(c.a).times(Amount::fromUnits(c.b))->units(), c.product);
    EXPECT_EQ(Amount::fromUnits(c.b).times(Amount::fromUnits(c.a))->units(), c.product);
  }
}

TEST(AmountTimes, AProductBeyondSixtyFourBitsIsNoAmount) {
  const std::int64_t max = std::numeric_limits<std::int64_t>::max();
  struct Case {
    std::int64_t a, b;
    bool fits;
  } cases[] = {
      {10000000000000, 10000000000, false},  // 1e9 x 1e6, which used to print as a negative
      {-10000000000000, 10000000000, false},
      {max, 10000, true},  // x 1.0000 is the largest that fits
      {max, 10001, false},
      {std::numeric_limits<std::int64_t>::min(), 10000, true},
      {std::numeric_limits<std::int64_t>::min(), -10000, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.a << " x " << c.b);
    const auto product = Amount::fromUnits(c.a).times(Amount::fromUnits(c.b));
    EXPECT_EQ(product.has_value(), c.fits);
    if (product && c.b == 10000) {
      EXPECT_EQ(product->units(), c.a);
    }
  }
}

TEST(AmountHalf, HalvesRoundingTiesToEven) {
  struct Case {
    std::int64_t units, half;
  } cases[] = {
      {50005000, 25002500},  // 5000.50 -> 2500.25
      {4, 2},
      {1, 0},
      {3, 2},
      {5, 2},
      {7, 4},
      {-1, 0},
      {-3, -2},
      {-5, -2},
      {0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.units);
    EXPECT_EQ(Amount::fromUnits(c.units).half().units(), c.half);
  }
}

TEST(AmountRoundedTo, RoundsToTheGivenDecimalsTiesToEven) {
  struct Case {
    std::int64_t units;
    int decimals;
    std::int64_t rounded;
  } cases[] = {
      {123456789, 4, 123456789}, {123456789, 3, 123456790},
      {123456789, 2, 123456800}, {123456789, 0, 123460000},
      {12500, 1, 12000},         {13500, 1, 14000},
      {12501, 1, 13000},         {-12500, 1, -12000},
      {-13500, 1, -14000},       {5000, 0, 0},
      {15000, 0, 20000},         {-5000, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.units << " to " << c.decimals);
    EXPECT_EQ(Amount::fromUnits(c.units).roundedTo(c.decimals).units(), c.rounded);
  }
}

TEST(AmountFormat, FormatsTheAbsoluteValueWithGroupsAndDecimals) {
  struct Case {
    std::int64_t units;
    int decimals;
    char16_t dec, group;
    const char16_t* text;
  } cases[] = {
      {123456000, 2, u',', u'.', u"12.345,60"},
      {123456000, 2, u'.', u',', u"12,345.60"},
      {123456000, 0, u',', u'.', u"12.346"},
      {123456000, 3, u'.', u',', u"12,345.600"},
      {-123456000, 2, u'.', u',', u"12,345.60"},
      {1234567890000, 2, u'.', u',', u"123,456,789.00"},
      {9990000, 2, u'.', u',', u"999.00"},
      {9999999, 2, u'.', u',', u"1,000.00"},
      {123456000, 2, u'.', 0, u"12345.60"},
      {0, 2, u'.', u',', u"0.00"},
      {49, 2, u'.', u',', u"0.00"},
      {125, 2, u'.', u',', u"0.01"},
      {1, 4, u'.', u',', u"0.0001"},
      {std::numeric_limits<std::int64_t>::min(), 4, u'.', u',', u"922,337,203,685,477.5808"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
    EXPECT_EQ(Amount::fromUnits(c.units).formatAbsolute(c.decimals, QChar(c.dec), QChar(c.group)),
              QString::fromUtf16(c.text));
  }
}

TEST(AmountFormat, PlainTextDropsTrailingZerosAndKeepsTheSign) {
  struct Case {
    std::int64_t units;
    char16_t dec;
    const char16_t* text;
  } cases[] = {
      {15005000, u'.', u"1500.5"},
      {15005000, u',', u"1500,5"},
      {15000000, u'.', u"1500"},
      {190000, u'.', u"19"},
      {25002500, u'.', u"2500.25"},
      {-15005000, u'.', u"-1500.5"},
      {1, u'.', u"0.0001"},
      {-1, u',', u"-0,0001"},
      {0, u'.', u"0"},
      {12345670000, u'.', u"1234567"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
    EXPECT_EQ(Amount::fromUnits(c.units).plainText(QChar(c.dec)), QString::fromUtf16(c.text));
  }
}

TEST(AmountFormat, PlainTextReadsBackToTheSameAmount) {
  for (std::int64_t units :
       {std::int64_t{0}, std::int64_t{1}, std::int64_t{-7}, std::int64_t{15005000},
        std::numeric_limits<std::int64_t>::max(), std::numeric_limits<std::int64_t>::min() + 1}) {
    SCOPED_TRACE(units);
    auto back = Amount::parse(Amount::fromUnits(units).plainText(u','), u',');
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->units(), units);
  }
}

}  // namespace
}  // namespace radevore::labels
