#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "link/port_discovery.h"

class QComboBox;

namespace vextune::ui {

/// The port dialog: an editable drop-down of every serial port present, with
/// its description, that also takes a path typed by hand ("ttyUSB0" stands for
/// "/dev/ttyUSB0").
class CComPortEinstellung final : public QDialog {
  Q_OBJECT

 public:
  /// `ports` in the order shown; `initialPort` is preselected (or shown as
  /// typed when it is not listed); empty preselects the first port.
  CComPortEinstellung(const std::vector<SerialDevice>& ports, const std::string& initialPort,
                      QWidget* parent = nullptr);

  /// After OK: the chosen port as a path.
  const std::string& chosenPort() const { return chosen_; }

  void accept() override;

  /// Shows `ports` instead of the list it has (a device plugged in or out),
  /// keeping what the edit field holds.
  void SetPorts(const std::vector<SerialDevice>& ports);

 private:
  void FillList(const std::vector<SerialDevice>& ports);

  QComboBox* ports_ = nullptr;
  std::string chosen_;
};

}  // namespace vextune::ui
