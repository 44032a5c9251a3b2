#include "ui/widget_support.h"

#include "common/text_codec.h"

namespace vextune::ui {

QPushButton* NewButton(const QString& text, const char* objectName, QWidget* parent) {
  auto* button = new QPushButton(text, parent);
  button->setObjectName(QString::fromLatin1(objectName));
  // Room around the label, also where the style draws buttons tightly.
  QString label = text;
  label.remove(QLatin1Char('&'));
  button->setMinimumWidth(button->fontMetrics().horizontalAdvance(label) + 28);
  return button;
}

QString FromRecordText(const std::string& cp1252) {
  return QString::fromStdString(Cp1252ToUtf8(cp1252));
}

}  // namespace vextune::ui
