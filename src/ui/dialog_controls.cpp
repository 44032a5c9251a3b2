#include "ui/dialog_controls.h"

#include <QCheckBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "ui/widget_support.h"

namespace vextune::ui {

QLabel* MakeLabel(QWidget* parent, const char* objectName, const QString& text, QWidget* buddy) {
  auto* label = Make<QLabel>(parent, objectName, text);
  if (buddy != nullptr) label->setBuddy(buddy);
  return label;
}

QCheckBox* NewCheckBox(const char* objectName, const QString& text) {
  return Make<QCheckBox>(nullptr, objectName, text);
}

QPushButton* NewButton(const QString& text, const char* objectName, QWidget* parent) {
  auto* button = Make<QPushButton>(parent, objectName, text);
  // Room around the label, also where the style draws buttons tightly.
  button->setMinimumWidth(button->fontMetrics().horizontalAdvance(WithoutMnemonic(text)) + 28);
  return button;
}

OkCancelRow NewOkCancelButtons(QWidget* parent, ButtonWidth width) {
  OkCancelRow row;
  const QString ok = QStringLiteral("&OK");
  const QString cancel = QStringLiteral("&Abbrechen");
  if (width == ButtonWidth::Roomy) {
    row.ok = NewButton(ok, "okButton", parent);
    row.cancel = NewButton(cancel, "cancelButton", parent);
  } else {
    row.ok = Make<QPushButton>(parent, "okButton", ok);
    row.cancel = Make<QPushButton>(parent, "cancelButton", cancel);
  }
  row.layout = new QHBoxLayout;
  row.layout->addStretch(1);
  row.layout->addWidget(row.ok);
  row.layout->addWidget(row.cancel);
  return row;
}

QHBoxLayout* NewOkCancelRow(QDialog* dialog) {
  const OkCancelRow row = NewOkCancelButtons(nullptr, ButtonWidth::Natural);
  row.ok->setDefault(true);
  QObject::connect(row.ok, &QPushButton::clicked, dialog, &QDialog::accept);
  QObject::connect(row.cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  return row.layout;
}

void LayOutOneChoice(QDialog* dialog, QLabel* caption, QWidget* field) {
  QHBoxLayout* buttons = NewOkCancelRow(dialog);
  auto* layout = new QVBoxLayout(dialog);
  layout->addWidget(caption);
  layout->addWidget(field);
  layout->addStretch();
  layout->addLayout(buttons);
}

void FocusRefusedField(QLineEdit* field, FieldSelection selection, int start, int length) {
  field->setFocus(Qt::OtherFocusReason);
  switch (selection) {
    case FieldSelection::All:
      field->selectAll();
      break;
    case FieldSelection::Range:
      field->setSelection(start, length);
      break;
    case FieldSelection::None:
      field->deselect();
      break;
  }
}

}  // namespace vextune::ui
