#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "fake_serial.h"

namespace vextune::testing {

/// A DAV-OZI of scripted answers for the transfer tests: it identifies
/// itself, answers ESC "S" CR, enters and leaves host mode and answers host
/// queries from tables. It keeps no configuration; the simulator does that.
class ScriptedDavozi final : public FakeDevice {
 public:
  ScriptedDavozi();

  /// Answers only at this rate (any other rate gets silence).
  uint32_t answerBaudRate = 38400;
  /// Answers the wake-up with the BIOS prompt and nothing else.
  bool bios = false;
  /// Makes opening the port fail with this code.
  SerialCode openError = kSerialOk;
  std::string identification = "DAVOZI V.1.4b, 2016";
  std::string channelReply = "* 0 *";
  /// The standing answer to each host query; a query not listed gets silence.
  std::map<std::string, std::string> replies;
  /// Answers used before the standing one, in order; nothing means silence.
  std::map<std::string, std::deque<std::optional<std::string>>> queued;
  /// After this many host queries, every further one gets silence (-1: never).
  int silentAfterQueries = -1;

  /// Every host-mode command text received, in order.
  std::vector<std::string> hostCommands;
  /// How often the device entered host mode and left it again.
  int hostEntries = 0;
  int hostExits = 0;

  /// Replies of a device that holds the default configuration.
  static std::map<std::string, std::string> DefaultReplies();

  void OnWrite(const Bytes& bytes, uint32_t baudRate, FakeLine& line) override;
  SerialCode OnOpen(uint32_t baudRate) override;
  void OnClose() override;

 private:
  void CommandLine(const std::string& text, FakeLine& line);
  void HostFrame(uint8_t channel, const std::string& text, FakeLine& line);

  bool host_mode_ = false;
  int queries_ = 0;
  Bytes pending_;
};

}  // namespace vextune::testing
