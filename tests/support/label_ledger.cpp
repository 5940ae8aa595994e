#include "label_ledger.h"

#include <gtest/gtest.h>

#include <QDir>
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

}  // namespace radevore::testing
