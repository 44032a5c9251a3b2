#include "link/win32_serial_port.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <sstream>

#include "common/cancel_pipe.h"
#include "common/system_error_text.h"
#include "link/com_port.h"

namespace vextune {
namespace {

// The Windows side of the serial layer that needs no port: names, failed
// opens, error texts and the cancel event. The port itself is exercised by
// wine_e2e.sh against the simulator.

TEST(Win32SerialPort, PortNamesBecomeDevicePaths) {
  EXPECT_EQ(DevicePathForPort("COM5"), "\\\\.\\COM5");
  EXPECT_EQ(DevicePathForPort("COM12"), "\\\\.\\COM12");
  EXPECT_EQ(DevicePathForPort("\\\\.\\COM12"), "\\\\.\\COM12");
}

TEST(Win32SerialPort, FailedOpensReturnTheSystemErrorAndNoPort) {
  const struct {
    const char* name;
    std::string port;
    uint32_t baud;
    SerialCode code;
    const char* text;
  } cases[] = {
      {"missing port", "COM97", 38400, ERROR_FILE_NOT_FOUND, "\n\rFailed to open serial port.\n"},
      {"no name", "", 38400, ERROR_FILE_NOT_FOUND, "\n\rFailed to open serial port.\n"},
      {"rate the layer does not set", "COM97", 14400, ERROR_INVALID_PARAMETER,
       "\n\rFailed to set port settings.\n"},
  };
  for (const auto& c : cases) {
    std::ostringstream errors;
    Win32SerialOpener opener(&errors);
    std::unique_ptr<SerialPort> port;
    EXPECT_EQ(opener.Open(c.port.empty() ? "" : DevicePathForPort(c.port), c.baud, &port), c.code)
        << c.name;
    EXPECT_EQ(port, nullptr) << c.name;
    EXPECT_EQ(errors.str(), c.text) << c.name;
  }
}

TEST(Win32SerialPort, OpenComPortCorrectsTheRateAndLeavesTheHandleClosed) {
  std::ostringstream errors;
  Win32SerialOpener opener(&errors);
  LinkSettings settings{"COM97", 14400};
  ComPortHandle handle;
  EXPECT_EQ(OpenComPort(opener, settings, handle), static_cast<SerialCode>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(settings.baudRate, 38400u);
  EXPECT_FALSE(handle);
  CloseComPort(handle);
  CloseComPort(handle);  // harmless on a closed handle
  EXPECT_FALSE(handle);
  uint8_t byte = 0;
  EXPECT_NE(ReadComPort(handle, &byte, 1), kSerialOk);
}

TEST(Win32SerialPort, SystemErrorTextsAreTheSystemsOwn) {
  const std::string denied = SystemErrorText(ERROR_ACCESS_DENIED);
  EXPECT_FALSE(denied.empty());
  EXPECT_NE(denied.find("ccess"), std::string::npos) << denied;
  EXPECT_NE(denied.back(), '\n');
  EXPECT_NE(SystemErrorText(ERROR_FILE_NOT_FOUND), denied);
}

TEST(Win32CancelEvent, SignalledExactlyWhileTheFlagIsSet) {
  CancelFlag flag;
  CancelPipe pipe(flag);
  const HANDLE event = static_cast<HANDLE>(pipe.event());
  ASSERT_NE(event, nullptr);
  EXPECT_EQ(pipe.fd(), -1);
  EXPECT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_TIMEOUT));
  flag.Set();
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
  EXPECT_TRUE(pipe.ConfirmWake());
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0) << "stays signalled for later waits";
  flag.Clear();
  EXPECT_FALSE(pipe.ConfirmWake());
  EXPECT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

}  // namespace
}  // namespace vextune
