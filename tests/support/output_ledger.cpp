#include "support/output_ledger.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>

#include "db/attachment.h"
#include "db/row_set.h"

namespace radevore::testing {

namespace {

const QString kFormat = QStringLiteral(
    "INSERT INTO PREFIJOS (TIDO_COD, PREF_PRE, PREF_NOM, PREF_ACTIVO, PREF_CONSECUTIVO)\n"
    "  VALUES (36, 'FL01', 'ROTULOS DE PRUEBA', 'S', 1);\n"
    "INSERT INTO FORMATOS (TIDO_COD, PREF_PRE, FORM_IMPRE, FORM_NROITEMS, FORM_PAGINAS,\n"
    "  FORM_ENTRELINEA, FORM_FONT, FORM_FSIZE, FORM_PAPELAN, FORM_PAPELAL, FORM_HORIZONTAL)\n"
    "  VALUES (36, 'FL01', 'FALLAS', 1, 'N', 1500, 'DejaVu Sans', 2100, 4.00, 2.50, 'N');\n"
    "INSERT INTO FORMATO_LINEAS (TIDO_COD, PREF_PRE, FOLI_ITEM, FOLI_TIPO, FOLI_X, FOLI_Y,\n"
    "  FOLI_POSX, FOLI_POSY, FOLI_LIQUIDA, FOLI_REPITE)\n"
    "  VALUES (36, 'FL01', 1, 'C', 1440, 1900, 30, 50, 'N', 'S');\n"
    "INSERT INTO FORMATO_DATOS (TIDO_COD, PREF_PRE, DAFO_DATO, DAFO_IMPRIME, DAFO_POSX,\n"
    "  DAFO_POSY, DAFO_FORMATO, DAFO_LONG, DAFO_REPITE, DAFO_FONT, DAFO_FSIZE, DAFO_LIQUIDA,\n"
    "  DAFO_ITEM, DAFO_INI)\n"
    "  VALUES (36, 'FL01', 'CODIGO', 'S', 90, 760, NULL, NULL, 'N', 'DejaVu Sans', 12, 'N', 1,\n"
    "  NULL);\n"
    "COMMIT;\n");

void writeFile(const QString& path, const QByteArray& text) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
  file.write(text);
}

}  // namespace

LedgerInstallation::LedgerInstallation()
    : installation_(makeInstallation(root_.path(), QStringLiteral("001"), kFormat)) {
  QDir(config_.path()).mkpath(QStringLiteral("Orvane"));
  writeFile(config_.file(QStringLiteral("Orvane/NexoraERP2021.ini")),
            "[General]\nDirectorio=" + root_.path().toUtf8() + "\n");
  QDir().mkpath(pdfDir());
  QDir().mkpath(tempDir());
  setPrinter(QStringLiteral("NoInstalada"));
}

void LedgerInstallation::queueLabels(int count, char letter) {
  db::Attachment company = db::Attachment::open(companyParams(installation_));
  company.execute(QStringLiteral("EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN "
                                 "WHILE (I <= %1) DO BEGIN "
                                 "INSERT INTO ROTULOS_PENDIENTES (PREF_PRE, ARTI_COD) "
                                 "VALUES ('FL01', '%2' || LPAD(:I, 5, '0')); I = I + 1; "
                                 "END END")
                      .arg(count)
                      .arg(QLatin1Char(letter)));
}

QStringList LedgerInstallation::queued() const {
  db::Attachment company = db::Attachment::open(companyParams(installation_));
  const db::RowSet rows = company.query(QStringLiteral(
      "SELECT ARTI_COD FROM ROTULOS_PENDIENTES WHERE PREF_PRE = 'FL01' ORDER BY ROPE_ID"));
  QStringList codes;
  for (const db::Row& row : rows.rows) codes << row.text(u"ARTI_COD");
  return codes;
}

void LedgerInstallation::setPrinter(const QString& queue) {
  writeFile(root_.file(QStringLiteral("impresoras.cfg")), "FALLAS," + queue.toUtf8() + "\r\n");
}

QStringList LedgerInstallation::pdfs() const {
  QStringList paths;
  const QDir dir(pdfDir());
  for (const QString& name : dir.entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name))
    paths << dir.filePath(name);
  return paths;
}

QStringList LedgerInstallation::filesInPdfDir() const {
  return QDir(pdfDir()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

QStringList LedgerInstallation::arguments(bool pdf) const {
  QStringList args{QStringLiteral("--once")};
  if (pdf) args << QStringLiteral("--pdf") << pdfDir();
  return args << root_.path() << QStringLiteral("SYSDBA") << QStringLiteral("masterkey")
              << QStringLiteral("001") << QStringLiteral("FL01") << QStringLiteral("1");
}

QProcessEnvironment LedgerInstallation::environment() const {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  env.insert(QStringLiteral("XDG_CONFIG_DIRS"), config_.path());
  env.insert(QStringLiteral("TMPDIR"), tempDir());
  return env;
}

ProgramEnd LedgerInstallation::run(const QStringList& arguments, const QString& wrapper,
                                   const std::function<void(qint64)>& whileRunning,
                                   int limitMs) const {
  const QString program = QStringLiteral(RADEVORE_BINARY_DIR "/radevore");
  QProcess process;
  process.setProcessEnvironment(environment());
  if (wrapper.isEmpty()) {
    process.start(program, arguments);
  } else {
    process.start(QStringLiteral("/bin/bash"),
                  QStringList{QStringLiteral("-c"), wrapper, QStringLiteral("radevore"), program} +
                      arguments);
  }
  ProgramEnd end;
  if (!process.waitForStarted(30000)) return end;
  if (whileRunning) whileRunning(process.processId());
  end.finished = process.waitForFinished(limitMs);
  if (!end.finished) process.kill();
  process.waitForFinished();
  end.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  end.standardError = QString::fromUtf8(process.readAllStandardError());
  return end;
}

QStringList codesInPdf(const QString& pdf) {
  QProcess process;
  process.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
  process.waitForFinished(600000);
  static const QRegularExpression code(QStringLiteral(R"(\b[A-Z]\d{5}\b)"));
  QStringList codes;
  const QString text = QString::fromUtf8(process.readAllStandardOutput());
  for (auto it = code.globalMatch(text); it.hasNext();) codes << it.next().captured(0);
  return codes;
}

bool ledgerBalances(const QStringList& queuedBefore, const QStringList& printed,
                    const QStringList& queuedAfter) {
  bool balanced = true;
  QStringList accounted = printed + queuedAfter;
  QStringList before = queuedBefore;
  accounted.sort();
  before.sort();
  if (accounted != before) {
    ADD_FAILURE() << "queued before " << queuedBefore.size() << ", printed " << printed.size()
                  << ", still queued " << queuedAfter.size();
    balanced = false;
  }
  const QSet<QString> printedSet(printed.begin(), printed.end());
  if (printedSet.size() != printed.size()) {
    ADD_FAILURE() << printed.size() - printedSet.size() << " labels printed twice";
    balanced = false;
  }
  for (const QString& code : queuedAfter) {
    if (printedSet.contains(code)) {
      ADD_FAILURE() << code.toStdString() << " printed and still queued";
      balanced = false;
    }
  }
  return balanced;
}

}  // namespace radevore::testing
