#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/operation.h"
#include "common/user_message.h"
#include "link/device_link.h"
#include "link/serial_port.h"
#include "update/flash_chip.h"
#include "update/packed_time.h"
#include "update/update_file.h"

namespace vextune {

/// The user's texts of an update run, exactly as shown.
namespace update_message {
inline constexpr std::string_view kCaption = "Vextune - Update";
inline constexpr std::string_view kOpenFailed = kPortOpenFailedText;
inline constexpr std::string_view kNotInBios =
    "DAV-OZI NOT in BIOS mode.\nSwitch BIOS ON and restart DAV-OZI.";
inline constexpr std::string_view kCommunicationError = "Communication Error.";
inline constexpr std::string_view kFlashReadError =
    "Error reading flash!\nSwitch DAV-OZI to BIOS-mode and restart DAV-OZI.";
inline constexpr std::string_view kUnknownFlash = "Error unknown flash type.";
inline constexpr std::string_view kWrongSectorSize = "ERROR: wrong sector size!";
inline constexpr std::string_view kFileTooLarge = "ERROR: File too large!";
inline constexpr std::string_view kInvalidFlashTimestamp = "WARNING: Invalid Flash time stamp.";
/// Asked with Yes and No; the text ends with a blank.
inline constexpr std::string_view kNotNewerQuestion =
    "Firmware installed has the same or newer timestamp.\nUpdate anyway? ";
inline constexpr std::string_view kHandshakeFailed = "ERROR: Handshake failed!";
inline constexpr std::string_view kAborted = "Update Aborted!\nPlease switch DAV-OZI OFF and ON...";
inline constexpr std::string_view kComplete =
    "Update transfer complete.\nPlease wait while DAV-OZI is rebooting.\n"
    "Thereafter, switch BIOS OFF and restart DAV-OZI.";
}  // namespace update_message

/// BIOS-mode protocol bytes.
namespace bios {
inline constexpr std::string_view kUpdateCommand = "UPDATE\r";
inline constexpr uint8_t kAck = 0x06;
inline constexpr uint8_t kAbort = 0x1B;
/// Pause before every step, in milliseconds.
inline constexpr uint32_t kStepPauseMs = 10;
/// Pause after the update command and after its ACK, in milliseconds.
inline constexpr uint32_t kCommandPauseMs = 2;
}  // namespace bios

/// The steps of a run, in order. The file is checked before the port opens,
/// so that a file that cannot be sent is refused before the first byte goes
/// out; the rest follows the device's BIOS protocol.
enum class UpdateStep {
  CheckFile,           ///< size and time stamp of the update file; the whole image read
  ConnectBios,         ///< open at 38400 (115200 as fallback), find the BIOS prompt
  SendUpdateCommand,   ///< "UPDATE\r"
  SendAck,             ///< ACK: asks for the flash identity
  ReadManufacturer,    ///< 1 byte
  ReadDevice,          ///< 1 byte
  ReadFlashTimestamp,  ///< 4 bytes, least significant first
  IdentifyChip,        ///< chip table lookup
  CheckSectorSize,
  ComputeLimits,
  CheckFileSize,
  CheckFlashTimestamp,  ///< plausibility; a warning only
  AskIfNotNewer,        ///< the time-stamp question when the file is not newer
  SendStartAck,
  SendBlockCount,  ///< 2 bytes, most significant first
  ReadHandshake,
  CheckHandshake,
  Rewind,     ///< the blocks start at the image's first byte
  SendBlock,  ///< one block per step, so cancel works between blocks
  End,        ///< drain, final message, close the port
  Over,
};

enum class UpdateOutcome {
  Completed,  ///< every block acknowledged
  Cancelled,  ///< the cancel flag stopped it
  Failed,     ///< a failure message was shown
  Declined,   ///< the user answered No at the time-stamp question
};

/// What a run has learnt so far; kept current while it runs, so that a
/// display can show blocks and a caller can explain a failure.
struct UpdateRunInfo {
  UpdateStep step = UpdateStep::CheckFile;
  UpdateFileInfo file;
  uint8_t manufacturerId = 0;
  uint8_t deviceId = 0;
  PackedTime flashTimestamp = 0;
  FlashChipRecord chip;
  ImageLimitsResult limits;
  uint32_t blocksSent = 0;
  /// The system's error code when opening the port failed, else 0.
  SerialCode openError = kSerialOk;
  /// The rate of the line the run opened last (where the BIOS answered, when
  /// it did); 0 before the port opened. The caller's settings stay as they were.
  uint32_t baudRate = 0;
  /// The message the run ended with (empty text when it ended without one:
  /// declined at a question).
  UserMessage endMessage;
};

/// What a run does with a file that does not look like an update image
/// (ImageDoubt).
enum class ImageDoubtPolicy {
  Refuse,  ///< fail with the reason before anything is sent
  Ask,     ///< ask whether to send it anyway; No ends the run as declined
  Send,    ///< send it all the same (the user insisted beforehand)
};

struct UpdateImageCheck;

struct UpdateOptions {
  /// How messages call the update file (usually its path).
  std::string fileName = "The update file";
  ImageDoubtPolicy onDoubt = ImageDoubtPolicy::Refuse;
  /// The file's check made before the run, its doubt settled: the run sends
  /// that image instead of reading the file again. Must outlive the run.
  const UpdateImageCheck* checked = nullptr;
  /// Before the first block, say what the run found (FindingsText): as a
  /// message when the file is newer, inside the time-stamp question otherwise.
  bool reportFindings = false;
  /// Told what the run found once the chip and the image's blocks are known,
  /// before anything is written (on the run's thread). Instead of a message
  /// of its own: the findings then go into the time-stamp question only.
  std::function<void(const UpdateRunInfo&)> onFindings;
};

/// What the check of an update file found before any port is opened.
struct UpdateImageCheck {
  std::optional<UpdateFileInfo> info;  ///< unset when the file is refused
  std::string refusal;                 ///< why it cannot be sent
  std::string doubt;                   ///< ImageDoubt: why it may be no update image
  std::vector<uint8_t> image;          ///< the whole image, when not refused
};

/// Reads and checks the whole file: refused when it is empty, has no time
/// stamp, cannot be read or is too large for every chip.
UpdateImageCheck CheckUpdateImage(UpdateSource& file);

/// How a run goes on once a doubt about its file (ImageDoubt) is settled.
enum class DoubtDecision {
  Send,       ///< no doubt, or the policy or the user says send
  Refused,    ///< ImageDoubtPolicy::Refuse: fail with the message
  Declined,   ///< the user said No
  Cancelled,  ///< the operation was cancelled meanwhile
};

/// Settles `check`'s doubt by `options.onDoubt`, asking through `prompt` for
/// ImageDoubtPolicy::Ask. `*message` gets the doubt's message whenever there
/// is a doubt.
DoubtDecision SettleImageDoubt(const UpdateImageCheck& check, const UpdateOptions& options,
                               UserPrompt& prompt, const CancelFlag& cancel, std::string* message);

/// The check for the user, before the device is asked: the image's size and
/// date, or why it is refused, and any doubt about it.
std::string UpdateFileSummary(const UpdateImageCheck& check, std::string_view fileName);

/// What the run found, one item a line: the flash chip with the maker and
/// device codes read, its size and sector size, the image's size and block
/// count, and both dates.
std::string FindingsText(const UpdateRunInfo& info);

/// The installed firmware's date and the file's date, one a line.
std::string DatesText(const UpdateRunInfo& info);

/// The failure of a chip the update cannot write: "Error unknown flash
/// type." and the maker and device codes read (with the names the table
/// knows).
std::string UnknownFlashMessage(const UpdateRunInfo& info);

/// Writes the image of `file` into the device's flash in BIOS mode. The whole
/// image is read and checked before the port opens. Every message goes through
/// `prompt`; the time-stamp question too. The cancel flag is tested before
/// every step (a flag set before the call cancels the run before anything is
/// sent; the caller clears it when the user starts a run) and a wait that a
/// cancel cuts short ends the run the same way, with nothing sent after the
/// cancel. Progress goes from 0 to 100 and back to 0 at the end. The port is
/// closed on every path, and the file stays usable for another run. A file
/// that does not look like an update image is handled as `options` say; the
/// time-stamp question shows both dates.
UpdateOutcome RunFirmwareUpdate(DeviceLink& link, UpdateSource& file, CancelFlag& cancel,
                                ProgressListener& progress, UserPrompt& prompt,
                                UpdateRunInfo* info = nullptr, const UpdateOptions& options = {});

}  // namespace vextune
