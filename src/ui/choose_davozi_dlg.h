#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QComboBox;

namespace vextune::ui {

/// Chooses one of several DAV-OZIs that discovery found.
class CChooseDAVOZIDlg final : public QDialog {
  Q_OBJECT

 public:
  /// The candidates are listed sorted as text; the first one is preselected.
  explicit CChooseDAVOZIDlg(std::vector<std::string> candidates, QWidget* parent = nullptr);

  /// After OK: the chosen port.
  std::string chosenPort() const;

 private:
  QComboBox* ports_ = nullptr;
};

}  // namespace vextune::ui
