#include "ui/choose_davozi_dlg.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/dialog_controls.h"
#include "ui/widget_support.h"

namespace vextune::ui {

CChooseDAVOZIDlg::CChooseDAVOZIDlg(std::vector<std::string> candidates, QWidget* parent)
    : QDialog(parent) {
  // The caption ends with a blank.
  setWindowTitle(QStringLiteral("Olvane Vextune - Choose DAVOZI "));
  setObjectName(QStringLiteral("chooseDavoziDialog"));

  auto* label = new QLabel(QStringLiteral("Select DAV-OZI on virtual COM-port:"), this);
  label->setObjectName(QStringLiteral("selectText"));
  ports_ = new QComboBox(this);
  ports_->setObjectName(QStringLiteral("portCombo"));
  ports_->setMinimumContentsLength(20);
  label->setBuddy(ports_);
  std::sort(candidates.begin(), candidates.end());
  for (const std::string& port : candidates) ports_->addItem(QString::fromStdString(port));
  if (ports_->count() > 0) ports_->setCurrentIndex(0);

  QHBoxLayout* buttons = NewOkCancelRow(this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(label);
  layout->addWidget(ports_);
  layout->addStretch();
  layout->addLayout(buttons);
  setMinimumWidth(320);
}

std::string CChooseDAVOZIDlg::chosenPort() const {
  return ports_->currentText().toStdString();
}

}  // namespace vextune::ui
