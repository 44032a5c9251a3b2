#include "ui/settings_dialog_parts.h"

#include <QCheckBox>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "common/text_codec.h"

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
  return Utf8ToCp1252(input.toStdString()) ? Acceptable : Invalid;
}

QString FieldTextFromRecord(std::string_view cp1252) {
  return QString::fromStdString(Cp1252ToUtf8(cp1252));
}

std::string RecordTextFromField(const QString& text) {
  if (auto cp1252 = Utf8ToCp1252(text.toStdString())) return *cp1252;
  std::string out;
  for (char32_t code_point : text.toUcs4()) {
    const auto one = Utf8ToCp1252(QString::fromUcs4(&code_point, 1).toStdString());
    out += one ? *one : std::string("?");
  }
  return out;
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

QCheckBox* NewCheckBox(const char* objectName, const QString& text) {
  auto* check = new QCheckBox(text);
  check->setObjectName(QString::fromLatin1(objectName));
  return check;
}

void AddFieldRow(QGridLayout* grid, const QString& label, QLineEdit* edit, const QString& unit) {
  const int row = grid->rowCount();
  auto* caption = new QLabel(label);
  caption->setBuddy(edit);
  grid->addWidget(caption, row, 0);
  grid->addWidget(edit, row, 1);
  if (!unit.isEmpty()) grid->addWidget(new QLabel(unit), row, 2);
}

QHBoxLayout* NewOkCancelRow(QDialog* dialog) {
  auto* ok = new QPushButton(QStringLiteral("OK"));
  ok->setObjectName(QStringLiteral("okButton"));
  ok->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("Abbrechen"));
  cancel->setObjectName(QStringLiteral("cancelButton"));
  QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(ok);
  row->addWidget(cancel);
  return row;
}

}  // namespace vextune::ui
