// Every dialog as a screen reader and a keyboard user meet it: every label
// and control has a name over the accessibility interface, the status lines
// are read as what they say and announce their changes, the main buttons
// have Alt shortcuts, and Tab follows the layout.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTest>

#include "every_dialog.h"
#include "main_gui_support.h"
#include "scripted_prompt.h"
#include "settings_dialog_test_support.h"
#include "ui/backups_dlg.h"
#include "ui/elided_label.h"
#include "ui/widget_support.h"

using namespace vextune;
using vextune::testing::EveryDialog;
using vextune::testing::FakeSettingsRunner;
using vextune::testing::ScriptedPrompt;

namespace {

/// The controls a user works with: buttons, fields, lists and bars.
bool IsControl(const QWidget* widget) {
  if (widget->objectName().startsWith(QLatin1String("qt_"))) return false;  // inside Qt's own
  return qobject_cast<const QAbstractButton*>(widget) || qobject_cast<const QComboBox*>(widget) ||
         (qobject_cast<const QLineEdit*>(widget) &&
          !qobject_cast<const QComboBox*>(widget->parentWidget())) ||
         qobject_cast<const QProgressBar*>(widget);
}

QString AccessibleText(QWidget* widget, QAccessible::Text which) {
  QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
  return accessible ? accessible->text(which) : QString();
}

/// What the status lines announce while it lives, with the name a screen
/// reader reads at that moment. (Qt passes no events on without a screen
/// reader listening, so the test takes the status lines' place of Qt's.)
class Announcements {
 public:
  struct Heard {
    QObject* object;
    QAccessible::Event type;
    QString name;
  };

  Announcements() {
    heard_.clear();
    ui::ElidedLabel::SetAnnouncer(&Announcements::Record);
  }
  ~Announcements() { ui::ElidedLabel::SetAnnouncer(nullptr); }

  QStringList NamesOf(QObject* object) const {
    QStringList names;
    for (const Heard& heard : heard_) {
      if (heard.object == object && heard.type == QAccessible::NameChanged) names << heard.name;
    }
    return names;
  }

 private:
  static void Record(QAccessibleEvent* event) {
    QAccessibleInterface* accessible = event->accessibleInterface();
    heard_.push_back({event->object(), event->type(),
                      accessible ? accessible->text(QAccessible::Name) : QString()});
  }
  static inline std::vector<Heard> heard_;
};

}  // namespace

class MainDialogsAccessTest : public QObject {
  Q_OBJECT

