#pragma once

// Helpers of the tests of the main selection, configuration and update
// dialogs: a simulated DAV-OZI on a pseudo-terminal, a temporary folder, a
// port opener that counts, and a way to reach a modal dialog opened by exec().

#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "config/config_data.h"
#include "link/posix_serial_port.h"
#include "link/serial_port.h"
#include "sim/davozi_simulator.h"
#include "temp_dir.h"
#include "ui/settings_dialog_runner.h"

namespace vextune::testing {

/// A temporary folder, removed with everything in it.
class TempFolder : public TempDir {
 public:
  TempFolder() : TempDir("vextune-gui") {}
};

/// A DAV-OZI simulator running on its own thread behind a pseudo-terminal.
class SimulatedDavozi {
 public:
  explicit SimulatedDavozi(sim::SimulatorOptions options = {}) : sim_(std::move(options)) {
    std::string error;
    path_ = sim_.Start(&error);
    if (path_.empty()) throw std::runtime_error("simulator: " + error);
  }
  const std::string& path() const { return path_; }
  sim::DavoziSimulator& device() { return sim_; }

 private:
  sim::DavoziSimulator sim_;
  std::string path_;
};

/// The termios opener, counting the opens asked of it.
class CountingOpener final : public SerialPortOpener {
 public:
  SerialCode Open(const std::string& path, uint32_t baudRate,
                  std::unique_ptr<SerialPort>* port) override {
    ++opens;
    return real_.Open(path, baudRate, port);
  }
  int opens = 0;

 private:
  PosixSerialOpener real_{nullptr};
};

/// A settings dialog stand-in: on Edit runs `change` on the working record
/// and answers `accept`.
class FakeSettingsRunner final : public ui::SettingsDialogRunner {
 public:
  bool Edit(QWidget*, CConfigData& working, const DeviceState&, DialogPrompt&) override {
    ++calls;
    if (accept && change) change(working);
    return accept;
  }
  std::function<void(CConfigData&)> change;
  bool accept = true;
  int calls = 0;
};

/// The visible top-level widget of type T, or null.
template <typename T>
T* FindTopLevel() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* found = qobject_cast<T*>(widget); found != nullptr && found->isVisible())
      return found;
  }
  return nullptr;
}

/// Runs `action` on the dialog of type T as soon as it shows: a timer polls
/// from whatever event loop runs, also the exec() of a modal dialog that a
/// click is about to open. `*seen` tells the test whether it showed within
/// `timeoutMs`. A dialog the action (or its failed check) leaves open is
/// rejected, so that the exec() under the test returns.
template <typename T>
void WhenShown(std::function<void(T&)> action, bool* seen, int timeoutMs = 10000) {
  *seen = false;
  auto* poll = new QTimer;
  auto clock = std::make_shared<QElapsedTimer>();
  clock->start();
  QObject::connect(poll, &QTimer::timeout, [=] {
    T* dialog = FindTopLevel<T>();
    if (dialog == nullptr && clock->elapsed() < timeoutMs) return;
    poll->stop();
    poll->deleteLater();
    if (dialog == nullptr) return;
    *seen = true;
    QPointer<T> guard(dialog);
    action(*dialog);
    if (guard && guard->isVisible()) guard->reject();
  });
  poll->start(5);
}

/// Writes `bytes` to `path`.
inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace vextune::testing
