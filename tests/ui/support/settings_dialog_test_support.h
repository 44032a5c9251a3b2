#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "config/param_help.h"
#include "scripted_prompt.h"

class QAbstractButton;
class QLineEdit;
class QWidget;

namespace vextune::testing {

/// What had the focus, and what of it was selected, when a message showed.
struct FocusAtMessage {
  QString text;          ///< the message
  QString focusedField;  ///< objectName of the focused widget of the window
  QString selected;      ///< its selected text, if it is a line edit
};

/// Records into `seen`, for every message `prompt` shows, the focus of the
/// window `dialog` at that moment.
void RecordFocusAtMessages(ScriptedPrompt& prompt, QWidget* dialog,
                           std::vector<FocusAtMessage>& seen);

/// Types `text` key by key into `widget`, characters beyond ASCII included.
void TypeKeys(QWidget* widget, const QString& text);

/// As a user replaces a field's text: clicks into it, selects everything,
/// deletes it, then types `text` key by key.
void TypeInto(QLineEdit* edit, const QString& text);

/// Clicks a push button, check box or radio button where a user would: on
/// its indicator, or in its middle for a push button.
void Click(QAbstractButton* button);

/// Shows `dialog` and waits until it is the active window, so that focus
/// moves as with a user in front of it. False when it never became active.
[[nodiscard]] bool ShowActive(QWidget* dialog);

/// The objectNames met when walking the tab chain from `first`, `count` steps.
QStringList TabChain(QWidget* first, int count);

/// Names of the editable controls of `dialog` without an accessible name
/// (neither their own nor a label buddy's text).
QStringList UnnamedControls(QWidget* dialog);

/// Texts of labels, check boxes, radio buttons and group box titles of
/// `dialog` that do not fit their widget.
QStringList ClippedTexts(QWidget* dialog);

/// The labels of the parameter help for `which` dialog that `dialog` shows
/// nowhere: not as a label, a button's text, a group box title or an
/// accessible name. Empty when every caption is the help's.
QStringList HelpLabelsNotShown(QWidget* dialog, SettingsDialog which);

/// When the environment variable VEXTUNE_SCREENSHOT_DIR names a folder,
/// writes a picture of `dialog` there as `name`.png.
void SaveScreenshotIfAsked(QWidget* dialog, const QString& name);

}  // namespace vextune::testing
