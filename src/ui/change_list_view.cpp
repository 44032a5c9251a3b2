#include "ui/change_list_view.h"

#include <QHeaderView>
#include <QTreeWidget>

namespace vextune::ui {

QTreeWidget* NewChangeTree(const QStringList& headers, const char* objectName,
                           const QString& accessibleName, QWidget* parent) {
  auto* tree = new QTreeWidget(parent);
  tree->setObjectName(QString::fromLatin1(objectName));
  tree->setAccessibleName(accessibleName);
  tree->setHeaderLabels(headers);
  tree->setRootIsDecorated(false);
  tree->setUniformRowHeights(true);
  tree->setSelectionMode(QAbstractItemView::SingleSelection);
  tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
  tree->setFocusPolicy(Qt::StrongFocus);
  tree->header()->setStretchLastSection(true);
  tree->header()->setSectionResizeMode(QHeaderView::Interactive);
  return tree;
}

int HeightForRows(const QTreeWidget* tree, int rows) {
  return tree->header()->sizeHint().height() + rows * (tree->fontMetrics().height() + 6) + 4;
}

void ShowChanges(QTreeWidget* tree, const std::vector<ParamChange>& changes, const QString& none) {
  tree->clear();
  if (changes.empty()) {
    tree->addTopLevelItem(new QTreeWidgetItem(QStringList{none}));
  }
  for (const ParamChange& change : changes) {
    auto* row = new QTreeWidgetItem(QStringList{QString::fromStdString(change.label),
                                                QString::fromStdString(change.from),
                                                QString::fromStdString(change.to)});
    // A screen reader gets the whole change at once.
    row->setToolTip(0, QString::fromStdString(ChangeLine(change)));
    tree->addTopLevelItem(row);
  }
  for (int column = 0; column + 1 < tree->columnCount(); ++column) {
    tree->resizeColumnToContents(column);
  }
}

}  // namespace vextune::ui
