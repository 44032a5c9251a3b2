#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "sim/device_mode.h"
#include "sim/parameter_store.h"

namespace vextune::sim {

/// What host mode answers besides the device's own answers.
struct HostModeSetup {
  std::string identification;                  ///< answer to "V"
  std::set<int> connected;                     ///< link channels with a connection
  std::map<std::string, std::string> replies;  ///< query text -> answer text
  bool code0 = false;                          ///< answers with text go out as code 0
  bool garbage = false;                        ///< answers with text become garbage
};

/// Normal firmware in WA8DED host mode: takes frames (channel, kind,
/// length - 1, text) and sends exactly one answer per frame: (channel, 0)
/// when a command was carried out without text, (channel, 1, text, 0) with
/// an answer text, (channel, 2, text, 0) for an error. "JHOST0" returns to
/// command mode.
class HostMode {
 public:
  HostMode(ParameterStore& store, HostModeSetup setup);

  /// Forget a half-received frame (on entering host mode).
  void Reset();
  Reaction Feed(uint8_t byte);
  /// Why the last "%ZS" could not be written; empty otherwise.
  const std::string& StoreError() const { return storeError_; }

  /// Answer codes of the host-mode protocol.
  static constexpr uint8_t kOk = 0;
  static constexpr uint8_t kOkText = 1;
  static constexpr uint8_t kError = 2;

 private:
  Reaction HandleFrame();
  /// Carries out one command; sets `code` and returns the answer text.
  std::string Execute(uint8_t channel, std::string_view text, uint8_t& code,
                      std::optional<DeviceMode>& next);
  std::string Encode(uint8_t channel, uint8_t code, std::string_view text);

  ParameterStore* store_;
  HostModeSetup setup_;
  /// Frame being received: bytes after the header still missing.
  size_t headerSeen_ = 0;
  uint8_t channel_ = 0;
  uint8_t kind_ = 0;
  size_t length_ = 0;
  std::string text_;
  uint32_t garbageSeed_ = 0x2545F491;
  std::string storeError_;
};

}  // namespace vextune::sim
