#include "render/text_output.h"

#include <gtest/gtest.h>

#include "format_rows.h"
#include "report/recording_canvas.h"

namespace radevore::render {
namespace {

using namespace radevore::testing;

db::Row cutElement(db::Value ini, db::Value length) {
  return makeRow(dataColumns(), {{"DAFO_DATO", txt("CODIGO")},
                                 {"DAFO_INI", std::move(ini)},
                                 {"DAFO_LONG", std::move(length)}});
}

struct CutCase {
  const char16_t* value;
  db::Value ini;
  db::Value length;
  const char16_t* printed;
};

TEST(TextOutput, CutsByStartAndLength) {
  const CutCase cases[] = {
      {u"ABCDEFGH", num(3), num(4), u"CDEF"},
      {u"ABCDEFGH", nul(), num(4), u"ABCD"},
      {u"ABCDEFGH", num(0), num(4), u"ABCD"},
      {u"ABCDEFGH", num(-5), num(2), u"AB"},
      {u"ABCDEFGH", num(7), num(4), u"GH"},
      {u"ABCDEFGH", num(8), num(1), u"H"},
      {u"ABCDEFGH", num(9), num(4), u""},
      {u"ABCDEFGH", nul(), num(-1), u""},
      {u"ABCDEFGH", num(3), num(-1), u""},
      {u"ABCDEFGH", num(1), num(2147483647), u"ABCDEFGH"},
      // no cut: length null or 0, whatever the start
      {u"ABCDEFGH", num(3), nul(), u"ABCDEFGH"},
      {u"ABCDEFGH", num(3), num(0), u"ABCDEFGH"},
      {u"ABCDEFGH", num(9), num(0), u"ABCDEFGH"},
      // characters, not bytes or UTF-16 units
      {u"MAÑANA", nul(), num(3), u"MAÑ"},
      {u"MAÑANA", num(3), num(2), u"ÑA"},
      {u"\U0001F600AB", num(2), num(1), u"A"},
      {u"\U0001F600AB", num(1), num(1), u"\U0001F600"},
      {u"", num(1), num(3), u""},
  };
  for (const CutCase& c : cases) {
    const QString value = QString::fromUtf16(c.value);
    SCOPED_TRACE(value.toStdString() + " ini " + c.ini.toText().toStdString() + " long " +
                 c.length.toText().toStdString());
    report::RecordingCanvas canvas;
    imprima_cadena(canvas, value, 1.25, 2.5, cutElement(c.ini, c.length));
    ASSERT_EQ(canvas.calls().size(), 1u);
    const auto& call = canvas.calls()[0];
    EXPECT_EQ(call.op, "PrintAt");
    EXPECT_EQ(call.text, QString::fromUtf16(c.printed));
    EXPECT_DOUBLE_EQ(call.numbers[0], 1.25);
    EXPECT_DOUBLE_EQ(call.numbers[1], 2.5);
  }
}

TEST(TextOutput, PrintsAnEmptyTextToo) {
  report::RecordingCanvas canvas;
  imprima_cadena(canvas, QString(), 1, 2, cutElement(nul(), nul()));
  ASSERT_EQ(canvas.ops(), std::vector<QString>{"PrintAt"});
  EXPECT_EQ(canvas.calls()[0].text, "");
}

TEST(TextOutput, AnElementWithoutCutColumnsPrintsTheWholeText) {
  const auto columns = std::make_shared<const db::Columns>(QStringList{"DAFO_DATO"});
  report::RecordingCanvas canvas;
  imprima_cadena(canvas, "ABCDEFGH", 1, 2, db::Row(columns, {txt("CODIGO")}));
  ASSERT_EQ(canvas.callsOf("PrintAt").size(), 1u);
  EXPECT_EQ(canvas.callsOf("PrintAt")[0].text, "ABCDEFGH");
}

TEST(DecimalPlaces, ReadsAWholeIntegerElseTwo) {
  const std::pair<const char*, int> cases[] = {
      {"", 2},
      {"2,5", 2},
      {"2.5", 2},
      {"dos", 2},
      {"3 ", 2},
      {"3a", 2},
      {"-", 2},
      {" ", 2},
      {"0", 0},
      {"1", 1},
      {"3", 3},
      {"  3", 3},
      {"+3", 3},
      {"4", 4},
      {"004", 4},
      {"-1", 0},
      {"-0", 0},
      {"7", 4},
      {"2147483647", 4},
      {"2147483648", 2},
      {"-2147483648", 0},
      {"99999999999999999999", 2},
  };
  for (const auto& [text, places] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(decimalPlaces(QString::fromLatin1(text)), places);
  }
}

struct NumberCase {
  const char* locale;
  const char16_t* value;
  bool currency;
  const char* decimals;
  const char16_t* printed;  // nullptr: no canvas call
};

TEST(NumberOutput, FormatsWithTheRegionalSettingsAlignedRight) {
  const NumberCase cases[] = {
      {"es_CO", u"12345,6", false, "2", u"12.345,60"},
      {"en_US", u"12345.6", false, "2", u"12,345.60"},
      {"de_DE", u"12345,6", false, "2", u"12.345,60"},
      {"es_CO", u"12345,6", false, "0", u"12.346"},
      {"en_US", u"12345.6", false, "3", u"12,345.600"},
      {"en_US", u"1234567.5", false, "0", u"1,234,568"},
      {"en_US", u"12345.6", false, "", u"12,345.60"},
      {"en_US", u"12345.6", false, "2,5", u"12,345.60"},
      {"en_US", u"12345.6", false, "dos", u"12,345.60"},
      {"en_US", u"0.0002", false, "4", u"0.0002"},
      {"en_US", u"0.0002", false, "9", u"0.0002"},
      {"en_US", u"12.5", false, "-1", u"12"},
      {"en_US", u"0", false, "2", u"0.00"},
      {"en_US", u"0.125", false, "2", u"0.12"},
      {"en_US", u"0.135", false, "2", u"0.14"},
      {"en_US", u"999.995", false, "2", u"1,000.00"},
      {"es_CO", u"-12345,6", false, "2", u"-12.345,60"},
      {"en_US", u"-12345.6", false, "2", u"-12,345.60"},
      {"en_US", u"-0.004", false, "2", u"0.00"},
      {"es_CO", u"12345,6", true, "2", u"$12.345,60"},
      {"en_US", u"12345.6", true, "2", u"$12,345.60"},
      {"de_DE", u"12345,6", true, "2", u"12.345,60\u00a0€"},
      {"nl_NL", u"12345,6", true, "0", u"€\u00a012.346"},
      {"es_CO", u"-12345,6", true, "2", u"$-12.345,60"},
      {"en_US", u"-12345.6", true, "2", u"($12,345.60)"},
      {"de_DE", u"-12345,6", true, "2", u"-12.345,60\u00a0€"},
      {"C", u"-12345.6", true, "2", u"-12,345.60"},
      // nothing to print: empty value, or not a number in this region's form
      {"en_US", u"", false, "2", nullptr},
      {"en_US", u"", true, "2", nullptr},
      {"en_US", u"12345,6", false, "2", nullptr},
      {"de_DE", u"12.345,6", false, "2", nullptr},
      {"en_US", u"abc", true, "2", nullptr},
  };
  for (const NumberCase& c : cases) {
    const QString value = QString::fromUtf16(c.value);
    SCOPED_TRACE(std::string(c.locale) + " " + value.toStdString() + " d=" + c.decimals +
                 (c.currency ? " currency" : " number"));
    const RegionalSettings regional{QLocale(QString::fromLatin1(c.locale))};
    report::RecordingCanvas canvas;
    imprima_numero(canvas, value, 3.5, 1.75, c.currency, QString::fromLatin1(c.decimals), regional);
    if (c.printed == nullptr) {
      EXPECT_TRUE(canvas.calls().empty());
      continue;
    }
    ASSERT_EQ(canvas.calls().size(), 1u);
    const auto& call = canvas.calls()[0];
    EXPECT_EQ(call.op, "PrintRightAt");
    EXPECT_EQ(call.text, QString::fromUtf16(c.printed));
    EXPECT_DOUBLE_EQ(call.numbers[0], 3.5);
    EXPECT_DOUBLE_EQ(call.numbers[1], 1.75);
  }
}

TEST(NumberOutput, NumbersOfDifferentLengthsEndAtTheSameX) {
  const RegionalSettings regional{QLocale(QStringLiteral("es_CO"))};
  report::RecordingCanvas canvas;
  imprima_numero(canvas, "5", 4.0, 1.0, true, "2", regional);
  imprima_numero(canvas, "1234567,89", 4.0, 1.5, true, "2", regional);
  const auto calls = canvas.callsOf("PrintRightAt");
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].text, "$5,00");
  EXPECT_EQ(calls[1].text, "$1.234.567,89");
  EXPECT_DOUBLE_EQ(calls[0].numbers[0], calls[1].numbers[0]);
  EXPECT_TRUE(canvas.callsOf("PrintAt").empty());
}

