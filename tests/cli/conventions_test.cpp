// The conventions every command follows: --version, "did you mean", examples
// in the help, "-" for standard input and output.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

#include "cli/command_examples.h"
#include "cli/command_table.h"
#include "cli/usage_hints.h"
#include "cli_runner.h"
#include "common/version.h"

namespace vextune::cli {
namespace {

using test::RunResult;

// The program's command table, as main builds it.
struct Program {
  Program() { BuildCommandLine(app, action); }
  CLI::App app{"", "vextune-cli"};
  CommandAction action;
};

// The words of a shell command line up to its first pipe or redirection,
// without the program's name; single quotes group.
std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  bool quoted = false, any = false;
  for (char c : line) {
    if (c == '\'') {
      quoted = !quoted;
      any = true;
    } else if (c == ' ' && !quoted) {
      if (any) words.push_back(word);
      word.clear();
      any = false;
    } else {
      word += c;
      any = true;
    }
  }
  if (any) words.push_back(word);
  std::vector<std::string> args;
  for (size_t i = 1; i < words.size(); ++i) {
    if (words[i] == "|" || words[i] == "<" || words[i] == ">") break;
    args.push_back(words[i]);
  }
  return args;
}

TEST(CommandLine, EveryCommandsHelpEndsWithExamplesThatParse) {
  Program program;
  const auto subcommands = program.app.get_subcommands([](CLI::App*) { return true; });
  ASSERT_EQ(subcommands.size(), CommandTable().size());
  for (CLI::App* sub : subcommands) {
    const std::vector<CommandExample>& examples = ExamplesOf(sub->get_name());
    ASSERT_FALSE(examples.empty()) << sub->get_name();
    std::string help = sub->help();
    help.erase(help.find_last_not_of('\n') + 1);
    const std::string last = "  " + examples.back().line + "\n      " + examples.back().what;
    EXPECT_TRUE(help.ends_with(last)) << help;
    for (const CommandExample& example : examples) {
      EXPECT_EQ(Words(example.line).front(), sub->get_name()) << example.line;
      Program fresh;
      std::vector<std::string> args = Words(example.line);
      std::reverse(args.begin(), args.end());  // CLI11 takes them last first
      EXPECT_NO_THROW(fresh.app.parse(args)) << example.line;
      EXPECT_TRUE(fresh.action) << example.line;
    }
  }
}

TEST(CommandLine, UnknownCommandsAndOptionsGetTheNearestNames) {
  struct Case {
    std::vector<std::string> args;
    std::string unknownCommand;
    std::string didYouMean;
  };
  const Case cases[] = {
      {{"shwo", "x.vxg"}, "shwo", "Did you mean show?"},
      {{"sned", "x.vxg"}, "sned", "Did you mean send?"},
      {{"param"}, "param", "Did you mean params?"},
      {{"frobnicate"}, "frobnicate", ""},
      {{"show", "--jsno", "x.vxg"}, "", "Did you mean --json?"},
      {{"read", "--prot", "ttyACM0", "-o", "x.vxg"}, "", "Did you mean --port?"},
      {{"--verison"}, "", "Did you mean --version?"},
      {{"update", "--yse", "f.amb"}, "", "Did you mean --yes?"},
      {{"set", "x.vxg", "-x"}, "", ""},  // a one-letter option is near every other
      {{"show", "x.vxg", "--long"}, "", ""},
      {{"show", "--", "--jsno"}, "", ""},
      {{"check", "--quiet"}, "", ""},  // check neither asks nor shows progress
  };
  Program program;
  for (const Case& c : cases) {
    const UsageHint hint = FindUsageHint(program.app, c.args);
    EXPECT_EQ(hint.unknownCommand, c.unknownCommand) << c.args.front();
    EXPECT_EQ(hint.didYouMean, c.didYouMean) << c.args.front();
  }
  for (const std::string option : {"--yes", "--quiet"}) {
    Program fresh;
    EXPECT_THROW(fresh.app.parse(std::vector<std::string>{option, "check"}), CLI::ParseError);
  }
}

class ProgramRuns : public ::testing::Test {
 protected:
  RunResult Cli(const std::vector<std::string>& args, const std::string& input = "") const {
    return runner_.Run(VEXTUNE_CLI_PATH, args, input);
  }
  test::ProgramRunner runner_;
};

TEST_F(ProgramRuns, VersionAndUsageErrors) {
  RunResult r = Cli({"--version"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, std::string("vextune-cli ") + version::kText + "\n");
  r = runner_.Run(DAVOZI_SIM_PATH, {"--version"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, std::string("davozi-sim ") + version::kText + "\n");

  r = Cli({"shwo", "x.vxg"});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(r.err,
            "\"shwo\" is not a command of vextune-cli.\nDid you mean show?\n"
            "Run with --help or --help-all for more information.\n");
  r = Cli({"show", "--jsno", "x.vxg"});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(r.err,
            "The following argument was not expected: --jsno\nDid you mean --json?\n"
            "Run with --help or --help-all for more information.\n");
}

TEST_F(ProgramRuns, DashIsStandardInputAndOutput) {
  ASSERT_EQ(Cli({"defaults", "d.vxg"}).exitCode, 0);
  ASSERT_EQ(Cli({"set", "d.vxg", "T=40", "Callsign=DL1ABC"}).exitCode, 0);
  const std::string file = runner_.Contents("d.vxg");
  const std::string defaults = Cli({"defaults", "-"}).out;
  ASSERT_EQ(defaults.size(), 208u);
  const std::string shown = Cli({"show", "d.vxg"}).out;

  struct Case {
    std::vector<std::string> args;
    std::string input;
    int exitCode;
    std::string out;  // "*": not compared
    std::string err;
  };
  const std::string header = "# d.vxg: format version 65587\n";
  const Case cases[] = {
      {{"show", "-"},
       file,
       0,
       "# standard input: format version 65587\n" + shown.substr(header.size()),
       ""},
      {{"convert", "-", "-"}, file, 0, file, ""},
      {{"convert", "d.vxg", "-"}, "", 0, file, ""},
      {{"convert", "-", "c.vxg"}, file, 0, "", ""},
      {{"diff", "-", "d.vxg"}, file, 0, "", ""},
      {{"diff", "d.vxg", "-"}, defaults, 1, "*", ""},
      {{"diff", "-", "-"}, file, 2, "", "Only one of the two files can be standard input (-).\n"},
      {{"show", "-"}, "hello", 1, "", "Unexpected end of file in standard input.\n"},
      {{"show", "-"},
       std::string(2 << 20, 'x'),
       1,
       "",
       "standard input holds more than any configuration file; it is not one.\n"},
  };
  for (const Case& c : cases) {
    const RunResult r = Cli(c.args, c.input);
    const std::string what = c.args[0] + " " + c.args[1];
    EXPECT_EQ(r.exitCode, c.exitCode) << what << ": " << r.err;
    if (c.out != "*") {
      EXPECT_EQ(r.out, c.out) << what;
    }
    EXPECT_EQ(r.err, c.err) << what;
  }
  EXPECT_EQ(runner_.Contents("c.vxg"), file);
}

TEST_F(ProgramRuns, NoConfigurationOnATerminal) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  const std::string terminal = ptsname(master);
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"defaults", "-"}, std::vector<std::string>{"convert", "-", "-"}}) {
    const std::string command = test::ProgramRunner::Quote(VEXTUNE_CLI_PATH) + " " + args[0] + " " +
                                args[1] + (args.size() > 2 ? " -" : "") + " </dev/null >" +
                                terminal + " 2>" + runner_.Path("err");
    const int status = std::system(command.c_str());
    EXPECT_EQ(WEXITSTATUS(status), 1) << args[0];
    EXPECT_EQ(runner_.Contents("err"),
              "A configuration file is binary and is not written to a terminal; redirect standard "
              "output (> my.vxg) or give a file name.\n");
  }
  // Nothing reached the terminal.
  fcntl(master, F_SETFL, O_NONBLOCK);
  char byte = 0;
  EXPECT_LT(read(master, &byte, 1), 1);
  close(master);
}

}  // namespace
}  // namespace vextune::cli
