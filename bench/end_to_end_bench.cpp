// End-to-end figures of whole print runs as a user starts them: the built program run as
// `radevore --once --pdf DIR SERVER SYSDBA PASSWORD COMPANY PREFIX 1`, start-up and login
// included, against an ERP installation with a catalogue of 10,000 articles and 20,000 bar codes
// (company 001: BARRAS_ARTICULO without an index on the article code; company 002: the same
// with one), through the embedded engine and through a private Firebird server on loopback, on
// the demo's one-label-a-page format (RT01) and on a 30-a-sheet Letter format (RT03), beside a
// bare Qt program (bare_qt_labels) that draws the same pages with QPainter on a QPdfWriter.
//
// Each figure is the median of --repeat runs taken in rounds (every configuration once per
// round), so that the shared machine's load falls on all alike; peak RSS is the child's
// ru_maxrss from wait4. Statements are counted by a Firebird trace session on the loopback
// server (each DSQL statement the program executes; PSQL inside impr_articulo not counted),
// round trips as the client's send calls on its socket (strace, one extra run without timing).
// The embedded runs execute the same statements.
//
//   end_to_end_bench [--where embedded,loopback] [--format demo,sheet]
//                    [--labels 1000,10000,100000] [--catalogue unindexed,indexed]
//                    [--repeat 3] [--no-bare] [--no-count] [--program PATH] [--bare PATH]
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <optional>
#include <vector>

#include "db/attachment.h"
#include "support/firebird_server.h"
#include "support/fixture_db.h"

using namespace radevore;

