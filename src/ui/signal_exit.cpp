#include "ui/signal_exit.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <atomic>
#include <cerrno>

#include "link/device_context.h"

namespace vextune::ui {

namespace {

/// What a signal handler reaches: the program's device and the pipe that
/// hands the signal to the event loop.
struct SignalTarget {
  const DeviceContext* device = nullptr;
  CancelFlag* cancel = nullptr;
  int writeEnd = -1;
  std::atomic<int> count{0};
};

SignalTarget g_target;
std::atomic<bool> g_installed{false};

extern "C" void EndOnSignal(int signal) {
  const int savedErrno = errno;
  if (g_target.count.fetch_add(1) == 0) {
    // The waits of the running operation end now; the event loop does the rest.
    g_target.cancel->Set();
    const auto byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = write(g_target.writeEnd, &byte, 1);
    errno = savedErrno;
    return;
  }
  // The user does not want to wait: the port is left to the kernel, but its
  // exclusive use must not outlive the program.
  g_target.device->ReleaseExclusiveUse();
  _exit(128 + signal);
}

struct sigaction g_old_int {};
struct sigaction g_old_term {};

}  // namespace

SignalExit::SignalExit(DeviceContext& device, QObject* parent) : QObject(parent), device_(device) {
  if (g_installed.exchange(true)) return;
  if (pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
    g_installed = false;
    return;
  }
  g_target.device = &device_;
  g_target.cancel = &device_.cancel();
  g_target.writeEnd = pipe_[1];
  g_target.count = 0;
  notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &SignalExit::OnSignal);

  struct sigaction action {};
  action.sa_handler = EndOnSignal;
  sigemptyset(&action.sa_mask);
  // Either signal waits while the other's handler runs: one count for both.
  sigaddset(&action.sa_mask, SIGINT);
  sigaddset(&action.sa_mask, SIGTERM);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, &g_old_int);
  sigaction(SIGTERM, &action, &g_old_term);
}

SignalExit::~SignalExit() {
  if (notifier_ == nullptr) return;
  sigaction(SIGINT, &g_old_int, nullptr);
  sigaction(SIGTERM, &g_old_term, nullptr);
  delete notifier_;
  close(pipe_[0]);
  close(pipe_[1]);
  g_target.writeEnd = -1;
  g_installed = false;
}

void SignalExit::OnSignal() {
  unsigned char byte = 0;
  while (read(pipe_[0], &byte, 1) == 1) received_ = byte;
  // Every event loop ends, the nested ones of modal dialogs and message boxes
  // first; later ones return at once. Each dialog's destructor then ends its
  // operation, which the cancel flag has already stopped.
  QCoreApplication::exit(0);
}

}  // namespace vextune::ui
