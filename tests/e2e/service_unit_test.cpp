// The README's service set-up as written: the environment file of its example and the command
// line of the systemd unit template, expanded the way systemd expands them, start a service that
// prints (into a PDF folder instead of a printer) and stops cleanly on SIGTERM.

#include <gtest/gtest.h>
#include <signal.h>

#include <QFile>
#include <QMap>
#include <QRegularExpression>

#include "support/firebird_server.h"
#include "support/label_ledger.h"
#include "support/program_process.h"
#include "support/served_installation.h"

namespace radevore::testing {
namespace {

QString readText(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// KEY=VALUE lines of the README's example environment file (between "...env >/dev/null <<'ENV'"
// and "ENV").
QMap<QString, QString> readmeEnvironmentFile() {
  QMap<QString, QString> values;
  bool inside = false;
  for (const QString& raw : readText(RADEVORE_SOURCE_DIR "/README.md").split(u'\n')) {
    const QString line = raw.trimmed();
    if (line.contains("<<'ENV'")) {
      inside = true;
    } else if (inside && line == "ENV") {
      break;
    } else if (inside && line.contains(u'=')) {
      values.insert(line.section(u'=', 0, 0), line.section(u'=', 1));
    }
  }
  return values;
}

// The unit's ExecStart, split into words as systemd does for this line: "${NAME}" is one word
// with the variable's value (empty allowed), "" is an empty word.
QStringList execStart(const QString& unit, const QMap<QString, QString>& environment) {
  static const QRegularExpression variable(QStringLiteral("^\\$\\{(\\w+)\\}$"));
  for (const QString& line : unit.split(u'\n')) {
    if (!line.startsWith("ExecStart=")) continue;
    QStringList words;
    for (const QString& word : line.mid(10).split(u' ', Qt::SkipEmptyParts)) {
      const QRegularExpressionMatch match = variable.match(word);
      if (match.hasMatch()) {
        words.append(environment.value(match.captured(1)));
      } else if (word == "\"\"") {
        words.append(QString());
      } else {
        words.append(word);
      }
    }
    return words;
  }
  return {};
}

// The Environment= defaults of the unit.
QMap<QString, QString> unitDefaults(const QString& unit) {
  QMap<QString, QString> values;
  for (const QString& line : unit.split(u'\n')) {
    if (!line.startsWith("Environment=")) continue;
    for (const QString& pair : line.mid(12).split(u' ', Qt::SkipEmptyParts)) {
      values.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
    }
  }
  return values;
}

TEST(ServiceUnit, ReadmeExampleStartsAServiceThatPrintsAndStops) {
  FirebirdServer server;
  ASSERT_TRUE(server.available()) << server.reason().toStdString();
  ServedInstallation served(server, QStringLiteral("inst"), queueLabelsSql(1, 5));

  const QString unit = readText(RADEVORE_SOURCE_DIR "/packaging/radevore@.service.in")
                           .replace("@BINDIR@", RADEVORE_BINARY_DIR);
  QMap<QString, QString> environment = unitDefaults(unit);
  const QMap<QString, QString> file = readmeEnvironmentFile();
  for (const char* key : {"RADEVORE_SERVER", "RADEVORE_USER", "RADEVORE_COMPANY", "RADEVORE_PREFIX",
                          "RADEVORE_PRICE_LIST", "RADEVORE_INTERVAL", "ISC_PASSWORD"}) {
    ASSERT_TRUE(file.contains(key)) << "the README's environment file lacks " << key;
  }
  environment.insert(file);
  // This machine's server and password instead of the example's.
  environment.insert("RADEVORE_SERVER", served.serverText);
  environment.insert("ISC_PASSWORD", server.password());
  environment.insert("RADEVORE_INTERVAL", "2");

  QStringList words = execStart(unit, environment);
  ASSERT_GE(words.size(), 2) << unit.toStdString();
  EXPECT_EQ(words.takeFirst(), RADEVORE_BINARY_DIR "/radevore");
  TempDir out;
  words.prepend(out.path());
  words.prepend("--pdf");

  ProgramProcess program(served.installation.root, ProgramProcess::Display::None);
  program.setEnvironment("ISC_PASSWORD", server.password());
  program.start(words);
  ASSERT_TRUE(waitUntil([&] { return printedCodes(out.path()).size() == 5; }, 120000))
      << words.join(' ').toStdString() << "\n"
      << program.standardError().toStdString();
  program.sendSignal(SIGTERM);
  ASSERT_TRUE(program.waitForExit(5000));
  EXPECT_EQ(program.exitCode(), 0) << program.standardError().toStdString();
  EXPECT_TRUE(program.standardError().contains(" info Servicio iniciado: cada 2 s, prefijo " +
                                               file.value("RADEVORE_PREFIX")))
      << program.standardError().toStdString();
}

}  // namespace
}  // namespace radevore::testing
