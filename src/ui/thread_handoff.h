#pragma once

// Qt's event queue orders what a thread does before it posts a call and what
// the receiving thread does in that call, but it does so with a lock inside a
// library that ThreadSanitizer has not instrumented, so under ThreadSanitizer
// every such hand-off looks like a race. These mark that order at our own
// hand-offs; in any other build they are empty. One token serves them all:
// a taker must not read its token from memory it has not taken over yet.

#include <utility>

#if defined(__SANITIZE_THREAD__)
#include <sanitizer/tsan_interface.h>
#endif

namespace vextune::ui {

namespace handoff_detail {
inline char token = 0;
}  // namespace handoff_detail

/// Everything this thread did so far happens before a later TakeOver.
inline void HandOff() {
#if defined(__SANITIZE_THREAD__)
  __tsan_release(&handoff_detail::token);
#endif
}

/// What the threads did before their HandOff happens before this.
inline void TakeOver() {
#if defined(__SANITIZE_THREAD__)
  __tsan_acquire(&handoff_detail::token);
#endif
}

/// A function to be posted to another thread: once it is built (Qt moves it
/// into its own storage) it hands off, and calling or destroying it takes
/// over, so its captures travel with it; what it did is handed back.
template <typename F>
class HandedOver {
 public:
  explicit HandedOver(F f) : f_(std::move(f)) { HandOff(); }
  HandedOver(HandedOver&& other) noexcept : f_(std::move(other.f_)) { HandOff(); }
  HandedOver(const HandedOver&) = delete;
  HandedOver& operator=(const HandedOver&) = delete;
  HandedOver& operator=(HandedOver&&) = delete;
  ~HandedOver() { TakeOver(); }

  void operator()() {
    TakeOver();
    f_();
    HandOff();
  }

 private:
  F f_;
};

}  // namespace vextune::ui
