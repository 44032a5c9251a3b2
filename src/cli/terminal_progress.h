#pragma once

#include <functional>
#include <iosfwd>
#include <string>

#include "common/operation.h"

namespace vextune::cli {

/// Progress of a long operation on stderr: a bar redrawn in place on a
/// terminal, a plain line every tenth of the way otherwise, nothing when
/// quiet. The operations set their position back to 0 when they end; that is
/// not drawn, so the last bar shows where the operation got to.
class TerminalProgress final : public ProgressListener {
 public:
  /// Text shown behind the percentage, from the position ("step 12 of 58").
  using Detail = std::function<std::string(int position)>;

  TerminalProgress(std::ostream& out, bool terminal, bool quiet);
  ~TerminalProgress() override;

  /// Starts a fresh bar: `maximum` is the position that means done (58 for a
  /// configuration transfer, 100 for an update's percentage).
  void SetRange(int maximum, Detail detail = {});
  void SetProgress(int position) override;
  void SetBusy(bool busy) override;
  /// Ends the bar's line, so that a message starts on a line of its own;
  /// harmless when nothing was drawn.
  void Finish();

 private:
  std::ostream& out_;
  bool terminal_;
  bool quiet_;
  int maximum_ = 100;
  Detail detail_;
  int furthest_ = -1;
  int last_tenth_ = -1;
  bool line_open_ = false;
};

}  // namespace vextune::cli
