#pragma once

#include <atomic>
#include <string>

namespace vextune {

/// Wakes the blocking waits of an operation (a serial read or write, a pause)
/// when its cancel flag is set, so that they end at once instead of running
/// to their time-out.
class CancelWaker {
 public:
  virtual ~CancelWaker() = default;
  /// Called by CancelFlag::Set, possibly from a signal handler or another
  /// thread: must be async-signal-safe.
  virtual void Wake() noexcept = 0;
};

/// Set by a Cancel button or Ctrl-C, tested by a long operation before each of
/// its steps. Lock-free, so a signal handler may set it.
///
/// Who clears it: the caller that starts a user's action (a button handler, a
/// command), never an operation midway, so that a cancel that comes between
/// the steps of one action (the configuration check, then the send, then its
/// read-back) is never lost.
class CancelFlag {
 public:
  /// Sets the flag and wakes the waits of the running operation.
  void Set() noexcept {
    set_.store(true);
    if (CancelWaker* waker = waker_.load()) waker->Wake();
  }
  void Clear() noexcept { set_.store(false); }
  bool IsSet() const noexcept { return set_.load(); }

  /// The waker that Set calls (not owned); nullptr for none.
  void AttachWaker(CancelWaker* waker) noexcept { waker_.store(waker); }

 private:
  std::atomic<bool> set_{false};
  std::atomic<CancelWaker*> waker_{nullptr};
};

/// What a long operation (send, read, update) tells its caller while it runs.
class ProgressListener {
 public:
  virtual ~ProgressListener() = default;
  /// The operation's position: the step number of a configuration transfer
  /// (0 to 58), the percentage of an update (0 to 100).
  virtual void SetProgress(int position) = 0;
  /// True while the operation works (the GUI shows the wait cursor).
  virtual void SetBusy(bool /*busy*/) {}
};

/// A listener that ignores everything, for callers that show no progress.
class NoProgress final : public ProgressListener {
 public:
  void SetProgress(int) override {}
};

/// The icon of a message box. `None` is the plain message box without an icon.
enum class MessageIcon { Information, Warning, Error, Question, None };

/// Messages and questions to the user. The GUI shows message boxes, the
/// command line prints and reads the terminal, tests script the answers.
class UserPrompt {
 public:
  virtual ~UserPrompt() = default;
  /// A message with a single OK button; returns when the user has seen it.
  virtual void ShowMessage(const std::string& caption, const std::string& text,
                           MessageIcon icon) = 0;
  /// A question with Yes and No buttons; true for Yes.
  virtual bool AskYesNo(const std::string& caption, const std::string& text) = 0;
  /// A question whose Yes may do harm (sending a file that does not look
  /// like firmware): where a prompt has a default answer, it is No, so that
  /// Enter alone does not say Yes. Elsewhere the same as AskYesNo.
  virtual bool AskYesNoDefaultNo(const std::string& caption, const std::string& text) {
    return AskYesNo(caption, text);
  }
};

}  // namespace vextune
