#include "update/flash_chip.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace vextune {
namespace {

struct Chip {
  uint8_t manufacturer;
  uint8_t device;
  FlashChipRecord record;
  int code;
};

/// Every chip the lookup knows, found by asking for every pair of codes.
std::vector<Chip> EveryKnownChip() {
  std::vector<Chip> chips;
  for (int maker = 0; maker < 256; ++maker) {
    for (int device = 0; device < 256; ++device) {
      Chip chip{static_cast<uint8_t>(maker), static_cast<uint8_t>(device), {}, 0};
      chip.code = IdentifyFlashChip(chip.manufacturer, chip.device, chip.record);
      if (chip.code != kFlashUnknown) chips.push_back(chip);
    }
  }
  return chips;
}

TEST(FlashChipTest, IdentifiesKnownAndUnknownCodes) {
  struct Case {
    uint8_t manufacturer;
    uint8_t device;
    const char* maker;
    const char* chip;
    uint32_t sector;
    uint32_t size;
    int code;
  };
  const Case cases[] = {
      {0x01, 0xA4, "AMD", "Am29F040", 65536, 524288, kFlashUpdatable},
      {0x1F, 0xA4, "Atmel", "AT29C040A", 256, 524288, kFlashUpdatable},
      {0xDA, 0x46, "Winbond", "W29C040", 256, 524288, kFlashUpdatable},
      // The device's own table is one byte short of 64 KiB here.
      {0x1F, 0x5D, "Atmel", "AT29C512", 128, 65535, kFlashTooSmall},
      {0xBF, 0xB5, "SST", "SST39SF010", 4096, 131072, kFlashTooSmall},
      {0x20, 0xB0, "SGS", "M29F002BT", 65536, 262144, kFlashUnsupported},
      {0x04, 0x5B, "Fujitsu", "MBM29LV800B", 65536, 1048576, kFlashUnsupported},
      // Known makers with a device the table lacks (one the other makers have).
      {0x04, 0xA4, "Fujitsu", "UNKNOWN", 0, 0, kFlashUnknown},
      {0xDA, 0xDA, "Winbond", "UNKNOWN", 0, 0, kFlashUnknown},
      // Makers the table lacks.
      {0x7F, 0xA4, "INVALID", "INVALID", 0, 0, kFlashUnknown},
      {0xFF, 0xFF, "INVALID", "INVALID", 0, 0, kFlashUnknown},
  };
  for (const Case& c : cases) {
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

TEST(FlashChipTest, EveryChipOfTheTableIsConsistent) {
  const std::vector<Chip> chips = EveryKnownChip();
  EXPECT_EQ(chips.size(), 21u);
  std::map<uint8_t, std::string> makers;
  std::set<std::string> names;
  uint32_t largest = 0;
  for (const Chip& c : chips) {
    SCOPED_TRACE(c.record.chipName);
    EXPECT_TRUE(c.code == kFlashUpdatable || c.code == kFlashTooSmall ||
                c.code == kFlashUnsupported);
    EXPECT_TRUE(names.insert(c.record.chipName).second) << "named twice";
    EXPECT_NE(c.record.chipName, "UNKNOWN");
    EXPECT_NE(c.record.manufacturerName, "INVALID");
    // One maker, one name: an unknown device of that maker is reported with it.
    const auto maker = makers.emplace(c.manufacturer, c.record.manufacturerName).first;
    EXPECT_EQ(maker->second, c.record.manufacturerName);
    // A sector is one transfer block: a power of two no larger than the chip.
    EXPECT_GT(c.record.sectorSize, 0u);
    EXPECT_EQ(c.record.sectorSize & (c.record.sectorSize - 1), 0u);
    EXPECT_LE(c.record.sectorSize, c.record.chipSize);
    // The chips of 128 KiB and less are the ones too small for an image.
    EXPECT_EQ(c.code == kFlashTooSmall, c.record.chipSize <= 131072u);
    const ImageLimitsResult limits = ImageLimits(c.record, 0);
    if (c.code == kFlashUpdatable) {
      EXPECT_GT(limits.maxImageSize, 0u);
      EXPECT_FALSE(ImageLimits(c.record, limits.maxImageSize).tooLarge);
      EXPECT_TRUE(ImageLimits(c.record, uint64_t{limits.maxImageSize} + 1).tooLarge);
      largest = std::max(largest, limits.maxImageSize);
    }
  }
  EXPECT_EQ(LargestImageSize(), largest);
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
