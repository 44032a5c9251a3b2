#include "cli/terminal_progress.h"

#include <algorithm>
#include <ostream>
#include <string>

namespace vextune::cli {

namespace {
constexpr int kBarWidth = 40;
}

TerminalProgress::TerminalProgress(std::ostream& out, bool terminal, bool quiet)
    : out_(out), terminal_(terminal), quiet_(quiet) {}

TerminalProgress::~TerminalProgress() {
  Finish();
}

void TerminalProgress::SetRange(int maximum, Detail detail) {
  Finish();
  maximum_ = std::max(1, maximum);
  detail_ = std::move(detail);
  furthest_ = -1;
  last_tenth_ = -1;
}

void TerminalProgress::SetProgress(int position) {
  if (quiet_) return;
  position = std::clamp(position, 0, maximum_);
  if (position <= furthest_) return;  // unchanged, or the reset at the end
  furthest_ = position;
  const int percent = position * 100 / maximum_;
  const std::string detail = detail_ ? "  " + detail_(position) : std::string();
  if (terminal_) {
    const int filled = position * kBarWidth / maximum_;
    out_ << "\r[" << std::string(filled, '#') << std::string(kBarWidth - filled, ' ') << "] "
         << percent << "%" << detail << std::flush;
    line_open_ = true;
    return;
  }
  const int tenth = percent / 10;
  if (tenth == last_tenth_) return;
  last_tenth_ = tenth;
  out_ << "progress: " << percent << "%" << detail << "\n" << std::flush;
}

void TerminalProgress::SetBusy(bool busy) {
  if (!busy) Finish();
}

void TerminalProgress::Finish() {
  if (line_open_) out_ << '\n' << std::flush;
  line_open_ = false;
}

}  // namespace vextune::cli
