#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <sstream>
#include <string>
#include <thread>

#include "cli/terminal_progress.h"
#include "cli/terminal_prompt.h"

namespace vextune::cli {
namespace {

std::string Bar(int percent) {
  const size_t filled = static_cast<size_t>(percent) * 40 / 100;
  return "\r[" + std::string(filled, '#') + std::string(40 - filled, ' ') + "] " +
         std::to_string(percent) + "%";
}

TEST(TerminalPrompt, AnswersQuestions) {
  // clang-format off
  const struct { bool interactive, assumeYes; std::string typed; bool answer; } cases[] = {
      {true, false, "y\n", true},   {true, false, " YES \n", true},  {true, false, "\n", false},
      {true, false, "yep\n", false}, {true, false, "n\n", false},     {true, false, "", false},
      {true, true, "n\n", true},     {false, false, "y\n", false},    {false, true, "", true}};
  // clang-format on
  for (const auto& c : cases) {
    std::istringstream in(c.typed);
    std::ostringstream out;
    TerminalPrompt prompt(in, out, c.interactive, c.assumeYes);
    EXPECT_EQ(prompt.AskYesNo("Save", "Save changes?"), c.answer) << "'" << c.typed << "'";
    EXPECT_EQ(out.str().rfind("Save changes? [y/N] ", 0), 0u) << out.str();
  }
}

TEST(TerminalPrompt, ACancelAnswersNoWithoutWaitingForTheTerminal) {
  // A terminal on which nothing is typed, and a "y" that must not be read.
  int terminal[2];
  ASSERT_EQ(pipe(terminal), 0);
  std::istringstream in("y\n");
  std::ostringstream out;
  CancelFlag flag;
  CancelPipe cancel(flag);
  TerminalPrompt prompt(in, out, true, false, nullptr, &cancel, terminal[0]);
  // Set from another thread while the question waits, and set before it.
  std::thread user([&flag] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    flag.Set();
  });
  EXPECT_FALSE(prompt.AskYesNo("Update", "Update anyway?"));
  user.join();
  EXPECT_FALSE(prompt.AskYesNo("Update", "Update anyway?"));
  EXPECT_EQ(in.tellg(), 0) << "read an answer after the cancel";

  // Without a cancel the answer is read once the terminal has it.
  flag.Clear();
  ASSERT_EQ(write(terminal[1], "y\n", 2), 2);
  EXPECT_TRUE(prompt.AskYesNo("Update", "Update anyway?"));
  close(terminal[0]);
  close(terminal[1]);
}

TEST(TerminalProgress, PlainLinesEveryTenthOfTheWayAndSilenceWhenQuiet) {
  std::ostringstream out;
  std::ostringstream quiet;
  {
    TerminalProgress progress(out, false, false);
    TerminalProgress silent(quiet, true, true);
    progress.SetRange(58);
    for (int step = 0; step <= 58; ++step) {
      progress.SetProgress(step);
      silent.SetProgress(step);
    }
  }
  // A line when a step enters the next tenth, with that step's percentage.
  EXPECT_EQ(out.str(),
            "progress: 0%\nprogress: 10%\nprogress: 20%\nprogress: 31%\nprogress: 41%\n"
            "progress: 50%\nprogress: 60%\nprogress: 70%\nprogress: 81%\nprogress: 91%\n"
            "progress: 100%\n");
  EXPECT_EQ(quiet.str(), "");
}

TEST(TerminalProgress, BarWithDetailRedrawsOnlyChangesAndIgnoresTheFinalReset) {
  std::ostringstream out;
  TerminalProgress progress(out, true, false);
  progress.SetRange(4, [](int step) { return "step " + std::to_string(step) + " of 4"; });
  progress.SetProgress(1);
  progress.SetProgress(1);  // unchanged: not drawn again
  progress.SetProgress(9);  // clamped to the end
  progress.SetProgress(0);  // operations return to 0 when they end
  progress.Finish();
  EXPECT_EQ(out.str(), Bar(25) + "  step 1 of 4" + Bar(100) + "  step 4 of 4\n");

  // A new range starts a fresh bar, from 0 again.
  out.str("");
  progress.SetRange(100);
  progress.SetProgress(0);
  EXPECT_EQ(out.str(), Bar(0));
}

TEST(TerminalPrompt, EndsTheProgressLineBeforeItSpeaks) {
  std::istringstream in;
  std::ostringstream out;
  TerminalProgress progress(out, true, false);
  TerminalPrompt prompt(in, out, false, false, &progress);
  progress.SetProgress(25);
  prompt.ShowMessage("DAV-OZI", "Communication Error!\nDAV-OZI possibly switched off.",
                     MessageIcon::Error);
  // Messages that say what they are get no second label.
  prompt.ShowMessage("", "ERROR: Handshake failed!", MessageIcon::Error);
  prompt.ShowMessage("", "WARNING: Invalid Flash time stamp.", MessageIcon::Warning);
  prompt.ShowMessage("", "Done.", MessageIcon::Information);
  prompt.AskYesNo("", "Update anyway?");  // the line is closed already: no empty line
  const std::string asked = "Update anyway? [y/N] no (not a terminal; --yes answers yes)\n";
  EXPECT_EQ(out.str(), Bar(25) + "\nError: Communication Error!\nDAV-OZI possibly switched off.\n" +
                           "ERROR: Handshake failed!\nWARNING: Invalid Flash time stamp.\nDone.\n" +
                           asked);
  out.str("");
  progress.SetProgress(50);
  prompt.AskYesNo("", "Update anyway?");
  EXPECT_EQ(out.str(), Bar(50) + "\n" + asked);
}

}  // namespace
}  // namespace vextune::cli
