#include "link/win32_serial_port.h"

#include <windows.h>

#include <algorithm>
#include <iostream>

#include "common/cancel_pipe.h"
#include "link/com_port.h"
#include "link/com_port_names.h"
#include "link/timed_serial_port.h"

namespace vextune {

namespace {

constexpr const char* kOpenFailed = "\n\rFailed to open serial port.\n";
constexpr const char* kGetSettingsFailed = "\n\rFailed to retrieve control settings.\n";
constexpr const char* kSetSettingsFailed = "\n\rFailed to set port settings.\n";

constexpr DWORD kInputQueueBytes = 2048;
constexpr DWORD kOutputQueueBytes = 1024;
/// How long a read of what the driver holds may take before it is cancelled
/// here: a driver that ignores COMMTIMEOUTS must not hang the program.
constexpr uint64_t kDriverSlackMs = 500;
/// How often a read looks for new bytes while it waits for them.
constexpr DWORD kPollMs = 5;
/// What the last words after a cancel (OnCancel::SendWithoutWaiting) may
/// take beyond their time on the line.
constexpr uint64_t kLastWordsMarginMs = 100;

class Win32SerialPort final : public TimedSerialPort {
 public:
  Win32SerialPort(HANDLE handle, HANDLE ioEvent, uint32_t baudRate, CancelPipe* cancel,
                  std::ostream* errors)
      : TimedSerialPort(baudRate, cancel, errors),
        handle_(handle),
        io_event_(ioEvent),
        cancel_event_(cancel ? static_cast<HANDLE>(cancel->event()) : nullptr) {}
  ~Win32SerialPort() override {
    CancelIo(handle_);
    CloseHandle(handle_);
    CloseHandle(io_event_);
  }
  Win32SerialPort(const Win32SerialPort&) = delete;
  Win32SerialPort& operator=(const Win32SerialPort&) = delete;

  SerialCode Write(const uint8_t* data, size_t n, OnCancel onCancel) override {
    if (fault() != kSerialOk) return fault();
    const bool cancelled = Cancelled();
    if (cancelled && onCancel == OnCancel::Refuse) return kSerialCancelled;
    if (n == 0) return kSerialOk;
    const auto now = static_cast<uint64_t>(MonotonicMs());
    // After a cancel nothing waits long: what the driver does not take in the
    // bytes' own time on the line is dropped.
    const uint64_t bound = cancelled ? now + LineTimeMs(n, baudRate()) + kLastWordsMarginMs
                                     : now + WriteTimeLimitMs(n, baudRate());
    const Transfer t =
        Run([&](OVERLAPPED* ov,
                DWORD* done) { return WriteFile(handle_, data, static_cast<DWORD>(n), done, ov); },
            bound, cancelled ? nullptr : cancel_event_);
    if (t.code == kSerialTimeout) {
      if (cancelled) return kSerialCancelled;
      MarkFailed(kSerialWriteTimeout);
      return kSerialWriteTimeout;
    }
    if (t.code != kSerialOk) return t.code;
    return t.bytes == n ? kSerialOk : kSerialTimeout;
  }

 private:
  SerialCode ReadAvailable(uint8_t* buffer, size_t n, double giveUpMs, size_t* got) override {
    // The port's COMMTIMEOUTS make every ReadFile return at once with what
    // the driver holds; the time-out rule is applied between short waits
    // that a cancel ends at once. Drivers differ too much in how they apply
    // interval and total time-outs together.
    *got = 0;
    for (;;) {
      const Transfer t = Run(
          [&](OVERLAPPED* ov, DWORD* done) {
            return ReadFile(handle_, buffer, static_cast<DWORD>(n), done, ov);
          },
          static_cast<uint64_t>(MonotonicMs()) + kDriverSlackMs, nullptr);
      *got = t.bytes;
      if (t.code != kSerialOk && t.code != kSerialTimeout) return t.code;
      if (t.bytes > 0) return kSerialOk;
      // Read once more after every wait: bytes that came during the last one count.
      const double now = MonotonicMs();
      if (now >= giveUpMs) return kSerialOk;
      const DWORD wait = static_cast<DWORD>(std::min(giveUpMs - now, double{kPollMs})) + 1;
      if (cancel_event_ && WaitForSingleObject(cancel_event_, wait) == WAIT_OBJECT_0) {
        if (cancel()->ConfirmWake()) return kSerialCancelled;
      } else if (!cancel_event_) {
        Sleep(wait);
      }
    }
  }

  struct Transfer {
    /// kSerialOk when the driver ended the transfer; kSerialTimeout when the
    /// bound passed first; kSerialCancelled; or GetLastError().
    SerialCode code = kSerialOk;
    size_t bytes = 0;
  };

