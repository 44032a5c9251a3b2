#pragma once

#include <QObject>
#include <QTimer>
#include <memory>

#include "link/device_watch.h"

class QSocketNotifier;

namespace vextune::ui {

/// The device-list watch on the GUI thread's event loop: the system's notice
/// wakes it (a socket notifier on the watch's descriptor; where there is none,
/// a timer at the watch's poll interval), and `changed` comes once a burst of
/// notices has settled. Nothing is opened or probed: a receiver looks at the
/// list again.
class DeviceListWatcher final : public QObject {
  Q_OBJECT

 public:
  /// Takes over `source`; null watches nothing and never emits.
  explicit DeviceListWatcher(std::unique_ptr<DeviceChangeSource> source, QObject* parent = nullptr);
  ~DeviceListWatcher() override;

 signals:
  /// The list of serial devices may have changed.
  void changed();

 private:
  void OnNotice();

  std::unique_ptr<DeviceChangeSource> source_;
  QSocketNotifier* notifier_ = nullptr;
  QTimer settle_;
  QTimer poll_;
};

}  // namespace vextune::ui
