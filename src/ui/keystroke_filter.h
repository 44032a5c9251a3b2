#pragma once

#include <QObject>
#include <functional>
#include <string>
#include <string_view>

#include "editor/field_edit.h"

class QLineEdit;

namespace vextune::ui {

/// Runs a keystroke filter of the editor rules on a line edit. Every change
/// the user makes goes through `rule` with the last accepted text and the
/// end of the selection after the change (the caret when none); a text
/// the program puts into the field is taken as it is and becomes the
/// remembered text, so a stored value is never refused or replaced by
/// something remembered from before.
class KeystrokeFilter final : public QObject {
  Q_OBJECT

 public:
  using Rule =
      std::function<FieldEdit(std::string_view remembered, std::string_view text, int caret)>;

  /// Filters `edit` (which also owns the filter); `beep` sounds for a
  /// refused or trimmed change.
  KeystrokeFilter(QLineEdit* edit, Rule rule, std::function<void()> beep);

  /// The last accepted text, 8-bit.
  const std::string& remembered() const { return remembered_; }

 private:
  void OnTextChanged(const QString& text);

  QLineEdit* edit_;
  Rule rule_;
  std::function<void()> beep_;
  std::string remembered_;
  bool applying_ = false;
};

}  // namespace vextune::ui
