#include "update/flash_chip.h"

#include <algorithm>
#include <array>

namespace vextune {

namespace {

struct ChipRow {
  uint8_t manufacturerId;
  const char* manufacturerName;
  uint8_t deviceId;
  const char* chipName;
  uint32_t sectorSize;
  uint32_t chipSize;
  int code;
};

constexpr std::array<ChipRow, 21> kChips{{
    {0x01, "AMD", 0xA4, "Am29F040", 65536, 524288, kFlashUpdatable},
    {0x01, "AMD", 0x20, "Am29F010", 16384, 131072, kFlashTooSmall},
    {0x01, "AMD", 0xB0, "Am29F002BT", 65536, 262144, kFlashUnsupported},
    {0x01, "AMD", 0x34, "Am29F002BB", 65536, 262144, kFlashUnsupported},
    {0x01, "AMD", 0xDA, "Am29LV800T", 65536, 1048576, kFlashUpdatable},
    {0x01, "AMD", 0x5B, "Am29LV800B", 65536, 1048576, kFlashUnsupported},
    {0x04, "Fujitsu", 0xDA, "MBM29LV800T", 65536, 1048576, kFlashUpdatable},
    {0x04, "Fujitsu", 0x5B, "MBM29LV800B", 65536, 1048576, kFlashUnsupported},
    // The device's own table gives this chip 65535 bytes, one short of 64 KiB.
    {0x1F, "Atmel", 0x5D, "AT29C512", 128, 65535, kFlashTooSmall},
    {0x1F, "Atmel", 0xD5, "AT29C010", 128, 131072, kFlashTooSmall},
    {0x1F, "Atmel", 0xDA, "AT29C020", 256, 262144, kFlashUpdatable},
    {0x1F, "Atmel", 0x5B, "AT29C040", 512, 524288, kFlashUpdatable},
    {0x1F, "Atmel", 0xA4, "AT29C040A", 256, 524288, kFlashUpdatable},
    {0x20, "SGS", 0xB0, "M29F002BT", 65536, 262144, kFlashUnsupported},
    {0x20, "SGS", 0x34, "M29F002BB", 65536, 262144, kFlashUnsupported},
    {0x20, "SGS", 0xE2, "M29F040B", 65536, 524288, kFlashUpdatable},
    {0xBF, "SST", 0xB4, "SST39SF512", 4096, 65536, kFlashTooSmall},
    {0xBF, "SST", 0xB5, "SST39SF010", 4096, 131072, kFlashTooSmall},
    {0xBF, "SST", 0xB6, "SST39SF020", 4096, 262144, kFlashUpdatable},
    {0xDA, "Winbond", 0x45, "W29C020", 128, 262144, kFlashUpdatable},
    {0xDA, "Winbond", 0x46, "W29C040", 256, 524288, kFlashUpdatable},
}};

}  // namespace

int IdentifyFlashChip(uint8_t manufacturerId, uint8_t deviceId, FlashChipRecord& record) {
  const char* maker = nullptr;
  for (const ChipRow& row : kChips) {
    if (row.manufacturerId != manufacturerId) continue;
    maker = row.manufacturerName;
    if (row.deviceId == deviceId) {
      record = {row.manufacturerName, row.chipName, row.sectorSize, row.chipSize};
      return row.code;
    }
  }
  record = {maker ? maker : "INVALID", maker ? "UNKNOWN" : "INVALID", 0, 0};
  return kFlashUnknown;
}

uint32_t LargestImageSize() {
  uint32_t largest = 0;
  for (const ChipRow& row : kChips) {
    if (row.code != kFlashUpdatable) continue;
    const FlashChipRecord record{row.manufacturerName, row.chipName, row.sectorSize, row.chipSize};
    largest = std::max(largest, ImageLimits(record, 0).maxImageSize);
  }
  return largest;
}

ImageLimitsResult ImageLimits(const FlashChipRecord& record, uint64_t fileSize) {
  ImageLimitsResult limits;
  // Signed, so that a record without sizes allows nothing instead of wrapping.
  const int64_t room = int64_t{record.chipSize} - kFlashReservedBytes - record.sectorSize;
  limits.maxImageSize = room > 0 ? static_cast<uint32_t>(room) : 0;
  if (record.sectorSize != 0) {
    limits.blockCount = (fileSize + record.sectorSize - 1) / record.sectorSize;
  }
  limits.tooLarge = fileSize > limits.maxImageSize;
  return limits;
}

}  // namespace vextune
