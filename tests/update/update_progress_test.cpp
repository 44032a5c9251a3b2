#include "cli/update_progress.h"

#include <gtest/gtest.h>

#include <sstream>

#include "update_test_doubles.h"

namespace vextune::cli {
namespace {

class UpdateProgressBarTest : public ::testing::Test {
 protected:
  /// Plays a run of `blocks` blocks into `bar` the way the update reports it.
  void PlayRun(UpdateProgressBar& bar, uint32_t blocks) {
    info_.limits.blockCount = blocks;
    bar.SetBusy(true);
    for (uint32_t sent = 1; sent <= blocks; ++sent) {
      info_.blocksSent = sent;
      bar.SetProgress(static_cast<int>(sent * 100 / blocks));
    }
    bar.SetProgress(0);
    bar.SetBusy(false);
  }
  UpdateRunInfo info_;
  std::ostringstream out_;
};

TEST_F(UpdateProgressBarTest, PlainOutputGivesTheFirstBlockAndThenOneLinePerTenth) {
  UpdateProgressBar bar(out_, false, false, info_);
  PlayRun(bar, 20);
  std::string expected = "progress: 5%  1/20 blocks\n";
  for (int block = 2; block <= 20; block += 2) {
    expected +=
        "progress: " + std::to_string(block * 5) + "%  " + std::to_string(block) + "/20 blocks\n";
  }
  EXPECT_EQ(out_.str(), expected);
}

TEST_F(UpdateProgressBarTest, TerminalBarRedrawsInPlaceAndKeepsItsLastStateAtTheEnd) {
  UpdateProgressBar bar(out_, true, false, info_);
  PlayRun(bar, 2);
  EXPECT_EQ(out_.str(), "\r[" + std::string(20, '#') + std::string(20, ' ') + "] 50%  1/2 blocks" +
                            "\r[" + std::string(40, '#') + "] 100%  2/2 blocks\n");
}

TEST_F(UpdateProgressBarTest, MessagesStartOnALineOfTheirOwn) {
  UpdateProgressBar bar(out_, true, false, info_);
  testing::RecordingPrompt inner;
  ProgressAwarePrompt prompt(inner, bar);
  info_.limits.blockCount = 4;
  info_.blocksSent = 1;
  bar.SetProgress(25);
  prompt.ShowMessage("", "ERROR: Handshake failed!", MessageIcon::Error);
  EXPECT_EQ(out_.str().back(), '\n');
  const size_t length = out_.str().size();
  prompt.AskYesNo("", "question");  // the line is closed already: no empty line
  EXPECT_EQ(out_.str().size(), length);
  EXPECT_EQ(inner.messages.size(), 1u);
  EXPECT_EQ(inner.questions.size(), 1u);
}

}  // namespace
}  // namespace vextune::cli
