#include "cli/terminal_prompt.h"

#include <istream>
#include <ostream>

#include "common/cancel_pipe.h"
#include "common/text_util.h"

namespace vextune::cli {

TerminalPrompt::TerminalPrompt(std::istream& in, std::ostream& out, bool interactive,
                               bool assumeYes, TerminalProgress* progress, CancelPipe* cancel,
                               int inputFd)
    : in_(in),
      out_(out),
      interactive_(interactive),
      assume_yes_(assumeYes),
      progress_(progress),
      cancel_(cancel),
      input_fd_(inputFd) {}

bool TerminalPrompt::WaitForInput() {
  if (!cancel_) return true;
  // A signal alone may come just before the read begins and would then be
  // missed by it: wait for the answer and the cancel together.
  return cancel_->WaitForInput(input_fd_);
}

void TerminalPrompt::ShowMessage(const std::string& /*caption*/, const std::string& text,
                                 MessageIcon icon) {
  if (progress_) progress_->Finish();
  std::string label;
  if (icon == MessageIcon::Error) label = "Error: ";
  if (icon == MessageIcon::Warning) label = "Warning: ";
  // Many device messages already say what they are ("ERROR: File too large!").
  if (!label.empty()) {
    const std::string word = label.substr(0, label.size() - 2);  // without ": "
    if (ToLowerAscii(text.substr(0, word.size())) == ToLowerAscii(word)) label.clear();
  }
  out_ << label << text << '\n' << std::flush;
  last_message_ = text;
}

bool TerminalPrompt::AskYesNo(const std::string& /*caption*/, const std::string& text) {
  if (progress_) progress_->Finish();
  out_ << text << " [y/N] ";
  if (assume_yes_) {
    out_ << "yes (--yes)\n" << std::flush;
    return true;
  }
  if (!interactive_) {
    out_ << "no (not a terminal; --yes answers yes)\n" << std::flush;
    return false;
  }
  out_ << std::flush;
  std::string answer;
  if (!WaitForInput() || !std::getline(in_, answer)) {
    out_ << '\n' << std::flush;
    return false;
  }
  answer = ToLowerAscii(TrimSpace(answer));
  return answer == "y" || answer == "yes";
}

}  // namespace vextune::cli
