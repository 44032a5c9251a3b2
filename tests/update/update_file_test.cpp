#include "update/update_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "update/firmware_update.h"

namespace vextune {
namespace {

TEST(UpdateFileTest, ChecksSizeAndReadsTheTimeStampLeastSignificantFirst) {
  struct Case {
    size_t size;
    const char* error;  ///< nullptr: accepted
  };
  const Case cases[] = {
      {0, kUpdateFileEmpty},
      {15, kUpdateFileTooShort},
      {16, nullptr},
      {4096, nullptr},
  };
  for (const Case& c : cases) {
    std::string bytes(c.size, '\x5a');
    if (c.size >= 16) bytes.replace(12, 4, "\x11\x22\x33\xF4", 4);
    std::istringstream stream(bytes, std::ios::binary);
    StreamUpdateSource source(stream);
    const UpdateFileCheck check = CheckUpdateFile(source);
    EXPECT_EQ(check.error, c.error ? c.error : "") << c.size;
    ASSERT_EQ(check.info.has_value(), c.error == nullptr) << c.size;
    if (check.info) {
      EXPECT_EQ(check.info->timestamp, 0xF4332211u);
      EXPECT_EQ(check.info->size, c.size);
    }
  }
}

std::vector<uint8_t> Image(std::string bytes, PackedTime stamp) {
  for (size_t i = 0; i < 4; ++i) bytes[12 + i] = static_cast<char>(stamp >> (8 * i));
  return {bytes.begin(), bytes.end()};
}

TEST(UpdateFileTest, ImageDoubtTellsWhatIsPlainlyNoUpdateImage) {
  const std::string binary = std::string("\x02\x00\x3f", 3) + std::string(253, '\x90');
  const std::string text(256, 'a');
  const std::string config = std::string("\x04VER \x33\x00\x01\x00", 9) + std::string(247, 1);
  const PackedTime good = PackTime(2024, 5, 17, 12, 30, 0);
  const std::string noDate = "Its time stamp (bytes 12 to 15: 0x";
  struct Case {
    const char* name;
    std::vector<uint8_t> image;
    std::string doubt;  ///< the start of the reason; empty: looks like an image
  };
  const Case cases[] = {
      {"binary with a date", Image(binary, good), ""},
      {"first day of 1980", Image(binary, PackTime(1980, 1, 1, 0, 0, 0)), ""},
      {"last second before 2038", Image(binary, PackTime(2037, 12, 31, 23, 59, 58)), ""},
      {"29 February of a leap year", Image(binary, PackTime(2024, 2, 29, 0, 0, 0)), ""},
      {"2038", Image(binary, PackTime(2038, 1, 1, 0, 0, 0)), noDate},
      {"29 February of a common year", Image(binary, PackTime(2023, 2, 29, 0, 0, 0)), noDate},
      {"31 April", Image(binary, PackTime(2023, 4, 31, 0, 0, 0)), noDate},
      {"month 13", Image(binary, PackTime(2020, 13, 1, 0, 0, 0)), noDate},
      {"day 0", Image(binary, PackTime(2020, 1, 0, 0, 0, 0)), noDate},
      {"hour 24", Image(binary, PackTime(2020, 1, 1, 24, 0, 0)), noDate},
      {"minute 60", Image(binary, PackTime(2020, 1, 1, 0, 60, 0)), noDate},
      {"second 60", Image(binary, PackTime(2020, 1, 1, 0, 0, 0) | 30), noDate},
      {"erased", Image(binary, 0xFFFFFFFF), noDate},
      {"zero", Image(binary, 0), noDate},
      {"text with a date", Image(text, good), "It holds only text"},
      {"text with tabs and line ends", Image(text + "\t\r\n", good), "It holds only text"},
      {"UTF-8 text", Image(text + "\xC2\xB0", good), "It holds only text"},
      {"configuration with a date", Image(config, good), "It is a configuration file"},
  };
  for (const Case& c : cases) {
    const std::string doubt = ImageDoubt(c.image);
    EXPECT_EQ(doubt.substr(0, c.doubt.size()), c.doubt) << c.name << ": " << doubt;
    EXPECT_EQ(doubt.empty(), c.doubt.empty()) << c.name << ": " << doubt;
  }
  EXPECT_EQ(NotAnUpdateImageMessage("x.amb", "Why."),
            "x.amb does not look like a DAV-OZI update image\nWhy.");
}

TEST(UpdateFileTest, TheSummaryBeforeTheRunSaysSizeDateRefusalAndDoubt) {
  const PackedTime good = PackTime(2024, 5, 17, 12, 30, 0);
  const std::vector<uint8_t> binary = Image(std::string(600, '\x02'), good);
  const std::vector<uint8_t> text = Image(std::string(300, 'a'), good);
  struct Case {
    const char* name;
    std::string bytes;
    bool sendable;
    std::string summary;
  };
  const Case cases[] = {
      {"empty", "", false, kUpdateFileEmpty},
      {"no time stamp", std::string(15, '\x90'), false, kUpdateFileTooShort},
      {"too large for every chip", std::string(LargestImageSize() + 1, '\x90'), false,
       std::string(update_message::kFileTooLarge)},
      {"an image", std::string(binary.begin(), binary.end()), true,
       "Image: 600 bytes\nUpdate file: 2024-05-17 12:30:00"},
      {"text", std::string(text.begin(), text.end()), true,
       "Image: 300 bytes\nUpdate file: 2024-05-17 12:30:00\nnotes.amb does not look like a "
       "DAV-OZI update image\nIt holds only text, as no firmware does."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::istringstream stream(c.bytes, std::ios::binary);
    StreamUpdateSource source(stream);
    const UpdateImageCheck check = CheckUpdateImage(source);
    EXPECT_EQ(check.info.has_value(), c.sendable);
    EXPECT_EQ(check.image.size(), c.sendable ? c.bytes.size() : 0u);
    EXPECT_EQ(UpdateFileSummary(check, "notes.amb"), c.summary);
  }
}

TEST(UpdateFileTest, OpensARegularFileAndRefusesWhatIsNone) {
  const auto dir =
      std::filesystem::temp_directory_path() / ("vextune-update-file-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "image.amb", std::ios::binary) << std::string(300, 'x');

  std::string error;
  EXPECT_TRUE(OpenUpdateFile((dir / "image.amb").string(), &error)) << error;
  EXPECT_FALSE(OpenUpdateFile((dir / "missing.amb").string(), &error));
  EXPECT_NE(error, "");
  error.clear();
  EXPECT_FALSE(OpenUpdateFile(dir.string(), &error));  // a directory
  EXPECT_NE(error, "");
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace vextune
