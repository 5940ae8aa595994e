#include "label_ledger.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QMap>
#include <QRegularExpression>
#include <QSet>

#include "pdf_probe.h"

namespace radevore::testing {

QString labelCode(int number) {
  return QStringLiteral("Q%1").arg(number, 5, 10, QLatin1Char('0'));
}

namespace {

QString queueLabelsBlock(int first, int count) {
  return QStringLiteral(
             "EXECUTE BLOCK AS DECLARE I INTEGER = %1; BEGIN WHILE (I < %2) DO BEGIN "
             "INSERT INTO ROTULOS_PENDIENTES (PREF_PRE, ARTI_COD) VALUES ('RT01', 'Q' || "
             "LPAD(:I, 5, '0')); I = I + 1; END END")
      .arg(first)
      .arg(first + count);
}

}  // namespace

QString queueLabelsSql(int first, int count) {
  return QStringLiteral("SET TERM ^ ;\n") + queueLabelsBlock(first, count) +
         QStringLiteral("^\nSET TERM ; ^\nCOMMIT;\n");
}

void queueLabels(const db::ConnectionParams& company, int first, int count) {
  db::Attachment attachment = db::Attachment::open(company);
  attachment.execute(queueLabelsBlock(first, count));
}

QStringList queuedCodes(const db::ConnectionParams& company) {
  db::Attachment attachment = db::Attachment::open(company);
  QStringList codes;
  for (const db::Row& row :
       attachment.query(QStringLiteral("SELECT ARTI_COD FROM ROTULOS_PENDIENTES ORDER BY ROPE_ID"))
           .rows) {
    codes.append(row.text(u"ARTI_COD"));
  }
  return codes;
}

QStringList printedCodes(const QString& pdfDirectory) {
  static const QRegularExpression code(QStringLiteral("^Q\\d{5}$"));
  QStringList codes;
  const QDir folder(pdfDirectory);
  for (const QString& name : folder.entryList({QStringLiteral("*.pdf")}, QDir::Files)) {
    for (const PdfWord& word : pdfWords(folder.filePath(name))) {
      if (code.match(word.text).hasMatch()) codes.append(word.text);
    }
  }
  return codes;
}

void expectLedger(const QStringList& queuedBefore, const QStringList& printed,
                  const QStringList& queuedAfter) {
  const QSet<QString> before(queuedBefore.begin(), queuedBefore.end());
  const QSet<QString> printedSet(printed.begin(), printed.end());
  const QSet<QString> after(queuedAfter.begin(), queuedAfter.end());
  EXPECT_EQ(printedSet.size(), printed.size()) << "a label was printed twice";
  EXPECT_EQ(after.size(), queuedAfter.size()) << "a label is queued twice";
  EXPECT_TRUE(QSet<QString>(printedSet).intersect(after).isEmpty())
      << "a label was printed and is still queued";
  EXPECT_EQ(QSet<QString>(printedSet).unite(after), before)
      << "printed " << printed.size() << " + queued " << queuedAfter.size() << " != queued before "
      << queuedBefore.size();
}

QStringList queuedArticles(db::Attachment& company, const QString& prefix) {
  const db::RowSet rows = company.query(
      QStringLiteral("SELECT ARTI_COD FROM ROTULOS_PENDIENTES WHERE PREF_PRE = ? ORDER BY ROPE_ID"),
      {db::Value::text(prefix)});
  QStringList codes;
  for (const db::Row& row : rows.rows) codes << row.at(0).toText();
  return codes;
}

QStringList queuedArticles(const db::ConnectionParams& company, const QString& prefix) {
  db::Attachment attachment = db::Attachment::open(company);
  return queuedArticles(attachment, prefix);
}

QStringList numberedArticles(int count, const QString& codePrefix) {
  QStringList codes;
  codes.reserve(count);
  for (int i = 1; i <= count; ++i) codes << codePrefix + QString::number(i).rightJustified(5, u'0');
  return codes;
}

QStringList queueNumberedLabels(db::Attachment& company, const QString& prefix, int count,
                                const QString& codePrefix) {
  company.execute(
      QStringLiteral("EXECUTE BLOCK (P VARCHAR(6) = ?, C VARCHAR(10) = ?, N INTEGER = ?) AS "
                     "DECLARE I INTEGER = 1; "
                     "BEGIN "
                     "  WHILE (I <= N) DO BEGIN "
                     "    INSERT INTO ROTULOS_PENDIENTES (PREF_PRE, ARTI_COD) "
                     "    VALUES (:P, :C || LPAD(:I, 5, '0')); "
                     "    I = I + 1; "
                     "  END "
                     "END"),
      {db::Value::text(prefix), db::Value::text(codePrefix), db::Value::integer(count)});
  return numberedArticles(count, codePrefix);
}

QStringList printedArticles(const QStringList& pdfFiles) {
  QStringList codes;
  for (const QString& file : pdfFiles) {
    for (const PdfWord& word : pdfWords(file)) {
      if (word.text.size() > 2 && word.text.startsWith(u'*') && word.text.endsWith(u'*')) {
        codes << word.text.mid(1, word.text.size() - 2);
      }
    }
  }
  return codes;
}

QStringList printedArticlesIn(const QString& directory) {
  QStringList files;
  const QDir dir(directory);
  for (const QString& name : dir.entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name)) {
    files << dir.filePath(name);
  }
  return printedArticles(files);
}

LabelBalance labelBalance(const QStringList& queuedBefore, const QStringList& printed,
                          const QStringList& queuedAfter) {
  QMap<QString, int> before, out, after;
  for (const QString& c : queuedBefore) ++before[c];
  for (const QString& c : printed) ++out[c];
  for (const QString& c : queuedAfter) ++after[c];

  LabelBalance b;
  b.queuedBefore = static_cast<int>(queuedBefore.size());
  for (auto it = before.cbegin(); it != before.cend(); ++it) {
    const int queued = it.value();
    const int p = out.value(it.key());
    const int a = after.value(it.key());
    b.printed += std::min(p, queued);
    b.stillQueued += std::min(a, queued);
    if (p > queued) b.printedTwice += p - queued;
    if (p + a > queued && p <= queued) b.printedAndQueued += p + a - queued;
    if (p + a < queued) b.lost += queued - p - a;
  }
  for (auto it = out.cbegin(); it != out.cend(); ++it) {
    if (!before.contains(it.key())) b.strangers << it.key();
  }
  return b;
}

QString LabelBalance::describe() const {
  return QStringLiteral(
             "queued before %1, printed %2, still queued %3, printed twice %4, "
             "printed and queued %5, lost %6, never queued [%7]")
      .arg(queuedBefore)
      .arg(printed)
      .arg(stillQueued)
      .arg(printedTwice)
      .arg(printedAndQueued)
      .arg(lost)
      .arg(strangers.join(u','));
}

}  // namespace radevore::testing
