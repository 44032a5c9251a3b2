#pragma once

#include <fstream>
#include <memory>
#include <string>

#include "cli/interrupt_guard.h"
#include "cli/terminal_progress.h"
#include "cli/terminal_prompt.h"
#include "common/clock.h"
#include "common/operation.h"
#include "link/com_port.h"
#include "link/configuration_check.h"
#include "link/device_context.h"
#include "link/device_link.h"
#include "link/device_state.h"

namespace CLI {
class App;
}

namespace vextune::cli {

/// Options every command that talks to the device shares.
struct DeviceOptions {
  std::string port;    ///< --port PATH; empty: the one device discovery finds
  bool yes = false;    ///< --yes: answer Yes to every question
  bool quiet = false;  ///< --quiet: no progress output
  std::string trace;   ///< --trace FILE: every byte on the line goes there
};

/// Adds --port, --trace, --yes and --quiet to `command`.
void AddDeviceOptions(CLI::App& command, DeviceOptions& options);
/// Adds --port and --trace, for a command that neither asks nor shows
/// progress.
void AddPortOption(CLI::App& command, DeviceOptions& options);

/// What the core needs from the command line to reach the device: the
/// device context (clock, port opener, link settings, device state, cancel
/// flag) that the desktop program sets up too, with a cancel flag that Ctrl-C
/// and SIGTERM set, and the terminal prompt and progress. The first signal cancels
/// the running operation, whose waits on the line and pauses end at once; a
/// second one clears the exclusive use of the open port and ends the program
/// at once (status 128 + signal number: 130 for Ctrl-C). One per command run;
/// create it in the command's action, not while registering.
class DeviceSession {
 public:
  explicit DeviceSession(const DeviceOptions& options);
  ~DeviceSession();
  DeviceSession(const DeviceSession&) = delete;
  DeviceSession& operator=(const DeviceSession&) = delete;

  /// Puts --port, or else the one DAV-OZI that discovery finds, into the link
  /// settings and says which on stderr. With none or several found: lists the
  /// serial ports, asks for --port and returns false (exit 1).
  bool SelectPort();

  /// After a failed open: when the user may not use the port, prints on
  /// stderr which group to join. `code` is the open's error code if known.
  void HintIfNoAccess(SerialCode code = kSerialOk) const;

  /// Prints on stderr why the configuration check failed, with what the
  /// command line can add (the system's error, the busy channel).
  void ReportCheckFailure(const CheckResult& result) const;

  Clock& clock() { return device_.clock(); }
  SerialPortOpener& ports() { return device_.ports(); }
  LinkSettings& settings() { return device_.settings(); }
  DeviceLink& link() { return device_.link(); }
  DeviceState& state() { return device_.state(); }
  CancelFlag& cancel() { return device_.cancel(); }
  TerminalPrompt& prompt() { return prompt_; }
  /// Call SetRange() before a long operation (58 transfer steps, 100 %).
  TerminalProgress& progress() { return progress_; }

 private:
  /// The open trace file with --trace, else nullptr.
  std::ostream* OpenTraceIfAsked();

  DeviceOptions options_;
  // With --trace: the file every byte on the line goes to, opened before the
  // device context that records into it.
  std::ofstream trace_file_;
  DeviceContext device_;
  // The progress bar comes first: the prompt ends its line before a message.
  TerminalProgress progress_;
  TerminalPrompt prompt_;
  std::unique_ptr<InterruptGuard> signals_;
};

}  // namespace vextune::cli
