#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <sstream>
#include <string>
#include <thread>

#include "cli/terminal_progress.h"
#include "cli/terminal_prompt.h"
#include "fake_clock.h"

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

TEST(TerminalProgress, PlainLinesEveryTenthOfTheWayWithTimeAndSilenceWhenQuiet) {
  std::ostringstream out;
  std::ostringstream quiet;
  testing::FakeClock clock;
  {
    TerminalProgress progress(out, false, false, &clock);
    TerminalProgress silent(quiet, true, true, &clock);
    progress.SetRange(58);
    silent.SetRange(58);
    for (int step = 0; step <= 58; ++step) {
      progress.SetProgress(step);
      silent.SetProgress(step);
      clock.SleepMs(1000);
    }
    silent.Complete();
  }
  // A line when a step enters the next tenth, with that step's percentage,
  // the time so far and, from a twentieth of the way on, the time left.
  EXPECT_EQ(out.str(),
            "progress: 10%  0:06 elapsed, about 0:52 left\n"
            "progress: 20%  0:12 elapsed, about 0:46 left\n"
            "progress: 31%  0:18 elapsed, about 0:40 left\n"
            "progress: 41%  0:24 elapsed, about 0:34 left\n"
            "progress: 50%  0:29 elapsed, about 0:29 left\n"
            "progress: 60%  0:35 elapsed, about 0:23 left\n"
            "progress: 70%  0:41 elapsed, about 0:17 left\n"
            "progress: 81%  0:47 elapsed, about 0:11 left\n"
            "progress: 91%  0:53 elapsed, about 0:05 left\n"
            "progress: 100%  0:58 elapsed\n");
  EXPECT_EQ(quiet.str(), "");
}

TEST(TerminalProgress, BarWithDetailRedrawsOnlyChangesAndIgnoresTheFinalReset) {
  std::ostringstream out;
  testing::FakeClock clock;
  TerminalProgress progress(out, true, false, &clock);
  progress.SetRange(4, [](int step) { return "step " + std::to_string(step) + " of 4"; });
  clock.SleepMs(2000);
  progress.SetProgress(1);
  progress.SetProgress(1);  // unchanged: not drawn again
  clock.SleepMs(61000);
  progress.SetProgress(9);  // clamped to the end
  progress.SetProgress(0);  // operations return to 0 when they end
  progress.Finish();
  const std::string first = Bar(25) + "  step 1 of 4  0:02 elapsed, about 0:06 left";
  const std::string last = Bar(100) + "  step 4 of 4  1:03 elapsed";
  // The shorter last line covers the rest of the longer one with blanks.
  EXPECT_EQ(out.str(), first + last + std::string(first.size() - last.size(), ' ') + "\n");

  // A new range starts a fresh bar and a fresh time; 0 is not drawn.
  out.str("");
  progress.SetRange(100);
  progress.SetProgress(0);
  EXPECT_EQ(out.str(), "");
  clock.SleepMs(3000);
  progress.SetProgress(1);
  EXPECT_EQ(out.str(), Bar(1) + "  0:03 elapsed");
}

TEST(TerminalProgress, CompleteShowsTheWholeWayOnlyForABarThatWasStarted) {
  testing::FakeClock clock;
  struct Case {
    bool terminal;
    bool quiet;
    bool started;  // SetRange called
    int lastStep;  // of 58 before Complete; 0: none
    std::string expected;
  };
  const std::string bar96 = Bar(96) + "  0:56 elapsed, about 0:02 left";
  const std::string bar100 = Bar(100) + "  0:58 elapsed";
  const std::string line96 = "progress: 96%  0:56 elapsed, about 0:02 left\n";
  const Case cases[] = {
      // A transfer whose last step is never reported still ends at 100 %,
      // the shorter line covering the longer one.
      {true, false, true, 56,
       bar96 + bar100 + std::string(bar96.size() - bar100.size(), ' ') + "\n"},
      {false, false, true, 56, line96 + "progress: 100%  0:58 elapsed\n"},
      {false, false, true, 58, line96 + "progress: 100%  0:58 elapsed\n"},  // not twice
      {true, false, false, 0, ""},
      {true, true, true, 56, ""},
  };
  for (const Case& c : cases) {
    std::ostringstream out;
    TerminalProgress progress(out, c.terminal, c.quiet, &clock);
    if (c.started) progress.SetRange(58);
    for (int step = 1; step <= c.lastStep; ++step) {
      clock.SleepMs(1000);
      if (step >= 56) progress.SetProgress(step);
    }
    clock.SleepMs(static_cast<uint32_t>(58 - c.lastStep) * 1000);
    progress.Complete();
    progress.Complete();
    EXPECT_EQ(out.str(), c.expected) << c.terminal << c.quiet << c.started << c.lastStep;
  }
}

TEST(TerminalProgress, AnOperationThatNeverStartedLeavesNoLine) {
  // An update refused before its first block reports 0 and then ends.
  for (bool terminal : {true, false}) {
    std::ostringstream out;
    testing::FakeClock clock;
    {
      TerminalProgress progress(out, terminal, false, &clock);
      progress.SetRange(100, [](int) { return "0/0 blocks"; });
      progress.SetProgress(0);
      progress.SetBusy(false);
    }
    EXPECT_EQ(out.str(), "") << terminal;
  }
}

TEST(TerminalProgress, DurationsInMinutesAndSeconds) {
  const std::pair<uint64_t, const char*> cases[] = {
      {0, "0:00"}, {999, "0:00"}, {7000, "0:07"}, {61000, "1:01"}, {3600000, "60:00"}};
  for (const auto& [ms, text] : cases) EXPECT_EQ(TerminalProgress::FormatDuration(ms), text);
}

TEST(TerminalPrompt, EndsTheProgressLineBeforeItSpeaks) {
  std::istringstream in;
  std::ostringstream out;
  testing::FakeClock clock;
  TerminalProgress progress(out, true, false, &clock);
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
  EXPECT_EQ(out.str(), Bar(25) +
                           "  0:00 elapsed, about 0:00 left\nError: Communication Error!\nDAV-OZI "
                           "possibly switched off.\n" +
                           "ERROR: Handshake failed!\nWARNING: Invalid Flash time stamp.\nDone.\n" +
                           asked);
  out.str("");
  progress.SetProgress(50);
  prompt.AskYesNo("", "Update anyway?");
  EXPECT_EQ(out.str(), Bar(50) + "  0:00 elapsed, about 0:00 left\n" + asked);
}

}  // namespace
}  // namespace vextune::cli
