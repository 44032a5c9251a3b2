#pragma once

#include <atomic>
#include <string>

namespace vextune {

/// Set by a Cancel button or Ctrl-C, tested by a long operation before each of
/// its steps. Lock-free, so a signal handler may set it.
class CancelFlag {
 public:
  void Set() { set_.store(true); }
  void Clear() { set_.store(false); }
  bool IsSet() const { return set_.load(); }

 private:
  std::atomic<bool> set_{false};
};

/// What a long operation (send, read, update) tells its caller while it runs.
class ProgressListener {
 public:
  virtual ~ProgressListener() = default;
  /// The operation's position: the step number of a configuration transfer
  /// (0 to 58), the percentage of an update (0 to 100).
  virtual void SetProgress(int position) = 0;
  /// Called between steps, so that a GUI can repaint and take a Cancel click.
  virtual void DispatchPendingEvents() {}
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
};

}  // namespace vextune
