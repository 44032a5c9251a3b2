#include "cli/terminal_progress.h"

#include <algorithm>
#include <ostream>
#include <string>

namespace vextune::cli {

namespace {
constexpr int kBarWidth = 40;
}  // namespace

TerminalProgress::TerminalProgress(std::ostream& out, bool terminal, bool quiet, Clock* clock)
    : out_(out),
      terminal_(terminal),
      quiet_(quiet),
      clock_(clock ? *clock : system_clock_),
      start_ms_(clock_.NowMs()) {}

TerminalProgress::~TerminalProgress() {
  Finish();
}

void TerminalProgress::SetRange(int maximum, Detail detail) {
  Finish();
  maximum_ = std::max(1, maximum);
  detail_ = std::move(detail);
  range_open_ = true;
  start_ms_ = clock_.NowMs();
  furthest_ = 0;
  last_tenth_ = 0;
}

void TerminalProgress::SetProgress(int position) {
  if (quiet_) return;
  position = std::clamp(position, 0, maximum_);
  // Unchanged, not yet begun, or the reset at the end.
  if (position <= furthest_) return;
  furthest_ = position;
  Draw(position);
}

void TerminalProgress::SetBusy(bool busy) {
  if (!busy) Finish();
}

void TerminalProgress::Complete() {
  if (range_open_ && !quiet_ && furthest_ < maximum_) {
    furthest_ = maximum_;
    Draw(maximum_);
  }
  Finish();
  range_open_ = false;
}

void TerminalProgress::Finish() {
  if (line_open_) out_ << '\n' << std::flush;
  line_open_ = false;
  last_length_ = 0;
}

std::string TerminalProgress::FormatDuration(uint64_t ms) {
  const uint64_t seconds = ms / 1000;
  const uint64_t rest = seconds % 60;
  return std::to_string(seconds / 60) + (rest < 10 ? ":0" : ":") + std::to_string(rest);
}

std::string TerminalProgress::TimeText(int position) {
  const uint64_t elapsed = clock_.NowMs() - start_ms_;
  std::string text = "  " + FormatDuration(elapsed) + " elapsed";
  // Before a twentieth of the way the pace says too little about the rest.
  const bool estimate = position < maximum_ && position * 20 >= maximum_;
  if (estimate) {
    const uint64_t left =
        elapsed * static_cast<uint64_t>(maximum_ - position) / static_cast<uint64_t>(position);
    text += ", about " + FormatDuration(left) + " left";
  }
  return text;
}

void TerminalProgress::Draw(int position) {
  const int percent = position * 100 / maximum_;
  const std::string detail =
      (detail_ ? "  " + detail_(position) : std::string()) + TimeText(position);
  if (terminal_) {
    const int filled = position * kBarWidth / maximum_;
    std::string line = "[" + std::string(filled, '#') + std::string(kBarWidth - filled, ' ') +
                       "] " + std::to_string(percent) + "%" + detail;
    const size_t length = line.size();
    // Blanks over what a longer line before left behind.
    if (length < last_length_) line += std::string(last_length_ - length, ' ');
    last_length_ = length;
    out_ << '\r' << line << std::flush;
    line_open_ = true;
    return;
  }
  const int tenth = percent / 10;
  if (tenth == last_tenth_ && position < maximum_) return;
  last_tenth_ = tenth;
  out_ << "progress: " << percent << "%" << detail << "\n" << std::flush;
}

}  // namespace vextune::cli
