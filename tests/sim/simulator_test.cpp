// The simulator over a real pseudo-terminal: what only the line can show. The
// device logic byte by byte is in the host and BIOS mode tests; the hang-up and
// the log are pinned by the transfer end-to-end tests and the program test.

#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "blocking_file.h"
#include "pty_client.h"
#include "sim/davozi_simulator.h"
#include "temp_dir_fixture.h"

namespace vextune::sim {
namespace {

using testing::AnswerText;
using testing::PtyClient;
using namespace std::chrono_literals;

const std::string kId = "\x1bv\r";

class SimulatorTest : public vextune::testing::TempDirTest {
 protected:
  /// Starts a device with `options_` and opens the program's side at `speed`.
  std::unique_ptr<PtyClient> Start(speed_t speed = B38400) {
    sim_ = std::make_unique<DavoziSimulator>(options_);
    std::string error;
    path_ = sim_->Start(&error);
    EXPECT_FALSE(path_.empty()) << error;
    auto client = std::make_unique<PtyClient>(path_, speed);
    EXPECT_TRUE(client->ok());
    return client;
  }
  static std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  SimulatorOptions options_;
  std::unique_ptr<DavoziSimulator> sim_;
  std::string path_;
};

TEST_F(SimulatorTest, IdentifiesAtItsRateAndIsSilentAtAnother) {
  options_.baud = 115200;
  auto slow = Start(B38400);
  slow->Write(kId);
  EXPECT_EQ(slow->Read(), "");
  slow->Close();
  PtyClient fast(path_, B115200);
  fast.Write(kId);
  EXPECT_EQ(fast.Read(16), "\r\nDAVOZI V.1.4b,");
  // Bytes heard at the wrong rate were consumed, not kept for later.
  EXPECT_EQ(sim_->Received(), kId + kId);
}

TEST_F(SimulatorTest, BadOptionsAreRefusedWithAReason) {
  const std::string broken = (dir_ / "broken.vxg").string();
  std::ofstream(broken) << "\x04VER ";
  const std::vector<std::function<void(SimulatorOptions&)>> bad = {
      [](SimulatorOptions& o) { o.baud = 9600; },
      [](SimulatorOptions& o) { o.firmware = "1.4bb"; },
      [](SimulatorOptions& o) { o.channels = 11; },
      [](SimulatorOptions& o) { o.connected = {0}; },
      [&](SimulatorOptions& o) { o.statePath = broken; },
      [&](SimulatorOptions& o) { o.logPath = (dir_ / "no" / "log").string(); },
      [&](SimulatorOptions& o) { o.linkPath = (dir_ / "no" / "link").string(); },
  };
  for (size_t i = 0; i < bad.size(); ++i) {
    SimulatorOptions o;
    bad[i](o);
    std::string error;
    EXPECT_EQ(DavoziSimulator(o).Start(&error), "") << i;
    EXPECT_FALSE(error.empty()) << i;
  }
  EXPECT_EQ(FileText(broken), "\x04VER ") << "an unreadable state file is left as it was";
}

TEST_F(SimulatorTest, StopAfterServesTheFirstBytesOnly) {
  options_.stopAfter = 3;
  auto line = Start();
  line->Write(kId);
  EXPECT_NE(line->Read().find("DAVOZI"), std::string::npos);
  line->Write(kId);
  EXPECT_EQ(line->Read(), "");
  EXPECT_TRUE(sim_->Running());
  EXPECT_EQ(sim_->Received(), kId + kId);
}

TEST_F(SimulatorTest, ExclusiveUseLeftBehindIsClearedWhenTheHolderCloses) {
  auto line = Start();
  ASSERT_EQ(::ioctl(line->fd(), TIOCEXCL), 0);
  int exclusive = 0;
  ASSERT_EQ(::ioctl(line->fd(), TIOCGEXCL, &exclusive), 0);
  ASSERT_EQ(exclusive, 1);
  line->Close();  // as a program that dies holding the port
  // Root may open an exclusive terminal; everyone else must wait for the repair.
  PtyClient next(path_);
  ASSERT_TRUE(next.ok());
  for (int i = 0; i < 100 && exclusive; ++i) {
    ::usleep(10000);
    ::ioctl(next.fd(), TIOCGEXCL, &exclusive);
  }
  EXPECT_EQ(exclusive, 0);
}

TEST_F(SimulatorTest, BiosUpdateOverTheLineKeepsTheImage) {
  options_.bios = true;
  options_.flashOutPath = (dir_ / "flash.bin").string();
  auto line = Start();
  line->Command("");
  EXPECT_NE(line->Read().find("cmd:"), std::string::npos);
  line->Write("UPDATE\r\x06");
  EXPECT_EQ(line->Read(6), std::string("\x1f\xa4\x00\x00\x21\x50", 6));
  line->Write(std::string("\x06\x00\x02", 3));
  EXPECT_EQ(line->Read(1), "\x06");
  std::string image;  // ESC, XON, XOFF and ACK all through the terminal unchanged
  for (int i = 0; i < 512; ++i) image.push_back(char("\x1b\x11\x13\x06"[i % 4] + i / 4));
  line->Write(image.substr(0, 256));
  EXPECT_EQ(line->Read(1), "\x06");
  line->Write(image.substr(256));
  EXPECT_EQ(line->Read(1), "\x06");
  EXPECT_NE(line->Read().find("cmd:"), std::string::npos);
  EXPECT_EQ(FileText(options_.flashOutPath), image);
  EXPECT_EQ(sim_->CompletedUpdates(), 1);
}

TEST_F(SimulatorTest, LastBlockIsAnsweredWithoutWaitingForTheImageFile) {
  // The image goes to disk through a temporary file beside the target. A
  // host whose disk is busy held back the last ACK past the program's
  // time-out, although the image was complete.
  options_.bios = true;
  options_.flashOutPath = (dir_ / "flash.bin").string();
  vextune::testing::BlockingFile slowDisk(options_.flashOutPath + ".part");
  ASSERT_TRUE(slowDisk.ok());
  auto line = Start();
  line->Write("UPDATE\r\x06");
  EXPECT_EQ(line->Read(6).size(), 6u);
  line->Write(std::string("\x06\x00\x01", 3));
  EXPECT_EQ(line->Read(1), "\x06");
  const std::string block(256, '\x5a');
  line->Write(block);
  EXPECT_EQ(line->Read(1), "\x06") << "the ACK waited for the disk";
  EXPECT_EQ(line->Read(), "") << "the boot loader prompts only after its reboot";
  EXPECT_EQ(slowDisk.Release(), block);
  EXPECT_NE(line->Read().find("cmd:"), std::string::npos);
  EXPECT_EQ(sim_->CompletedUpdates(), 1);
}

TEST_F(SimulatorTest, PacedLineTakesItsTimeBothWays) {
  options_.pace = true;
  auto line = Start();
  const auto start = std::chrono::steady_clock::now();
  line->Write(kId);
  EXPECT_NE(line->Read(40).find("DAVOZI"), std::string::npos);
  // 3 bytes in, 40 out, at 10 bits per byte and 38400 Bd: at least 11 ms.
  EXPECT_GE(std::chrono::steady_clock::now() - start, 11ms);
}

}  // namespace
}  // namespace vextune::sim
