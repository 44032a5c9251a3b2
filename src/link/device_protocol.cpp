#include "link/device_protocol.h"

#include <algorithm>
#include <array>

#include "common/text_util.h"

namespace vextune {

namespace {

/// Every reply is read into a zeroed buffer of this size and examined as text
/// up to its first zero byte.
constexpr size_t kReplyBufferSize = 256;
constexpr size_t kBiosReplyLength = 10;
constexpr uint32_t kHostAnswerPauseMs = 10;
constexpr uint8_t kHostCommandFlag = 0x01;

using ReplyBuffer = std::array<uint8_t, kReplyBufferSize>;

std::string TextUpToZero(const ReplyBuffer& buffer) {
  const auto end = std::find(buffer.begin(), buffer.end(), uint8_t{0});
  return std::string(buffer.begin(), end);
}

SerialCode WriteBytes(ComPortHandle& port, std::string_view bytes) {
  return WriteComPort(port, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

bool WriteLine(ComPortHandle& port, std::string_view bytes) {
  return WriteBytes(port, bytes) == kSerialOk;
}

/// Reads up to `length` bytes into a fresh buffer; a short reply is kept as far
/// as it came. One byte always stays zero so the text ends inside the buffer.
std::string ReadReply(ComPortHandle& port, size_t length, SerialCode* code) {
  ReplyBuffer buffer{};
  length = std::min(length, kReplyBufferSize - 1);
  *code = ReadComPort(port, buffer.data(), length);
  if (*code == kSerialTimeout) *code = kSerialOk;  // a short reply is a reply
  return TextUpToZero(buffer);
}

bool IsAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The two halves of a probe. Each is false, with the reason kept in
// `result`, when the line failed or the wait was cut; true when the probe may
// go on (whether or not it found its mode).
class Probe {
 public:
  Probe(ComPortHandle& port, ProbeResult& result) : port_(port), result_(result) {}

  /// Wake-up, identification: "DAVOZI" in the reply is the normal firmware.
  bool AskFirmware(size_t replyLength) {
    SerialCode code = kSerialOk;
    if (!Ok(WriteBytes(port_, line::kWakeUp)) || !Ok(DrainComPort(port_))) return false;
    if (!Ok(WriteBytes(port_, line::kIdentify))) return false;
    result_.reply = ReadReply(port_, replyLength, &code);
    if (!Ok(code) || !Ok(DrainComPort(port_))) return false;
    if (result_.reply.find(line::kNormalFirmwareMark) != std::string::npos) {
      result_.mode = ProbeMode::NormalFirmware;
    }
    return true;
  }

  /// Two wake-ups: a device in BIOS mode answers them with its prompt.
  bool AskBios() {
    SerialCode code = kSerialOk;
    if (!Ok(WriteBytes(port_, line::kWakeUp)) || !Ok(DrainComPort(port_))) return false;
    if (!Ok(WriteBytes(port_, line::kWakeUp))) return false;
    const std::string prompt = ReadReply(port_, kBiosReplyLength, &code);
    if (!Ok(code) || !Ok(DrainComPort(port_))) return false;
    if (prompt.find(line::kBiosPrompt) != std::string::npos) result_.mode = ProbeMode::Bios;
    return true;
  }

  /// Drops what the line holds from before.
  bool Drain() { return Ok(DrainComPort(port_)); }

 private:
  bool Ok(SerialCode code) {
    if (code == kSerialOk) return true;
    result_.lineError = code;
    return false;
  }

  ComPortHandle& port_;
  ProbeResult& result_;
};

}  // namespace

ProbeResult ProbeDevice(ComPortHandle& port, size_t replyLength, ProbeOrder order) {
  ProbeResult result;
  Probe probe(port, result);
  if (order == ProbeOrder::FirmwareFirst) {
    if (probe.AskFirmware(replyLength) && result.mode == ProbeMode::NoAnswer) probe.AskBios();
  } else {
    if (probe.Drain() && probe.AskBios() && result.mode == ProbeMode::NoAnswer) {
      probe.AskFirmware(replyLength);
    }
  }
  return result;
}

FallbackProbeResult ProbeWithFallback(const DeviceLink& link, ComPortHandle& port,
                                      size_t replyLength, uint32_t reopenPauseMs,
                                      const CancelFlag& cancel) {
  FallbackProbeResult result;
  result.baudRate = CorrectBaudRate(link.settings.baudRate);
  result.probe = ProbeDevice(port, replyLength);
  if (result.probe.mode != ProbeMode::NoAnswer) return result;

  CloseComPort(port);
  link.clock.SleepMs(reopenPauseMs);
  if (cancel.IsSet()) return result;  // also one that cut the probe short
  LinkSettings fallback = link.settings;
  fallback.baudRate = line::kFallbackBaudRate;
  result.baudRate = fallback.baudRate;
  if (SerialCode code = OpenComPort(link.ports, fallback, port); code != kSerialOk) {
    CloseComPort(port);
    result.reopenError = code;
    return result;
  }
  result.probe = ProbeDevice(port, replyLength);
  return result;
}

bool SendHostFrame(ComPortHandle& port, uint8_t channel, std::string_view text) {
  if (text.empty() || text.size() > line::kMaxHostCommand) return false;
  std::string frame;
  frame.reserve(3 + text.size());
  frame.push_back(static_cast<char>(channel));
  frame.push_back(static_cast<char>(kHostCommandFlag));
  frame.push_back(static_cast<char>(text.size() - 1));
  frame.append(text);
  return WriteLine(port, frame);
}

std::string ReadHostAnswer(ComPortHandle& port, Clock& clock) {
  clock.SleepMs(kHostAnswerPauseMs);
  ReplyBuffer buffer{};
  // Byte 0 is the channel, byte 1 the answer code; the text runs from byte 2
  // up to a zero byte. One byte per read, so a missing byte ends the answer.
  for (size_t pos = 0; pos < buffer.size(); ++pos) {
    size_t got = 0;
    if (ReadComPort(port, &buffer[pos], 1, &got) != kSerialOk || got != 1) return {};
    if (pos >= 1 && buffer[pos] == 0) {
      if (pos == 1) return {};  // code 0: success without text
      return std::string(buffer.begin() + 2, buffer.begin() + static_cast<long>(pos));
    }
  }
  return {};  // 256 bytes without a zero byte
}

bool HostCommand(ComPortHandle& port, Clock& clock, uint8_t channel, std::string_view text,
                 std::string& answer) {
  if (!SendHostFrame(port, channel, text)) return false;
  std::string reply = ReadHostAnswer(port, clock);
  if (reply.empty()) return false;
  answer = std::move(reply);
  return true;
}

std::string LeaveHostModeFrame() {
  // Channel 0, command flag, length of "JHOST0" minus one.
  return std::string("\x00\x01\x05JHOST0", 9);
}

std::optional<FirmwareVersion> ParseFirmwareVersion(std::string_view reply) {
  const size_t start = reply.find(" V.");
  if (start == std::string_view::npos) return std::nullopt;
  const size_t comma = reply.find(',', start);
  if (comma == std::string_view::npos) return std::nullopt;
  const std::string_view version = reply.substr(start + 3, comma - start - 3);
  const size_t stop = version.find('.');
  if (stop == std::string_view::npos) return std::nullopt;

  const std::string_view major = version.substr(0, stop);
  std::string_view minor = version.substr(stop + 1);
  int32_t letter = 0;
  if (!minor.empty() && IsAsciiLetter(minor.back())) {
    letter = minor.back() & ~0x20;  // upper case
    minor.remove_suffix(1);
  }
  // The number packs the minor part into two decimal places; longer numbers
  // would collide with the next major version (or overflow).
  if (!IsAllDigits(major) || major.size() > 5 || !IsAllDigits(minor) || minor.size() > 2) {
    return std::nullopt;
  }

  FirmwareVersion result;
  result.number = DigitsToNumber(major) * 10000 + DigitsToNumber(minor) * 100 + letter;
  result.text = std::string(reply.substr(start, comma - start));
  return result;
}

}  // namespace vextune
