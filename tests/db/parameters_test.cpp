#include <gtest/gtest.h>

#include "db/db_error.h"
#include "db/statement.h"
#include "db/transaction.h"
#include "db_test_support.h"
#include "support/case_printing.h"

namespace radevore::db {
namespace {

const char* kSchema =
    "CREATE TABLE P (I INTEGER, N NUMERIC(15,2), D DOUBLE PRECISION, S VARCHAR(10), C CHAR(3), "
    "DT DATE, TM TIME, TS TIMESTAMP, BB BLOB SUB_TYPE 0);";

struct ParamCase {
  const char* name;
  const char* column;
  Value given;
  Value stored;
};

void PrintTo(const ParamCase& c, std::ostream* os) {
  using radevore::testing::printable;
  *os << c.name << " " << c.column << " given " << printable(c.given) << " stored "
      << printable(c.stored);
}

class Parameters : public ::testing::TestWithParam<ParamCase> {};

// Each value kind goes to a column of its own or a neighbouring type; the server converts.
TEST_P(Parameters, ReachTheColumnConverted) {
  testing::ScratchDb scratch(kSchema);
  Attachment att = scratch.open();
  const QString column = QString::fromLatin1(GetParam().column);
  att.execute(QStringLiteral("INSERT INTO P (%1) VALUES (?)").arg(column), {GetParam().given});
  RowSet rows = att.query(QStringLiteral("SELECT %1 FROM P").arg(column));
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows.rows[0].at(0), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, Parameters,
    ::testing::Values(
        ParamCase{"integer", "I", Value::integer(-12), Value::integer(-12)},
        ParamCase{"integer_to_numeric", "N", Value::integer(15), Value::decimal(1500, 2)},
        ParamCase{"decimal_rescaled", "N", Value::decimal(12345, 4), Value::decimal(123, 2)},
        ParamCase{"text_to_integer", "I", Value::text("42"), Value::integer(42)},
        ParamCase{"text_to_numeric", "N", Value::text("1500.5"), Value::decimal(150050, 2)},
        ParamCase{"float", "D", Value::floating(0.25), Value::floating(0.25)},
        ParamCase{"decimal_to_double", "D", Value::decimal(-125, 2), Value::floating(-1.25)},
        ParamCase{"text", "S", Value::text("A'1"), Value::text("A'1")},
        ParamCase{"empty_text", "S", Value::text(""), Value::text("")},
        ParamCase{"text_to_char_padded", "C", Value::text("x"), Value::text("x  ")},
        ParamCase{"null", "I", Value(), Value()},
        ParamCase{"date", "DT", Value::date(QDate(1858, 11, 17)), Value::date(QDate(1858, 11, 17))},
        ParamCase{"time", "TM", Value::time(QTime(13, 14, 15, 500)),
                  Value::time(QTime(13, 14, 15, 500))},
        ParamCase{"timestamp", "TS", Value::timestamp(QDateTime(QDate(2030, 1, 2), QTime(3, 4, 5))),
                  Value::timestamp(QDateTime(QDate(2030, 1, 2), QTime(3, 4, 5)))},
        ParamCase{"blob", "BB", Value::blob(QByteArray("\x01\x00\x02", 3)),
                  Value::blob(QByteArray("\x01\x00\x02", 3))}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Parameters, TextTooLongForTheColumnIsFirebirdsError) {
  testing::ScratchDb scratch(kSchema);
  Attachment att = scratch.open();
  try {
    att.execute("INSERT INTO P (S) VALUES (?)", {Value::text("12345678901")});
    FAIL() << "no error";
  } catch (const DbError& e) {
    EXPECT_TRUE(e.text().contains("string right truncation")) << e.text().toStdString();
  }
}

TEST(Parameters, WrongCountIsAnError) {
  testing::ScratchDb scratch(kSchema);
  Attachment att = scratch.open();
  EXPECT_THROW(att.execute("INSERT INTO P (I, S) VALUES (?, ?)", {Value::integer(1)}), DbError);
}

TEST(Parameters, PreparedStatementRunsWithNewValuesEachTime) {
  testing::ScratchDb scratch(kSchema + QStringLiteral("INSERT INTO P (I, S) VALUES (1, 'uno');"
                                                      "INSERT INTO P (I, S) VALUES (2, 'dos');"));
  Attachment att = scratch.open();
  Transaction tr = att.startTransaction(TransactionMode::ReadOnly);
  Statement lookup = att.prepare(tr, "SELECT S FROM P WHERE I = ?");
  EXPECT_EQ(lookup.execute(tr, {Value::integer(2)}).rows.at(0).text(u"S"), "dos");
  EXPECT_EQ(lookup.execute(tr, {Value::integer(1)}).rows.at(0).text(u"S"), "uno");
  EXPECT_TRUE(lookup.execute(tr, {Value::integer(3)}).empty());
  Statement all = att.prepare(tr, "SELECT I FROM P ORDER BY I");
  RowSet first = all.executeFirst(tr);
  ASSERT_EQ(first.size(), 1u);
  EXPECT_EQ(first.rows[0].at(0), Value::integer(1));
  EXPECT_EQ(all.execute(tr).size(), 2u);
}

}  // namespace
}  // namespace radevore::db