namespace {

// ---------------------------------------------------------------------------------------------
// Options

struct Options {
  QStringList where = {QStringLiteral("embedded"), QStringLiteral("loopback")};
  QStringList formats = {QStringLiteral("demo"), QStringLiteral("sheet")};
  std::vector<long> labels = {1000, 10000, 100000};
  QStringList catalogues = {QStringLiteral("unindexed"), QStringLiteral("indexed")};
  int repeat = 3;
  bool bare = true;
  bool count = true;
  QString program;
  QString bareProgram;
};

std::optional<Options> parseOptions(const QStringList& args) {
  Options o;
  const QString dir = QCoreApplication::applicationDirPath();
  o.program = dir + QStringLiteral("/../radevore");
  o.bareProgram = dir + QStringLiteral("/bare_qt_labels");
  for (int i = 1; i < args.size(); ++i) {
    const QString& a = args[i];
    auto value = [&]() -> QString { return i + 1 < args.size() ? args[++i] : QString(); };
    if (a == u"--where") {
      o.where = value().split(u',', Qt::SkipEmptyParts);
    } else if (a == u"--format") {
      o.formats = value().split(u',', Qt::SkipEmptyParts);
    } else if (a == u"--labels") {
      o.labels.clear();
      for (const QString& n : value().split(u',', Qt::SkipEmptyParts))
        o.labels.push_back(n.toLong());
    } else if (a == u"--catalogue") {
      o.catalogues = value().split(u',', Qt::SkipEmptyParts);
    } else if (a == u"--repeat") {
      o.repeat = std::max(1, value().toInt());
    } else if (a == u"--no-bare") {
      o.bare = false;
    } else if (a == u"--no-count") {
      o.count = false;
    } else if (a == u"--program") {
      o.program = value();
    } else if (a == u"--bare") {
      o.bareProgram = value();
    } else {
      return std::nullopt;
    }
  }
  return o;
}

// ---------------------------------------------------------------------------------------------
// The installation

// The catalogue and the 30-a-sheet format, applied after the demo company. Article i has the
// code B + i in 5 digits, a bar code of its own unit and one of a pack; bare_qt_labels makes up
// the same texts.
const char* const kCatalogueSql = R"SQL(
DELETE FROM ROTULOS_PENDIENTES;
INSERT INTO PREFIJOS (TIDO_COD, PREF_PRE, PREF_NOM, PREF_ACTIVO, PREF_CONSECUTIVO) VALUES (36, 'RT03', 'ROTULOS HOJA', 'S', 1);
INSERT INTO FORMATOS (TIDO_COD, PREF_PRE, FORM_IMPRE, FORM_NROITEMS, FORM_PAGINAS, FORM_ENTRELINEA, FORM_FONT, FORM_FSIZE, FORM_PAPELAN, FORM_PAPELAL, FORM_HORIZONTAL)
  VALUES (36, 'RT03', 'ETIQUETAS', 3, 'N', 500, 'DejaVu Sans', 200, 8.50, 11.00, 'N');
INSERT INTO FORMATO_LINEAS (TIDO_COD, PREF_PRE, FOLI_ITEM, FOLI_TIPO, FOLI_X, FOLI_Y, FOLI_POSX, FOLI_POSY, FOLI_CADENA, FOLI_FONT, FOLI_FSIZE, FOLI_LIQUIDA, FOLI_REPITE) VALUES (36, 'RT03', 1, 'C', 460, 180, 20, 10, NULL, NULL, NULL, 'N', 'S');
INSERT INTO FORMATO_LINEAS (TIDO_COD, PREF_PRE, FOLI_ITEM, FOLI_TIPO, FOLI_X, FOLI_Y, FOLI_POSX, FOLI_POSY, FOLI_CADENA, FOLI_FONT, FOLI_FSIZE, FOLI_LIQUIDA, FOLI_REPITE) VALUES (36, 'RT03', 2, 'T', NULL, NULL, 40, 40, 'LA ESPIGA', 'DejaVu Sans', 6, 'N', 'S');
INSERT INTO FORMATO_DATOS (TIDO_COD, PREF_PRE, DAFO_DATO, DAFO_IMPRIME, DAFO_POSX, DAFO_POSY, DAFO_FORMATO, DAFO_LONG, DAFO_REPITE, DAFO_FONT, DAFO_FSIZE, DAFO_LIQUIDA, DAFO_ITEM, DAFO_INI) VALUES (36, 'RT03', 'DESCRIPCION CORTA', 'S', 40, 75, NULL, 30, 'N', 'DejaVu Sans', 8, 'N', 1, NULL);
INSERT INTO FORMATO_DATOS (TIDO_COD, PREF_PRE, DAFO_DATO, DAFO_IMPRIME, DAFO_POSX, DAFO_POSY, DAFO_FORMATO, DAFO_LONG, DAFO_REPITE, DAFO_FONT, DAFO_FSIZE, DAFO_LIQUIDA, DAFO_ITEM, DAFO_INI) VALUES (36, 'RT03', 'UNIDAD', 'S', 350, 40, NULL, NULL, 'N', 'DejaVu Sans', 6, 'N', 2, NULL);
INSERT INTO FORMATO_DATOS (TIDO_COD, PREF_PRE, DAFO_DATO, DAFO_IMPRIME, DAFO_POSX, DAFO_POSY, DAFO_FORMATO, DAFO_LONG, DAFO_REPITE, DAFO_FONT, DAFO_FSIZE, DAFO_LIQUIDA, DAFO_ITEM, DAFO_INI) VALUES (36, 'RT03', 'PRECIO', 'S', 450, 120, '0', NULL, 'N', 'DejaVu Sans Bold', 16, 'N', 3, NULL);
INSERT INTO FORMATO_DATOS (TIDO_COD, PREF_PRE, DAFO_DATO, DAFO_IMPRIME, DAFO_POSX, DAFO_POSY, DAFO_FORMATO, DAFO_LONG, DAFO_REPITE, DAFO_FONT, DAFO_FSIZE, DAFO_LIQUIDA, DAFO_ITEM, DAFO_INI) VALUES (36, 'RT03', 'CODIGO BARRAS', 'S', 40, 160, NULL, NULL, 'N', 'Libre Barcode 39', 18, 'N', 4, NULL);
INSERT INTO FORMATO_DATOS (TIDO_COD, PREF_PRE, DAFO_DATO, DAFO_IMPRIME, DAFO_POSX, DAFO_POSY, DAFO_FORMATO, DAFO_LONG, DAFO_REPITE, DAFO_FONT, DAFO_FSIZE, DAFO_LIQUIDA, DAFO_ITEM, DAFO_INI) VALUES (36, 'RT03', 'CODIGO', 'S', 40, 185, NULL, NULL, 'N', 'DejaVu Sans', 6, 'N', 5, NULL);
INSERT INTO FORMATO_DATOS (TIDO_COD, PREF_PRE, DAFO_DATO, DAFO_IMPRIME, DAFO_POSX, DAFO_POSY, DAFO_FORMATO, DAFO_LONG, DAFO_REPITE, DAFO_FONT, DAFO_FSIZE, DAFO_LIQUIDA, DAFO_ITEM, DAFO_INI) VALUES (36, 'RT03', 'BARRAS EAN', 'S', 250, 185, NULL, NULL, 'N', 'DejaVu Sans Mono', 6, 'N', 6, NULL);
COMMIT;
SET TERM ^ ;
EXECUTE BLOCK AS
  DECLARE I INTEGER = 0;
  DECLARE C VARCHAR(15);
BEGIN
  WHILE (I < 10000) DO
  BEGIN
    C = 'B' || LPAD(I, 5, '0');
    INSERT INTO ARTICULO VALUES (:C, 'PRODUCTO DE PRUEBA ' || :I || ' PRESENTACION X 500 G',
      'PRODUCTO ' || :I, 'UND', 'N', 'INV-' || :I, '01', '011', '111', '001', '0001',
      19.00, 1.0000, 10.00, 100.00, 100.00, 'S');
    INSERT INTO PRECIOS_ARTICULO (LIPR_COD, ARTI_COD, PRAR_PRECIO) VALUES (1, :C, 1000 + MOD(:I * 37, 9000));
    I = I + 1;
  END
  I = 0;
  WHILE (I < 10000) DO
  BEGIN
    INSERT INTO BARRAS_ARTICULO VALUES ('B' || LPAD(:I, 5, '0'), '771' || LPAD(:I, 10, '0'), 'PAQ');
    INSERT INTO BARRAS_ARTICULO VALUES ('B' || LPAD(:I, 5, '0'), '770' || LPAD(:I, 10, '0'), 'UND');
    I = I + 1;
  END
END^
SET TERM ; ^
COMMIT;
)SQL";

