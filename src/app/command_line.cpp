#include "app/command_line.h"

#include <QCommandLineParser>
#include <cstring>

#ifndef RADEVORE_VERSION
#define RADEVORE_VERSION "0"
#endif

namespace radevore::app {

namespace {

const QString kPositions = QStringLiteral(
    "Positions: SERVER USER PASSWORD COMPANY [PREFIX [PRICE-LIST]]\n"
    "  SERVER      database server text: a folder (embedded engine) or host[/port]:/folder\n"
    "  USER        Firebird user name\n"
    "  PASSWORD    its password; empty (\"\") takes the environment's ISC_PASSWORD\n"
    "  COMPANY     company code: SERVER/datos/COMPANY/nexora.fdb\n"
    "  PREFIX      label prefix; given, the program logs in and prints at once\n"
    "  PRICE-LIST  price-list code; absent, the configured list is used\n"
    "After \"--\" everything is a position, also a password that starts with \"-\".\n");

// --history [N] or --reprint ID: the job journal's commands, which need no login.
CommandLine journalCommand(const QCommandLineParser& parser, bool history, bool reprint,
                           const QString& id, const QString& pdfDirectory, CommandLine line) {
  const QStringList positions = parser.positionalArguments();
  auto usage = [&line](const QString& error) {
    line.action = CommandLine::Action::UsageError;
    line.error = error;
    return line;
  };
  if (history && reprint)
    return usage(QStringLiteral("--history and --reprint exclude each other"));
  if (history) {
    if (positions.size() > 1) return usage(QStringLiteral("--history takes one number at most"));
    if (!positions.isEmpty()) {
      bool ok = false;
      line.historyCount = positions.first().toInt(&ok);
      if (!ok || line.historyCount < 1) {
        return usage(QStringLiteral("--history needs a whole number of jobs from 1 up, not \"%1\"")
                         .arg(positions.first()));
      }
    }
    line.action = CommandLine::Action::History;
    return line;
  }
  bool ok = false;
  line.reprintId = id.toLongLong(&ok);
  if (!ok || line.reprintId < 1) {
    return usage(QStringLiteral("--reprint needs a job number from --history, not \"%1\"").arg(id));
  }
  if (!positions.isEmpty()) return usage(QStringLiteral("--reprint takes no positions"));
  line.pdfDirectory = pdfDirectory;
  line.action = CommandLine::Action::Reprint;
  return line;
}

}  // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
  CommandLine line;
  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("Prints the shelf labels waiting in the ERP's company database."));
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                QStringLiteral("Shows this help and ends."));
  const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                   QStringLiteral("Shows the version and ends."));
  const QCommandLineOption pdf(
      QStringLiteral("pdf"),
      QStringLiteral("Writes every print job as a new PDF file in DIR instead of printing."),
      QStringLiteral("DIR"));
  const QCommandLineOption once(
      QStringLiteral("once"),
      QStringLiteral("Ends after the first print run of the unattended start, without a "
                     "window; exit status 0 when it printed or found nothing, 1 otherwise."));
  const QCommandLineOption service(
      QStringLiteral("service"),
      QStringLiteral("Runs without a window: logs in, prints at once and then at every "
                     "interval until SIGTERM or SIGINT; messages are log lines on standard "
                     "error."));
  const QCommandLineOption interval(
      QStringLiteral("interval"),
      QStringLiteral("Seconds between print runs of the repeat timer (default 90)."),
      QStringLiteral("SECONDS"), QStringLiteral("90"));
  const QCommandLineOption history(
      QStringLiteral("history"),
      QStringLiteral("Lists the last N print jobs of the job journal, newest first (N after the "
                     "option, default 20), and ends."));
  const QCommandLineOption reprint(
      QStringLiteral("reprint"),
      QStringLiteral("Sends the kept document of job ID again to the printer it went to (with "
                     "--pdf, copies it into DIR) and ends."),
      QStringLiteral("ID"));
  parser.addOptions({help, version, pdf, once, service, interval, history, reprint});
  parser.addPositionalArgument(
      QStringLiteral("positions"), QStringLiteral("The login and the print choices, below."),
      QStringLiteral("SERVER USER PASSWORD COMPANY [PREFIX [PRICE-LIST]]"));

  const bool parsed = parser.parse(arguments);
  line.parameters = QStringList{arguments.value(0)} + parser.positionalArguments();
  if (!parsed) {
    line.action = CommandLine::Action::UsageError;
    line.error = parser.errorText();
    return line;
  }
  if (parser.isSet(help)) {
    line.action = CommandLine::Action::Help;
    QString text = parser.helpText();
    text.replace(QStringLiteral("<executable_name>"), QStringLiteral("radevore"));
    line.text = text + u'\n' + kPositions;
    return line;
  }
  if (parser.isSet(version)) {
    line.action = CommandLine::Action::Version;
    line.text = QStringLiteral("radevore " RADEVORE_VERSION "\n");
    return line;
  }
  if (parser.isSet(history) || parser.isSet(reprint)) {
    return journalCommand(parser, parser.isSet(history), parser.isSet(reprint),
                          parser.value(reprint), parser.isSet(pdf) ? parser.value(pdf) : QString(),
                          line);
  }
  line.once = parser.isSet(once);
  line.service = parser.isSet(service);
  if (parser.isSet(pdf)) {
    line.pdfDirectory = parser.value(pdf);
    if (line.pdfDirectory.isEmpty()) line.error = QStringLiteral("--pdf needs a folder");
  }
  if (parser.isSet(interval)) {
    bool ok = false;
    const int seconds = parser.value(interval).toInt(&ok);
    if (!ok || seconds < 1 || seconds > kMaxIntervalSeconds) {
      line.error = QStringLiteral(
                       "--interval needs a whole number of seconds from 1 to %1, not "
                       "\"%2\"")
                       .arg(kMaxIntervalSeconds)
                       .arg(parser.value(interval));
    } else {
      line.intervalSeconds = seconds;
    }
  }
  if (line.error.isEmpty() && (line.once || line.service) && line.parameter(5).isEmpty()) {
    line.error = QStringLiteral("%1 needs server, user, password, company and prefix")
                     .arg(line.service ? QStringLiteral("--service") : QStringLiteral("--once"));
  }
  if (!line.error.isEmpty()) line.action = CommandLine::Action::UsageError;
  return line;
}

QString loginPassword(const CommandLine& line, const QString& environmentPassword) {
  const QString given = line.parameter(3);
  return given.isEmpty() ? environmentPassword : given;
}

QStringList loginParameters(const CommandLine& line, const QString& environmentPassword) {
  QStringList parameters = line.parameters;
  while (parameters.size() < 4) parameters.append(QString());
  parameters[3] = loginPassword(line, environmentPassword);
  return parameters;
}

void hideArgument(int argc, char** argv, const QString& secret) {
  if (secret.isEmpty()) return;
  const QByteArray bytes = secret.toLocal8Bit();
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], bytes.constData()) == 0) std::memset(argv[i], '*', bytes.size());
  }
}

}  // namespace radevore::app
