#include "cli/update_progress.h"

#include <algorithm>
#include <ostream>

namespace vextune::cli {

namespace {
constexpr int kBarWidth = 40;
}

UpdateProgressBar::UpdateProgressBar(std::ostream& out, bool terminal, bool quiet,
                                     const UpdateRunInfo& info)
    : out_(out), terminal_(terminal), quiet_(quiet), info_(info) {}

UpdateProgressBar::~UpdateProgressBar() {
  Finish();
}

void UpdateProgressBar::SetProgress(int percent) {
  // The run returns the bar to 0 when it ends; the terminal keeps the last
  // state instead.
  if (quiet_ || percent <= 0) return;
  percent = std::min(percent, 100);
  const std::string blocks =
      std::to_string(info_.blocksSent) + "/" + std::to_string(info_.limits.blockCount) + " blocks";
  if (terminal_) {
    const int filled = percent * kBarWidth / 100;
    out_ << "\r[" << std::string(filled, '#') << std::string(kBarWidth - filled, ' ') << "] "
         << percent << "%  " << blocks << std::flush;
    line_open_ = true;
    return;
  }
  const int tenth = percent / 10;
  if (tenth == last_tenth_) return;
  last_tenth_ = tenth;
  out_ << "progress: " << percent << "%  " << blocks << "\n" << std::flush;
}

void UpdateProgressBar::SetBusy(bool busy) {
  if (busy) {
    last_tenth_ = -1;
  } else {
    Finish();
  }
}

void UpdateProgressBar::Finish() {
  if (line_open_) out_ << '\n' << std::flush;
  line_open_ = false;
}

}  // namespace vextune::cli
