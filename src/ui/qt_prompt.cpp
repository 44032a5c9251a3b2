#include "ui/qt_prompt.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <vector>

namespace vextune::ui {
namespace {

QMessageBox::Icon BoxIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::Warning:
      return QMessageBox::Warning;
    case MessageIcon::Error:
      return QMessageBox::Critical;
    case MessageIcon::Question:
      return QMessageBox::Question;
    case MessageIcon::None:
      return QMessageBox::NoIcon;
  }
  return QMessageBox::NoIcon;
}

QString FilterText(const FileDialogRequest& request) {
  QStringList filters;
  for (const std::string& filter : request.filters) filters << QString::fromStdString(filter);
  return filters.join(QStringLiteral(";;"));
}

}  // namespace

QtPrompt::QtPrompt(QString applicationName) : application_name_(std::move(applicationName)) {}

QWidget* QtPrompt::Parent() const {
  // The dialog the user works in, so the box centres on it.
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  return parent_;
}

QString QtPrompt::Caption(const std::string& caption) const {
  return caption.empty() ? application_name_ : QString::fromStdString(caption);
}

void QtPrompt::ShowMessage(const std::string& caption, const std::string& text, MessageIcon icon) {
  QMessageBox box(BoxIcon(icon), Caption(caption), QString::fromStdString(text), QMessageBox::Ok,
                  Parent());
  box.exec();
}

bool QtPrompt::AskYesNo(const std::string& caption, const std::string& text) {
  return Ask(caption, text, true);
}

bool QtPrompt::AskYesNoDefaultNo(const std::string& caption, const std::string& text) {
  return Ask(caption, text, false);
}

bool QtPrompt::Ask(const std::string& caption, const std::string& text, bool defaultYes) {
  QMessageBox box(QMessageBox::Question, Caption(caption), QString::fromStdString(text),
                  QMessageBox::Yes | QMessageBox::No, Parent());
  box.setDefaultButton(defaultYes ? QMessageBox::Yes : QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

size_t QtPrompt::AskChoice(const ChoiceQuestion& question) {
  QMessageBox box(QMessageBox::Question, Caption(question.caption),
                  QString::fromStdString(question.text), QMessageBox::NoButton, Parent());
  std::vector<QPushButton*> buttons;
  for (const std::string& choice : question.choices) {
    QPushButton* button = box.addButton(QString::fromStdString(choice), QMessageBox::ActionRole);
    button->setAccessibleName(QString::fromStdString(choice));
    buttons.push_back(button);
  }
  if (question.defaultChoice < buttons.size()) box.setDefaultButton(buttons[question.defaultChoice]);
  if (question.escapeChoice < buttons.size()) box.setEscapeButton(buttons[question.escapeChoice]);
  box.exec();
  for (size_t i = 0; i < buttons.size(); ++i) {
    if (box.clickedButton() == buttons[i]) return i;
  }
  return question.escapeChoice;
}

QString QtPrompt::Title(const FileDialogRequest& request) const {
  return request.title.empty() ? application_name_ : QString::fromStdString(request.title);
}

std::optional<std::string> QtPrompt::ChooseFileToOpen(const FileDialogRequest& request) {
  QFileDialog dialog(Parent(), Title(request), QString::fromStdString(request.proposedName),
                     FilterText(request));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (!request.defaultExtension.empty())
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension).remove(0, 1));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

std::optional<std::string> QtPrompt::ChooseFileToSave(const FileDialogRequest& request) {
  QFileDialog dialog(Parent(), Title(request), QString::fromStdString(request.proposedName),
                     FilterText(request));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  if (!request.confirmOverwrite) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (!request.defaultExtension.empty())
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension).remove(0, 1));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front().toStdString();
}

}  // namespace vextune::ui
