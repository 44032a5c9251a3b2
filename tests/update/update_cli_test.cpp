// vextune-cli update against the davozi-sim program, both as processes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
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
        {VEXTUNE_CLI_PATH, "update", "--no-wait", "--port", sim.path, "--yes", file.string()}, null,
        errFd);
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
    std::vector<std::string> args = {VEXTUNE_CLI_PATH, "update", "--no-wait",
                                     "--port",         sim.path, "--yes"};
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

// Waits until the file at `path` holds `text`; false when the program that
// writes it has ended (or a minute has passed, a safety net) without it.
bool WaitForText(const std::filesystem::path& path, const std::string& text, pid_t writer) {
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (ReadWholeFile(path).find(text) == std::string::npos) {
    if (waitpid(writer, nullptr, WNOHANG) != 0 || std::chrono::steady_clock::now() > giveUp) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

TEST(UpdateCli, GuidesFromTheNormalFirmwareThroughBiosModeAndSendsTheBackupBack) {
  const testing::TempDir dir;
  const std::filesystem::path file = dir.path() / "firmware.amb";
  const std::filesystem::path state = dir.path() / "nv.vxg";
  const std::filesystem::path err = dir.path() / "stderr";
  const std::filesystem::path out = dir.path() / "stdout";
  std::ofstream(file, std::ios::binary) << testing::MakeImage(1000);
  for (const std::vector<std::string>& make :
       {std::vector<std::string>{VEXTUNE_CLI_PATH, "defaults", state.string()},
        std::vector<std::string>{VEXTUNE_CLI_PATH, "set", state.string(), "TxDelay=30",
                                 "Callsign=DL1ABC"}}) {
    ASSERT_EQ(testing::WaitFor(testing::Spawn(make, -1, -1), std::chrono::seconds(60)), 0);
  }
  // The backup goes into the test's own folder.
  ASSERT_EQ(setenv("XDG_DATA_HOME", dir.path().c_str(), 1), 0);

  testing::SimProcess sim(DAVOZI_SIM_PATH, {"--state", state.string(), "--firmware-after-update",
                                            "1.5a", "--update-resets"});
  ASSERT_FALSE(sim.path.empty());
  const int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const pid_t cli = testing::Spawn({VEXTUNE_CLI_PATH, "update", "--port", sim.path, "--yes",
                                    "--json", "--wait-timeout", "60", file.string()},
                                   outFd, errFd);
  close(outFd);
  close(errFd);
  // The user at the switch.
  const bool toldOn = WaitForText(err, "Switch the BIOS switch on and restart the DAV-OZI.", cli);
  if (toldOn) kill(sim.pid, SIGUSR1);
  const bool toldOff =
      toldOn && WaitForText(err, "Switch the BIOS switch off and restart the DAV-OZI.", cli);
  if (toldOff) kill(sim.pid, SIGUSR2);
  const int status = testing::WaitFor(cli, std::chrono::seconds(120));
  const std::string said = ReadWholeFile(err);
  ASSERT_TRUE(toldOn) << said;
  ASSERT_TRUE(toldOff) << said;
  ASSERT_EQ(status, 0) << said;

  const nlohmann::json report = nlohmann::json::parse(ReadWholeFile(out));
  EXPECT_EQ(report["result"], "ok");
  EXPECT_EQ(report["firmwareBefore"], "1.4b");
  EXPECT_EQ(report["firmwareAfter"], "1.5a");
  EXPECT_EQ(report["startedInBios"], false);
  EXPECT_EQ(report["backupSent"], true) << said;
  // The update reset the two settings; the backup brought them back.
  ASSERT_TRUE(report["differences"].is_array());
  EXPECT_EQ(report["differences"].size(), 2u) << report["differences"].dump();
  const std::string backup = report["backupFile"];
  EXPECT_TRUE(backup.starts_with((dir.path() / "vextune/backups").string())) << backup;
  EXPECT_TRUE(std::filesystem::exists(backup));
  EXPECT_NE(said.find("Firmware before: V.1.4b\nFirmware now: V.1.5a\n"), std::string::npos)
      << said;
  const std::string stored = ReadWholeFile(state);
  EXPECT_NE(stored.find("DL1ABC"), std::string::npos);
}

}  // namespace
}  // namespace vextune
