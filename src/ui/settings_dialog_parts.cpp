#include "ui/settings_dialog_parts.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "config/param_help.h"
#include "ui/cp1252_field_text.h"

namespace vextune::ui {

SettingsFieldValidator::SettingsFieldValidator(Characters characters, int maxChars, QObject* parent)
    : QValidator(parent), characters_(characters), max_chars_(maxChars) {}

QValidator::State SettingsFieldValidator::validate(QString& input, int& /*pos*/) const {
  if (input.size() > max_chars_) return Invalid;
  if (characters_ == Characters::Digits) {
    for (QChar c : input) {
      if (c < u'0' || c > u'9') return Invalid;
    }
    return Acceptable;
  }
  return FieldMayHoldText(input, max_chars_) ? Acceptable : Invalid;
}

QString DialogCaption(CConfigParam CConfigData::*member) {
  return QString::fromUtf8(DialogLabel(member));
}

QString DialogUnitText(CConfigParam CConfigData::*member) {
  return QString::fromUtf8(DialogUnit(member));
}

QLineEdit* NewSettingsField(const char* objectName, SettingsFieldValidator::Characters characters,
                            int maxChars) {
  auto* edit = new QLineEdit;
  edit->setObjectName(QString::fromLatin1(objectName));
  edit->setValidator(new SettingsFieldValidator(characters, maxChars, edit));
  return edit;
}

// Room for six digits, the longest number any settings field takes, so the
// fields line up.
QLineEdit* NewNumberField(const char* objectName, int maxDigits) {
  QLineEdit* edit =
      NewSettingsField(objectName, SettingsFieldValidator::Characters::Digits, maxDigits);
  edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 12);
  return edit;
}

void AddFieldRow(QGridLayout* grid, const QString& label, QLineEdit* edit, const QString& unit) {
  const int row = grid->rowCount();
  auto* caption = new QLabel(label);
  caption->setBuddy(edit);
  grid->addWidget(caption, row, 0);
  grid->addWidget(edit, row, 1);
  if (!unit.isEmpty()) grid->addWidget(new QLabel(unit), row, 2);
}

}  // namespace vextune::ui
