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
#include "temp_dir.h"
#include "update_test_doubles.h"

namespace vextune {
namespace {

std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(UpdateCli, UpdateWritesTheFileIntoTheFlashAndSaysSo) {
  const testing::TempDir dir;
  const std::filesystem::path file = dir.path() / "firmware.amb";
  const std::filesystem::path flash = dir.path() / "img.bin";
  const std::filesystem::path err = dir.path() / "stderr";
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
}

struct CliRun {
  int exitCode = -1;
  std::string err;
  std::string deviceHeard;  ///< every byte the simulator received
};

// Runs `update --yes FILE` (with `extra` options) against a simulator in
// BIOS mode that logs what it receives.
CliRun UpdateAgainstSimulator(const std::filesystem::path& dir, const std::string& file,
                              const std::vector<std::string>& extra = {}) {
  const std::filesystem::path log = dir / "sim.log";
  const std::filesystem::path err = dir / "stderr";
  std::filesystem::remove(log);
  CliRun run;
  {
    testing::SimProcess sim(DAVOZI_SIM_PATH, {"--bios", "--log", log.string()});
    EXPECT_FALSE(sim.path.empty());
    std::vector<std::string> args = {VEXTUNE_CLI_PATH, "update", "--port", sim.path, "--yes"};
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back(file);
    const int null = open("/dev/null", O_WRONLY);
    const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const pid_t cli = testing::Spawn(args, null, errFd);
    close(null);
    close(errFd);
    run.exitCode = testing::WaitFor(cli, std::chrono::seconds(60));
  }
  run.err = ReadWholeFile(err);
  run.deviceHeard = ReadWholeFile(log);
  return run;
}

TEST(UpdateCli, RefusesWhatIsNoUpdateImageWithoutSendingAByte) {
  const testing::TempDir dir;
  const std::filesystem::path& folder = dir.path();
  const std::string config = (folder / "mine.vxg").string();
  const pid_t defaults = testing::Spawn({VEXTUNE_CLI_PATH, "defaults", config}, -1, -1);
  ASSERT_EQ(testing::WaitFor(defaults, std::chrono::seconds(60)), 0);
  const std::string readme = (folder / "README.md").string();
  std::filesystem::copy_file(std::string(VEXTUNE_SOURCE_DIR) + "/README.md", readme);

  for (const std::string& file : {config, readme}) {
    SCOPED_TRACE(file);
    const CliRun refused = UpdateAgainstSimulator(folder, file);
    EXPECT_EQ(refused.exitCode, 1) << refused.err;
    EXPECT_NE(refused.err.find(file + " does not look like a DAV-OZI update image\n"),
              std::string::npos)
        << refused.err;
    EXPECT_EQ(refused.deviceHeard, "");
    EXPECT_EQ(refused.err.find("Update transfer complete."), std::string::npos);
  }
  // --force sends it all the same.
  const CliRun forced = UpdateAgainstSimulator(folder, config, {"--force"});
  EXPECT_EQ(forced.exitCode, 0) << forced.err;
  EXPECT_NE(forced.deviceHeard.find("UPDATE\r"), std::string::npos);
}

}  // namespace
}  // namespace vextune
