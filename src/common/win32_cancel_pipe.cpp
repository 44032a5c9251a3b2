#include <windows.h>

#include "common/cancel_pipe.h"

namespace vextune {

CancelPipe::CancelPipe(CancelFlag& flag) : flag_(flag) {
  // Manual reset: a set flag keeps the event signalled for every later wait.
  event_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  flag_.AttachWaker(this);
  if (flag_.IsSet()) Wake();
}

CancelPipe::~CancelPipe() {
  flag_.AttachWaker(nullptr);
  if (event_) CloseHandle(event_);
}

bool CancelPipe::ConfirmWake() {
  if (!event_) return flag_.IsSet();
  // Reset first, tested second: a Set that comes in between signals again.
  ResetEvent(event_);
  if (!flag_.IsSet()) return false;
  SetEvent(event_);
  return true;
}

bool CancelPipe::WaitForInput(int /*inputFd*/) {
  return !Cancelled();
}

void CancelPipe::Wake() noexcept {
  // Called from the console control handler's thread; SetEvent is made for it.
  if (event_) SetEvent(event_);
}

}  // namespace vextune
