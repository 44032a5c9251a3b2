// The program's own send script and read-back against the simulator's device
// logic, on the fake line and clock: whatever the record accepts must come back
// equal, at every firmware generation. Runs in fake time, so it can try many
// configurations; the same over a real terminal is in transfer_e2e_test.

#include <gtest/gtest.h>

#include "fake_serial.h"
#include "sim/davozi_simulator.h"
#include "sim/device_core.h"
#include "sim/parameter_store.h"
#include "transfer/read_configuration.h"
#include "transfer/send_configuration.h"
#include "transfer_test_support.h"

namespace vextune::testing {
namespace {

/// The simulated device behind the fake line: every written byte goes through
/// the device logic, whose answer comes back on the line.
class SimulatedDevice final : public FakeDevice {
 public:
  SimulatedDevice(const sim::SimulatorOptions& options, Clock& clock)
      : core_(options, *sim::FirmwareNumber(options.firmware), clock), baud_(options.baud) {
    std::string error;
    EXPECT_TRUE(core_.PowerOn(nullptr, &error)) << error;
  }
  void OnWrite(const Bytes& bytes, uint32_t baudRate, FakeLine& line) override {
    for (uint8_t b : bytes) {
      const std::string reply = core_.Feed(b);
      // At another rate the device sees only noise and answers nothing.
      if (baudRate == baud_ && !reply.empty()) line.Send(reply);
    }
  }
  const sim::DeviceCore& core() const { return core_; }

 private:
  sim::DeviceCore core_;
  uint32_t baud_;
};

struct RoundTrip {
  SendResult sent;
  ReadResult read;
  std::string outOfRange;
  CConfigData readBack;
};

RoundTrip SendThenRead(const CConfigData& config, const std::string& firmware, uint32_t baud) {
  FakeClock clock;
  sim::SimulatorOptions options;
  options.firmware = firmware;
  options.baud = baud;
  SimulatedDevice device(options, clock);
  FakeSerialOpener ports(clock, device);
  LinkSettings settings{"ttyACM0", 38400};
  DeviceLink link{ports, settings, clock};
  DeviceState state{static_cast<int32_t>(*sim::FirmwareNumber(firmware)), "", false};
  CancelFlag cancel;
  NoProgress progress;

  RoundTrip r;
  bool save = true;
  const SendReport sent = SendConfiguration(link, state, config, save, cancel, progress);
  r.sent = sent.result;
  // The read opens where the send found the device; the send left the
  // caller's settings alone.
  EXPECT_EQ(settings.baudRate, 38400u);
  settings.baudRate = sent.baudRate;
  r.read = ReadConfiguration(link, state, r.readBack, r.outOfRange, cancel, progress);
  EXPECT_EQ(ports.openCount(), 0);
  return r;
}

void ExpectSameConfiguration(const CConfigData& expected, const CConfigData& actual) {
  for (const ParamInfo* p : expected.Differences(actual, false)) {
    ADD_FAILURE() << p->memberName << ": sent \"" << expected.Get(*p).text << "\", read back \""
                  << actual.Get(*p).text << "\"";
  }
}

TEST(DeviceRoundTripTest, EveryParameterChangedComesBackEqual) {
  const CConfigData config = EveryDeviceParameterChanged();
  for (uint32_t baud : {38400u, 115200u}) {
    SCOPED_TRACE(baud);
    const RoundTrip r = SendThenRead(config, "1.4b", baud);
    ASSERT_EQ(r.sent, SendResult::Complete);
    ASSERT_EQ(r.read, ReadResult::Complete) << r.outOfRange;
    ExpectSameConfiguration(config, r.readBack);
  }
}

TEST(DeviceRoundTripTest, EachFirmwareGenerationKeepsWhatItKnows) {
  // Below a command's threshold neither side speaks it, so the read-back
  // keeps the default and the comparison is against a record that has the
  // default there too.
  struct Case {
    const char* firmware;
    uint32_t number;
  };
  for (const Case& c :
       {Case{"1.0p", 10080}, Case{"1.0q", 10081}, Case{"1.1", 10100}, Case{"1.1j", 10174},
        Case{"1.1k", 10175}, Case{"1.3e", 10369}, Case{"1.4a", 10465}}) {
    SCOPED_TRACE(c.firmware);
    CConfigData config = EveryDeviceParameterChanged();
    const CConfigData defaults;
    const struct {
      uint32_t threshold;
      std::vector<CConfigParam CConfigData::*> members;
    } gates[] = {
        {10081,
         {&CConfigData::m_AprsCall, &CConfigData::m_AprsDigi, &CConfigData::m_AprsStatusEvery,
          &CConfigData::m_AprsHfToggle, &CConfigData::m_AprsHfToggleOld, &CConfigData::m_NmeaOut,
          &CConfigData::m_NmeaOutOld, &CConfigData::m_AprsStatusText, &CConfigData::m_AprsValid,
          &CConfigData::m_CenterFreq, &CConfigData::m_TxFreqTrack}},
        {10174, {&CConfigData::m_AprsAltitude, &CConfigData::m_AprsCrossMode}},
        {10175, {&CConfigData::m_AprsFreqBeacon}},
        {10369, {&CConfigData::m_AprsUnprotoCross}},
        {10466, {&CConfigData::m_AprsAutoSpeed}},
    };
    for (const auto& gate : gates) {
      if (c.number >= gate.threshold) continue;
      for (auto member : gate.members) config.*member = defaults.*member;
    }
    // Before 1.1J the device takes %AH only as on/off.
    if (c.number < 10174 && config.m_AprsHfToggle.value > 1) {
      CConfigData::SetNumber(config.m_AprsHfToggle, 1);
    }
    const RoundTrip r = SendThenRead(config, c.firmware, 38400);
    ASSERT_EQ(r.sent, SendResult::Complete);
    ASSERT_EQ(r.read, ReadResult::Complete) << r.outOfRange;
    ExpectSameConfiguration(config, r.readBack);
  }
}

}  // namespace
}  // namespace vextune::testing
