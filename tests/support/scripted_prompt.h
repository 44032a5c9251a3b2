#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/dialog_prompt.h"

namespace vextune::testing {

/// A prompt whose answers the test scripts in advance and which records
/// everything it was shown. An unscripted question answers No (or Cancel for
/// a file dialog) and is counted, so that a test can assert none happened.
class ScriptedPrompt final : public DialogPrompt {
 public:
  enum class Kind { Message, Question, OpenFile, SaveFile };

  struct Shown {
    Kind kind;
    std::string caption;
    std::string text;  ///< message or question text
    MessageIcon icon = MessageIcon::Information;
    FileDialogRequest request;  ///< file dialogs only
  };

  void AnswerYes() { answers_.push_back(true); }
  void AnswerNo() { answers_.push_back(false); }
  /// The next file dialog returns `path`; std::nullopt means Cancel.
  void ChooseFile(std::optional<std::string> path) { files_.push_back(std::move(path)); }

  /// Called whenever something is shown, before the answer is returned (a
  /// GUI test looks at focus and selection at that moment).
  std::function<void(const Shown&)> onShow;

  const std::vector<Shown>& shown() const { return shown_; }
  /// The texts of everything shown, in order.
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const Shown& s : shown_) texts.push_back(s.text);
    return texts;
  }
  int unscripted() const { return unscripted_; }
  bool AllAnswersUsed() const { return answers_.empty() && files_.empty(); }
  void Clear() { shown_.clear(); }

  void ShowMessage(const std::string& caption, const std::string& text, MessageIcon icon) override {
    Record({Kind::Message, caption, text, icon, {}});
  }

  bool AskYesNo(const std::string& caption, const std::string& text) override {
    Record({Kind::Question, caption, text, MessageIcon::Question, {}});
    if (answers_.empty()) {
      ++unscripted_;
      return false;
    }
    const bool answer = answers_.front();
    answers_.pop_front();
    return answer;
  }

  std::optional<std::string> ChooseFileToOpen(const FileDialogRequest& request) override {
    return NextFile({Kind::OpenFile, {}, {}, MessageIcon::Information, request});
  }

  std::optional<std::string> ChooseFileToSave(const FileDialogRequest& request) override {
    return NextFile({Kind::SaveFile, {}, {}, MessageIcon::Information, request});
  }

 private:
  void Record(const Shown& shown) {
    shown_.push_back(shown);
    if (onShow) onShow(shown);
  }

  std::optional<std::string> NextFile(const Shown& shown) {
    Record(shown);
    if (files_.empty()) {
      ++unscripted_;
      return std::nullopt;
    }
    std::optional<std::string> path = files_.front();
    files_.pop_front();
    return path;
  }

  std::deque<bool> answers_;
  std::deque<std::optional<std::string>> files_;
  std::vector<Shown> shown_;
  int unscripted_ = 0;
};

}  // namespace vextune::testing
