#include "ui/device_list_watcher.h"

#include <QSocketNotifier>

namespace vextune::ui {

DeviceListWatcher::DeviceListWatcher(std::unique_ptr<DeviceChangeSource> source, QObject* parent)
    : QObject(parent), source_(std::move(source)) {
  settle_.setSingleShot(true);
  settle_.setInterval(kDeviceSettleMs);
  connect(&settle_, &QTimer::timeout, this, &DeviceListWatcher::changed);
  if (!source_) return;
  if (source_->fd() >= 0) {
    notifier_ = new QSocketNotifier(source_->fd(), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &DeviceListWatcher::OnNotice);
  } else if (source_->PollIntervalMs() > 0) {
    poll_.setInterval(source_->PollIntervalMs());
    connect(&poll_, &QTimer::timeout, this, &DeviceListWatcher::changed);
    poll_.start();
  }
}

DeviceListWatcher::~DeviceListWatcher() {
  // The notifier goes before the descriptor it watches.
  delete notifier_;
}

void DeviceListWatcher::OnNotice() {
  source_->Drain();
  // Every notice of the burst starts the wait again.
  settle_.start();
}

}  // namespace vextune::ui
