#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "sim/device_mode.h"
#include "sim/parameter_store.h"

namespace vextune::sim {

/// Normal firmware in command mode: takes ESC <command> CR lines, applies
/// parameter commands to the store, answers queries, the identification and
/// the channel status, and switches to host mode on "JHOST1". Bytes outside
/// an ESC line are terminal data for the radio link and are not simulated.
/// Command lines are not echoed.
class CommandMode {
 public:
  /// `identification`: the answer to ESC "v" CR. `sReply`: bytes sent
  /// instead of the answer to ESC "S" CR.
  CommandMode(ParameterStore& store, std::string identification, std::optional<std::string> sReply);

  /// Forget a half-received line (on entering command mode).
  void Reset();
  Reaction Feed(uint8_t byte);
  /// Why the last "%ZS" could not be written; empty otherwise.
  const std::string& StoreError() const { return storeError_; }

 private:
  Reaction HandleLine(std::string_view text);

  /// Longest command line the device buffers; longer ones are refused.
  static constexpr size_t kMaxLine = 256;

  ParameterStore* store_;
  std::string identification_;
  std::optional<std::string> sReply_;
  bool inLine_ = false;
  bool overflow_ = false;
  std::string line_;
  std::string storeError_;
};

}  // namespace vextune::sim
