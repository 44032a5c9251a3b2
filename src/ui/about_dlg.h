#pragma once

#include <QDialog>

namespace vextune::ui {

/// "Info über Vextune": the program's name and version.
class CAboutDlg final : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);

  /// "Vextune Version 1.0", from the project version.
  static QString VersionText();
};

}  // namespace vextune::ui
