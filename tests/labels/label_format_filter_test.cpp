#include <gtest/gtest.h>

#include "db/sql_text.h"
#include "labels/label_format.h"

namespace radevore::labels {
namespace {

struct QuoteCase {
  QString text;
  QString literal;
};

TEST(SqlQuoted, EnclosesInQuotesAndDoublesInnerQuotes) {
  const QuoteCase cases[] = {{"RT01", "'RT01'"},
                             {"O'X", "'O''X'"},
                             {"", "''"},
                             {"'", "''''"},
                             {"a''b ", "'a''''b '"},
                             {QString::fromUtf8("Rótulo"), QString::fromUtf8("'Rótulo'")}};
  for (const QuoteCase& c : cases)
    EXPECT_EQ(db::sqlQuoted(c.text), c.literal) << c.text.toStdString();
}

TEST(FormatFilterText, SelectsTypeThirtySixAndTheQuotedPrefix) {
  EXPECT_EQ(formatFilterText("RT01"), "tido_cod = 36 and pref_pre = 'RT01'");
  EXPECT_EQ(formatFilterText("O'X"), "tido_cod = 36 and pref_pre = 'O''X'");
  EXPECT_EQ(formatFilterText(""), "tido_cod = 36 and pref_pre = ''");
}

}  // namespace
}  // namespace radevore::labels
