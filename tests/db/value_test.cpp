#include "db/value.h"

#include <gtest/gtest.h>

#include <limits>

#include "db/db_error.h"
#include "db/row_set.h"
#include "support/case_printing.h"

namespace radevore::db {
namespace {

struct TextCase {
  const char* name;
  Value value;
  QChar separator;
  QString expected;
};

void PrintTo(const TextCase& c, std::ostream* os) {
  using radevore::testing::printable;
  *os << c.name << " " << printable(c.value) << " separator " << printable(QString(c.separator))
      << " -> " << printable(c.expected);
}

class ValueText : public ::testing::TestWithParam<TextCase> {};

TEST_P(ValueText, ReadsAsDocumented) {
  EXPECT_EQ(GetParam().value.toText(GetParam().separator), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ValueText,
    ::testing::Values(TextCase{"null", Value(), u'.', ""},
                      TextCase{"text_kept_with_blanks", Value::text(" A  "), u'.', " A  "},
                      TextCase{"integer", Value::integer(-42), u'.', "-42"},
                      TextCase{"integer_zero", Value::integer(0), u'.', "0"},
                      TextCase{"decimal_fraction", Value::decimal(150050, 2), u'.', "1500.5"},
                      TextCase{"decimal_whole", Value::decimal(150000, 2), u'.', "1500"},
                      TextCase{"decimal_comma", Value::decimal(150050, 2), u',', "1500,5"},
                      TextCase{"decimal_small_fraction", Value::decimal(1, 4), u'.', "0.0001"},
                      TextCase{"decimal_negative_below_one", Value::decimal(-5, 2), u'.', "-0.05"},
                      TextCase{"decimal_negative", Value::decimal(-123456, 4), u'.', "-12.3456"},
                      TextCase{"decimal_zero", Value::decimal(0, 2), u'.', "0"},
                      TextCase{"decimal_scale0", Value::decimal(77, 0), u'.', "77"},
                      TextCase{"decimal_min",
                               Value::decimal(std::numeric_limits<std::int64_t>::min(), 4), u'.',
                               "-922337203685477.5808"},
                      TextCase{"float", Value::floating(0.1), u'.', "0.1"},
                      TextCase{"float_whole", Value::floating(19.0), u'.', "19"},
                      TextCase{"float_comma", Value::floating(-2.25), u',', "-2,25"},
                      TextCase{"date", Value::date(QDate(2024, 3, 5)), u'.', "2024-03-05"},
                      TextCase{"time", Value::time(QTime(7, 5, 9, 120)), u'.', "07:05:09"},
                      TextCase{"timestamp",
                               Value::timestamp(QDateTime(QDate(2024, 12, 31), QTime(23, 59, 1))),
                               u'.', "2024-12-31 23:59:01"},
                      TextCase{"blob_as_win1252", Value::blob(QByteArray("Pa\xF1o \x80")), u'.',
                               QString::fromUtf8("Paño €")}),
    [](const auto& info) { return std::string(info.param.name); });

struct IntCase {
  const char* name;
  Value value;
  std::int64_t expected;
};

void PrintTo(const IntCase& c, std::ostream* os) {
  using radevore::testing::printable;
  *os << c.name << " " << printable(c.value) << " -> " << c.expected;
}

class ValueInteger : public ::testing::TestWithParam<IntCase> {};

TEST_P(ValueInteger, CountsNullAndNonNumbersAsZero) {
  EXPECT_EQ(GetParam().value.toIntegerOr0(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ValueInteger,
    ::testing::Values(IntCase{"null", Value(), 0}, IntCase{"integer", Value::integer(3), 3},
                      IntCase{"decimal_truncates", Value::decimal(399, 2), 3},
                      IntCase{"negative_decimal_towards_zero", Value::decimal(-399, 2), -3},
                      IntCase{"float", Value::floating(2.9), 2},
                      IntCase{"numeric_text", Value::text("12"), 12},
                      IntCase{"other_text", Value::text("abc"), 0},
                      IntCase{"date", Value::date(QDate(2024, 1, 1)), 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Value, GivenMeansNonEmptyText) {
  EXPECT_FALSE(Value().isGiven());
  EXPECT_FALSE(Value::text("").isGiven());
  EXPECT_TRUE(Value::integer(0).isGiven());
  EXPECT_TRUE(Value::text(" ").isGiven());
}

TEST(Value, AccessorOfAnotherKindThrows) {
  EXPECT_THROW(Value::integer(1).asString(), DbError);
  EXPECT_THROW(Value().asInteger(), DbError);
  EXPECT_DOUBLE_EQ(Value::decimal(150050, 2).asDouble(), 1500.5);
  EXPECT_EQ(Value::timestamp(QDateTime(QDate(2024, 1, 2), QTime(3, 4))).asDate(),
            QDate(2024, 1, 2));
}

TEST(Row, LooksUpColumnsIgnoringCaseAndNamesAnAbsentOne) {
  auto columns = std::make_shared<const Columns>(QStringList{"ARTICULO", "PRECIO"});
  Row row(columns, {Value::text("00123"), Value::decimal(150050, 2)});
  EXPECT_EQ(row.text(u"articulo"), "00123");
  EXPECT_EQ(row[u"Precio"].toText(), "1500.5");
  EXPECT_FALSE(row.has(u"BARRAS"));
  try {
    (void)row[u"BARRAS"];
    FAIL() << "no error for an absent column";
  } catch (const DbError& e) {
    EXPECT_EQ(e.text(), "Field 'BARRAS' not found");
  }
}

}  // namespace
}  // namespace radevore::db