// Queues `n` labels for `prefix`: label k names article (k * 7919) mod 10000, so a run meets
// its articles in scattered order and 10,000 labels name every article once.
QString queueSql(long n, const QString& prefix) {
  return QStringLiteral(
             "EXECUTE BLOCK AS DECLARE K INTEGER = 0; BEGIN WHILE (K < %1) DO BEGIN "
             "INSERT INTO ROTULOS_PENDIENTES (PREF_PRE, ARTI_COD) VALUES ('%2', "
             "'B' || LPAD(MOD(:K * 7919, 10000), 5, '0')); K = K + 1; END END")
      .arg(n)
      .arg(prefix);
}

// An installation folder: root/SERVIDORES.cfg, root/impresoras.cfg, root/datos/...; xdg/ with the
// system settings file that points the program at root.
struct Site {
  QString root;
  QString xdg;
  QString serverText;                              // what SERVIDORES.cfg and the command line name
  QString password = QStringLiteral("masterkey");  // the embedded engine checks none
  db::ConnectionParams unindexed;                  // company 001: BARRAS_ARTICULO without an index
  db::ConnectionParams indexed;  // company 002: the same with an index on ARTI_COD
  const db::ConnectionParams& company(const QString& catalogue) const {
    return catalogue == u"indexed" ? indexed : unindexed;
  }
};

QString companyCode(const QString& catalogue) {
  return catalogue == u"indexed" ? QStringLiteral("002") : QStringLiteral("001");
}

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) {
    throw std::runtime_error("cannot write " + path.toStdString());
  }
}

void writeSiteFiles(const Site& site) {
  QDir().mkpath(site.xdg + QStringLiteral("/Orvane"));
  writeFile(site.root + QStringLiteral("/SERVIDORES.cfg"), site.serverText.toUtf8() + "\r\n");
  writeFile(site.root + QStringLiteral("/impresoras.cfg"), "ETIQUETAS,Zebra_Gondola\r\n");
  writeFile(site.xdg + QStringLiteral("/Orvane/NexoraERP2021.ini"),
            "[General]\nDirectorio=" + site.root.toUtf8() + "\n");
}

// Company 001 as built; company 002 a copy with an index on the bar codes' article code.
void buildDatabases(const QString& root) {
  QDir().mkpath(root + QStringLiteral("/datos/001"));
  QDir().mkpath(root + QStringLiteral("/datos/002"));
  testing::createDatabase(root + QStringLiteral("/datos/general.fdb"),
                          {testing::fixturePath(QStringLiteral("general.sql"))});
  const QString unindexed = root + QStringLiteral("/datos/001/nexora.fdb");
  const QString indexed = root + QStringLiteral("/datos/002/nexora.fdb");
  testing::createDatabase(unindexed,
                          {testing::fixturePath(QStringLiteral("company.sql")),
                           testing::fixturePath(QStringLiteral("demo_data.sql"))},
                          QString::fromUtf8(kCatalogueSql));
  QFile::copy(unindexed, indexed);
  db::Attachment company = db::Attachment::open(testing::companyParams({root, {}, indexed}));
  company.execute(QStringLiteral("CREATE INDEX BENCH_BARRAS_ARTI ON BARRAS_ARTICULO (ARTI_COD)"));
}

