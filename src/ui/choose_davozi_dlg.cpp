#include "ui/choose_davozi_dlg.h"

#include <QComboBox>
#include <QLabel>
#include <algorithm>

#include "ui/dialog_controls.h"
#include "ui/widget_support.h"

namespace vextune::ui {

CChooseDAVOZIDlg::CChooseDAVOZIDlg(std::vector<std::string> candidates, QWidget* parent)
    : QDialog(parent) {
  // The caption ends with a blank.
  setWindowTitle(QStringLiteral("Olvane Vextune - Choose DAVOZI "));
  setObjectName(QStringLiteral("chooseDavoziDialog"));

  ports_ = Make<QComboBox>(this, "portCombo");
  ports_->setMinimumContentsLength(20);
  QLabel* label =
      MakeLabel(this, "selectText", QStringLiteral("Select DAV-OZI on virtual COM-port:"), ports_);
  std::sort(candidates.begin(), candidates.end());
  for (const std::string& port : candidates) ports_->addItem(QString::fromStdString(port));
  if (ports_->count() > 0) ports_->setCurrentIndex(0);

  LayOutOneChoice(this, label, ports_);
  setMinimumWidth(320);
}

std::string CChooseDAVOZIDlg::chosenPort() const {
  return ports_->currentText().toStdString();
}

}  // namespace vextune::ui
