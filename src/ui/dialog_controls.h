#pragma once

#include <QComboBox>
#include <QPushButton>
#include <QString>
#include <string_view>
#include <utility>

#include "editor/settings_message.h"

class QCheckBox;
class QHBoxLayout;
class QLineEdit;
class QDialog;
class QLabel;

/// How the dialogs build their controls: every control gets its object name
/// (for tests and UI drivers) where it is made, and the OK/Abbrechen row is
/// built in one way.
namespace vextune::ui {

/// A `Widget` made from `args` and `parent`, named `objectName`.
template <typename Widget, typename... Args>
Widget* Make(QWidget* parent, const char* objectName, Args&&... args) {
  auto* widget = new Widget(std::forward<Args>(args)..., parent);
  widget->setObjectName(QString::fromLatin1(objectName));
  return widget;
}

/// A label showing `text` that names `buddy` (none when null).
QLabel* MakeLabel(QWidget* parent, const char* objectName, const QString& text, QWidget* buddy);

/// A check box named `objectName`, without a parent until it is laid out.
QCheckBox* NewCheckBox(const char* objectName, const QString& text);

/// A drop-down list named `objectName` holding `entries` (Latin-1) in order.
template <typename Entries>
QComboBox* NewList(const char* objectName, const Entries& entries) {
  auto* list = Make<QComboBox>(nullptr, objectName);
  for (std::string_view entry : entries)
    list->addItem(QString::fromLatin1(entry.data(), static_cast<qsizetype>(entry.size())));
  return list;
}

/// A push button with its object name, at least as wide as its text needs
/// with room around it. An "&" in `text` marks the letter of its Alt
/// shortcut.
QPushButton* NewButton(const QString& text, const char* objectName, QWidget* parent);

/// The dialog's "&OK" and "&Abbrechen" buttons (Alt+O, Alt+A), named
/// okButton and cancelButton, right-aligned in this order in `layout`. The
/// caller connects them.
struct OkCancelRow {
  QHBoxLayout* layout = nullptr;
  QPushButton* ok = nullptr;
  QPushButton* cancel = nullptr;
};

/// The buttons' width: what the style gives a push button, or NewButton's.
enum class ButtonWidth { Natural, Roomy };

/// An OK/Abbrechen row whose buttons belong to `parent` (null: to whatever
/// the row is laid out in).
OkCancelRow NewOkCancelButtons(QWidget* parent, ButtonWidth width);

/// The row of a dialog that is only confirmed or dismissed: OK is the
/// default button and runs accept, Abbrechen runs reject.
QHBoxLayout* NewOkCancelRow(QDialog* dialog);

/// The layout of a dialog that asks for one thing: `caption` above `field`,
/// and the dialog's OK/Abbrechen row (NewOkCancelRow) at the bottom.
void LayOutOneChoice(QDialog* dialog, QLabel* caption, QWidget* field);

/// Puts the focus into the field a refusal names and selects there what it says.
void FocusRefusedField(QLineEdit* field, FieldSelection selection, int start, int length);

}  // namespace vextune::ui
