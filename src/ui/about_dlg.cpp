#include "ui/about_dlg.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

#include "common/version.h"
#include "ui/dialog_controls.h"
#include "ui/widget_support.h"

namespace vextune::ui {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8("Info über Vextune"));
  setObjectName(QStringLiteral("aboutDialog"));

  auto* icon = new QLabel(this);
  icon->setObjectName(QStringLiteral("programIcon"));
  icon->setAccessibleName(QStringLiteral("Program icon"));
  const QIcon programIcon = QApplication::windowIcon();
  if (!programIcon.isNull()) icon->setPixmap(programIcon.pixmap(32, 32));
  auto* text = new QLabel(VersionText(), this);
  text->setObjectName(QStringLiteral("versionText"));

  QPushButton* ok = NewButton(QStringLiteral("&OK"), "okButton", this);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* row = new QHBoxLayout;
  row->addWidget(icon);
  row->addSpacing(12);
  row->addWidget(text, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addSpacing(8);
  layout->addLayout(buttons);
  setMinimumWidth(280);
}

QString CAboutDlg::VersionText() {
  return QStringLiteral("Vextune Version %1").arg(QString::fromLatin1(version::kShortText));
}

}  // namespace vextune::ui
