#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "fake_serial.h"

namespace vextune::testing {

/// "a|b|c" as {"a", "b", "c"}: compact tables of lines.
inline std::vector<std::string> Split(const std::string& text, char separator = '|') {
  std::vector<std::string> parts(1);
  for (char c : text) {
    if (c == separator)
      parts.emplace_back();
    else
      parts.back().push_back(c);
  }
  return parts;
}

/// A DAV-OZI of scripted answers: it identifies itself as 1.4b, answers
/// ESC "S" CR, enters and leaves host mode and answers host queries from
/// tables. It keeps no configuration; the simulator does that.
class ScriptedDavozi final : public FakeDevice {
 public:
  ScriptedDavozi();

  /// Answers only at this rate (any other rate gets silence).
  uint32_t answerBaudRate = 38400;
  /// Answers the wake-up with the BIOS prompt and nothing else.
  bool bios = false;
  /// Makes opening the port fail with this code.
  SerialCode openError = kSerialOk;
  std::string channelReply = "* 0 *";
  /// The standing answer to each host query (starts as a device holding the
  /// defaults); a query not listed gets silence.
  std::map<std::string, std::string> replies;
  /// Answers used before the standing one, in order; nullopt means silence.
  std::map<std::string, std::deque<std::optional<std::string>>> queued;

  /// Every host-mode command text received, in order.
  std::vector<std::string> hostCommands;
  /// How often the device entered host mode and left it again.
  int hostEntries = 0;
  int hostExits = 0;

  void OnWrite(const Bytes& bytes, uint32_t baudRate, FakeLine& line) override;
  SerialCode OnOpen(uint32_t) override { return openError; }
  void OnClose() override { pending_.clear(); }

 private:
  void CommandLine(const std::string& text, FakeLine& line);
  void HostFrame(uint8_t channel, const std::string& text, FakeLine& line);

  bool host_mode_ = false;
  Bytes pending_;
};

}  // namespace vextune::testing
