#pragma once

#include <iosfwd>

#include "common/operation.h"

namespace vextune::cli {

/// Progress of a long operation on stderr: a bar redrawn in place on a
/// terminal, a plain line every tenth of the way otherwise, nothing when
/// quiet.
class TerminalProgress final : public ProgressListener {
 public:
  TerminalProgress(std::ostream& out, bool terminal, bool quiet);
  ~TerminalProgress() override;

  /// The position that means done: 58 for a configuration transfer, 100 (the
  /// default) for an update's percentage.
  void SetRange(int maximum);
  void SetProgress(int position) override;
  void SetBusy(bool busy) override;
  /// Ends the bar's line; harmless when nothing was drawn.
  void Finish();

 private:
  std::ostream& out_;
  bool terminal_;
  bool quiet_;
  int maximum_ = 100;
  int last_position_ = -1;
  int last_tenth_ = -1;
  bool line_open_ = false;
};

}  // namespace vextune::cli
