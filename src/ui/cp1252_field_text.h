#pragma once

#include <QString>
#include <QValidator>
#include <string>
#include <string_view>

namespace vextune::ui {

/// The record and the editor rules count one byte per character in
/// Windows-1252; a field counts UTF-16 units. These convert character by
/// character, so that positions stay the same on both sides.

/// Each character becomes its Windows-1252 byte; one that Windows-1252
/// cannot hold becomes `replacement` (each UTF-16 unit of it, so positions
/// still match).
std::string FieldTextToCp1252(const QString& text, char replacement = '?');

/// True when every character of `text` exists in Windows-1252.
bool FitsCp1252(const QString& text);

/// A record text as the field shows it.
QString Cp1252ToFieldText(std::string_view text);

/// True when a text field of at most `maxChars` characters may hold `text`:
/// every character exists in Windows-1252, and the record takes the text
/// (FieldMayHold: no tab, line break or other control character).
bool FieldMayHoldText(const QString& text, int maxChars);

/// Refuses input, typed or pasted, that FieldMayHoldText refuses, so that a
/// free text field only takes what the record and the device can store.
class Cp1252Validator final : public QValidator {
 public:
  Cp1252Validator(int maxChars, QObject* parent);
  State validate(QString& input, int& position) const override;

 private:
  int max_chars_;
};

}  // namespace vextune::ui
