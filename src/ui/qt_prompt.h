#pragma once

#include <QPointer>
#include <QWidget>

#include "common/dialog_prompt.h"

namespace vextune::ui {

/// The desktop's message boxes and file dialogs. The only class of the
/// program that creates a QMessageBox or a QFileDialog; everything else asks
/// through the DialogPrompt interface, so tests can script the answers.
class QtPrompt final : public DialogPrompt {
 public:
  /// The application's name, used as the caption where none is given.
  explicit QtPrompt(QString applicationName);

  /// The window the boxes are centred on and modal to when no modal dialog
  /// is active (one that is, is preferred); may be null.
  void SetParentWindow(QWidget* parent) { parent_ = parent; }

  void ShowMessage(const std::string& caption, const std::string& text, MessageIcon icon) override;
  bool AskYesNo(const std::string& caption, const std::string& text) override;
  bool AskYesNoDefaultNo(const std::string& caption, const std::string& text) override;
  size_t AskChoice(const ChoiceQuestion& question) override;
  std::optional<std::string> ChooseFileToOpen(const FileDialogRequest& request) override;
  std::optional<std::string> ChooseFileToSave(const FileDialogRequest& request) override;

 private:
  QString Caption(const std::string& caption) const;
  /// A file dialog's title: the request's, else the application's name.
  QString Title(const FileDialogRequest& request) const;
  bool Ask(const std::string& caption, const std::string& text, bool defaultYes);
  QWidget* Parent() const;

  QString application_name_;
  QPointer<QWidget> parent_;
};

}  // namespace vextune::ui
