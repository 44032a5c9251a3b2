#pragma once

#include <QStringList>
#include <vector>

#include "transfer/change_list.h"

class QTreeWidget;
class QWidget;

namespace vextune::ui {

/// A read-only list of changes, one parameter a row: its label, the value it
/// had and the value it gets (the columns named by `headers`), reached with
/// Tab and read by `accessibleName`.
QTreeWidget* NewChangeTree(const QStringList& headers, const char* objectName,
                           const QString& accessibleName, QWidget* parent);

/// The height of `tree` with its header and `rows` rows, without scrolling.
int HeightForRows(const QTreeWidget* tree, int rows);

/// Shows `changes` in `tree`; `none` is the one row when there are none.
void ShowChanges(QTreeWidget* tree, const std::vector<ParamChange>& changes, const QString& none);

}  // namespace vextune::ui
