#include <signal.h>
#include <unistd.h>

#include <array>
#include <atomic>

#include "cli/interrupt_guard.h"

namespace vextune::cli {

namespace {

/// What a signal reaches: the running session's flag and ports.
struct SignalTarget {
  CancelFlag& flag;
  const DeviceContext& ports;
  std::atomic<int> signals{0};
};

// A signal handler can reach nothing but a static; it holds only the address
// of the running session's target, set and cleared by SignalGuard.
std::atomic<SignalTarget*> g_signal_target{nullptr};

extern "C" void CancelOnSignal(int signal) {
  SignalTarget* target = g_signal_target.load();
  if (target && target->signals.fetch_add(1) == 0) {
    target->flag.Set();  // wakes the waits: the operation ends through its abort path
    return;
  }
  // A second signal: the user does not want to wait for anything. The port is
  // left to the kernel, but its exclusive use must not outlive the program.
  if (target) target->ports.ReleaseExclusiveUse();
  _exit(128 + signal);
}

/// Signals that end the program at once (a closed terminal, a crash): they
/// keep their usual end, but the port's exclusive use goes first.
constexpr std::array<int, 7> kFatalSignals = {SIGHUP, SIGQUIT, SIGABRT, SIGSEGV,
                                              SIGBUS, SIGFPE,  SIGILL};

extern "C" void ReleaseOnFatalSignal(int signal) {
  if (SignalTarget* target = g_signal_target.load()) target->ports.ReleaseExclusiveUse();
  raise(signal);  // the handler reset itself: the usual end follows
}

/// Routes SIGINT and SIGTERM to the cancel flag while it lives; a second one
/// ends the program at once. Without SA_RESTART, so that a read of the
/// terminal (a question) is interrupted too. The fatal signals release the
/// port's exclusive use before they end the program.
class SignalGuard final : public InterruptGuard {
 public:
  SignalGuard(CancelFlag& flag, const DeviceContext& ports) : target_{flag, ports} {
    g_signal_target.store(&target_);
    struct sigaction action {};
    action.sa_handler = CancelOnSignal;
    sigemptyset(&action.sa_mask);
    // Either signal waits while the other's handler runs: one count for both.
    sigaddset(&action.sa_mask, SIGINT);
    sigaddset(&action.sa_mask, SIGTERM);
    action.sa_flags = 0;
    sigaction(SIGINT, &action, &old_int_);
    sigaction(SIGTERM, &action, &old_term_);

    struct sigaction fatal {};
    fatal.sa_handler = ReleaseOnFatalSignal;
    sigemptyset(&fatal.sa_mask);
    fatal.sa_flags = SA_RESETHAND | SA_NODEFER;
    for (size_t i = 0; i < kFatalSignals.size(); ++i) {
      sigaction(kFatalSignals[i], &fatal, &old_fatal_[i]);
    }
  }
  ~SignalGuard() override {
    sigaction(SIGINT, &old_int_, nullptr);
    sigaction(SIGTERM, &old_term_, nullptr);
    for (size_t i = 0; i < kFatalSignals.size(); ++i) {
      sigaction(kFatalSignals[i], &old_fatal_[i], nullptr);
    }
    g_signal_target.store(nullptr);
  }
  SignalGuard(const SignalGuard&) = delete;
  SignalGuard& operator=(const SignalGuard&) = delete;

 private:
  SignalTarget target_;
  struct sigaction old_int_ {};
  struct sigaction old_term_ {};
  std::array<struct sigaction, kFatalSignals.size()> old_fatal_{};
};

}  // namespace

std::unique_ptr<InterruptGuard> GuardInterrupts(CancelFlag& flag, const DeviceContext& ports) {
  return std::make_unique<SignalGuard>(flag, ports);
}

}  // namespace vextune::cli
