#pragma once

#include <QString>
#include <QValidator>
#include <string>
#include <string_view>

class QCheckBox;
class QDialog;
class QGridLayout;
class QHBoxLayout;
class QLineEdit;

/// Building blocks shared by the general and misc settings dialogs.
namespace vextune::ui {

/// The input rule of a settings dialog's edit field: at most `maxChars`
/// characters, and only characters the record can hold (digits for number
/// fields, Windows-1252 for texts). It judges what the user types or pastes;
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

/// A record text (Windows-1252) as a field shows it.
QString FieldTextFromRecord(std::string_view cp1252);

/// A field's text in Windows-1252 for the record. The fields' validators keep
/// out what the record cannot hold; should such a character arrive anyway it
/// becomes "?".
std::string RecordTextFromField(const QString& text);

/// An edit field named `objectName` that takes `characters`, at most `maxChars`.
QLineEdit* NewSettingsField(const char* objectName, SettingsFieldValidator::Characters characters,
                            int maxChars);

/// A digits-only field of the width that all number fields share.
QLineEdit* NewNumberField(const char* objectName, int maxDigits);

/// A check box named `objectName`.
QCheckBox* NewCheckBox(const char* objectName, const QString& text);

/// Appends a row to `grid`: the label (the field's buddy, so it names the
/// field), the field, and the unit when there is one.
void AddFieldRow(QGridLayout* grid, const QString& label, QLineEdit* edit,
                 const QString& unit = {});

/// The dialog's "OK" (default, runs accept) and "Abbrechen" (reject) buttons,
/// right-aligned in this order; named okButton and cancelButton.
QHBoxLayout* NewOkCancelRow(QDialog* dialog);

}  // namespace vextune::ui
