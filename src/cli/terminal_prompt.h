#pragma once

#include <iosfwd>
#include <string>

#include "cli/terminal_progress.h"
#include "common/cancel_pipe.h"
#include "common/operation.h"

namespace vextune::cli {

/// Messages and questions on the terminal. Messages go to `out` (stderr);
/// a question is asked on `in` only when it is interactive, else `--yes`
/// answers Yes and everything else No.
class TerminalPrompt final : public UserPrompt {
 public:
  /// `progress`, when given, has its bar's line ended before anything is
  /// printed. With `cancel`, a question waits for the terminal descriptor
  /// `inputFd` (the one under `in`) and for the cancel at once: a cancel
  /// answers No, also one that came before the answer was awaited.
  TerminalPrompt(std::istream& in, std::ostream& out, bool interactive, bool assumeYes,
                 TerminalProgress* progress = nullptr, CancelPipe* cancel = nullptr,
                 int inputFd = -1);

  void ShowMessage(const std::string& caption, const std::string& text, MessageIcon icon) override;
  bool AskYesNo(const std::string& caption, const std::string& text) override;

  /// The text of the last message shown; empty before the first.
  const std::string& lastMessage() const { return last_message_; }

 private:
  std::istream& in_;
  std::ostream& out_;
  bool interactive_;
  bool assume_yes_;
  /// False when the cancel came first.
  bool WaitForInput();

  TerminalProgress* progress_;
  std::string last_message_;
  CancelPipe* cancel_;
  int input_fd_;
};

}  // namespace vextune::cli
