#include "app/command_line.h"

#include <gtest/gtest.h>

#include "support/case_printing.h"

namespace radevore::app {
namespace {

struct CommandLineCase {
  const char* name;
  QStringList arguments;
  QStringList parameters;
  QString pdf;
  bool once;
  bool error;
};

void PrintTo(const CommandLineCase& c, std::ostream* os) {
  using radevore::testing::printable;
  *os << c.name << " " << printable(c.arguments) << " -> " << printable(c.parameters) << " pdf "
      << printable(c.pdf) << (c.once ? " once" : "") << (c.error ? " error" : "");
}

class CommandLineParse : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineParse, TakesOptionsOutBeforeCounting) {
  const CommandLineCase& c = GetParam();
  const CommandLine line = parseCommandLine(c.arguments);
  EXPECT_EQ(line.parameters, c.parameters);
  EXPECT_EQ(line.pdfDirectory, c.pdf);
  EXPECT_EQ(line.once, c.once);
  EXPECT_EQ(!line.error.isEmpty(), c.error);
}

INSTANTIATE_TEST_SUITE_P(
    Options, CommandLineParse,
    ::testing::Values(
        CommandLineCase{"None", {"p", "s", "u"}, {"p", "s", "u"}, "", false, false},
        CommandLineCase{"OptionsFirst",
                        {"p", "--once", "--pdf", "/out", "s", "u", "k", "001", "RT01", "4"},
                        {"p", "s", "u", "k", "001", "RT01", "4"},
                        "/out",
                        true,
                        false},
        CommandLineCase{"OptionsBetween",
                        {"p", "s", "u", "--pdf", "/out", "k", "001", "--once", "RT01"},
                        {"p", "s", "u", "k", "001", "RT01"},
                        "/out",
                        true,
                        false},
        CommandLineCase{"PdfEquals", {"p", "--pdf=/o", "s"}, {"p", "s"}, "/o", false, false},
        CommandLineCase{"PdfWithoutDirectory", {"p", "s", "--pdf"}, {"p", "s"}, "", false, true},
        CommandLineCase{"EmptyPositionalKept", {"p", "", "u"}, {"p", "", "u"}, "", false, false},
        CommandLineCase{
            "ProgramNameNotAnOption", {"--once", "s"}, {"--once", "s"}, "", false, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace radevore::app

namespace radevore::app {
namespace {

struct ModeCase {
  const char* name;
  QStringList arguments;
  CommandLine::Action action;
  bool service;
  int interval;
  QStringList parameters;
};

void PrintTo(const ModeCase& c, std::ostream* os) {
  using radevore::testing::printable;
  *os << c.name << " " << printable(c.arguments) << " action " << int(c.action)
      << (c.service ? " service" : "") << " interval " << c.interval << " -> "
      << printable(c.parameters);
}

class CommandLineModes : public ::testing::TestWithParam<ModeCase> {};

TEST_P(CommandLineModes, ReadsServiceIntervalAndEndOfOptions) {
  const ModeCase& c = GetParam();
  const CommandLine line = parseCommandLine(c.arguments);
  EXPECT_EQ(line.action, c.action) << line.error.toStdString();
  EXPECT_EQ(line.service, c.service);
  EXPECT_EQ(line.intervalSeconds, c.interval);
  if (c.action == CommandLine::Action::Run) {
    EXPECT_EQ(line.parameters, c.parameters);
  }
}

using A = CommandLine::Action;
INSTANTIATE_TEST_SUITE_P(
    Modes, CommandLineModes,
    ::testing::Values(
        ModeCase{"Window", {"p"}, A::Run, false, 90, {"p"}},
        ModeCase{"Service",
                 {"p", "--service", "s", "u", "k", "001", "RT01"},
                 A::Run,
                 true,
                 90,
                 {"p", "s", "u", "k", "001", "RT01"}},
        ModeCase{"IntervalSpaced", {"p", "--interval", "2"}, A::Run, false, 2, {"p"}},
        ModeCase{"IntervalEquals", {"p", "--interval=300"}, A::Run, false, 300, {"p"}},
        ModeCase{"IntervalOneDay", {"p", "--interval", "86400"}, A::Run, false, 86400, {"p"}},
        ModeCase{"IntervalTooLong", {"p", "--interval", "86401"}, A::UsageError, false, 90, {}},
        ModeCase{"IntervalFraction", {"p", "--interval", "1.5"}, A::UsageError, false, 90, {}},
        ModeCase{"DoubleDash",
                 {"p", "--once", "--", "s", "u", "--service", "001", "RT01"},
                 A::Run,
                 false,
                 90,
                 {"p", "s", "u", "--service", "001", "RT01"}},
        ModeCase{"Help", {"p", "s", "--help"}, A::Help, false, 90, {}},
        ModeCase{"Version", {"p", "-v"}, A::Version, false, 90, {}},
        ModeCase{"Unknown", {"p", "--colour"}, A::UsageError, false, 90, {}},
        ModeCase{"History", {"p", "--history"}, A::History, false, 90, {}},
        ModeCase{"HistoryCount", {"p", "--history", "5"}, A::History, false, 90, {}},
        ModeCase{"HistoryZero", {"p", "--history", "0"}, A::UsageError, false, 90, {}},
        ModeCase{"HistoryWords", {"p", "--history", "all"}, A::UsageError, false, 90, {}},
        ModeCase{"Reprint", {"p", "--reprint", "7", "--pdf", "/o"}, A::Reprint, false, 90, {}},
        ModeCase{"ReprintNoNumber", {"p", "--reprint", "x"}, A::UsageError, false, 90, {}},
        ModeCase{
            "ReprintAndHistory", {"p", "--reprint=3", "--history"}, A::UsageError, false, 90, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(JournalCommands, ReadTheCountTheIdAndTheFolder) {
  EXPECT_EQ(parseCommandLine({"p", "--history"}).historyCount, kDefaultHistoryCount);
  EXPECT_EQ(parseCommandLine({"p", "--history", "3"}).historyCount, 3);
  const CommandLine reprint = parseCommandLine({"p", "--pdf", "/o", "--reprint", "12"});
  EXPECT_EQ(reprint.reprintId, 12);
  EXPECT_EQ(reprint.pdfDirectory, "/o");
  EXPECT_EQ(parseCommandLine({"p", "--reprint", "12"}).pdfDirectory, "");
}

TEST(LoginPassword, EmptyOrAbsentPositionTakesTheEnvironment) {
  EXPECT_EQ(loginPassword(parseCommandLine({"p", "s", "u", "k", "001"}), "env"), "k");
  EXPECT_EQ(loginPassword(parseCommandLine({"p", "s", "u", "", "001"}), "env"), "env");
  EXPECT_EQ(loginPassword(parseCommandLine({"p", "s", "u"}), "env"), "env");
  EXPECT_EQ(loginParameters(parseCommandLine({"p", "s", "u", "", "001", "RT01"}), "env"),
            QStringList({"p", "s", "u", "env", "001", "RT01"}));
}

}  // namespace
}  // namespace radevore::app
