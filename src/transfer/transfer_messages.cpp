#include "transfer/transfer_messages.h"

#include <filesystem>

#include "config/backup_store.h"

namespace vextune {
namespace {

constexpr const char* kOpenError =
    "Error Opening serial connection\nor ambrel occupied by other program!";
constexpr const char* kIncomplete =
    "An Error occured while transferring configuration.\nConfiguration may be incomplete.";

UserMessage Send(const char* text, MessageIcon icon) {
  return UserMessage{kSendCaption, text, icon};
}

UserMessage Read(std::string text, MessageIcon icon) {
  return UserMessage{kReadCaption, std::move(text), icon};
}

}  // namespace

std::optional<UserMessage> SendResultMessage(SendResult result) {
  switch (result) {
    case SendResult::Complete:
      return std::nullopt;
    case SendResult::Aborted:
      return Send("Configuration Transfer Aborted!", MessageIcon::Warning);
    case SendResult::PortError:
      return Send(kOpenError, MessageIcon::Error);
    case SendResult::BiosMode:
      return Send("Ambrel is running in BIOS mode.\nSwitch BIOS OFF and restart ambrel.",
                  MessageIcon::Warning);
    case SendResult::NoAnswer:
      return Send("Communication Error.", MessageIcon::Error);
  }
  return Send(kIncomplete, MessageIcon::Error);  // not reached: every result has its row
}

UserMessage VerificationFailedMessage() {
  return Send(kIncomplete, MessageIcon::Error);
}

std::optional<UserMessage> ReadResultMessage(ReadResult result, const std::string& outOfRange) {
  switch (result) {
    case ReadResult::Complete:
      return std::nullopt;
    case ReadResult::Aborted:
      return Read("Configuration Transfer Aborted!\nConfiguration NOT read completely!",
                  MessageIcon::Warning);
    case ReadResult::PortError:
      return Read(kOpenError, MessageIcon::Error);
    case ReadResult::OutOfRange:
      return Read(
          "The following parameters were out of Range and have been set to default:\n" + outOfRange,
          MessageIcon::Information);
    case ReadResult::NoAnswer:
      return Read("DAV-OZI is not responding.", MessageIcon::Error);
  }
  return Read("An error occured while reading DAV-OZI configuration.", MessageIcon::Error);
}

std::string SendRecoveryHint(DeviceAfterSend device, const std::string& backupFile,
                             RestoreRoute route) {
  switch (device) {
    case DeviceAfterSend::Unchanged:
      return "Nothing was sent: the DAV-OZI's configuration is unchanged.";
    case DeviceAfterSend::ChangedUnsaved:
      return "The DAV-OZI now runs with part of the new configuration, but its stored "
             "configuration is unchanged: switch the DAV-OZI off and on to get it back.";
    case DeviceAfterSend::Stored:
      if (backupFile.empty()) {
        return "The DAV-OZI has stored a configuration that may be incomplete. No backup was "
               "kept: send a complete configuration file to it again.";
      }
      if (route == RestoreRoute::DesktopProgram) {
        // The backups dialog lists them by the time of the read.
        const auto name =
            ParseBackupFileName(std::filesystem::path(backupFile).filename().string());
        const std::string which = name ? "the backup read at " + BackupTimeText(*name) + " (" +
                                             backupFile + ")"
                                       : "the backup " + backupFile;
        return "The DAV-OZI has stored a configuration that may be incomplete. To restore the "
               "configuration it had before, press Backups, choose " +
               which + " and press Send Configuration.";
      }
      return "The DAV-OZI has stored a configuration that may be incomplete. To restore the "
             "configuration it had before, send its backup:\nvextune-cli send " +
             ShellWord(backupFile);
  }
  return {};
}

std::string SentAndVerifiedStatus(const std::string& port, bool stored) {
  const std::string sent = "Configuration sent to DAV-OZI on " + port + " and verified; ";
  return sent + (stored ? "stored in nonvolatile memory."
                        : "not stored in nonvolatile memory: it is lost when the DAV-OZI is "
                          "switched off.");
}

std::string NothingToChangeStatus(const std::string& port, bool stored) {
  const std::string held = "Nothing to change: the DAV-OZI on " + port +
                           " already holds this configuration; ";
  return held + (stored ? "stored in nonvolatile memory." : "nothing was written.");
}

std::string ShellWord(const std::string& path) {
  const bool plain = !path.empty() && path.find_first_not_of(
                                          "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                          "0123456789_./-+:,@%=") == std::string::npos;
  if (plain) return path;
  std::string word = "'";
  for (char c : path) {
    if (c == '\'') {
      word += "'\\''";
    } else {
      word += c;
    }
  }
  return word + "'";
}

}  // namespace vextune
