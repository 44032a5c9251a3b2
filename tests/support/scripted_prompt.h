#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/dialog_prompt.h"

namespace vextune::testing {

/// A prompt whose answers the test scripts in advance and which records
/// everything it was shown. An unscripted question answers No (or Cancel for
/// a file dialog) and is counted, so that a test can assert none happened.
class ScriptedPrompt final : public DialogPrompt {
 public:
  enum class Kind { Message, Question, Choice, OpenFile, SaveFile };

  struct Shown {
    Kind kind = Kind::Message;
    std::string caption;
    std::string text;  ///< message or question text
    MessageIcon icon = MessageIcon::Information;
    FileDialogRequest request;  ///< file dialogs only
    bool defaultNo = false;     ///< questions: asked with No as the default
    ChoiceQuestion choice;      ///< choice questions only
  };

  void AnswerYes() { answers_.push_back(true); }
  void AnswerNo() { answers_.push_back(false); }
  /// The next choice question picks the answer whose text is `choice`.
  void AnswerChoice(std::string choice) { choices_.push_back(std::move(choice)); }
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
  bool AllAnswersUsed() const { return answers_.empty() && files_.empty() && choices_.empty(); }
  void Clear() { shown_.clear(); }

  void ShowMessage(const std::string& caption, const std::string& text, MessageIcon icon) override {
    Record(Make(Kind::Message, caption, text, icon));
  }

  bool AskYesNo(const std::string& caption, const std::string& text) override {
    return Answer(Make(Kind::Question, caption, text, MessageIcon::Question));
  }

  bool AskYesNoDefaultNo(const std::string& caption, const std::string& text) override {
    Shown shown = Make(Kind::Question, caption, text, MessageIcon::Question);
    shown.defaultNo = true;
    return Answer(shown);
  }

  /// An unscripted choice question picks the escape choice; a scripted
  /// answer that is not among the choices fails the test by throwing.
  size_t AskChoice(const ChoiceQuestion& question) override {
    Shown shown = Make(Kind::Choice, question.caption, question.text, MessageIcon::Question);
    shown.choice = question;
    Record(shown);
    if (choices_.empty()) {
      ++unscripted_;
      return question.escapeChoice;
    }
    const std::string answer = choices_.front();
    choices_.pop_front();
    for (size_t i = 0; i < question.choices.size(); ++i) {
      if (question.choices[i] == answer) return i;
    }
    throw std::logic_error("no choice \"" + answer + "\" in: " + question.text);
  }

  std::optional<std::string> ChooseFileToOpen(const FileDialogRequest& request) override {
    Shown shown = Make(Kind::OpenFile, {}, {}, MessageIcon::Information);
    shown.request = request;
    return NextFile(shown);
  }

  std::optional<std::string> ChooseFileToSave(const FileDialogRequest& request) override {
    Shown shown = Make(Kind::SaveFile, {}, {}, MessageIcon::Information);
    shown.request = request;
    return NextFile(shown);
  }

 private:
  static Shown Make(Kind kind, const std::string& caption, const std::string& text,
                    MessageIcon icon) {
    Shown shown;
    shown.kind = kind;
    shown.caption = caption;
    shown.text = text;
    shown.icon = icon;
    return shown;
  }

  bool Answer(const Shown& shown) {
    Record(shown);
    if (answers_.empty()) {
      ++unscripted_;
      return false;
    }
    const bool answer = answers_.front();
    answers_.pop_front();
    return answer;
  }

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
  std::deque<std::string> choices_;
  std::vector<Shown> shown_;
  int unscripted_ = 0;
};

}  // namespace vextune::testing
