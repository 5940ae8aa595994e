// The command line of the built program: help, version, usage errors, "--", and the password
// taken from ISC_PASSWORD.

#include <gtest/gtest.h>

#include <QDir>

#include "support/case_printing.h"
#include "support/firebird_server.h"
#include "support/label_ledger.h"
#include "support/pdf_probe.h"
#include "support/program_process.h"
#include "support/served_installation.h"

namespace radevore::testing {
namespace {

constexpr int kWait = 120000;

struct Finished {
  int exitCode = -1;
  QString out;
  QString err;
};

Finished runProgram(ProgramProcess& program, const QStringList& arguments) {
  program.start(arguments);
  Finished f;
  if (!program.waitForExit(kWait)) return f;
  f.exitCode = program.exitCode();
  f.out = program.standardOutput();
  f.err = program.standardError();
  return f;
}

Finished runProgram(const QStringList& arguments) {
  TempDir installation;
  ProgramProcess program(installation.path(), ProgramProcess::Display::None);
  return runProgram(program, arguments);
}

TEST(CommandLineRun, HelpNamesEveryOptionAndThePositions) {
  for (const char* option : {"--help", "-h"}) {
    const Finished f = runProgram({option});
    EXPECT_EQ(f.exitCode, 0) << option;
    for (const char* word : {"--pdf", "--once", "--service", "--interval", "--history", "--reprint",
                             "--version", "SERVER", "USER", "PASSWORD", "COMPANY", "PREFIX",
                             "PRICE-LIST", "ISC_PASSWORD", "\"--\""}) {
      EXPECT_TRUE(f.out.contains(QLatin1String(word))) << option << " lacks " << word;
    }
    EXPECT_TRUE(f.err.isEmpty()) << f.err.toStdString();
  }
}

TEST(CommandLineRun, VersionEndsAtOnce) {
  const Finished f = runProgram({"--version"});
  EXPECT_EQ(f.exitCode, 0);
  EXPECT_TRUE(f.out.startsWith("radevore ")) << f.out.toStdString();
}

struct UsageCase {
  const char* name;
  QStringList arguments;
  const char* inError;  // a piece of the usage error
};

void PrintTo(const UsageCase& c, std::ostream* os) {
  using radevore::testing::printable;
  *os << c.name << " " << printable(c.arguments) << " -> " << printable(c.inError);
}

class CommandLineUsage : public ::testing::TestWithParam<UsageCase> {};

TEST_P(CommandLineUsage, IsAUsageErrorWithExitTwo) {
  const UsageCase& c = GetParam();
  const Finished f = runProgram(c.arguments);
  EXPECT_EQ(f.exitCode, 2) << f.err.toStdString();
  EXPECT_TRUE(f.err.contains(QLatin1String(c.inError))) << f.err.toStdString();
  EXPECT_TRUE(f.err.contains("--help"));
}

INSTANTIATE_TEST_SUITE_P(
    Errors, CommandLineUsage,
    ::testing::Values(
        UsageCase{"UnknownOption", {"--bogus", "s", "u", "k", "001", "RT01"}, "bogus"},
        UsageCase{"QtOptionIsNoOption", {"s", "u", "-reverse", "001"}, "reverse"},
        UsageCase{"MissingPdfFolder", {"s", "u", "k", "001", "RT01", "--pdf"}, "pdf"},
        UsageCase{"MissingInterval", {"--interval"}, "interval"},
        UsageCase{"IntervalNotANumber", {"--interval", "soon"}, "interval"},
        UsageCase{"IntervalZero", {"--interval", "0"}, "interval"},
        UsageCase{"IntervalNegative", {"--interval=-5"}, "interval"},
        UsageCase{"ServiceWithoutPrefix", {"--service", "s", "u", "k", "001"}, "--service"},
        UsageCase{"OnceWithoutPrefix", {"--once", "s", "u", "k", "001"}, "--once"}),
    [](const auto& info) { return std::string(info.param.name); });

// Positions after "--" are never options, not even a password that reads like one of the
// program's or of Qt's.
TEST(CommandLineRun, DoubleDashEndsTheOptions) {
  for (const char* password : {"--once", "-reverse"}) {
    TempDir root;
    TempDir out;
    const Installation installation = makeInstallation(root.path(), "001", queueLabelsSql(1, 3));
    ProgramProcess program(installation.root, ProgramProcess::Display::None);
    const Finished f = runProgram(program, {"--once", "--pdf", out.path(), "--", installation.root,
                                            "SYSDBA", password, "001", "RT01", "4"});
    EXPECT_EQ(f.exitCode, 0) << password << ": " << f.err.toStdString();
    EXPECT_EQ(printedCodes(out.path()).size(), 3) << password;
  }
}

TEST(CommandLineRun, EmptyPasswordPositionTakesIscPassword) {
  FirebirdServer server;
  ASSERT_TRUE(server.available()) << server.reason().toStdString();
  ServedInstallation served(server, QStringLiteral("inst"), queueLabelsSql(1, 3));
  struct Case {
    QString environment;
    int exitCode;
    int printed;
  };
  for (const Case& c :
       {Case{QString(), 1, 0}, Case{"wrong", 1, 0}, Case{server.password(), 0, 3}}) {
    TempDir out;
    ProgramProcess program(served.installation.root, ProgramProcess::Display::None);
    if (!c.environment.isEmpty()) program.setEnvironment("ISC_PASSWORD", c.environment);
    const Finished f = runProgram(program, {"--once", "--pdf", out.path(), served.serverText,
                                            "SYSDBA", "", "001", "RT01", "4"});
    EXPECT_EQ(f.exitCode, c.exitCode) << c.environment.toStdString() << f.err.toStdString();
    EXPECT_EQ(printedCodes(out.path()).size(), c.printed);
    EXPECT_FALSE(f.err.contains(server.password()));
    // Neither in the job's title and other document fields nor on its pages.
    for (const QString& name : QDir(out.path()).entryList({"*.pdf"}, QDir::Files)) {
      const QString pdf = QDir(out.path()).filePath(name);
      for (const QString& value : pdfInfo(pdf)) EXPECT_FALSE(value.contains(server.password()));
      for (const PdfWord& word : pdfWords(pdf)) EXPECT_FALSE(word.text.contains(server.password()));
    }
  }
}

// A password given on the command line is read, then overwritten in the process's arguments.
TEST(CommandLineRun, PositionalPasswordLeavesTheProcessList) {
  FirebirdServer server;
  ASSERT_TRUE(server.available()) << server.reason().toStdString();
  ServedInstallation served(server, QStringLiteral("inst"), queueLabelsSql(1, 3));
  TempDir out;
  ProgramProcess program(served.installation.root, ProgramProcess::Display::None);
  program.start({"--service", "--pdf", out.path(), served.serverText, "SYSDBA", server.password(),
                 "001", "RT01", "4"});
  ASSERT_TRUE(waitUntil([&] { return printedCodes(out.path()).size() == 3; }, kWait))
      << program.standardError().toStdString();
  const QString entry = program.processListEntry();
  EXPECT_TRUE(entry.contains(served.serverText)) << entry.toStdString();
  EXPECT_FALSE(entry.contains(server.password())) << entry.toStdString();
}

}  // namespace
}  // namespace radevore::testing