 private:
  /// Checks the Tab order of `dialog`, whose focusable controls are
  /// `tabOrder` in this order.
  static void CheckTabOrder(QDialog& dialog, const QStringList& tabOrder) {
    dialog.show();
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
  // A label says its text; a control says what it is, and no two controls
  // of a dialog say the same (a control without a name of its own is read
  // by the title of the group around it).
  void everyLabelAndControlIsNamed() {
    EveryDialog dialogs;
    for (const EveryDialog::Maker& maker : dialogs.Makers()) {
      const std::unique_ptr<QDialog> dialog = maker.make();
      dialog->show();
      QStringList names;
      for (QWidget* widget : dialog->findChildren<QWidget*>()) {
        const QString what = maker.name + QLatin1Char('/') + widget->objectName();
        if (auto* label = qobject_cast<QLabel*>(widget); label && !label->text().isEmpty()) {
          const QString shown = label->buddy() ? ui::WithoutMnemonic(label->text()) : label->text();
          QVERIFY2(AccessibleText(label, QAccessible::Name) == shown, qPrintable(what));
          continue;
        }
        if (!IsControl(widget)) continue;
        QVERIFY2(!widget->objectName().isEmpty(), qPrintable(what));
        const QString name = AccessibleText(widget, QAccessible::Name);
        QVERIFY2(!name.isEmpty(), qPrintable(what + " has no accessible name"));
        QVERIFY2(!names.contains(name), qPrintable(what + " is read as " + name + " too"));
        names << name;
      }
    }
  }

  void everySymbolEntryIsNamed() {
    EveryDialog dialogs;
    for (const EveryDialog::Maker& maker : dialogs.Makers()) {
      if (maker.name != QLatin1String("aprsSettings")) continue;
      const std::unique_ptr<QDialog> dialog = maker.make();
      for (const char* box : {"primarySymbolBox", "alternateSymbolBox"}) {
        auto* symbols = dialog->findChild<QComboBox*>(QString::fromLatin1(box));
        QVERIFY(symbols != nullptr);
        QCOMPARE(symbols->count(), 94);
        // The entries as the list that drops down reads them out.
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(symbols->view());
        QVERIFY(list != nullptr);
        QCOMPARE(list->childCount(), 94);
        for (int i = 0; i < list->childCount(); ++i) {
          const QString name = list->child(i)->text(QAccessible::Name);
          QVERIFY2(!name.trimmed().isEmpty(), qPrintable(QStringLiteral("%1 %2").arg(box).arg(i)));
        }
      }
    }
  }

  // The status lines are read as what they say, under their group's title,
  // and a new text is announced.
  void statusLinesSayWhatHappened() {
    Announcements announced;
    ui::ApplicationState state(nullptr);
    state.listSerialPorts = [] { return std::vector<SerialDevice>{}; };
    prompt_.AnswerNo();
    ui::CMainSelectionDlg selection(state, prompt_, {});
    selection.show();
    auto* status = selection.findChild<ui::ElidedLabel*>(QStringLiteral("statusText"));
    QVERIFY(status != nullptr);
    QTRY_COMPARE(status->text(), QStringLiteral("No DAV-OZI found."));
    QCOMPARE(AccessibleText(status, QAccessible::Name), QStringLiteral("No DAV-OZI found."));
    QCOMPARE(AccessibleText(status, QAccessible::Description), QStringLiteral("Info"));
    QCOMPARE(QAccessible::queryAccessibleInterface(status)->role(), QAccessible::StatusBar);
    QCOMPARE(announced.NamesOf(status), QStringList{QStringLiteral("No DAV-OZI found.")});

    ui::ApplicationState files(nullptr);
    files.device.state().fileOnly = true;
    FakeSettingsRunner runner;
    ui::CConfigurationMainDlg configuration(files, prompt_, {&runner, &runner, &runner});
    auto* config = configuration.findChild<ui::ElidedLabel*>(QStringLiteral("statusLine"));
    QVERIFY(config != nullptr);
    QCOMPARE(AccessibleText(config, QAccessible::Name), QStringLiteral("No config file loaded"));
    QCOMPARE(AccessibleText(config, QAccessible::Description), QStringLiteral("Config"));
  }

  // Each dialog's buttons have a letter of their own; the caption shown is
  // the text without its "&".
  void mainButtonsHaveAltShortcuts() {
    EveryDialog dialogs;
    for (const EveryDialog::Maker& maker : dialogs.Makers()) {
      const std::unique_ptr<QDialog> dialog = maker.make();
      QStringList keys;
      for (QAbstractButton* button : dialog->findChildren<QPushButton*>()) {
        // The hemisphere buttons show one letter, the state they toggle.
        if (button->text().size() <= 1) continue;
        const QString what = maker.name + QLatin1Char('/') + button->objectName();
        const QKeySequence key = QKeySequence::mnemonic(button->text());
        QVERIFY2(!key.isEmpty(), qPrintable(what + " has no Alt shortcut"));
        QVERIFY2(!keys.contains(key.toString()), qPrintable(what + " shares " + key.toString()));
        keys << key.toString();
      }
    }
    ui::ApplicationState files(nullptr);
    files.device.state().fileOnly = true;
    FakeSettingsRunner runner;
    ui::CConfigurationMainDlg configuration(files, prompt_, {&runner, &runner, &runner});
    QVERIFY(testing::ShowActive(&configuration));
    prompt_.Clear();
    prompt_.ChooseFile(std::nullopt);
    QTest::keyClick(configuration.windowHandle(), Qt::Key_L, Qt::AltModifier);
    // A shortcut presses the button for a moment, then clicks it.
    QTRY_COMPARE(prompt_.shown().size(), size_t(1));  // the Load file dialog
    QCOMPARE(configuration.findChild<QGroupBox*>(QStringLiteral("generalSettingsGroup"))->title(),
             QStringLiteral("General Settings"));
  }

  void tabOrderFollowsTheLayout() {
    ui::ApplicationState state(nullptr);
    state.presetPort = "/dev/null";
    ui::CMainSelectionDlg selection(state, prompt_, {});
    CheckTabOrder(selection, {"configurationButton", "updateButton", "serialPortButton",
                              "aboutButton", "okButton", "cancelButton"});

    ui::CComPortEinstellung ports({{"/dev/ttyS0", "serial8250"}}, "", nullptr);
    CheckTabOrder(ports, {"portCombo", "okButton", "cancelButton"});
    ui::CChooseDAVOZIDlg choose({"/dev/ttyACM0", "/dev/ttyACM1"});
    CheckTabOrder(choose, {"portCombo", "okButton", "cancelButton"});
    ui::CAboutDlg about;
    CheckTabOrder(about, {"okButton"});

    ui::ApplicationState files(nullptr);
    files.device.state().fileOnly = true;
    FakeSettingsRunner runner;
    ui::CConfigurationMainDlg configuration(files, prompt_, {&runner, &runner, &runner});
    CheckTabOrder(configuration,
                  {"generalSettingsButton", "aprsSettingsButton", "miscSettingsButton",
                   "loadButton", "saveButton", "loadDefaultsButton", "backupsButton",
                   "showChangesButton", "storeCheckBox", "sendAllCheckBox", "readButton",
                   "sendButton", "cancelTransferButton", "okButton", "cancelButton"});
    BackupChoice one;
    one.readable = true;
    ui::CBackupsDlg backups(BackupListing{"", {one}});
    CheckTabOrder(backups, {"backupList", "backupChanges", "loadBackupButton", "cancelButton"});

    ui::CUpdateDlg update(state, prompt_);
    CheckTabOrder(update, {"pathEdit", "browseButton", "sendUpdateButton", "cancelUpdateButton",
                           "okButton", "cancelButton"});
  }
};

QTEST_MAIN(MainDialogsAccessTest)
#include "main_dialogs_access_test.moc"
