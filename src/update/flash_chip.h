#pragma once

#include <cstdint>
#include <string>

namespace vextune {

/// What the chip table knows of one flash chip.
struct FlashChipRecord {
  std::string manufacturerName;  ///< "Atmel"; "INVALID" for an unknown maker
  std::string chipName;          ///< "AT29C040A"; "UNKNOWN" or "INVALID" when not found
  uint32_t sectorSize = 0;       ///< bytes; the size of one transfer block
  uint32_t chipSize = 0;         ///< bytes
};

/// Results of IdentifyFlashChip.
inline constexpr int kFlashUpdatable = 0;
inline constexpr int kFlashUnknown = -1;      ///< maker or device not in the table
inline constexpr int kFlashTooSmall = -2;     ///< the 64 and 128 KiB chips
inline constexpr int kFlashUnsupported = -3;  ///< boot-block and bottom-boot chips

/// Fills `record` from the chip table and returns the row's code: 0 when the
/// chip can be updated, kFlashUnknown, kFlashTooSmall or kFlashUnsupported.
int IdentifyFlashChip(uint8_t manufacturerId, uint8_t deviceId, FlashChipRecord& record);

/// Room in bytes that an image may not use: the part of the flash the device
/// keeps for itself.
inline constexpr uint32_t kFlashReservedBytes = 16384;

struct ImageLimitsResult {
  /// chip size - 16384 - sector size, in bytes; 0 when that is not positive.
  uint32_t maxImageSize = 0;
  /// file size / sector size, rounded up; 0 when the sector size is 0.
  uint64_t blockCount = 0;
  /// The file holds more than maxImageSize bytes.
  bool tooLarge = false;
};

/// The largest image that any chip of the table can be updated with, in
/// bytes: a larger file fits no device.
uint32_t LargestImageSize();

/// What a file of `fileSize` bytes means for the chip in `record`.
ImageLimitsResult ImageLimits(const FlashChipRecord& record, uint64_t fileSize);

}  // namespace vextune