void setQueue(const db::ConnectionParams& params, long n, const QString& prefix) {
  db::Attachment company = db::Attachment::open(params);
  company.execute(QStringLiteral("DELETE FROM ROTULOS_PENDIENTES"));
  if (n > 0) company.execute(queueSql(n, prefix));
}

long queued(const db::ConnectionParams& params) {
  db::Attachment company = db::Attachment::open(params);
  return static_cast<long>(company.query(QStringLiteral("SELECT COUNT(*) FROM ROTULOS_PENDIENTES"))
                               .rows.front()
                               .at(0)
                               .asInteger());
}

// ---------------------------------------------------------------------------------------------
// Running a child

struct ChildRun {
  double seconds = 0;
  long peakKb = 0;
  int status = -1;
  QString errors;
};

ChildRun runChild(const QStringList& argv, const QStringList& env, const QString& errorFile) {
  std::vector<QByteArray> args, envs;
  for (const QString& a : argv) args.push_back(a.toLocal8Bit());
  for (const QString& e : env) envs.push_back(e.toLocal8Bit());
  std::vector<char*> cargs, cenv;
  for (QByteArray& a : args) cargs.push_back(a.data());
  cargs.push_back(nullptr);
  for (QByteArray& e : envs) cenv.push_back(e.data());
  cenv.push_back(nullptr);
  const QByteArray errPath = errorFile.toLocal8Bit();

  ChildRun run;
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = ::fork();
  if (pid == 0) {
    FILE* err = std::freopen(errPath.constData(), "w", stderr);
    (void)err;
    FILE* out = std::freopen("/dev/null", "w", stdout);
    (void)out;
    ::execve(cargs[0], cargs.data(), cenv.data());
    std::perror("execve");
    ::_exit(127);
  }
  int status = 0;
  rusage usage{};
  ::wait4(pid, &status, 0, &usage);
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.peakKb = usage.ru_maxrss;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  QFile f(errorFile);
  if (f.open(QIODevice::ReadOnly)) run.errors = QString::fromLocal8Bit(f.readAll()).trimmed();
  return run;
}

QStringList baseEnvironment(const QString& xdg, const QString& runtime) {
  QStringList env;
  for (const char* keep : {"PATH", "HOME", "FIREBIRD_LOCK", "FIREBIRD_TMP"}) {
    const QByteArray v = qgetenv(keep);
    if (!v.isEmpty()) env << QString::fromLatin1(keep) + u'=' + QString::fromLocal8Bit(v);
  }
  // The job journal goes with the site, never into the real home.
  env << QStringLiteral("XDG_STATE_HOME=") + xdg;
  env << QStringLiteral("XDG_CONFIG_DIRS=") + xdg << QStringLiteral("XDG_RUNTIME_DIR=") + runtime
      << QStringLiteral("QT_QPA_PLATFORM=offscreen") << QStringLiteral("LC_ALL=es_CO.UTF-8");
  return env;
}

int pdfPages(const QString& pdf) {
  QProcess info;
  info.start(QStringLiteral("pdfinfo"), {pdf});
  info.waitForFinished(120000);
  const QRegularExpression pages(QStringLiteral("Pages:\\s+(\\d+)"));
  const auto m = pages.match(QString::fromLocal8Bit(info.readAllStandardOutput()));
  return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QStringList pdfsIn(const QString& dir) {
  QStringList out;
  for (const QFileInfo& f : QDir(dir).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files)) {
    out << f.absoluteFilePath();
  }
  return out;
}

