#include "sim/device_core.h"

#include "common/text_util.h"
#include "sim/command_line.h"
#include "sim/davozi_simulator.h"

namespace vextune::sim {
namespace {

HostModeSetup MakeHostSetup(const SimulatorOptions& o) {
  HostModeSetup setup;
  const std::string identification = DeviceCore::Identification(o.firmware);
  setup.identification = std::string(TrimSpace(identification));
  setup.connected = o.connected;
  setup.replies = o.replies;
  setup.code0 = o.hostCode0;
  setup.garbage = o.garbage;
  return setup;
}

BiosSetup MakeBiosSetup(const SimulatorOptions& o) {
  BiosSetup setup;
  setup.manufacturer = o.flashManufacturer;
  setup.device = o.flashDevice;
  setup.flashTime = o.flashTime;
  setup.flashOutPath = o.flashOutPath;
  setup.blockReply = o.blockReply;
  setup.blockReplyAt = o.blockReplyAt;
  return setup;
}

}  // namespace

std::string DeviceCore::Identification(const std::string& firmware) {
  // "DAVOZI" within the first 20 bytes, the version and its comma within 40.
  return "\r\nDAVOZI V." + firmware + ", DSP packet-radio TNC (simulated)\r\n";
}

DeviceCore::DeviceCore(const SimulatorOptions& options, uint32_t firmware, Clock& clock)
    : store_(firmware, options.statePath, clock),
      command_(store_, Identification(options.firmware), options.sReply),
      host_(store_, MakeHostSetup(options)),
      bios_(MakeBiosSetup(options)),
      mode_(options.bios ? DeviceMode::Bios : DeviceMode::Command),
      channels_(options.channels),
      options_(std::make_unique<SimulatorOptions>(options)) {}

DeviceCore::~DeviceCore() = default;

std::unique_ptr<DeviceCore> DeviceCore::Restart(bool biosSwitch, Clock& clock,
                                                std::string* error) const {
  SimulatorOptions next = *options_;
  next.bios = biosSwitch;
  next.flashTime = bios_.FlashTime();
  const bool updated = updatePending_ || bios_.CompletedUpdates() > completedBefore_;
  const bool newFirmware = updated && !biosSwitch;
  if (newFirmware && !next.firmwareAfterUpdate.empty()) next.firmware = next.firmwareAfterUpdate;
  auto core = std::make_unique<DeviceCore>(next, *FirmwareNumber(next.firmware), clock);
  core->bios_ = BiosMode([&] {
    BiosSetup setup = MakeBiosSetup(next);
    setup.image = bios_.Image();
    setup.completed = bios_.CompletedUpdates();
    return setup;
  }());
  core->completedBefore_ = bios_.CompletedUpdates();
  core->updatePending_ = updated && biosSwitch;
  const bool reset = newFirmware && next.updateResetsParameters;
  const CConfigData nonvolatile = reset ? CConfigData() : store_.Nonvolatile();
  if (!core->PowerOn(&nonvolatile, error)) return nullptr;
  // The new firmware starts from its defaults and keeps them.
  if (reset && !core->store_.StoreNonvolatile(error)) return nullptr;
  return core;
}

bool DeviceCore::PowerOn(const CConfigData* nonvolatile, std::string* error) {
  if (!store_.PowerOn(nonvolatile, error)) return false;
  if (channels_ && !CConfigData::SetNumber(store_.Params().m_Channels, *channels_)) {
    if (error) *error = "The number of link channels must lie between 0 and 10.";
    return false;
  }
  return true;
}

std::string DeviceCore::Feed(uint8_t byte) {
  Reaction reaction;
  switch (mode_) {
    case DeviceMode::Command:
      reaction = command_.Feed(byte);
      break;
    case DeviceMode::Host:
      reaction = host_.Feed(byte);
      break;
    case DeviceMode::Bios:
      reaction = bios_.Feed(byte);
      break;
  }
  if (reaction.next && *reaction.next != mode_) {
    mode_ = *reaction.next;
    if (mode_ == DeviceMode::Command) command_.Reset();
    if (mode_ == DeviceMode::Host) host_.Reset();
  }
  return std::move(reaction.reply);
}

std::string DeviceCore::LastProblem() const {
  if (!command_.StoreError().empty()) return command_.StoreError();
  if (!host_.StoreError().empty()) return host_.StoreError();
  return bios_.WriteError();
}

}  // namespace vextune::sim