TEST(RegionalSettings, LearnsTheCurrencyPatternsFromTheLocale) {
  struct Case {
    const char* locale;
    RegionalSettings::CurrencyPlacement placement;
    const char16_t* positive;
    const char16_t* negative;
  } cases[] = {
      {"en_US", RegionalSettings::CurrencyPlacement::Before, u"¤n", u"(¤n)"},
      {"es_CO", RegionalSettings::CurrencyPlacement::Before, u"¤n", u"¤-n"},
      {"de_DE", RegionalSettings::CurrencyPlacement::AfterWithSpace, u"n\u00a0¤", u"-n\u00a0¤"},
      {"nl_NL", RegionalSettings::CurrencyPlacement::BeforeWithSpace, u"¤\u00a0n", u"(¤\u00a0n)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.locale);
    const RegionalSettings r{QLocale(QString::fromLatin1(c.locale))};
    EXPECT_EQ(r.currencyPlacement(), c.placement);
    EXPECT_EQ(r.currencyPattern(), QString::fromUtf16(c.positive));
    EXPECT_EQ(r.negativeCurrencyPattern(), QString::fromUtf16(c.negative));
  }
}

TEST(RegionalSettings, AnswersSeparatorsDatesAndNames) {
  const RegionalSettings es{QLocale(QStringLiteral("es_CO"))};
  EXPECT_EQ(es.currencySymbol(), "$");
  EXPECT_EQ(es.thousandsSeparator(), u'.');
  EXPECT_EQ(es.decimalSeparator(), u',');
  EXPECT_EQ(es.weekdayName(2), "martes");
  EXPECT_EQ(es.monthName(3), "marzo");
  EXPECT_EQ(es.formatShortDate(QDate(2024, 3, 5)),
            QLocale(QStringLiteral("es_CO")).toString(QDate(2024, 3, 5), QLocale::ShortFormat));
  EXPECT_EQ(es.formatDateInWords(QDate(2024, 3, 5)), "martes, marzo 5, 2024");

  const RegionalSettings us{QLocale(QStringLiteral("en_US"))};
  EXPECT_EQ(us.formatShortDate(QDate(2024, 3, 5)), "3/5/24");
  EXPECT_EQ(us.formatDateInWords(QDate(2024, 12, 25)), "Wednesday, December 25, 2024");
  EXPECT_EQ(us.formatDateInWords(QDate(987, 1, 1)).right(4), "0987");
  EXPECT_EQ(us.formatTimestamp(QDateTime(QDate(2024, 3, 5), QTime(0, 0))), "3/5/24");
  EXPECT_EQ(us.formatTimestamp(QDateTime(QDate(2024, 3, 5), QTime(17, 45, 10))),
            "3/5/24 5:45:10 PM");
}

// Month and weekday names as they stand alone (the nominative form the Windows long names
// give), not the in-sentence form some languages use after a day number ("marca", "tiistaina").
TEST(RegionalSettings, DateInWordsUsesTheStandaloneMonthName) {
  struct Case {
    const char* locale;
    const char16_t* month;       // March, standing alone
    const char16_t* inSentence;  // the form that must not appear
    const char16_t* words;       // Tuesday 5 March 2024
  };
  const Case cases[] = {
      {"ru_RU", u"март", u"марта", u"вторник, март 5, 2024"},
      {"ca_ES", u"març", u"de març", u"dimarts, març 5, 2024"},
      {"pl_PL", u"marzec", u"marca", u"wtorek, marzec 5, 2024"},
      {"uk_UA", u"березень", u"березня", u"вівторок, березень 5, 2024"},
      {"cs_CZ", u"březen", u"března", u"úterý, březen 5, 2024"},
      {"el_GR", u"Μάρτιος", u"Μαρτίου", u"Τρίτη, Μάρτιος 5, 2024"},
      {"fi_FI", u"maaliskuu", u"maaliskuuta", u"tiistai, maaliskuu 5, 2024"},
      {"es_CO", u"marzo", u"marzo", u"martes, marzo 5, 2024"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.locale);
    const QLocale locale(QString::fromLatin1(c.locale));
    EXPECT_EQ(locale.monthName(3, QLocale::LongFormat), QString::fromUtf16(c.inSentence));
    const RegionalSettings r{locale};
    EXPECT_EQ(r.monthName(3), QString::fromUtf16(c.month));
    EXPECT_EQ(r.formatDateInWords(QDate(2024, 3, 5)), QString::fromUtf16(c.words));
  }
  // Finnish puts the weekday in the essive inside a sentence.
  const QLocale finnish(QStringLiteral("fi_FI"));
  EXPECT_EQ(finnish.dayName(2, QLocale::LongFormat), "tiistaina");
  EXPECT_EQ(RegionalSettings(finnish).weekdayName(2), "tiistai");
}

TEST(RegionalSettings, DefaultsToTheSystemLocale) {
  const RegionalSettings r;
  EXPECT_EQ(r.locale(), QLocale::system());
}

}  // namespace
}  // namespace radevore::render
