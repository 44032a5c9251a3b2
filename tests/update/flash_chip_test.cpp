#include "update/flash_chip.h"

#include <gtest/gtest.h>

namespace vextune {
namespace {

struct ChipCase {
  uint8_t manufacturer;
  uint8_t device;
  const char* maker;
  const char* chip;
  uint32_t sector;
  uint32_t size;
  int code;
};

const ChipCase kChipCases[] = {
    {0x01, 0xA4, "AMD", "Am29F040", 65536, 524288, 0},
    {0x01, 0x20, "AMD", "Am29F010", 16384, 131072, -2},
    {0x01, 0xB0, "AMD", "Am29F002BT", 65536, 262144, -3},
    {0x01, 0x34, "AMD", "Am29F002BB", 65536, 262144, -3},
    {0x01, 0xDA, "AMD", "Am29LV800T", 65536, 1048576, 0},
    {0x01, 0x5B, "AMD", "Am29LV800B", 65536, 1048576, -3},
    {0x04, 0xDA, "Fujitsu", "MBM29LV800T", 65536, 1048576, 0},
    {0x04, 0x5B, "Fujitsu", "MBM29LV800B", 65536, 1048576, -3},
    {0x1F, 0x5D, "Atmel", "AT29C512", 128, 65535, -2},
    {0x1F, 0xD5, "Atmel", "AT29C010", 128, 131072, -2},
    {0x1F, 0xDA, "Atmel", "AT29C020", 256, 262144, 0},
    {0x1F, 0x5B, "Atmel", "AT29C040", 512, 524288, 0},
    {0x1F, 0xA4, "Atmel", "AT29C040A", 256, 524288, 0},
    {0x20, 0xB0, "SGS", "M29F002BT", 65536, 262144, -3},
    {0x20, 0x34, "SGS", "M29F002BB", 65536, 262144, -3},
    {0x20, 0xE2, "SGS", "M29F040B", 65536, 524288, 0},
    {0xBF, 0xB4, "SST", "SST39SF512", 4096, 65536, -2},
    {0xBF, 0xB5, "SST", "SST39SF010", 4096, 131072, -2},
    {0xBF, 0xB6, "SST", "SST39SF020", 4096, 262144, 0},
    {0xDA, 0x45, "Winbond", "W29C020", 128, 262144, 0},
    {0xDA, 0x46, "Winbond", "W29C040", 256, 524288, 0},
    // Known makers with a device the table lacks (one the other makers have).
    {0x04, 0xA4, "Fujitsu", "UNKNOWN", 0, 0, -1},
    {0xDA, 0xDA, "Winbond", "UNKNOWN", 0, 0, -1},
    // Makers the table lacks.
    {0x7F, 0xA4, "INVALID", "INVALID", 0, 0, -1},
    {0xFF, 0xFF, "INVALID", "INVALID", 0, 0, -1},
};

TEST(FlashChipTest, IdentifiesEveryRowOfTheTable) {
  for (const ChipCase& c : kChipCases) {
    SCOPED_TRACE(::testing::Message() << std::hex << int{c.manufacturer} << ":" << int{c.device});
    // A leftover from an earlier lookup must not survive.
    FlashChipRecord record{"stale", "stale", 1, 2};
    EXPECT_EQ(IdentifyFlashChip(c.manufacturer, c.device, record), c.code);
    EXPECT_EQ(record.manufacturerName, c.maker);
    EXPECT_EQ(record.chipName, c.chip);
    EXPECT_EQ(record.sectorSize, c.sector);
    EXPECT_EQ(record.chipSize, c.size);
  }
}

TEST(FlashChipTest, ImageLimitsFollowSectorAndChipSize) {
  const FlashChipRecord at29c040a{"Atmel", "AT29C040A", 256, 524288};
  const FlashChipRecord noSizes{"INVALID", "INVALID", 0, 0};
  struct Case {
    const FlashChipRecord& chip;
    uint64_t fileSize;
    uint32_t max;
    uint64_t blocks;
    bool tooLarge;
  };
  const Case cases[] = {
      {at29c040a, 1, 507648, 1, false},
      {at29c040a, 256, 507648, 1, false},  // exact multiple: no extra empty block
      {at29c040a, 257, 507648, 2, false},
      {at29c040a, 512, 507648, 2, false},
      {at29c040a, 507648, 507648, 1983, false},  // exactly the maximum
      {at29c040a, 507649, 507648, 1984, true},   // one byte more
      {noSizes, 100, 0, 0, true},
  };
  for (const Case& c : cases) {
    const ImageLimitsResult limits = ImageLimits(c.chip, c.fileSize);
    EXPECT_EQ(limits.maxImageSize, c.max) << c.fileSize;
    EXPECT_EQ(limits.blockCount, c.blocks) << c.fileSize;
    EXPECT_EQ(limits.tooLarge, c.tooLarge) << c.fileSize;
  }
}

}  // namespace
}  // namespace vextune
