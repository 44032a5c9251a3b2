#include <windows.h>

#include <atomic>

#include "cli/interrupt_guard.h"

namespace vextune::cli {

namespace {

/// Exit status after a second Ctrl-C, as on POSIX systems (128 + SIGINT).
constexpr UINT kInterruptedStatus = 130;

struct ConsoleTarget {
  CancelFlag& flag;
  std::atomic<int> interrupts{0};
};

// The console calls its handler on a thread of its own with nothing but the
// event type: the running session's target is reachable only from a static.
std::atomic<ConsoleTarget*> g_console_target{nullptr};

BOOL WINAPI CancelOnConsoleEvent(DWORD event) {
  ConsoleTarget* target = g_console_target.load();
  if (!target) return FALSE;
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
      if (target->interrupts.fetch_add(1) == 0) {
        target->flag.Set();  // wakes the waits: the operation ends through its abort path
        return TRUE;
      }
      // A second one: the user does not want to wait for anything. Windows
      // closes the port, and with it its exclusive use, with the process.
      ExitProcess(kInterruptedStatus);
    default:
      // The console closes, or the user logs off: the system ends the
      // process; the flag stops what it can meanwhile.
      target->flag.Set();
      return FALSE;
  }
}

class ConsoleGuard final : public InterruptGuard {
 public:
  explicit ConsoleGuard(CancelFlag& flag) : target_{flag} {
    g_console_target.store(&target_);
    SetConsoleCtrlHandler(CancelOnConsoleEvent, TRUE);
  }
  ~ConsoleGuard() override {
    SetConsoleCtrlHandler(CancelOnConsoleEvent, FALSE);
    g_console_target.store(nullptr);
  }
  ConsoleGuard(const ConsoleGuard&) = delete;
  ConsoleGuard& operator=(const ConsoleGuard&) = delete;

 private:
  ConsoleTarget target_;
};

}  // namespace

std::unique_ptr<InterruptGuard> GuardInterrupts(CancelFlag& flag,
                                                const DeviceContext& /*ports*/) {
  return std::make_unique<ConsoleGuard>(flag);
}

}  // namespace vextune::cli
