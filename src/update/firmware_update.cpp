#include "update/firmware_update.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "link/com_port.h"
#include "link/device_protocol.h"

namespace vextune {

namespace {

// Bytes of the identification reply the update reads when the BIOS does
// not answer.
constexpr size_t kIdentifyReplyLength = 20;

class UpdateRun {
 public:
  UpdateRun(DeviceLink& link, UpdateSource& file, CancelFlag& cancel, ProgressListener& progress,
            UserPrompt& prompt, UpdateRunInfo& info, const UpdateOptions& options)
      : link_(link),
        file_(file),
        cancel_(cancel),
        progress_(progress),
        prompt_(prompt),
        info_(info),
        options_(options),
        line_(link.settings) {}

  UpdateOutcome Run();

 private:
  UpdateStep Perform(UpdateStep step);
  UpdateStep CheckFile();
  UpdateStep ConnectBios();
  UpdateStep ReadFlashIdentity(uint8_t* bytes, size_t n, UpdateStep next);
  UpdateStep AskIfNotNewer();
  UpdateStep ReadHandshake(UpdateStep next);
  UpdateStep SendBlock();
  void End();

  // One place for messages: the failure flag goes with every failure text.
  UpdateStep Fail(std::string_view text, bool sendAbort = false);
  /// The end of a cancelled run: its message, and nothing more sent.
  UpdateStep Cancelled();
  /// A message on the way (a warning, the findings).
  void Show(std::string_view text, MessageIcon icon);
  /// The message the run ends with; the caller finds it in the info too.
  void EndWith(std::string_view text, MessageIcon icon);
  void SendAbort() { Write(&bios::kAbort, 1); }
  void Write(const uint8_t* data, size_t n) {
    // A failed write needs no branch of its own: the reply read that follows
    // every write here then fails with that step's message.
    WriteComPort(port_, data, n);
  }
  void Write(std::string_view bytes) {
    Write(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  }
  /// True when all `n` bytes came.
  bool ReadExactly(uint8_t* buffer, size_t n);
  /// Reads the device's answer to the block just written.
  bool ReadBlockAck(uint8_t* reply);

  DeviceLink& link_;
  UpdateSource& file_;
  CancelFlag& cancel_;
  ProgressListener& progress_;
  UserPrompt& prompt_;
  UpdateRunInfo& info_;
  const UpdateOptions& options_;
  /// The port and rate of this run: the caller's settings are only read, and
  /// the rate found goes back through the run's info.
  LinkSettings line_;
  ComPortHandle port_;
  /// The whole image, read before the port opens.
  std::vector<uint8_t> image_;
  std::vector<uint8_t> block_;
  uint8_t handshake_ = 0;
  bool failed_ = false;
  bool cancelled_ = false;
  bool declined_ = false;
};

UpdateOutcome UpdateRun::Run() {
  progress_.SetBusy(true);
  UpdateStep step = UpdateStep::CheckFile;
  while (step != UpdateStep::End) {
    info_.step = step;
    link_.clock.SleepMs(bios::kStepPauseMs);
    step = cancel_.IsSet() ? Cancelled() : Perform(step);
  }
  // The end is no step to cancel: once the last block is acknowledged the
  // image is in the flash, and a late Cancel must not report it as aborted.
  info_.step = UpdateStep::End;
  link_.clock.SleepMs(bios::kStepPauseMs);
  End();
  info_.step = UpdateStep::Over;
  progress_.SetBusy(false);
  if (cancelled_) return UpdateOutcome::Cancelled;
  if (failed_) return UpdateOutcome::Failed;
  if (declined_) return UpdateOutcome::Declined;
  return UpdateOutcome::Completed;
}

UpdateStep UpdateRun::Perform(UpdateStep step) {
  using S = UpdateStep;
  switch (step) {
    case S::CheckFile:
      return CheckFile();
    case S::ConnectBios:
      return ConnectBios();
    case S::SendUpdateCommand:
      Write(bios::kUpdateCommand);
      link_.clock.SleepMs(bios::kCommandPauseMs);
      return S::SendAck;
    case S::SendAck:
      DrainComPort(port_);
      Write(&bios::kAck, 1);
      link_.clock.SleepMs(bios::kCommandPauseMs);
      return S::ReadManufacturer;
    case S::ReadManufacturer:
      return ReadFlashIdentity(&info_.manufacturerId, 1, S::ReadDevice);
    case S::ReadDevice:
      return ReadFlashIdentity(&info_.deviceId, 1, S::ReadFlashTimestamp);
    case S::ReadFlashTimestamp: {
      std::array<uint8_t, 4> stamp{};
      const UpdateStep next = ReadFlashIdentity(stamp.data(), stamp.size(), S::IdentifyChip);
      info_.flashTimestamp = PackedTime{stamp[0]} | PackedTime{stamp[1]} << 8 |
                             PackedTime{stamp[2]} << 16 | PackedTime{stamp[3]} << 24;
      return next;
    }
    case S::IdentifyChip:
      if (IdentifyFlashChip(info_.manufacturerId, info_.deviceId, info_.chip) != kFlashUpdatable) {
        return Fail(UnknownFlashMessage(info_), true);
      }
      return S::CheckSectorSize;
    case S::CheckSectorSize:
      if (info_.chip.sectorSize == 0) return Fail(update_message::kWrongSectorSize, true);
      return S::ComputeLimits;
    case S::ComputeLimits:
      info_.limits = ImageLimits(info_.chip, info_.file.size);
      if (options_.onFindings) options_.onFindings(info_);
      return S::CheckFileSize;
    case S::CheckFileSize:
      // The count goes out in two bytes; no chip of the table comes near that.
      if (info_.limits.tooLarge || info_.limits.blockCount > 0xFFFF) {
        return Fail(update_message::kFileTooLarge, true);
      }
      return S::CheckFlashTimestamp;
    case S::CheckFlashTimestamp:
      if (!IsValidFlashTimestamp(info_.flashTimestamp)) {
        Show(update_message::kInvalidFlashTimestamp, MessageIcon::Warning);
      }
      return S::AskIfNotNewer;
    case S::AskIfNotNewer:
      return AskIfNotNewer();
    case S::SendStartAck:
      Write(&bios::kAck, 1);
      return S::SendBlockCount;
    case S::SendBlockCount: {
      const auto count = static_cast<uint16_t>(info_.limits.blockCount);
      const uint8_t bytes[2] = {static_cast<uint8_t>(count >> 8), static_cast<uint8_t>(count)};
      Write(bytes, sizeof bytes);
      return S::ReadHandshake;
    }
    case S::ReadHandshake:
      if (!ReadExactly(&handshake_, 1)) return Fail(update_message::kHandshakeFailed);
      return S::CheckHandshake;
    case S::CheckHandshake:
      if (handshake_ != bios::kAck) return Fail(update_message::kHandshakeFailed, true);
      return S::Rewind;
    case S::Rewind:
      // The blocks come from the image in memory, from its first byte.
      block_.assign(info_.chip.sectorSize, 0);
      return S::SendBlock;
    case S::SendBlock:
      return SendBlock();
    case S::End:
    case S::Over:
      break;
  }
  return S::End;
}

UpdateStep UpdateRun::CheckFile() {
  UpdateImageCheck check = options_.checked ? *options_.checked : CheckUpdateImage(file_);
  if (!check.info) return Fail(check.refusal);
  image_ = std::move(check.image);
  info_.file = *check.info;
  // Nothing goes out for a file that is plainly something else (a
  // configuration, a text), unless the user insists.
  if (options_.checked) return UpdateStep::ConnectBios;
  std::string message;
  switch (SettleImageDoubt(check, options_, prompt_, cancel_, &message)) {
    case DoubtDecision::Send:
      return UpdateStep::ConnectBios;
    case DoubtDecision::Refused:
      return Fail(message);
    case DoubtDecision::Declined:
      declined_ = true;
      return UpdateStep::End;
    case DoubtDecision::Cancelled:
      break;
  }
  return Cancelled();
}

UpdateStep UpdateRun::ConnectBios() {
  line_.baudRate = line::kFirstBaudRate;
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (attempt == 1) {
      // A cancel that cut the first attempt short does not go on to 115200.
      if (cancel_.IsSet()) return Cancelled();
      // Straight on at the fallback rate: this sequence has no reopen pause.
      CloseComPort(port_);
      line_.baudRate = line::kFallbackBaudRate;
    }
    info_.baudRate = line_.baudRate;
    if (SerialCode code = OpenComPort(link_.ports, line_, port_); code != kSerialOk) {
      info_.openError = code;
      return Fail(update_message::kOpenFailed);
    }
    switch (ProbeDevice(port_, kIdentifyReplyLength, ProbeOrder::BiosFirst).mode) {
      case ProbeMode::Bios:
        return UpdateStep::SendUpdateCommand;
      case ProbeMode::NormalFirmware:
        return Fail(update_message::kNotInBios);
      case ProbeMode::NoAnswer:
        break;
    }
  }
  return Fail(update_message::kCommunicationError);
}

UpdateStep UpdateRun::ReadFlashIdentity(uint8_t* bytes, size_t n, UpdateStep next) {
  if (!ReadExactly(bytes, n)) return Fail(update_message::kFlashReadError);
  return next;
}

UpdateStep UpdateRun::AskIfNotNewer() {
  const bool findings = options_.reportFindings || options_.onFindings;
  const std::string found = findings ? FindingsText(info_) : DatesText(info_);
  if (IsFileNewer(info_.file.timestamp, info_.flashTimestamp)) {
    if (options_.reportFindings && !options_.onFindings) Show(found, MessageIcon::Information);
    return UpdateStep::SendStartAck;
  }
  // Writing an image no newer than the installed one is the risky answer.
  const bool yes =
      prompt_.AskYesNoDefaultNo(std::string(update_message::kCaption),
                                found + "\n\n" + std::string(update_message::kNotNewerQuestion));
  // A Ctrl-C at the question ends the run as a cancel, whatever it answered.
  if (cancel_.IsSet()) return Cancelled();
  if (yes) return UpdateStep::SendStartAck;
  SendAbort();
  declined_ = true;
  return UpdateStep::End;
}

UpdateStep UpdateRun::SendBlock() {
  const uint64_t sector = info_.chip.sectorSize;
  const uint64_t offset = uint64_t{info_.blocksSent} * sector;
  if (offset >= image_.size()) return UpdateStep::End;
  const auto want = static_cast<size_t>(std::min<uint64_t>(sector, image_.size() - offset));

  std::fill(block_.begin(), block_.end(), uint8_t{0});
  std::copy_n(image_.begin() + static_cast<std::ptrdiff_t>(offset), want, block_.begin());

  Write(block_.data(), block_.size());
  uint8_t reply = 0;
  if (!ReadBlockAck(&reply)) return Fail(update_message::kHandshakeFailed);
  if (reply != bios::kAck) return Fail(update_message::kHandshakeFailed, true);

  info_.blocksSent++;
  progress_.SetProgress(
      static_cast<int>(uint64_t{info_.blocksSent} * 100 / info_.limits.blockCount));
  // A short block, or the last whole one, completes the image.
  if (want < sector || info_.blocksSent == info_.limits.blockCount) return UpdateStep::End;
  return UpdateStep::SendBlock;
}

void UpdateRun::End() {
  DrainComPort(port_);
  if (!cancelled_ && !failed_ && !declined_) {
    EndWith(update_message::kComplete, MessageIcon::Information);
  }
  progress_.SetProgress(0);
  CloseComPort(port_);
}

UpdateStep UpdateRun::Fail(std::string_view text, bool sendAbort) {
  // A wait or write that a cancel cut short: the run was cancelled, not failed.
  if (cancel_.IsSet()) return Cancelled();
  if (sendAbort) SendAbort();
  EndWith(text, MessageIcon::Error);
  failed_ = true;
  return UpdateStep::End;
}

UpdateStep UpdateRun::Cancelled() {
  EndWith(update_message::kAborted, MessageIcon::Warning);
  cancelled_ = true;
  return UpdateStep::End;
}

void UpdateRun::Show(std::string_view text, MessageIcon icon) {
  ShowUserMessage(prompt_,
                  UserMessage{std::string(update_message::kCaption), std::string(text), icon});
}

void UpdateRun::EndWith(std::string_view text, MessageIcon icon) {
  info_.endMessage = UserMessage{std::string(update_message::kCaption), std::string(text), icon};
  ShowUserMessage(prompt_, info_.endMessage);
}

bool UpdateRun::ReadExactly(uint8_t* buffer, size_t n) {
  size_t received = 0;
  return ReadComPort(port_, buffer, n, &received) == kSerialOk && received == n;
}

bool UpdateRun::ReadBlockAck(uint8_t* reply) {
  // The port takes a whole block into its buffer at once, but the device
  // answers only after the block has crossed the line, which for a large
  // sector takes far longer than a reply's time-out. So the time-out counts
  // from when the block has left: keep listening through its time on the
  // line, then give the reply its usual time.
  const uint64_t lineMs = LineTimeMs(block_.size(), line_.baudRate);
  const uint64_t giveUpMs = link_.clock.NowMs() + lineMs + kReadConstantMs + kReadPerByteMs;
  for (;;) {
    size_t received = 0;
    const SerialCode code = ReadComPort(port_, reply, 1, &received);
    if (received == 1) return true;
    // Anything but silence (a hang-up, a cancel, a failed line) ends it at once.
    if (code != kSerialTimeout || link_.clock.NowMs() >= giveUpMs) return false;
  }
}

std::string Hex2(uint8_t value) {
  char text[3];
  std::snprintf(text, sizeof text, "%02X", value);
  return text;
}

std::string Codes(const UpdateRunInfo& info) {
  return "maker code " + Hex2(info.manufacturerId) + ", device code " + Hex2(info.deviceId);
}

std::string Bytes(uint32_t size) {
  if (size >= 1024 && size % 1024 == 0) return std::to_string(size / 1024) + " KiB";
  return std::to_string(size) + " bytes";
}

}  // namespace

UpdateImageCheck CheckUpdateImage(UpdateSource& file) {
  UpdateImageCheck result;
  const UpdateFileCheck check = CheckUpdateFile(file);
  if (!check.info) {
    result.refusal = check.error;
    return result;
  }
  // Too large for every chip: refused before the device is even asked.
  if (check.info->size > LargestImageSize()) {
    result.refusal = update_message::kFileTooLarge;
    return result;
  }
  // The whole image before the first byte goes out: a file overwritten while
  // it is sent must not put a mix of two images into the flash.
  if (!ReadUpdateImage(file, check.info->size, &result.image)) {
    result.image.clear();
    result.refusal = kUpdateFileReadError;
    return result;
  }
  result.info = UpdateFileInfo{ImageTimestamp(result.image), result.image.size()};
  result.doubt = ImageDoubt(result.image);
  return result;
}

DoubtDecision SettleImageDoubt(const UpdateImageCheck& check, const UpdateOptions& options,
                               UserPrompt& prompt, const CancelFlag& cancel, std::string* message) {
  if (check.doubt.empty()) return DoubtDecision::Send;
  *message = NotAnUpdateImageMessage(options.fileName, check.doubt);
  switch (options.onDoubt) {
    case ImageDoubtPolicy::Refuse:
      return DoubtDecision::Refused;
    case ImageDoubtPolicy::Ask: {
      const bool send = prompt.AskYesNoDefaultNo(std::string(update_message::kCaption),
                                                 *message + "\n\nSend it anyway?");
      if (cancel.IsSet()) return DoubtDecision::Cancelled;
      return send ? DoubtDecision::Send : DoubtDecision::Declined;
    }
    case ImageDoubtPolicy::Send:
      break;
  }
  return DoubtDecision::Send;
}

std::string UpdateFileSummary(const UpdateImageCheck& check, std::string_view fileName) {
  if (!check.info) return check.refusal;
  std::string text = "Image: " + std::to_string(check.info->size) +
                     " bytes\nUpdate file: " + FormatPackedTime(check.info->timestamp);
  if (!check.doubt.empty()) text += "\n" + NotAnUpdateImageMessage(fileName, check.doubt);
  return text;
}

std::string DatesText(const UpdateRunInfo& info) {
  return "Installed firmware: " + FormatPackedTime(info.flashTimestamp) +
         "\nUpdate file: " + FormatPackedTime(info.file.timestamp);
}

std::string FindingsText(const UpdateRunInfo& info) {
  const FlashChipRecord& chip = info.chip;
  // Short lines: a message box wraps long ones at odd places.
  return "Flash chip: " + chip.manufacturerName + " " + chip.chipName + " (maker " +
         Hex2(info.manufacturerId) + ", device " + Hex2(info.deviceId) +
         ")\nChip size: " + Bytes(chip.chipSize) +
         ", sector size: " + std::to_string(chip.sectorSize) +
         " bytes\nImage: " + std::to_string(info.file.size) + " bytes in " +
         std::to_string(info.limits.blockCount) + " blocks\n" + DatesText(info);
}

std::string UnknownFlashMessage(const UpdateRunInfo& info) {
  const FlashChipRecord& chip = info.chip;
  std::string what;
  if (chip.manufacturerName == "INVALID") {
    what = Codes(info) + ": a maker the chip table does not know";
  } else if (chip.chipName == "UNKNOWN") {
    what = Codes(info) + " (" + chip.manufacturerName + "): a device the chip table does not know";
  } else {
    what = chip.manufacturerName + " " + chip.chipName + " (" + Codes(info) +
           "), which the update cannot write";
  }
  return std::string(update_message::kUnknownFlash) + "\nFlash chip: " + what + ".";
}

UpdateOutcome RunFirmwareUpdate(DeviceLink& link, UpdateSource& file, CancelFlag& cancel,
                                ProgressListener& progress, UserPrompt& prompt, UpdateRunInfo* info,
                                const UpdateOptions& options) {
  UpdateRunInfo local;
  UpdateRunInfo& state = info ? *info : local;
  state = UpdateRunInfo{};
  UpdateRun run(link, file, cancel, progress, prompt, state, options);
  return run.Run();
}

}  // namespace vextune
