#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/file_chooser.h"
#include "common/operation.h"

namespace vextune {

/// A question with more answers than Yes and No: one button per choice, in
/// the order given, with plain texts ("Send", "Save", "Discard", "Cancel").
struct ChoiceQuestion {
  std::string caption;  ///< empty: the application's name
  std::string text;
  std::vector<std::string> choices;
  /// What Enter picks.
  size_t defaultChoice = 0;
  /// What Escape and the window's close button pick.
  size_t escapeChoice = 0;
};

/// Everything the desktop program asks of its user: message boxes,
/// questions and file dialogs. One implementation shows Qt's dialogs (the
/// only place that does), tests script the answers.
class DialogPrompt : public UserPrompt, public FileChooser {
 public:
  /// Asks `question`; returns the index of the chosen answer.
  virtual size_t AskChoice(const ChoiceQuestion& question) = 0;
};

}  // namespace vextune
