#pragma once

// What the device fuzz targets share: a reader over the input and the
// simulated DAV-OZI on the fake line with replies the input reshapes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "config/config_data.h"
#include "fake_serial.h"
#include "link/device_link.h"
#include "record_invariants.h"
#include "sim/davozi_simulator.h"
#include "sim/device_core.h"

namespace vextune::fuzzing {

/// Reads a fuzz input front to back; past its end every byte reads as 0.
class InputCursor {
 public:
  InputCursor(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool AtEnd() const { return pos_ >= size_; }
  uint8_t Byte() { return AtEnd() ? 0 : data_[pos_++]; }
  /// Up to `n` next bytes (fewer at the end of the input).
  std::string Bytes(size_t n);

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

/// One reply as it goes onto the line.
struct ShapedReply {
  std::string bytes;
  uint32_t delayMs = 1;
  uint32_t gapMs = 0;
  bool altered = false;
};

/// Reshapes the device's reply to one write by the next instruction of the
/// input. An instruction byte's value modulo 8 says what happens: 0 the reply
/// as it is, 1 none, 2 replaced (length byte, bytes), 3 cut (length byte),
/// 4 one byte changed (position byte, xor byte), 5 bytes appended (length
/// byte, bytes), 6 the bytes dribble (gap byte, ms), 7 late (delay byte, 4 ms
/// steps). An input that has ended leaves every reply as it is.
ShapedReply ShapeReply(InputCursor& input, std::string reply);

/// The simulated DAV-OZI behind the fake line; every reply is reshaped by the
/// input before it goes out.
class FuzzedDavozi final : public testing::FakeDevice {
 public:
  FuzzedDavozi(const sim::SimulatorOptions& options, Clock& clock, InputCursor& input,
               const CConfigData* nonvolatile = nullptr);
  void OnWrite(const testing::Bytes& bytes, uint32_t baudRate, testing::FakeLine& line) override;

  /// Some reply did not reach the program as the device sent it.
  bool altered() const { return altered_; }
  const sim::DeviceCore& core() const { return core_; }

 private:
  sim::DeviceCore core_;
  uint32_t baud_;
  InputCursor& input_;
  bool altered_ = false;
};

/// The fuzzed DAV-OZI on the fake line, and the program's link to it.
struct FuzzedLine {
  FuzzedLine(const sim::SimulatorOptions& options, InputCursor& input,
             const CConfigData* nonvolatile = nullptr)
      : device(options, clock, input, nonvolatile), ports(clock, device) {}
  FuzzedLine(const FuzzedLine&) = delete;
  FuzzedLine& operator=(const FuzzedLine&) = delete;

  testing::FakeClock clock;
  FuzzedDavozi device;
  testing::FakeSerialOpener ports;
  LinkSettings settings{"ttyACM0", 38400};
  DeviceLink link{ports, settings, clock};
};

/// A firmware version the simulator knows, chosen by `choice`.
std::string PickFirmware(uint8_t choice);

/// A configuration away from the defaults in every kind of parameter that a
/// device gives back, so that a read that changes anything shows.
CConfigData ChangedConfiguration();

}  // namespace vextune::fuzzing
