// The identification and the configuration check against a simulated device
// whose replies the input reshapes, and the version and channel-count parsers
// on the raw input. Whatever arrives: the port ends closed, host mode is left
// whenever it was entered, a passed check holds a version that reads back to
// itself, and an untouched device passes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "link/configuration_check.h"
#include "link/device_protocol.h"
#include "sim/parameter_store.h"

namespace {

using namespace vextune;
using fuzzing::Expect;

// parse -> format -> parse gives the same number and text.
void CheckVersionRoundTrip(std::string_view reply) {
  const std::optional<FirmwareVersion> v = ParseFirmwareVersion(reply);
  if (!v) return;
  Expect(v->number >= 0, "negative version number");
  Expect(v->text.rfind(" V.", 0) == 0 && v->text.find(',') == std::string::npos,
         "version text is not the part before the comma");
  const int32_t major = v->number / 10000;
  const int32_t minor = v->number / 100 % 100;
  const int32_t letter = v->number % 100;
  Expect(letter == 0 || (letter >= 'A' && letter <= 'Z'), "version letter not upper case");
  std::string text = " V." + std::to_string(major) + "." + std::to_string(minor);
  if (letter != 0) text += static_cast<char>(letter);
  const std::optional<FirmwareVersion> again = ParseFirmwareVersion("x" + text + ", y");
  Expect(again && again->number == v->number && again->text == text,
         "a version does not read back from its own text");
}

void CheckChannelCount(std::string_view answer) {
  const int count = ParseChannelCount(answer);
  Expect(count >= -1 && count <= 10, "channel count out of range");
  if (count >= 0) {
    Expect(ParseChannelCount(" " + std::to_string(count) + " x") == count,
           "a channel count does not read back");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view raw(reinterpret_cast<const char*>(data), size);
  CheckVersionRoundTrip(raw);
  CheckChannelCount(raw);

  fuzzing::InputCursor input(data, size);
  sim::SimulatorOptions options;
  options.firmware = fuzzing::PickFirmware(input.Byte());
  options.baud = input.Byte() % 2 == 0 ? 38400 : 115200;
  fuzzing::FuzzedLine fuzzed(options, input);
  DeviceState state;
  const CancelFlag cancel;
  const CheckResult result = RunConfigurationCheck(fuzzed.link, state, cancel);

  Expect(fuzzed.ports.openCount() == 0, "port left open");
  const auto writes = fuzzed.ports.Writes();
  bool hostMode = false;
  for (const std::string& w : writes) {
    if (w == line::kEnterHostMode) hostMode = true;
    if (w == LeaveHostModeFrame()) hostMode = false;
  }
  Expect(!hostMode, "host mode entered and not left");
  if (result.passed()) {
    const auto version = ParseFirmwareVersion(state.firmwareText + ",");
    Expect(version && version->number == state.firmwareVersion,
           "the stored version does not read back from its text");
    Expect(result.channels >= 0 && result.channels <= 10, "passed with a bad channel count");
  } else {
    Expect(!result.message.text.empty() || result.outcome == CheckOutcome::EnterHostFailed ||
               result.outcome == CheckOutcome::LeaveHostFailed,
           "a failed check without a message");
  }
  if (result.outcome == CheckOutcome::LinkConnected) {
    Expect(result.busyChannel >= 1 && result.busyChannel <= result.channels,
           "busy channel outside the channels");
  }
  if (!fuzzed.device.altered()) {
    Expect(result.outcome == CheckOutcome::Passed, "an untouched device does not pass");
    Expect(state.firmwareVersion == static_cast<int32_t>(*sim::FirmwareNumber(options.firmware)),
           "an untouched device gives another version");
  }
  return 0;
}
