// Host-mode frames both ways on the fake line. The input is what the device
// sends: every answer the program reads is checked against a decoder written
// out here from the frame layout (channel, code, text, zero byte), frame after
// frame. The input is also sent as a command and decoded back from the line.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "link/device_protocol.h"

namespace {

using namespace vextune;
using fuzzing::Expect;

struct Decoded {
  std::string text;  ///< empty when no usable answer
  size_t consumed;   ///< bytes taken from the line
};

// One answer as the layout defines it: byte 0 the channel, byte 1 the code
// (0: no text), then the text up to a zero byte, within 256 bytes.
Decoded DecodeAnswer(std::string_view line) {
  if (line.size() < 2) return {"", line.size()};
  if (line[1] == '\0') return {"", 2};
  for (size_t pos = 2; pos < 256; ++pos) {
    if (pos >= line.size()) return {"", line.size()};
    if (line[pos] == '\0') return {std::string(line.substr(2, pos - 2)), pos + 1};
  }
  return {"", 256};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  testing::FakeClock clock;
  testing::LambdaDevice silent([](const testing::Bytes&, uint32_t, testing::FakeLine&) {});
  testing::FakeSerialOpener ports(clock, silent);
  ComPortHandle port;
  Expect(ports.Open("fuzz", 38400, &port) == kSerialOk, "fake port did not open");

  // The device's side: frame after frame until the line is empty.
  ports.line().Send(std::string(input));
  size_t offset = 0;
  while (ports.line().Pending() > 0) {
    const Decoded expected = DecodeAnswer(input.substr(offset));
    const std::string answer = ReadHostAnswer(port, clock);
    Expect(answer == expected.text, "answer differs from the frame layout");
    Expect(answer.size() <= 253 && answer.find('\0') == std::string::npos, "answer too long");
    offset += expected.consumed;
    Expect(size - offset == ports.line().Pending(), "answer took other bytes than its frame");
    if (!answer.empty()) {
      // The same text framed afresh reads back as itself.
      ports.line().Clear();
      ports.line().Send(std::string("\x05\x01", 2) + answer + std::string(1, '\0'));
      Expect(ReadHostAnswer(port, clock) == answer, "a framed answer does not read back");
      ports.line().Send(std::string(input.substr(offset)));
    }
  }

  // The program's side: the input as a command on channel 7.
  const size_t writesBefore = ports.Writes().size();
  const bool sent = SendHostFrame(port, 7, input);
  Expect(sent == (!input.empty() && input.size() <= line::kMaxHostCommand),
         "command refused or taken against its length");
  if (sent) {
    const std::string frame = ports.Writes().back();
    Expect(ports.Writes().size() == writesBefore + 1, "a command in more than one write");
    Expect(frame.size() == size + 3 && frame[0] == 7 && frame[1] == 1 &&
               static_cast<uint8_t>(frame[2]) + 1u == size && frame.substr(3) == input,
           "a command frame does not decode to its text");
  }
  return 0;
}
