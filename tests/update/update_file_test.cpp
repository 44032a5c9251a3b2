#include "update/update_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace vextune {
namespace {

std::string FileOfSize(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + 3);
  return bytes;
}

TEST(UpdateFileTest, ChecksSizeAndReadsTheTimeStampLeastSignificantFirst) {
  struct Case {
    size_t size;
    const char* error;  ///< nullptr: accepted
  };
  const Case cases[] = {
      {0, kUpdateFileEmpty}, {1, kUpdateFileTooShort}, {15, kUpdateFileTooShort}, {16, nullptr},
      {17, nullptr},         {4096, nullptr},
  };
  for (const Case& c : cases) {
    std::string bytes = FileOfSize(c.size);
    if (c.size >= 16) bytes.replace(12, 4, "\x11\x22\x33\xF4", 4);
    std::istringstream stream(bytes, std::ios::binary);
    StreamUpdateSource source(stream);
    const UpdateFileCheck check = CheckUpdateFile(source);
    if (c.error) {
      EXPECT_FALSE(check.info) << c.size;
      EXPECT_EQ(check.error, c.error) << c.size;
    } else {
      ASSERT_TRUE(check.info) << c.size;
      EXPECT_EQ(check.info->timestamp, 0xF4332211u);
      EXPECT_EQ(check.info->size, c.size);
    }
  }
}

class UpdateFileOnDiskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("vextune-update-file-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::filesystem::path dir_;
};

TEST_F(UpdateFileOnDiskTest, OpensARegularFileAndRefusesWhatIsNone) {
  const std::string bytes = FileOfSize(300);
  const auto path = dir_ / "image.amb";
  std::ofstream(path, std::ios::binary).write(bytes.data(), bytes.size());

  std::string error;
  std::unique_ptr<UpdateSource> file = OpenUpdateFile(path.string(), &error);
  ASSERT_TRUE(file) << error;
  const UpdateFileCheck check = CheckUpdateFile(*file);
  ASSERT_TRUE(check.info);
  EXPECT_EQ(check.info->size, 300u);

  EXPECT_FALSE(OpenUpdateFile((dir_ / "missing.amb").string(), &error));
  EXPECT_NE(error, "");
  error.clear();
  EXPECT_FALSE(OpenUpdateFile(dir_.string(), &error));  // a directory
  EXPECT_NE(error, "");
}

}  // namespace
}  // namespace vextune
