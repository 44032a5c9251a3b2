// Every control of the main selection, port, about, configuration and update
// dialogs can be found by name, is named for a screen reader, and is reached
// by Tab in the order of the layout.
#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTest>

#include "main_gui_support.h"
#include "scripted_prompt.h"
#include "ui/about_dlg.h"
#include "ui/application_state.h"
#include "ui/choose_davozi_dlg.h"
#include "ui/com_port_einstellung.h"
#include "ui/configuration_main_dlg.h"
#include "ui/main_selection_dlg.h"
#include "ui/update_dlg.h"

using namespace vextune;
using vextune::testing::FakeSettingsEditor;
using vextune::testing::ScriptedPrompt;

namespace {

/// The controls a user works with or reads: buttons, fields, lists, bars and
/// the status texts.
bool IsControl(const QWidget* widget) {
  return qobject_cast<const QAbstractButton*>(widget) || qobject_cast<const QComboBox*>(widget) ||
         (qobject_cast<const QLineEdit*>(widget) &&
          !qobject_cast<const QComboBox*>(widget->parentWidget())) ||
         qobject_cast<const QProgressBar*>(widget) || qobject_cast<const QLabel*>(widget);
}

/// What a screen reader calls the control.
QString SpokenName(const QWidget* widget, const QWidget& dialog) {
  if (!widget->accessibleName().isEmpty()) return widget->accessibleName();
  if (auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
  for (const QLabel* label : dialog.findChildren<QLabel*>()) {
    if (label->buddy() == widget) return label->text();
  }
  if (auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
  return {};
}

}  // namespace

class MainDialogsAccessTest : public QObject {
  Q_OBJECT

 private:
  /// Checks names and the Tab order of `dialog`, whose focusable controls
  /// are `tabOrder` in this order.
  static void Check(QDialog& dialog, const QStringList& tabOrder) {
    dialog.show();
    for (QWidget* widget : dialog.findChildren<QWidget*>()) {
      if (!IsControl(widget)) continue;
      const QString what =
          QStringLiteral("%1 in %2")
              .arg(QString::fromLatin1(widget->metaObject()->className()), dialog.objectName());
      QVERIFY2(!widget->objectName().isEmpty(), qPrintable(what + " has no object name"));
      // A label that only explains another control is read with it.
      if (auto* label = qobject_cast<QLabel*>(widget); label && label->buddy()) continue;
      QVERIFY2(!SpokenName(widget, dialog).isEmpty(),
               qPrintable(widget->objectName() + " has no accessible name"));
    }
    QStringList reached;
    QWidget* first = dialog.nextInFocusChain();
    for (QWidget* w = first; w != &dialog; w = w->nextInFocusChain()) {
      if (w->focusPolicy() & Qt::TabFocus && !w->objectName().isEmpty() &&
          tabOrder.contains(w->objectName()))
        reached << w->objectName();
    }
    QCOMPARE(reached, tabOrder);
  }

  ScriptedPrompt prompt_;

 private slots:
  void mainSelection() {
    ui::ApplicationState state(nullptr);
    state.presetPort = "/dev/null";
    ui::CMainSelectionDlg dialog(state, prompt_, {});
    Check(dialog, {"configurationButton", "updateButton", "serialPortButton", "aboutButton",
                   "okButton", "cancelButton"});
  }

  void portDialogs() {
    ui::CComPortEinstellung ports({{"/dev/ttyS0", "serial8250"}}, "", nullptr);
    Check(ports, {"portCombo", "okButton", "cancelButton"});
    ui::CChooseDAVOZIDlg choose({"/dev/ttyACM0", "/dev/ttyACM1"});
    Check(choose, {"portCombo", "okButton", "cancelButton"});
    ui::CAboutDlg about;
    Check(about, {"okButton"});
  }

  void configurationMain() {
    ui::ApplicationState state(nullptr);
    state.device.state().fileOnly = true;
    FakeSettingsEditor editor;
    ui::CConfigurationMainDlg dialog(state, prompt_, {&editor, &editor, &editor});
    Check(dialog, {"generalSettingsButton", "aprsSettingsButton", "miscSettingsButton",
                   "loadButton", "saveButton", "loadDefaultsButton", "storeCheckBox", "readButton",
                   "sendButton", "cancelTransferButton", "okButton", "cancelButton"});
  }

  void update() {
    ui::ApplicationState state(nullptr);
    ui::CUpdateDlg dialog(state, prompt_);
    Check(dialog, {"pathEdit", "browseButton", "sendUpdateButton", "cancelUpdateButton", "okButton",
                   "cancelButton"});
  }
};

QTEST_MAIN(MainDialogsAccessTest)
#include "main_dialogs_access_test.moc"
