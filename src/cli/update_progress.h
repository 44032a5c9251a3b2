#pragma once

#include <iosfwd>
#include <string>

#include "common/operation.h"
#include "update/firmware_update.h"

namespace vextune::cli {

/// An update's progress on stderr with percent and blocks: a bar redrawn in
/// place on a terminal, a line every tenth of the way otherwise, nothing when
/// quiet. Reads the block counts from the run's live info.
class UpdateProgressBar final : public ProgressListener {
 public:
  UpdateProgressBar(std::ostream& out, bool terminal, bool quiet, const UpdateRunInfo& info);
  ~UpdateProgressBar() override;

  void SetProgress(int percent) override;
  void SetBusy(bool busy) override;
  /// Ends the bar's line, so that a message starts on a line of its own.
  void Finish();

 private:
  std::ostream& out_;
  bool terminal_;
  bool quiet_;
  const UpdateRunInfo& info_;
  int last_tenth_ = -1;
  bool line_open_ = false;
};

/// Passes messages and questions on after ending the progress bar's line.
class ProgressAwarePrompt final : public UserPrompt {
 public:
  ProgressAwarePrompt(UserPrompt& inner, UpdateProgressBar& bar) : inner_(inner), bar_(bar) {}
  void ShowMessage(const std::string& caption, const std::string& text, MessageIcon icon) override {
    bar_.Finish();
    inner_.ShowMessage(caption, text, icon);
  }
  bool AskYesNo(const std::string& caption, const std::string& text) override {
    bar_.Finish();
    return inner_.AskYesNo(caption, text);
  }

 private:
  UserPrompt& inner_;
  UpdateProgressBar& bar_;
};

}  // namespace vextune::cli