template <typename T>
T median(std::vector<T> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

int expectedPages(const QString& format, long n) {
  return format == u"demo" ? static_cast<int>(n) : static_cast<int>((n + 29) / 30);
}

QString prefixOf(const QString& format) {
  return format == u"demo" ? QStringLiteral("RT01") : QStringLiteral("RT03");
}

// ---------------------------------------------------------------------------------------------
// Counting statements and round trips on the loopback server

struct Counts {
  long statements = -1;  // DSQL executions of the program's attachments
  long prepares = -1;
  long fetchStatements = -1;  // of them, the impr_articulo calls
  long tickStatements = -1;   // from the first label format read on (the print run itself)
  long sends = -1;            // client send calls on its socket
  QStringList tickTexts;      // the print run's statements, first line each
};

class TraceSession {
 public:
  TraceSession(const testing::FirebirdServer& server, const QString& configPath) : server_(server) {
    writeFile(configPath,
              "database\n{\n  enabled = true\n  log_statement_finish = true\n"
              "  log_statement_prepare = true\n  time_threshold = 0\n  max_sql_length = 200\n"
              "  include_filter = \"%\"\n}\n");
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.start(QStringLiteral("fbtracemgr"),
                   {QStringLiteral("-se"), service(), QStringLiteral("-user"),
                    QStringLiteral("SYSDBA"), QStringLiteral("-password"), server_.password(),
                    QStringLiteral("-start"), QStringLiteral("-name"),
                    QStringLiteral("radevore-bench"), QStringLiteral("-config"), configPath});
    // The session is ready once fbtracemgr names it.
    const QRegularExpression started(QStringLiteral("Trace session ID (\\d+) started"));
    for (int i = 0; i < 200 && id_.isEmpty(); ++i) {
      process_.waitForReadyRead(100);
      output_ += process_.readAll();
      const auto m = started.match(QString::fromLocal8Bit(output_));
      if (m.hasMatch()) id_ = m.captured(1);
    }
  }

  bool started() const { return !id_.isEmpty(); }

  // Stops the session and returns all it logged.
  QString finish() {
    if (started()) {
      QThread::msleep(1500);  // the server flushes the trace log now and then
      QProcess stop;
      stop.start(QStringLiteral("fbtracemgr"),
                 {QStringLiteral("-se"), service(), QStringLiteral("-user"),
                  QStringLiteral("SYSDBA"), QStringLiteral("-password"), server_.password(),
                  QStringLiteral("-stop"), QStringLiteral("-id"), id_});
      stop.waitForFinished(30000);
    }
    process_.waitForFinished(30000);
    if (process_.state() != QProcess::NotRunning) {
      process_.kill();
      process_.waitForFinished(5000);
    }
    output_ += process_.readAll();
    return QString::fromLocal8Bit(output_);
  }

 private:
  QString service() const { return QStringLiteral("127.0.0.1/%1:service_mgr").arg(server_.port()); }

  const testing::FirebirdServer& server_;
  QProcess process_;
  QByteArray output_;
  QString id_;
};

// Reads the trace log: one EXECUTE_STATEMENT_FINISH event per execution, with the process and
// the statement text in the lines after it.
void countTrace(const QString& log, const QString& programName, Counts& counts) {
  counts.statements = counts.prepares = counts.fetchStatements = counts.tickStatements = 0;
  const QStringList lines = log.split(u'\n');
  bool inTick = false;
  for (int i = 0; i < lines.size(); ++i) {
    const bool execute = lines[i].contains(QStringLiteral("EXECUTE_STATEMENT_FINISH"));
    const bool prepare = lines[i].contains(QStringLiteral("PREPARE_STATEMENT"));
    if (!execute && !prepare) continue;
    // The event's block: up to the next blank line after the statement text.
    bool ours = false;
    QString text;
    for (int j = i + 1; j < lines.size() && j < i + 40; ++j) {
      if (lines[j].contains(programName)) ours = true;
      if (lines[j].startsWith(QStringLiteral("-----"))) {
        if (j + 1 < lines.size()) text = lines[j + 1].trimmed();
        break;
      }
    }
    if (!ours) continue;
    if (prepare) {
      ++counts.prepares;
      continue;
    }
    ++counts.statements;
    if (text.contains(QStringLiteral("FORMATOS"), Qt::CaseInsensitive)) inTick = true;
    if (text.contains(QStringLiteral("impr_articulo"), Qt::CaseInsensitive)) {
      ++counts.fetchStatements;
    }
    if (inTick) {
      ++counts.tickStatements;
      counts.tickTexts << text.left(110);
    }
  }
}

long countSends(const QString& straceSummary) {
  long sends = 0;
  for (const QString& line : straceSummary.split(u'\n')) {
    const QStringList f = line.simplified().split(u' ');
    if (f.size() >= 5 && (f.last() == u"sendto" || f.last() == u"sendmsg" || f.last() == u"send")) {
      sends += f[3].toLong();
    }
  }
  return sends;
}

// ---------------------------------------------------------------------------------------------

// One configuration of the program's runs, with its samples.
struct Row {
  QString where, format, catalogue;
  long labels = 0;
  const Site* site = nullptr;
  QString work;
  std::vector<double> seconds;
  std::vector<long> peaksKb;
  qint64 pdfBytes = 0;
  Counts counts;
  bool ok = true;
  QString note;
};

struct BareRow {
  QString format;
  long labels = 0;
  std::vector<double> seconds;
  std::vector<long> peaksKb;
  qint64 pdfBytes = 0;
  bool ok = true;
};

QString runtimeDir(const QString& base) {
  const QString dir = base + QStringLiteral("/runtime");
  QDir().mkpath(dir);
  ::chmod(dir.toLocal8Bit().constData(), 0700);
  return dir;
}

QStringList programArguments(const Options& o, const Row& row, const QString& pdfDir) {
  return {o.program,
          QStringLiteral("--once"),
          QStringLiteral("--pdf"),
          pdfDir,
          row.site->serverText,
          QStringLiteral("SYSDBA"),
          row.site->password,
          companyCode(row.catalogue),
          prefixOf(row.format),
          QStringLiteral("1")};
}

// One timed run of the program; the first one also checks the pages and the queue.
void runProgramOnce(const Options& o, Row& row) {
  if (!row.ok) return;
  const QString pdfDir = row.work + QStringLiteral("/pdf");
  QDir(pdfDir).removeRecursively();
  QDir().mkpath(pdfDir);
  const db::ConnectionParams& company = row.site->company(row.catalogue);
  setQueue(company, row.labels, prefixOf(row.format));
  const ChildRun run = runChild(programArguments(o, row, pdfDir),
                                baseEnvironment(row.site->xdg, runtimeDir(row.work)),
                                row.work + QStringLiteral("/stderr.txt"));
  const QStringList pdfs = pdfsIn(pdfDir);
  if (run.status != 0 || pdfs.size() != (row.labels > 0 ? 1 : 0)) {
    row.ok = false;
    row.note = QStringLiteral("exit %1, %2 PDF: %3")
                   .arg(run.status)
                   .arg(pdfs.size())
                   .arg(run.errors.left(200));
    return;
  }
  if (row.seconds.empty() && row.labels > 0) {
    const int pages = pdfPages(pdfs.front());
    const long left = queued(company);
    if (pages != expectedPages(row.format, row.labels) || left != 0) {
      row.note = QStringLiteral("%1 pages (expected %2), %3 labels still queued")
                     .arg(pages)
                     .arg(expectedPages(row.format, row.labels))
                     .arg(left);
    }
  }
  row.seconds.push_back(run.seconds);
  row.peaksKb.push_back(run.peakKb);
  row.pdfBytes = pdfs.isEmpty() ? 0 : QFileInfo(pdfs.front()).size();
}

// One more run, untimed, with a trace session on the server and strace on the client.
void countProgram(const Options& o, Row& row, const testing::FirebirdServer& server) {
  if (!row.ok) return;
  const QString pdfDir = row.work + QStringLiteral("/pdf");
  QDir(pdfDir).removeRecursively();
  QDir().mkpath(pdfDir);
  setQueue(row.site->company(row.catalogue), row.labels, prefixOf(row.format));
  TraceSession trace(server, row.work + QStringLiteral("/trace.conf"));
  if (!trace.started()) {
    trace.finish();
    return;
  }
  const QString summary = row.work + QStringLiteral("/strace.txt");
  QStringList straced = {QStringLiteral("/usr/bin/strace"),
                         QStringLiteral("-f"),
                         QStringLiteral("-c"),
                         QStringLiteral("-o"),
                         summary,
                         QStringLiteral("-e"),
                         QStringLiteral("trace=sendto,sendmsg")};
  straced += programArguments(o, row, pdfDir);
  const ChildRun run = runChild(straced, baseEnvironment(row.site->xdg, runtimeDir(row.work)),
                                row.work + QStringLiteral("/stderr.txt"));
  const QString log = trace.finish();
  if (run.status != 0) return;
  countTrace(log, QFileInfo(o.program).fileName(), row.counts);
  QFile f(summary);
  if (f.open(QIODevice::ReadOnly)) {
    row.counts.sends = countSends(QString::fromLocal8Bit(f.readAll()));
  }
}

void runBareOnce(const Options& o, BareRow& row, const QString& work) {
  if (!row.ok) return;
  const QString pdf = work + QStringLiteral("/bare.pdf");
  QFile::remove(pdf);
  const ChildRun run =
      runChild({o.bareProgram, row.format, QString::number(row.labels), pdf},
               baseEnvironment(work, runtimeDir(work)), work + QStringLiteral("/bare-stderr.txt"));
  if (run.status != 0) {
    row.ok = false;
    return;
  }
  row.seconds.push_back(run.seconds);
  row.peaksKb.push_back(run.peakKb);
  row.pdfBytes = QFileInfo(pdf).size();
}

QString perLabel(long count, long base, long labels) {
  if (count < 0 || base < 0 || labels <= 0) return QStringLiteral("-");
  return QString::number(static_cast<double>(count - base) / static_cast<double>(labels), 'f', 3);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const std::optional<Options> parsed = parseOptions(QCoreApplication::arguments());
  if (!parsed) {
    std::fprintf(stderr,
                 "usage: end_to_end_bench [--where embedded,loopback] [--format demo,sheet] "
                 "[--labels 1000,10000,100000] [--catalogue unindexed,indexed] [--repeat 3] "
                 "[--no-bare] [--no-count] [--program PATH] [--bare PATH]\n");
    return 2;
  }
  const Options& o = *parsed;
  if (!QFileInfo(o.program).isExecutable()) {
    std::fprintf(stderr, "no program at %s\n", qPrintable(o.program));
    return 2;
  }

  testing::TempDir work;
  std::printf("Building the installation (10,000 articles, 20,000 bar codes)...\n");
  std::fflush(stdout);
  const QString embeddedRoot = work.path() + QStringLiteral("/embedded/install");
  buildDatabases(embeddedRoot);

  std::vector<Row> rows;
  std::vector<BareRow> bare;
  std::vector<Site> sites;
  sites.reserve(static_cast<size_t>(o.where.size()));
  std::unique_ptr<testing::FirebirdServer> server;
  for (const QString& where : o.where) {
    Site site;
    QString siteWork;
    if (where == u"embedded") {
      siteWork = work.path() + QStringLiteral("/embedded");
      site.root = embeddedRoot;
      site.serverText = site.root;
      site.unindexed = testing::companyParams({site.root, {}, site.root + "/datos/001/nexora.fdb"});
      site.indexed = testing::companyParams({site.root, {}, site.root + "/datos/002/nexora.fdb"});
    } else if (where == u"loopback") {
      server = std::make_unique<testing::FirebirdServer>();
      if (!server->available()) {
        std::printf("loopback: no server: %s\n", qPrintable(server->reason()));
        continue;
      }
      siteWork = work.path() + QStringLiteral("/loopback");
      site.root = server->databasePath(QStringLiteral("install"));
      QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-r"), embeddedRoot, site.root});
      server->handOver(site.root);
      site.password = server->password();
      site.serverText = server->connectionString(site.root);
      site.unindexed = server->params(site.root + QStringLiteral("/datos/001/nexora.fdb"));
      site.indexed = server->params(site.root + QStringLiteral("/datos/002/nexora.fdb"));
    } else {
      std::fprintf(stderr, "unknown --where %s\n", qPrintable(where));
      return 2;
    }
    site.xdg = siteWork + QStringLiteral("/xdg");
    writeSiteFiles(site);
    sites.push_back(site);
    const Site* placed = &sites.back();
    // An idle run first in every group: what start-up, login and a run with nothing queued cost.
    std::vector<long> counts = {0};
    counts.insert(counts.end(), o.labels.begin(), o.labels.end());
    for (const QString& catalogue : o.catalogues) {
      for (const QString& format : o.formats) {
        for (long n : counts) {
          Row row;
          row.where = where;
          row.format = format;
          row.catalogue = catalogue;
          row.labels = n;
          row.site = placed;
          row.work = siteWork;
          rows.push_back(row);
        }
      }
    }
  }
  if (o.bare) {
    for (const QString& format : o.formats) {
      for (long n : o.labels) {
        BareRow b;
        b.format = format;
        b.labels = n;
        bare.push_back(b);
      }
    }
  }

  // Interleaved: every configuration once per round, so that the machine's load falls on all.
  for (int r = 0; r < o.repeat; ++r) {
    std::printf("  round %d of %d...\n", r + 1, o.repeat);
    std::fflush(stdout);
    for (Row& row : rows) runProgramOnce(o, row);
    for (BareRow& b : bare) runBareOnce(o, b, work.path());
  }
  if (o.count && server) {
    for (Row& row : rows) {
      if (row.where == u"loopback") countProgram(o, row, *server);
    }
  }

  std::printf(
      "\nMedians of %d interleaved runs (seconds from start to exit, start-up and login\n"
      "included; peak RSS of the child). The machine has 2 cores shared with four other\n"
      "developers' builds and tests: the figures move by 10-20 %% between runs and more.\n"
      "stmt/label: DSQL statements per label beyond an idle run's (trace on the loopback\n"
      "server); sends/label: client socket sends per label beyond an idle run's (strace).\n\n",
      o.repeat);
  std::printf("%-8s %-6s %-9s %7s %8s %8s %8s %9s %6s %10s %10s  %s\n", "where", "format",
              "barcodes", "labels", "seconds", "labels/s", "peak MB", "PDF MB", "x bare",
              "stmt/label", "sends/lbl", "note");
  std::map<std::tuple<QString, QString, QString>, Counts> idleCounts;
  for (const Row& r : rows) {
    if (r.labels == 0) idleCounts[{r.where, r.format, r.catalogue}] = r.counts;
  }
  auto bareSeconds = [&](const QString& format, long n) {
    for (const BareRow& b : bare) {
      if (b.format == format && b.labels == n && b.ok && !b.seconds.empty()) {
        return median(b.seconds);
      }
    }
    return 0.0;
  };
  for (const Row& r : rows) {
    const Counts& idle = idleCounts[{r.where, r.format, r.catalogue}];
    if (!r.ok || r.seconds.empty()) {
      std::printf("%-8s %-6s %-9s %7ld  FAILED: %s\n", qPrintable(r.where), qPrintable(r.format),
                  qPrintable(r.catalogue), r.labels, qPrintable(r.note));
      continue;
    }
    const double seconds = median(r.seconds);
    const double floor = bareSeconds(r.format, r.labels);
    const QString ratio =
        floor > 0 ? QString::number(seconds / floor, 'f', 2) : QStringLiteral("-");
    std::printf(
        "%-8s %-6s %-9s %7ld %8.2f %8.0f %8.1f %9.2f %6s %10s %10s  %s\n", qPrintable(r.where),
        qPrintable(r.format), qPrintable(r.catalogue), r.labels, seconds,
        r.labels > 0 ? r.labels / seconds : 0.0, median(r.peaksKb) / 1024.0, r.pdfBytes / 1048576.0,
        r.labels > 0 ? qPrintable(ratio) : "-",
        r.labels > 0 ? qPrintable(perLabel(r.counts.statements, idle.statements, r.labels)) : "-",
        r.labels > 0 ? qPrintable(perLabel(r.counts.sends, idle.sends, r.labels)) : "-",
        qPrintable(r.note));
  }
  if (o.bare) {
    std::printf("\nbare Qt program (QPainter on QPdfWriter, same pages):\n");
    std::printf("%-6s %7s %8s %8s %8s %9s\n", "format", "labels", "seconds", "labels/s", "peak MB",
                "PDF MB");
    for (const BareRow& b : bare) {
      if (!b.ok || b.seconds.empty()) continue;
      const double seconds = median(b.seconds);
      std::printf("%-6s %7ld %8.2f %8.0f %8.1f %9.2f\n", qPrintable(b.format), b.labels, seconds,
                  b.labels / seconds, median(b.peaksKb) / 1024.0, b.pdfBytes / 1048576.0);
    }
  }
  for (const Row& r : rows) {
    if (r.labels != 0 || r.counts.statements < 0) continue;
    std::printf(
        "\nidle run (%s, %s, %s): %ld statements in all, %ld of them the print run "
        "itself, %ld client sends:\n",
        qPrintable(r.where), qPrintable(r.format), qPrintable(r.catalogue), r.counts.statements,
        r.counts.tickStatements, r.counts.sends);
    for (const QString& t : r.counts.tickTexts) std::printf("    %s\n", qPrintable(t));
  }
  return 0;
}
