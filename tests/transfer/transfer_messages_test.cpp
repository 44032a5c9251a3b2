#include "transfer/transfer_messages.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "transfer/transfer_driver.h"

namespace vextune {
namespace {

const char* kOpen = "Error Opening serial connection\nor ambrel occupied by other program!";

TEST(TransferMessages, EverySendResultHasItsMessage) {
  struct Case {
    SendResult result;
    const char* text;  ///< nullptr: no message
    MessageIcon icon;
  };
  const Case cases[] = {
      {SendResult::Complete, nullptr, MessageIcon::None},
      {SendResult::Aborted, "Configuration Transfer Aborted!", MessageIcon::Warning},
      {SendResult::PortError, kOpen, MessageIcon::Error},
      {SendResult::BiosMode, "Ambrel is running in BIOS mode.\nSwitch BIOS OFF and restart ambrel.",
       MessageIcon::Warning},
      {SendResult::NoAnswer, "Communication Error.", MessageIcon::Error},
  };
  for (const Case& c : cases) {
    const std::optional<UserMessage> message = SendResultMessage(c.result);
    ASSERT_EQ(message.has_value(), c.text != nullptr);
    if (!message) continue;
    EXPECT_EQ(*message, (UserMessage{"Send User Config", c.text, c.icon}));
  }
  EXPECT_EQ(VerificationFailedMessage(),
            (UserMessage{"Send User Config",
                         "An Error occured while transferring configuration.\nConfiguration may "
                         "be incomplete.",
                         MessageIcon::Error}));
}

TEST(TransferMessages, EveryReadResultHasItsMessage) {
  struct Case {
    ReadResult result;
    const char* text;
    MessageIcon icon;
  };
  const Case cases[] = {
      {ReadResult::Complete, nullptr, MessageIcon::None},
      {ReadResult::Aborted, "Configuration Transfer Aborted!\nConfiguration NOT read completely!",
       MessageIcon::Warning},
      {ReadResult::PortError, kOpen, MessageIcon::Error},
      {ReadResult::OutOfRange,
       "The following parameters were out of Range and have been set to default:\n A, %AT",
       MessageIcon::Information},
      {ReadResult::NoAnswer, "DAV-OZI is not responding.", MessageIcon::Error},
  };
  for (const Case& c : cases) {
    const std::optional<UserMessage> message = ReadResultMessage(c.result, " A, %AT");
    ASSERT_EQ(message.has_value(), c.text != nullptr);
    if (!message) continue;
    EXPECT_EQ(*message, (UserMessage{"Read User Config", c.text, c.icon}));
  }
}

TEST(TransferMessages, FailedSendSaysWhereItLeftTheDeviceAndHowToGetBack) {
  const std::string unchanged = "Nothing was sent: the DAV-OZI's configuration is unchanged.";
  const std::string unsaved =
      "The DAV-OZI now runs with part of the new configuration, but its stored configuration is "
      "unchanged: switch the DAV-OZI off and on to get it back.";
  const std::string stored =
      "The DAV-OZI has stored a configuration that may be incomplete. To restore the configuration "
      "it had before, send its backup:\nvextune-cli send ";
  struct Case {
    const char* what;
    SendResult result;
    bool verificationFailed, wroteParameters, stored;
    std::string backup;
    std::string hint;  ///< after the message and an empty line; "" for none
  };
  const Case cases[] = {
      {"cancelled before any parameter", SendResult::Aborted, false, false, false, "/b/x.vxg",
       unchanged},
      {"cancelled among the parameters", SendResult::Aborted, false, true, false, "/b/x.vxg",
       unsaved},
      {"hang-up among the parameters", SendResult::NoAnswer, false, true, false, "", unsaved},
      {"cancelled after the store", SendResult::Aborted, false, true, true, "/b/x.vxg",
       stored + "/b/x.vxg"},
      {"a path that needs quotes", SendResult::Aborted, false, true, true, "/home/a b/it's.vxg",
       stored + "'/home/a b/it'\\''s.vxg'"},
      {"stored, no backup kept", SendResult::NoAnswer, false, true, true, "",
       "The DAV-OZI has stored a configuration that may be incomplete. No backup was kept: send "
       "a complete configuration file to it again."},
      {"read-back differs", SendResult::Complete, true, true, true, "/b/x.vxg",
       stored + "/b/x.vxg"},
      {"BIOS mode: nothing sent, nothing to add", SendResult::BiosMode, false, false, false,
       "/b/x.vxg", ""},
      {"port busy", SendResult::PortError, false, false, false, "/b/x.vxg", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SendOutcome outcome;
    outcome.sendResult = c.result;
    outcome.verificationFailed = c.verificationFailed;
    outcome.wroteParameters = c.wroteParameters;
    outcome.stored = c.stored;
    outcome.message =
        c.verificationFailed ? VerificationFailedMessage() : SendResultMessage(c.result);
    const std::optional<UserMessage> message = SendMessageWithRecovery(outcome, c.backup);
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(message->caption, outcome.message->caption);
    EXPECT_EQ(message->icon, outcome.message->icon);
    EXPECT_EQ(message->text,
              c.hint.empty() ? outcome.message->text : outcome.message->text + "\n\n" + c.hint);

    // The desktop program names its own route back, and that the values
    // stay in the dialog.
    const std::optional<UserMessage> desktop =
        SendMessageWithRecovery(outcome, c.backup, RestoreRoute::DesktopProgram);
    ASSERT_TRUE(desktop.has_value());
    EXPECT_EQ(desktop->text.find("vextune-cli"), std::string::npos);
    const std::string kept = "\n\nYour configuration is kept in the dialog: send it again, or save "
                             "it to a file.";
    EXPECT_EQ(desktop->text.substr(desktop->text.size() - std::min(desktop->text.size(), kept.size())), kept);
    if (c.stored && !c.backup.empty()) {
      EXPECT_NE(desktop->text.find("press Backups, choose the backup " + c.backup +
                                   " and press Send Configuration."),
                std::string::npos)
          << desktop->text;
    }
  }
  EXPECT_FALSE(SendMessageWithRecovery(SendOutcome{}, "/b/x.vxg").has_value());

  // A backup the store named is chosen by the time the backups dialog shows.
  EXPECT_EQ(SendRecoveryHint(DeviceAfterSend::Stored, "/b/2026-12-08_165257.1_V.1.4b.vxg",
                             RestoreRoute::DesktopProgram),
            "The DAV-OZI has stored a configuration that may be incomplete. To restore the "
            "configuration it had before, press Backups, choose the backup read at 2026-12-08 "
            "16:52:57 #2 (/b/2026-12-08_165257.1_V.1.4b.vxg) and press Send Configuration.");
}

}  // namespace
}  // namespace vextune
