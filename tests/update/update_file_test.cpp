#include "update/update_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

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
