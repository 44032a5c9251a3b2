// vextune-cli update against the davozi-sim program, both as processes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "sim_process.h"
#include "update_test_doubles.h"

namespace vextune {
namespace {

std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(UpdateCli, UpdateWritesTheFileIntoTheFlashAndSaysSo) {
  char dir[] = "/tmp/vextune-update-cli-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::filesystem::path file = std::filesystem::path(dir) / "firmware.amb";
  const std::filesystem::path flash = std::filesystem::path(dir) / "img.bin";
  const std::filesystem::path err = std::filesystem::path(dir) / "stderr";
  const std::string image = testing::MakeImage(1000);
  std::ofstream(file, std::ios::binary) << image;
  {
    testing::SimProcess sim(DAVOZI_SIM_PATH, {"--bios", "--flash-out", flash.string()});
    ASSERT_FALSE(sim.path.empty());
    const int null = open("/dev/null", O_WRONLY);
    const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const pid_t cli = testing::Spawn(
        {VEXTUNE_CLI_PATH, "update", "--port", sim.path, "--yes", file.string()}, null, errFd);
    close(null);
    close(errFd);
    EXPECT_EQ(testing::WaitFor(cli, std::chrono::seconds(60)), 0) << ReadWholeFile(err);
  }
  EXPECT_NE(ReadWholeFile(err).find("Update transfer complete."), std::string::npos)
      << ReadWholeFile(err);
  EXPECT_EQ(ReadWholeFile(flash), testing::Padded(image, 256));
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace vextune
