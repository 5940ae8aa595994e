#include "app/command_line.h"

#include <gtest/gtest.h>

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
