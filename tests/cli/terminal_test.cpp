#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/terminal_progress.h"
#include "cli/terminal_prompt.h"

namespace vextune::cli {
namespace {

TEST(TerminalPrompt, AnswersQuestions) {
  struct Case {
    bool interactive, assumeYes;
    std::string typed;
    bool answer;
  };
  const std::vector<Case> cases = {
      {true, false, "y\n", true},  {true, false, " YES \n", true},
      {true, false, "\n", false},  {true, false, "yep\n", false},
      {true, false, "n\n", false}, {true, false, "", false},  // end of input
      {true, true, "n\n", true},   {false, false, "y\n", false},
      {false, true, "", true},
  };
  for (const auto& c : cases) {
    std::istringstream in(c.typed);
    std::ostringstream out;
    TerminalPrompt prompt(in, out, c.interactive, c.assumeYes);
    EXPECT_EQ(prompt.AskYesNo("Save", "Save changes?"), c.answer) << "'" << c.typed << "'";
    EXPECT_EQ(out.str().rfind("Save changes? [y/N] ", 0), 0u) << out.str();
  }
}

TEST(TerminalPrompt, MessagesGoToTheStreamWhole) {
  std::istringstream in;
  std::ostringstream out;
  TerminalPrompt prompt(in, out, false, false);
  prompt.ShowMessage("DAV-OZI", "Communication Error!\nDAV-OZI possibly switched off.",
                     MessageIcon::Error);
  prompt.ShowMessage("DAV-OZI", "Done.", MessageIcon::Information);
  EXPECT_EQ(out.str(), "Error: Communication Error!\nDAV-OZI possibly switched off.\nDone.\n");
}

TEST(TerminalProgress, PlainLinesEveryTenthOfTheWay) {
  std::ostringstream out;
  {
    TerminalProgress progress(out, false, false);
    progress.SetRange(58);
    for (int step = 0; step <= 58; ++step) progress.SetProgress(step);
  }
  std::istringstream lines(out.str());
  std::vector<std::string> got;
  for (std::string l; std::getline(lines, l);) got.push_back(l);
  ASSERT_EQ(got.size(), 11u);
  EXPECT_EQ(got.front(), "progress: 0%");
  EXPECT_EQ(got[5], "progress: 50%");
  EXPECT_EQ(got.back(), "progress: 100%");
}

TEST(TerminalProgress, BarOnATerminalAndSilenceWhenQuiet) {
  std::ostringstream bar;
  {
    TerminalProgress progress(bar, true, false);
    progress.SetProgress(50);
    progress.SetProgress(50);   // unchanged: not drawn again
    progress.SetProgress(150);  // clamped to the end
  }
  const std::string half = "\r[" + std::string(20, '#') + std::string(20, ' ') + "] 50%";
  const std::string full = "\r[" + std::string(40, '#') + "] 100%";
  EXPECT_EQ(bar.str(), half + full + "\n");

  std::ostringstream quiet;
  {
    TerminalProgress progress(quiet, true, true);
    for (int p = 0; p <= 100; ++p) progress.SetProgress(p);
  }
  EXPECT_EQ(quiet.str(), "");
}

TEST(TerminalProgress, DetailFollowsThePercentageAndTheFinalResetIsNotDrawn) {
  std::ostringstream out;
  TerminalProgress progress(out, true, false);
  progress.SetRange(4, [](int step) { return "step " + std::to_string(step) + " of 4"; });
  progress.SetProgress(1);
  progress.SetProgress(4);
  progress.SetProgress(0);  // operations return to 0 when they end
  progress.Finish();
  EXPECT_EQ(out.str(), "\r[" + std::string(10, '#') + std::string(30, ' ') + "] 25%  step 1 of 4" +
                           "\r[" + std::string(40, '#') + "] 100%  step 4 of 4\n");

  // A new range starts a fresh bar, from 0 again.
  out.str("");
  progress.SetRange(100);
  progress.SetProgress(0);
  EXPECT_EQ(out.str(), "\r[" + std::string(40, ' ') + "] 0%");
}

TEST(TerminalPrompt, EndsTheProgressLineBeforeItSpeaks) {
  std::istringstream in;
  std::ostringstream out;
  TerminalProgress progress(out, true, false);
  TerminalPrompt prompt(in, out, false, false, &progress);
  progress.SetProgress(25);
  prompt.ShowMessage("", "ERROR: Handshake failed!", MessageIcon::Error);
  prompt.ShowMessage("", "WARNING: Invalid Flash time stamp.", MessageIcon::Warning);
  const std::string bar = "\r[" + std::string(10, '#') + std::string(30, ' ') + "] 25%\n";
  // Messages that say what they are get no second label.
  EXPECT_EQ(out.str(), bar + "ERROR: Handshake failed!\nWARNING: Invalid Flash time stamp.\n");
  const size_t before = out.str().size();
  prompt.AskYesNo("", "Update anyway?");  // the line is closed already: no empty line
  EXPECT_EQ(out.str().substr(before),
            "Update anyway? [y/N] no (not a terminal; --yes answers yes)\n");
}

}  // namespace
}  // namespace vextune::cli
