#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/dialog_prompt.h"

namespace vextune {

/// The prompt of a program that runs the dialogs with nobody at them (the
/// GUI benchmark, the screenshot tool). It keeps the text of every message
/// and question; questions get `answerYes`, choice questions their escape
/// choice, the open dialog `fileToOpen`, and the save dialog is cancelled.
class UnattendedPrompt final : public DialogPrompt {
 public:
  void ShowMessage(const std::string& caption, const std::string& text, MessageIcon) override {
    shown.push_back(text);
    if (onShown) onShown(caption, text);
  }
  bool AskYesNo(const std::string& caption, const std::string& text) override {
    ShowMessage(caption, text, MessageIcon::Question);
    return answerYes;
  }
  size_t AskChoice(const ChoiceQuestion& question) override {
    ShowMessage(question.caption, question.text, MessageIcon::Question);
    return question.escapeChoice;
  }
  std::optional<std::string> ChooseFileToOpen(const FileDialogRequest&) override {
    return fileToOpen;
  }
  std::optional<std::string> ChooseFileToSave(const FileDialogRequest&) override {
    return std::nullopt;
  }

  bool answerYes = false;
  std::optional<std::string> fileToOpen;
  /// Called with each message's or question's caption and text as it is shown.
  std::function<void(const std::string& caption, const std::string& text)> onShown;
  std::vector<std::string> shown;
};

}  // namespace vextune
