#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <memory>

#include "editor/aprs_settings_record.h"
#include "link/device_state.h"
#include "scripted_prompt.h"
#include "ui/aprs_settings_dlg.h"

namespace vextune::testing {

/// The APRS settings dialog opened on chosen values, shown and active, with
/// a scripted prompt; the helpers act as a user would.
class AprsDialogHarness {
 public:
  ScriptedPrompt prompt;
  DeviceState device;
  std::unique_ptr<ui::CAprsSettings> dialog;

  /// Opens on `values` for firmware `firmware` (-1: no device).
  bool Open(const AprsSettingsValues& values, int32_t firmware = -1) {
    device.firmwareVersion = firmware;
    dialog = std::make_unique<ui::CAprsSettings>(values, device, prompt);
    dialog->show();
    QApplication::setActiveWindow(dialog.get());
    return QTest::qWaitForWindowActive(dialog.get());
  }

  template <typename Widget>
  Widget* Get(const char* name) const {
    auto* widget = dialog->findChild<Widget*>(QString::fromLatin1(name));
    if (widget == nullptr) qFatal("no control named %s", name);
    return widget;
  }
  QLineEdit* Field(const char* name) const { return Get<QLineEdit>(name); }
  QComboBox* List(const char* name) const { return Get<QComboBox>(name); }
  QAbstractButton* Button(const char* name) const { return Get<QAbstractButton>(name); }

  /// Clicks a button, check box or radio button in its middle.
  void Click(const char* name) const {
    QAbstractButton* button = Button(name);
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
  }

  /// Types `text` into `widget` key by key; characters beyond ASCII arrive
  /// as a key event carrying the character, as from a keyboard layout.
  static void TypeText(QWidget* widget, const QString& text) {
    for (QChar c : text) {
      if (c.unicode() < 0x80) {
        QTest::keyClicks(widget, QString(c));
      } else {
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
      }
    }
  }

  /// Gives `name` the focus and types `text` over its whole content.
  void Retype(const char* name, const QString& text) const {
    QLineEdit* field = Field(name);
    field->setFocus(Qt::TabFocusReason);
    field->selectAll();
    if (text.isEmpty()) {
      QTest::keyClick(field, Qt::Key_Delete);
    } else {
      TypeText(field, text);
    }
  }

  /// Types `text` at the end of the field.
  void Append(const char* name, const QString& text) const {
    QLineEdit* field = Field(name);
    field->setFocus(Qt::TabFocusReason);
    field->end(false);
    TypeText(field, text);
  }

  void PressOk() const { Click("okButton"); }
  bool Accepted() const { return dialog->result() == QDialog::Accepted && !dialog->isVisible(); }

  /// The selected part of a field as "start+length"; "-1+0" for none.
  static QString Selection(const QLineEdit* field) {
    return QStringLiteral("%1+%2").arg(field->selectionStart()).arg(field->selectedText().size());
  }
};

/// The values of a freshly reset record.
AprsSettingsValues DefaultAprsValues();

}  // namespace vextune::testing
