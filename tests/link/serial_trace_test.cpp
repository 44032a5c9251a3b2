// The serial trace on a fake line and clock: what each kind of event writes.
#include "link/serial_trace.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sstream>
#include <string>
#include <vector>

#include "fake_clock.h"
#include "fake_serial.h"

namespace vextune {
namespace {

using testing::Bytes;
using testing::FakeLine;
using testing::FakeSerialOpener;
using testing::LambdaDevice;

TEST(SerialTrace, ShowsBytesAsHexAndPrintableText) {
  const struct {
    std::string bytes;
    const char* shown;
  } cases[] = {
      {"", "  ||"},
      {"\x1b\r", "1B 0D  |..|"},
      {"cmd:", "63 6D 64 3A  |cmd:|"},
      {std::string("\x00\x7f\x80\xff ~", 6), "00 7F 80 FF 20 7E  |.... ~|"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TraceBytes(reinterpret_cast<const uint8_t*>(c.bytes.data()), c.bytes.size()),
              c.shown);
  }
}

// A device that answers ESC v CR with its name and is busy at 115200 Bd.
struct TracedLine : testing::FakeLink<LambdaDevice> {
  std::ostringstream out;
  std::unique_ptr<SerialTrace> trace;
  std::unique_ptr<TracingPortOpener> traced;

  TracedLine()
      : FakeLink([](const Bytes& bytes, uint32_t, FakeLine& line) {
          if (bytes == Bytes{0x1B, 'v', '\r'}) line.Send("DAVOZI", 5);
          if (bytes == Bytes{'?'}) line.Send("AB", 1, 10);  // two bytes 10 ms apart
        }) {
    trace = std::make_unique<SerialTrace>(clock, out);
    traced = std::make_unique<TracingPortOpener>(opener, *trace);
  }
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    std::istringstream in(out.str());
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
};

TEST(SerialTrace, RecordsOpensBurstsAndClosesWithTheTimeSinceTheStart) {
  TracedLine t;  // the times are counted from when the trace began
  const uint64_t start = t.clock.NowMs();
  t.clock.AdvanceTo(start + 3);
  std::unique_ptr<SerialPort> port;
  ASSERT_EQ(t.traced->Open("/dev/ttyACM0", 38400, &port), kSerialOk);
  t.clock.AdvanceTo(start + 12);
  const uint8_t identify[] = {0x1B, 'v', '\r'};
  ASSERT_EQ(port->Write(identify, sizeof identify, OnCancel::Refuse), kSerialOk);
  uint8_t reply[10] = {};
  size_t received = 0;
  // Read byte by byte, as a drain does: still one burst.
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(port->Read(reply + i, 1, &received), kSerialOk);
    EXPECT_EQ(received, 1u);
  }
  // What the program gets is untouched by the trace.
  EXPECT_EQ(std::string(reinterpret_cast<char*>(reply), 6), "DAVOZI");
  EXPECT_EQ(port->Read(reply, 10, &received), kSerialTimeout);
  EXPECT_EQ(received, 0u);
  // Bytes apart in time are bursts of their own; a read cut short says so.
  const uint8_t ask[] = {'?'};
  ASSERT_EQ(port->Write(ask, 1, OnCancel::Refuse), kSerialOk);
  EXPECT_EQ(port->Read(reply, 1, &received), kSerialOk);
  EXPECT_EQ(port->Read(reply, 3, &received), kSerialTimeout);
  EXPECT_EQ(received, 1u);
  port->MarkFailed(kSerialNoSilence);
  port.reset();
  EXPECT_EQ(t.opener.openCount(), 0);

  const std::vector<std::string> expected = {
      "# serial trace: ms since the start (a write when it began, a read when it returned); -> "
      "written to the device, <- read from it",
      "       3 open /dev/ttyACM0 at 38400 Bd",
      "      12 -> 1B 76 0D  |.v.|",
      "      17 <- 44 41 56 4F 5A 49  |DAVOZI|",
      "     617 <- nothing  (time-out: 0 of 10 bytes)",
      "     617 -> 3F  |?|",
      "     618 <- 41  |A|",
      "     678 <- 42  |B|  (time-out: 1 of 3 bytes)",
      "     678 line failed (line never fell silent)",
      "     678 close /dev/ttyACM0",
  };
  EXPECT_EQ(t.Lines(), expected) << t.out.str();
}

TEST(SerialTrace, RecordsAFailedOpenAndAWriteThatFailed) {
  TracedLine t;
  struct BusyDevice final : testing::FakeDevice {
    SerialCode OnOpen(uint32_t baudRate) override { return baudRate == 115200 ? EBUSY : 0; }
    void OnWrite(const Bytes&, uint32_t, FakeLine&) override {}
  } busy;
  FakeSerialOpener opener(t.clock, busy);
  TracingPortOpener traced(opener, *t.trace);
  std::unique_ptr<SerialPort> port;
  EXPECT_EQ(traced.Open("/dev/ttyUSB1", 115200, &port), SerialCode{EBUSY});
  EXPECT_EQ(port, nullptr);
  ASSERT_EQ(traced.Open("/dev/ttyUSB1", 38400, &port), kSerialOk);
  opener.FailWrites(EIO);
  const uint8_t wake[] = {0x1B, '\r'};
  EXPECT_EQ(port->Write(wake, sizeof wake, OnCancel::Refuse), SerialCode{EIO});
  port.reset();
  const std::vector<std::string> lines = t.Lines();
  ASSERT_EQ(lines.size(), 5u) << t.out.str();
  EXPECT_EQ(lines[1], "       0 open /dev/ttyUSB1 at 115200 Bd: failed (Device or resource busy)");
  EXPECT_EQ(lines[2], "       0 open /dev/ttyUSB1 at 38400 Bd");
  EXPECT_EQ(lines[3], "       0 -> 1B 0D  |..|  (Input/output error)");
  EXPECT_EQ(lines[4], "       0 close /dev/ttyUSB1");
}

}  // namespace
}  // namespace vextune