  /// Starts one overlapped transfer with `start` and waits until it ends, the
  /// cancel event is signalled, or `boundMs` passes; the last two cancel it.
  template <typename Start>
  Transfer Run(Start start, uint64_t boundMs, HANDLE cancelEvent) {
    Transfer t;
    OVERLAPPED ov{};
    ResetEvent(io_event_);
    ov.hEvent = io_event_;
    DWORD done = 0;
    if (start(&ov, &done)) {
      t.bytes = done;
      return t;
    }
    if (GetLastError() != ERROR_IO_PENDING) {
      t.code = GetLastError();
      return t;
    }
    for (;;) {
      const auto now = static_cast<uint64_t>(MonotonicMs());
      const DWORD wait = now >= boundMs ? 0 : static_cast<DWORD>(boundMs - now);
      HANDLE handles[2] = {io_event_, cancelEvent};
      const DWORD woke = WaitForMultipleObjects(cancelEvent ? 2 : 1, handles, FALSE, wait);
      if (woke == WAIT_OBJECT_0) break;
      if (woke == WAIT_OBJECT_0 + 1) {
        if (!cancel()->ConfirmWake()) continue;  // a flag cleared since: wait on
        t.code = kSerialCancelled;
      } else if (woke == WAIT_TIMEOUT) {
        t.code = kSerialTimeout;
      } else {
        t.code = GetLastError();
      }
      CancelIoEx(handle_, &ov);
      break;
    }
    // The bytes moved before a cancel count too: a partial reply stays usable.
    if (!GetOverlappedResult(handle_, &ov, &done, TRUE) && t.code == kSerialOk) {
      const DWORD error = GetLastError();
      if (error != ERROR_OPERATION_ABORTED) t.code = error;
    }
    t.bytes = done;
    return t;
  }

  HANDLE handle_;
  HANDLE io_event_;
  HANDLE cancel_event_;
};

}  // namespace

Win32SerialOpener::Win32SerialOpener(std::ostream* errors, CancelPipe* cancel)
    : errors_(errors), cancel_(cancel) {}

SerialCode Win32SerialOpener::Open(const std::string& path, uint32_t baudRate,
                                   std::unique_ptr<SerialPort>* port) {
  port->reset();
  auto fail = [this](const char* text, DWORD error) {
    if (errors_ && text) *errors_ << text << std::flush;
    return static_cast<SerialCode>(error);
  };
  if (CorrectBaudRate(baudRate) != baudRate) {
    return fail(kSetSettingsFailed, ERROR_INVALID_PARAMETER);
  }
  if (path.empty()) return fail(kOpenFailed, ERROR_FILE_NOT_FOUND);

  // No sharing: a second program (or a second open here) gets
  // ERROR_ACCESS_DENIED.
  HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OVERLAPPED, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return fail(kOpenFailed, GetLastError());
  auto failClosing = [&](const char* text) {
    const DWORD error = GetLastError();
    CloseHandle(handle);
    return fail(text, error);
  };

  SetupComm(handle, kInputQueueBytes, kOutputQueueBytes);  // a hint the driver may ignore

  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(handle, &dcb)) return failClosing(kGetSettingsFailed);
  dcb.BaudRate = baudRate;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  dcb.fBinary = TRUE;
  dcb.fParity = TRUE;
  // No flow control of either kind: update images carry XON and XOFF bytes,
  // and the DAV-OZI does not drive CTS or DSR. DTR and RTS stay on.
  dcb.fOutxCtsFlow = FALSE;
  dcb.fOutxDsrFlow = FALSE;
  dcb.fDsrSensitivity = FALSE;
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  dcb.fRtsControl = RTS_CONTROL_ENABLE;
  dcb.fOutX = FALSE;
  dcb.fInX = FALSE;
  dcb.fErrorChar = FALSE;
  dcb.fNull = FALSE;
  // A line error must not stop every later transfer until it is cleared.
  dcb.fAbortOnError = FALSE;
  if (!SetCommState(handle, &dcb)) return failClosing(kSetSettingsFailed);

  // Reads return at once with the bytes the driver holds (the read time-outs
  // are applied by Read); writes have no time-out of the driver's (Write
  // bounds its wait).
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = MAXDWORD;
  timeouts.ReadTotalTimeoutMultiplier = 0;
  timeouts.ReadTotalTimeoutConstant = 0;
  timeouts.WriteTotalTimeoutMultiplier = 0;
  timeouts.WriteTotalTimeoutConstant = 0;
  if (!SetCommTimeouts(handle, &timeouts)) return failClosing(nullptr);

  DWORD lineErrors = 0;
  COMSTAT status{};
  if (!ClearCommError(handle, &lineErrors, &status)) return failClosing(nullptr);
  if (!PurgeComm(handle, PURGE_RXCLEAR)) return failClosing(nullptr);

  HANDLE ioEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!ioEvent) return failClosing(nullptr);
  *port = std::make_unique<Win32SerialPort>(handle, ioEvent, baudRate, cancel_, errors_);
  return kSerialOk;
}

std::unique_ptr<SystemSerialOpener> MakeSystemSerialOpener(std::ostream* errors,
                                                           CancelPipe* cancel) {
  return std::make_unique<Win32SerialOpener>(errors, cancel);
}

std::string DevicePathForPort(const std::string& portName) {
  return WindowsDevicePath(portName);
}

bool IsAccessDenied(SerialCode code) {
  return code == ERROR_ACCESS_DENIED;
}

// A COM port's name says nothing about whether it is there now; the open tells.
bool SerialPortPresent(const std::string&) {
  return true;
}

std::string PermissionHint(const std::string& path) {
  return path +
         " is held by another program, or your user may not use it: close the other "
         "program (a terminal, another configuration tool) and try again.";
}

}  // namespace vextune
