#include "ui/com_port_einstellung.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTreeView>

#include "link/com_port.h"
#include "ui/dialog_controls.h"
#include "ui/widget_support.h"

namespace vextune::ui {

namespace {
enum Column { kPathColumn, kDescriptionColumn };
}

CComPortEinstellung::CComPortEinstellung(const std::vector<SerialDevice>& ports,
                                         const std::string& initialPort, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("Olvane Vextune - COM Port Settings"));
  setObjectName(QStringLiteral("comPortDialog"));

  ports_ = Make<QComboBox>(this, "portCombo");
  ports_->setEditable(true);
  ports_->setInsertPolicy(QComboBox::NoInsert);
  ports_->setMinimumContentsLength(24);
  QLabel* label = MakeLabel(this, "selectText", QStringLiteral("Select a COM Port"), ports_);

  // Path and description side by side in the list; the edit field takes the
  // path alone.
  auto* model = new QStandardItemModel(0, 2, ports_);
  auto* view = new QTreeView(ports_);
  view->setObjectName(QStringLiteral("portList"));
  view->setRootIsDecorated(false);
  view->setHeaderHidden(true);
  view->setAllColumnsShowFocus(true);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  ports_->setModel(model);
  ports_->setView(view);
  ports_->setModelColumn(kPathColumn);
  view->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  FillList(ports);

  const QString initial =
      initialPort.empty() ? QString() : QString::fromStdString(DevicePathForPort(initialPort));
  const int listed = initial.isEmpty() ? -1 : ports_->findText(initial);
  if (listed >= 0) {
    ports_->setCurrentIndex(listed);
  } else if (!initial.isEmpty()) {
    ports_->setCurrentIndex(-1);
    ports_->setEditText(initial);
  } else if (ports_->count() > 0) {
    ports_->setCurrentIndex(0);
  }
  ports_->lineEdit()->selectAll();

  LayOutOneChoice(this, label, ports_);
  setMinimumWidth(340);
}

void CComPortEinstellung::FillList(const std::vector<SerialDevice>& ports) {
  auto* model = static_cast<QStandardItemModel*>(ports_->model());
  model->removeRows(0, model->rowCount());
  for (const SerialDevice& port : ports) {
    auto* path = new QStandardItem(QString::fromStdString(port.path));
    auto* description = new QStandardItem(QString::fromStdString(port.description));
    path->setToolTip(description->text());
    model->appendRow({path, description});
  }
  const QAbstractItemView* list = ports_->view();
  ports_->view()->setMinimumWidth(list->sizeHintForColumn(kPathColumn) +
                                  list->sizeHintForColumn(kDescriptionColumn) + 24);
}

void CComPortEinstellung::SetPorts(const std::vector<SerialDevice>& ports) {
  const QString typed = ports_->currentText();
  FillList(ports);
  const int listed = ports_->findText(typed);
  ports_->setCurrentIndex(listed);
  // A port that went away stays in the field: the user may have meant it.
  if (listed < 0) ports_->setEditText(typed);
}

void CComPortEinstellung::accept() {
  const std::string typed = ports_->currentText().trimmed().toStdString();
  if (typed.empty()) {
    QApplication::beep();
    ports_->setFocus();
    return;
  }
  chosen_ = DevicePathForPort(typed);
  QDialog::accept();
}

}  // namespace vextune::ui
