#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "config/config_file.h"
#include "pty_client.h"
#include "sim/davozi_simulator.h"

namespace vextune::sim {
namespace {

using testing::AnswerText;
using testing::NowMs;
using testing::PtyClient;
using namespace std::chrono_literals;

const std::string kId = "\x1bv\r";

class SimulatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("davozi-sim-test-" + std::to_string(getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

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

  std::string FileText(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
  }

  SimulatorOptions options_;
  std::filesystem::path dir_;
  std::unique_ptr<DavoziSimulator> sim_;
  std::string path_;
};

TEST_F(SimulatorTest, IdentifiesAtItsRateAndIsSilentAtAnother) {
  options_.baud = 115200;
  auto line = Start(B38400);
  line->Write(kId);
  EXPECT_EQ(line->Read(SIZE_MAX, 300), "");
  line->SetSpeed(B115200);
  line->Write(kId);
  const std::string id = line->Read(40);
  EXPECT_LT(id.find("DAVOZI"), 20u - 6u);
  EXPECT_LT(id.find(" V.1.4b,"), 40u - 8u);
  // Bytes heard at the wrong rate were consumed, not kept for later.
  EXPECT_TRUE(sim_->WaitForReceived(6, 1s));
  EXPECT_EQ(sim_->Received(), kId + kId);
}

TEST_F(SimulatorTest, CommandChangesStoreAndHostQueryReportsIt) {
  auto line = Start();
  line->Command("%AT 1800");
  line->Command("@t2 250");
  line->Command("JHOST1");
  EXPECT_EQ(AnswerText(line->Host("%AT")), "APRS Beacon/Timer = 1800 s");
  EXPECT_EQ(AnswerText(line->Host("@T2")), "250");
  EXPECT_EQ(line->Host("I DL1ABC"), std::string("\0\0", 2));
  EXPECT_EQ(line->Host("JHOST0"), std::string("\0\0", 2));
  EXPECT_EQ(sim_->Mode(), DeviceMode::Command);
  line->Command("S");
  EXPECT_EQ(line->Read(), "* 0 *\r\n");
  const CConfigData store = sim_->Store();
  EXPECT_EQ(store.m_AprsInterval.value, 1800);
  EXPECT_EQ(store.m_Timer2.value, 250);
  EXPECT_EQ(store.m_Callsign.text, "DL1ABC");
}

TEST_F(SimulatorTest, StoredParametersSurvivePowerOffOnlyWithZS) {
  options_.statePath = (dir_ / "nvram.vxg").string();
  {
    auto line = Start();
    line->Command("T 40");
    line->Command("%ZS");
    line->Command("T 50");  // not stored
    ASSERT_TRUE(sim_->WaitForReceived(6 + 5 + 6, 2s));
    EXPECT_EQ(sim_->Store().m_TxDelay.value, 50);
    EXPECT_EQ(sim_->Nonvolatile().m_TxDelay.value, 40);
    sim_->Stop();
  }
  CConfigData file;
  ASSERT_TRUE(LoadConfigFile(options_.statePath, file, nullptr, nullptr));
  EXPECT_EQ(file.m_TxDelay.value, 40);
  auto line = Start();
  line->Command("JHOST1");
  EXPECT_EQ(AnswerText(line->Host("t")), "40");
}

TEST_F(SimulatorTest, PowerCycleInProcessKeepsOnlyWhatWasStored) {
  auto line = Start();
  line->Command("T 40");
  line->Command("%ZS");
  line->Command("W 20");
  ASSERT_TRUE(sim_->WaitForReceived(6 + 5 + 6, 2s));
  line.reset();
  sim_->Stop();
  EXPECT_EQ(sim_->Store().m_SlotTime.value, 20) << "snapshots keep the state at power-off";
  std::string error;
  path_ = sim_->Start(&error);
  ASSERT_FALSE(path_.empty()) << error;
  PtyClient again(path_);
  again.Command("JHOST1");
  EXPECT_EQ(AnswerText(again.Host("t")), "40");
  EXPECT_EQ(AnswerText(again.Host("w")), "10");
  EXPECT_EQ(sim_->Received(), std::string("\x1bJHOST1\r\0\x01\0t\0\x01\0w", 16));
}

TEST_F(SimulatorTest, UnreadableStateFileRefusesToStart) {
  options_.statePath = (dir_ / "broken.vxg").string();
  std::ofstream(options_.statePath) << "\x04VER ";
  DavoziSimulator sim(options_);
  std::string error;
  EXPECT_EQ(sim.Start(&error), "");
  EXPECT_NE(error.find("broken.vxg"), std::string::npos) << error;
  // The bad file is left as it was.
  EXPECT_EQ(FileText(options_.statePath), "\x04VER ");
}

TEST_F(SimulatorTest, BadOptionsAreRefusedWithAReason) {
  const std::vector<std::function<void(SimulatorOptions&)>> bad = {
      [](SimulatorOptions& o) { o.baud = 9600; },
      [](SimulatorOptions& o) { o.firmware = "1.4bb"; },
      [](SimulatorOptions& o) { o.channels = 11; },
      [](SimulatorOptions& o) { o.connected = {0}; },
      [this](SimulatorOptions& o) { o.logPath = (dir_ / "no" / "such" / "log").string(); },
      [this](SimulatorOptions& o) { o.linkPath = (dir_ / "no" / "such" / "link").string(); },
  };
  for (size_t i = 0; i < bad.size(); ++i) {
    SimulatorOptions o;
    bad[i](o);
    DavoziSimulator sim(o);
    std::string error;
    EXPECT_EQ(sim.Start(&error), "") << i;
    EXPECT_FALSE(error.empty()) << i;
  }
}

TEST_F(SimulatorTest, LogHoldsEveryReceivedByteInOrder) {
  options_.logPath = (dir_ / "line.log").string();
  std::ofstream(options_.logPath) << "earlier|";
  auto line = Start();
  const std::string bytes = std::string("\x1b\r\x1bv\r\0\x01\x11\x13\xff", 10) + "\x1bJHOST1\r";
  line->Write(bytes);
  line->Host("JHOST0");
  ASSERT_TRUE(sim_->WaitForReceived(bytes.size() + 9, 2s));
  const std::string expected = bytes + std::string("\0\x01\x05JHOST0", 9);
  EXPECT_EQ(FileText(options_.logPath), "earlier|" + expected);
  EXPECT_EQ(sim_->Received(), expected);
}

TEST_F(SimulatorTest, SReplyAndQueryRepliesReplaceTheAnswers) {
  options_.sReply = "x* 3 *";
  options_.replies = {{"Y", " 3"}};
  auto line = Start();
  line->Command("S");
  EXPECT_EQ(line->Read(), "x* 3 *");
  line->Command("JHOST1");
  EXPECT_EQ(AnswerText(line->Host("Y")), " 3");
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

TEST_F(SimulatorTest, HangupAfterClosesTheTerminal) {
  options_.hangupAfter = 3;
  options_.linkPath = (dir_ / "ttyDAVOZI").string();
  auto line = Start();
  line->Write(kId);
  sim_->WaitUntilEnded();
  EXPECT_TRUE(sim_->HungUp());
  EXPECT_TRUE(sim_->Error().empty());
  // The program sees the line go dead: end of file or an error, no data.
  char byte;
  pollfd p{line->fd(), POLLIN, 0};
  ASSERT_EQ(::poll(&p, 1, 1000), 1);
  EXPECT_TRUE(p.revents & (POLLHUP | POLLERR));
  EXPECT_LE(::read(line->fd(), &byte, 1), 0);
  sim_->Stop();
  EXPECT_FALSE(std::filesystem::is_symlink(options_.linkPath));
}

TEST_F(SimulatorTest, ProgramMayCloseAndReopenTheLine) {
  options_.linkPath = (dir_ / "ttyDAVOZI").string();
  auto line = Start();
  EXPECT_EQ(std::filesystem::read_symlink(options_.linkPath), path_);
  line->Close();
  for (int i = 0; i < 3; ++i) {
    PtyClient again(options_.linkPath);
    ASSERT_TRUE(again.ok());
    again.Write(kId);
    EXPECT_NE(again.Read(40).find("DAVOZI"), std::string::npos);
  }
  EXPECT_TRUE(sim_->Running());
  sim_->Stop();
  EXPECT_FALSE(std::filesystem::exists(options_.linkPath));
  EXPECT_FALSE(std::filesystem::exists(path_));
}

TEST_F(SimulatorTest, ExclusiveUseLeftBehindIsClearedWhenTheHolderCloses) {
#ifndef TIOCGEXCL
  GTEST_SKIP() << "the kernel headers cannot query exclusive use";
#else
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
#endif
}

TEST_F(SimulatorTest, BiosUpdateOverTheLineKeepsTheImage) {
  options_.bios = true;
  options_.flashOutPath = (dir_ / "flash.bin").string();
  auto line = Start();
  line->Command("");
  EXPECT_NE(line->Read().find("cmd:"), std::string::npos);
  line->Write("UPDATE\r");
  line->Write("\x06");
  EXPECT_EQ(line->Read(6), std::string("\x1f\xa4\x00\x00\x21\x50", 6));
  line->Write(std::string("\x06\x00\x02", 3));
  EXPECT_EQ(line->Read(1), "\x06");
  std::string image;
  for (int i = 0; i < 512; ++i)
    image.push_back(static_cast<char>("\x1b\x11\x13\x06"[i % 4] + i / 4));
  line->Write(image.substr(0, 256));
  EXPECT_EQ(line->Read(1), "\x06");
  line->Write(image.substr(256));
  EXPECT_EQ(line->Read(1), "\x06");
  EXPECT_NE(line->Read().find("cmd:"), std::string::npos);
  EXPECT_EQ(FileText(options_.flashOutPath), image);
  EXPECT_EQ(sim_->CompletedUpdates(), 1);
  const std::vector<uint8_t> kept = sim_->FlashImage();
  EXPECT_EQ(std::string(kept.begin(), kept.end()), image);
}

TEST_F(SimulatorTest, PacedLineTakesItsTimeBothWays) {
  options_.pace = true;
  auto line = Start();
  // 3 bytes in, 40 out, at 10 bits per byte and 38400 Bd: at least 11 ms.
  uint64_t start = NowMs();
  line->Write(kId);
  const std::string id = line->Read(40);
  EXPECT_NE(id.find("DAVOZI"), std::string::npos);
  EXPECT_GE(NowMs() - start, (3 + 40) * 10 * 1000 / 38400);
}

TEST_F(SimulatorTest, PacedBlockIsAcknowledgedAfterItsTimeOnTheLine) {
  options_.pace = true;
  options_.bios = true;
  options_.baud = 115200;
  auto line = Start(B115200);
  line->Write(std::string("UPDATE\r\x06", 8));
  EXPECT_EQ(line->Read(6).size(), 6u);
  line->Write(std::string("\x06\x00\x01", 3));
  EXPECT_EQ(line->Read(1), "\x06");
  const uint64_t start = NowMs();
  line->Write(std::string(256, '\x55'));
  EXPECT_EQ(line->Read(1), "\x06");
  // 256 bytes plus the ACK at 115200 Bd take 22.3 ms.
  EXPECT_GE(NowMs() - start, 257u * 10 * 1000 / 115200);
}

}  // namespace
}  // namespace vextune::sim
