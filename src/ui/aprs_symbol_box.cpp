#include "ui/aprs_symbol_box.h"

#include <QComboBox>
#include <QString>

#include "ui/aprs_symbol_icons.h"

namespace vextune::ui {

void FillSymbolBox(QComboBox& box, SymbolTable table) {
  box.clear();
  box.setIconSize(QSize(kSymbolIconWidth, kSymbolIconHeight));
  for (int index = 0; index < kSymbolCount; ++index) {
    const std::string_view name = SymbolName(table, index);
    box.addItem(AprsSymbolIcon(table, index),
                QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    // A screen reader still has something to say for a picture without a name.
    if (name.empty()) {
      box.setItemData(index, QStringLiteral("Symbol %1").arg(index + 1), Qt::AccessibleTextRole);
    }
  }
}

}  // namespace vextune::ui
