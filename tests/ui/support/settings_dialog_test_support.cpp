#include "settings_dialog_test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

namespace vextune::testing {

void RecordFocusAtMessages(ScriptedPrompt& prompt, QWidget* dialog,
                           std::vector<FocusAtMessage>& seen) {
  prompt.onShow = [dialog, &seen](const ScriptedPrompt::Shown& shown) {
    QWidget* focus = dialog->focusWidget();
    const auto* edit = qobject_cast<QLineEdit*>(focus);
    seen.push_back({QString::fromStdString(shown.text), focus ? focus->objectName() : QString(),
                    edit ? edit->selectedText() : QString()});
  };
}

void TypeKeys(QWidget* widget, const QString& text) {
  for (QChar c : text) {
    if (c.unicode() < 0x80)
      QTest::keyClick(widget, c.toLatin1());
    else
      QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
  }
}

void TypeInto(QLineEdit* edit, const QString& text) {
  QTest::mouseClick(edit, Qt::LeftButton);
  QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(edit, Qt::Key_Delete);
  TypeKeys(edit, text);
}

void Click(QAbstractButton* button) {
  QPoint where = button->rect().center();
  QStyleOptionButton option;
  option.initFrom(button);
  if (qobject_cast<QCheckBox*>(button))
    where = button->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, button).center();
  else if (qobject_cast<QRadioButton*>(button))
    where =
        button->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, button).center();
  QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, where);
}

bool ShowActive(QWidget* dialog) {
  dialog->show();
  dialog->activateWindow();
  return QTest::qWaitForWindowActive(dialog);
}

QStringList TabChain(QWidget* first, int count) {
  QStringList names;
  QWidget* widget = first;
  for (int i = 0; i < count && widget; ++i) {
    names << widget->objectName();
    widget = widget->nextInFocusChain();
    while (widget && widget->focusPolicy() == Qt::NoFocus) widget = widget->nextInFocusChain();
  }
  return names;
}

QStringList UnnamedControls(QWidget* dialog) {
  QStringList buddies;
  for (QLabel* label : dialog->findChildren<QLabel*>()) {
    if (label->buddy()) buddies << label->buddy()->objectName();
  }
  QStringList unnamed;
  for (QWidget* widget : dialog->findChildren<QWidget*>()) {
    const bool control = qobject_cast<QLineEdit*>(widget) || qobject_cast<QComboBox*>(widget) ||
                         qobject_cast<QAbstractButton*>(widget);
    if (!control || widget->objectName().startsWith(QStringLiteral("qt_"))) continue;
    const auto* button = qobject_cast<QAbstractButton*>(widget);
    const bool named = !widget->accessibleName().isEmpty() ||
                       (button && !button->text().isEmpty()) ||
                       buddies.contains(widget->objectName());
    if (!named || widget->objectName().isEmpty()) unnamed << widget->objectName();
  }
  return unnamed;
}

QStringList HelpLabelsNotShown(QWidget* dialog, SettingsDialog which) {
  QStringList shown;
  for (QWidget* widget : dialog->findChildren<QWidget*>()) {
    shown << widget->accessibleName();
    if (const auto* label = qobject_cast<QLabel*>(widget)) shown << label->text();
    if (const auto* button = qobject_cast<QAbstractButton*>(widget)) shown << button->text();
    if (const auto* group = qobject_cast<QGroupBox*>(widget)) shown << group->title();
  }
  QStringList missing;
  for (const ParamHelp& help : ParamHelpTable()) {
    const QString label = QString::fromUtf8(help.label);
    if (help.dialog == which && !label.isEmpty() && !shown.contains(label)) missing << label;
  }
  return missing;
}

QStringList ClippedTexts(QWidget* dialog) {
  QStringList clipped;
  for (QWidget* widget : dialog->findChildren<QWidget*>()) {
    if (!widget->isVisible()) continue;
    const bool texty = qobject_cast<QLabel*>(widget) || qobject_cast<QAbstractButton*>(widget);
    if (texty && widget->width() < widget->sizeHint().width()) {
      const auto* label = qobject_cast<QLabel*>(widget);
      const auto* button = qobject_cast<QAbstractButton*>(widget);
      clipped << (label ? label->text() : button->text());
    }
    if (const auto* group = qobject_cast<QGroupBox*>(widget)) {
      if (group->width() < group->fontMetrics().horizontalAdvance(group->title()) + 16)
        clipped << group->title();
    }
  }
  return clipped;
}

void SaveScreenshotIfAsked(QWidget* dialog, const QString& name) {
  const QString folder = qEnvironmentVariable("VEXTUNE_SCREENSHOT_DIR");
  if (folder.isEmpty()) return;
  QDir().mkpath(folder);
  dialog->grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

}  // namespace vextune::testing
