#pragma once

#include <QString>
#include <QValidator>
#include <string>
#include <string_view>

#include "config/config_data.h"

class QGridLayout;
class QLineEdit;

/// Building blocks shared by the general and misc settings dialogs.
namespace vextune::ui {

/// The input rule of a settings dialog's edit field: at most `maxChars`
/// characters, and only characters the record can hold (digits for number
/// fields; for texts what FieldMayHoldText allows: Windows-1252, no control
/// characters). It judges what the user types or pastes;
/// a text the program puts into the field is shown as it is, never cut.
class SettingsFieldValidator final : public QValidator {
  Q_OBJECT

 public:
  enum class Characters { Digits, Cp1252 };

  SettingsFieldValidator(Characters characters, int maxChars, QObject* parent);

  State validate(QString& input, int& pos) const override;

 private:
  Characters characters_;
  int max_chars_;
};

/// The caption and unit of `member`'s control: the parameter help's, so that
/// the command line names a parameter as the dialog shows it.
QString DialogCaption(CConfigParam CConfigData::*member);
QString DialogUnitText(CConfigParam CConfigData::*member);

/// An edit field named `objectName` that takes `characters`, at most `maxChars`.
QLineEdit* NewSettingsField(const char* objectName, SettingsFieldValidator::Characters characters,
                            int maxChars);

/// A digits-only field of the width that all number fields share.
QLineEdit* NewNumberField(const char* objectName, int maxDigits);

/// Appends a row to `grid`: the label (the field's buddy, so it names the
/// field), the field, and the unit when there is one.
void AddFieldRow(QGridLayout* grid, const QString& label, QLineEdit* edit,
                 const QString& unit = {});

}  // namespace vextune::ui
