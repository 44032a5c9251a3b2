#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>

#include "common/clock.h"
#include "common/operation.h"

namespace vextune::cli {

/// Progress of a long operation on stderr: a bar redrawn in place on a
/// terminal, a plain line every tenth of the way otherwise, nothing when
/// quiet; beside it the time elapsed and, once a twentieth is done, the time
/// left at the pace so far. Nothing is drawn before the first step, so an
/// operation that never starts leaves no progress line. The operations set
/// their position back to 0 when they end; that is not drawn either, so the
/// last bar shows where the operation got to, and Complete() shows 100 %.
class TerminalProgress final : public ProgressListener {
 public:
  /// Text shown behind the percentage, from the position ("step 12 of 58").
  using Detail = std::function<std::string(int position)>;

  /// `clock` (may be null: the system's clock) measures the elapsed time.
  TerminalProgress(std::ostream& out, bool terminal, bool quiet, Clock* clock = nullptr);
  ~TerminalProgress() override;

  /// Starts a fresh bar and its time: `maximum` is the position that means
  /// done (58 for a configuration transfer, 100 for an update's percentage).
  void SetRange(int maximum, Detail detail = {});
  void SetProgress(int position) override;
  void SetBusy(bool busy) override;
  /// The operation of the current bar completed: shows it at 100 % with the
  /// time it took and ends the line. Nothing when no bar was started.
  void Complete();
  /// Ends the bar's line, so that a message starts on a line of its own;
  /// harmless when nothing was drawn.
  void Finish();

  /// "0:07", "12:30": a duration in minutes and seconds.
  static std::string FormatDuration(uint64_t ms);

 private:
  void Draw(int position);
  std::string TimeText(int position);

  std::ostream& out_;
  bool terminal_;
  bool quiet_;
  SystemClock system_clock_;
  Clock& clock_;
  int maximum_ = 100;
  Detail detail_;
  bool range_open_ = false;
  uint64_t start_ms_ = 0;
  int furthest_ = 0;
  int last_tenth_ = 0;
  size_t last_length_ = 0;
  bool line_open_ = false;
};

}  // namespace vextune::cli
