// The whole read-back (the star reply of S in command mode, then every step
// in host mode) against a simulated device whose replies the input reshapes.
// Whatever arrives: the port ends closed with host mode left, the record holds
// only what its setters allow, what is listed is back at its default, and an
// untouched device reads back exactly what it holds.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

#include "fuzz_support.h"
#include "link/device_protocol.h"
#include "sim/parameter_store.h"
#include "transfer/read_configuration.h"
#include "transfer/read_steps.h"

namespace {

using namespace vextune;
using fuzzing::Expect;

// The entries of the list, without their blanks: "S", "A", "%AT", ...
std::set<std::string> ListedQueries(const std::string& list) {
  std::set<std::string> queries;
  size_t pos = 0;
  while (pos < list.size()) {
    Expect(list[pos] == ' ', "list entry does not start with a blank");
    const size_t comma = std::min(list.find(',', pos), list.size());
    queries.insert(list.substr(pos + 1, comma - pos - 1));
    pos = comma + 1;
  }
  return queries;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzing::InputCursor input(data, size);
  sim::SimulatorOptions options;
  options.firmware = fuzzing::PickFirmware(input.Byte());
  const CConfigData stored = fuzzing::ChangedConfiguration();
  fuzzing::FuzzedLine fuzzed(options, input, &stored);
  const DeviceState state{static_cast<int32_t>(*sim::FirmwareNumber(options.firmware)), "", false};
  CConfigData record;
  std::string list = "stale";
  CancelFlag cancel;
  NoProgress progress;
  const ReadResult result = ReadConfiguration(fuzzed.link, state, record, list, cancel, progress);

  Expect(fuzzed.ports.openCount() == 0, "port left open");
  // A line marked failed (a device that never falls silent, a write that
  // timed out) takes no more writes, the leave frame included.
  Expect(!fuzzed.ports.faults().empty() || (!fuzzed.ports.Writes().empty() &&
                                            fuzzed.ports.Writes().back() == LeaveHostModeFrame()),
         "the read does not end by leaving host mode");
  fuzzing::CheckRecordHoldsOnlyAllowedValues(record);
  Expect((result == ReadResult::OutOfRange) == !list.empty(),
         "a list without OutOfRange or the other way round");

  std::set<std::string> known = {OutOfRangeEntry("S")};
  for (const ReadStep& step : ReadStepTable()) known.insert(OutOfRangeEntry(step.query));
  const CConfigData defaults;
  for (const std::string& query : ListedQueries(list)) {
    const std::string entry = " " + query + ",";
    Expect(known.count(entry) == 1, "unknown list entry");
    for (const ReadStep& step : ReadStepTable()) {
      if (OutOfRangeEntry(step.query) != entry) continue;
      for (auto member : ReadStepMembers(step)) {
        Expect((record.*member).text == (defaults.*member).text &&
                   (record.*member).value == (defaults.*member).value,
               "a listed parameter is not at its default");
      }
    }
  }

  if (!fuzzed.device.altered()) {
    Expect(result == ReadResult::Complete, "an untouched device does not read completely");
    CConfigData expected = stored;
    // What this firmware does not know stays at the default.
    for (const ReadStep& step : ReadStepTable()) {
      if (ReadStepAsked(step, state.firmwareVersion)) continue;
      for (auto member : ReadStepMembers(step)) expected.ResetToDefault(member);
    }
    Expect(expected.Differences(record, false).empty(),
           "an untouched device reads back other values than it holds");
  }
  return 0;
}
