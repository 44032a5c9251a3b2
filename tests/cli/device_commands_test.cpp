// read, send, check and update with --json, "-", time-outs and progress,
// against the davozi-sim program.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "cli_runner.h"
#include "sim_process.h"
#include "update_test_doubles.h"

namespace vextune {
namespace {

using test::RunResult;

class DeviceCommands : public ::testing::Test {
 protected:
  RunResult Cli(const std::vector<std::string>& args, const std::string& input = "") const {
    return runner_.Run(VEXTUNE_CLI_PATH, args, input);
  }
  static nlohmann::json Json(const RunResult& r) {
    EXPECT_TRUE(nlohmann::json::accept(r.out)) << r.out << r.err;
    return nlohmann::json::accept(r.out) ? nlohmann::json::parse(r.out) : nlohmann::json{};
  }
  // The progress lines of a run's stderr (not a terminal: plain lines).
  static std::vector<std::string> ProgressLines(const std::string& err) {
    std::vector<std::string> lines;
    size_t start = 0;
    while ((start = err.find("progress: ", start)) != std::string::npos) {
      const size_t end = err.find('\n', start);
      lines.push_back(err.substr(start, end - start));
      start = end;
    }
    return lines;
  }

  test::ProgramRunner runner_;
};

TEST_F(DeviceCommands, ReadSendAndCheckReportOneJsonObjectAndProgressTo100Percent) {
  testing::SimProcess sim(DAVOZI_SIM_PATH, {});
  ASSERT_FALSE(sim.path.empty());

  RunResult r = Cli({"check", "--port", sim.path, "--json"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  nlohmann::json result = Json(r);
  EXPECT_EQ(result["result"], "ok");
  EXPECT_EQ(result["port"], sim.path);
  EXPECT_EQ(result["baudRate"], 38400);
  EXPECT_EQ(result["firmware"], "1.4b");
  EXPECT_EQ(result["channels"], 10);
  EXPECT_TRUE(result["backupFile"].is_null());

  // A configuration to send, from standard input.
  ASSERT_EQ(Cli({"defaults", "mine.vxg"}).exitCode, 0);
  ASSERT_EQ(Cli({"set", "mine.vxg", "T=42", "Callsign=DL1ABC"}).exitCode, 0);
  r = Cli({"send", "--port", sim.path, "--json", "-"}, runner_.Contents("mine.vxg"));
  EXPECT_EQ(r.exitCode, 0) << r.err;
  result = Json(r);
  EXPECT_EQ(result["result"], "ok");
  // The closing line names the backup of what the device held before.
  ASSERT_TRUE(result["backupFile"].is_string());
  EXPECT_EQ(result["message"],
            "Configuration sent and verified, stored in nonvolatile memory. The configuration it "
            "had before is kept in " +
                result["backupFile"].get<std::string>() + ".");
  // Every phase (the backup read, the send and the read back that checks it)
  // ends at 100 %.
  std::vector<std::string> progress = ProgressLines(r.err);
  EXPECT_EQ(std::count_if(progress.begin(), progress.end(),
                          [](const std::string& l) {
                            return l.starts_with("progress: 100%  step 58 of 58  ") &&
                                   l.ends_with(" elapsed");
                          }),
            3)
      << r.err;

  // Read into standard output: the bytes of the file that was sent.
  r = Cli({"read", "--port", sim.path, "-o", "-"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, runner_.Contents("mine.vxg"));
  progress = ProgressLines(r.err);
  ASSERT_FALSE(progress.empty());
  EXPECT_TRUE(progress.back().starts_with("progress: 100%  step 58 of 58  ")) << r.err;
  EXPECT_NE(r.err.find("Written to standard output."), std::string::npos);

  r = Cli({"read", "--port", sim.path, "-o", "back.vxg", "--json"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  result = Json(r);
  EXPECT_EQ(result["result"], "ok");
  EXPECT_EQ(result["message"], "Configuration loaded from DAV-OZI. Written to back.vxg.");
  EXPECT_TRUE(result["backupFile"].is_string());
  EXPECT_EQ(runner_.Contents("back.vxg"), runner_.Contents("mine.vxg"));

  // Standard output cannot take both; refused before the device is touched.
  r = Cli({"read", "--port", sim.path, "-o", "-", "--json"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err,
            "-o - and --json would both write to standard output; give a file name with -o.\n");
}

TEST_F(DeviceCommands, DryRunDiffAndSendWriteOnlyWhatDiffers) {
  const std::string log = runner_.Path("sim.log");
  testing::SimProcess sim(DAVOZI_SIM_PATH, {"--log", log});
  ASSERT_FALSE(sim.path.empty());
  // What the device received during one command.
  size_t seen = 0;
  auto received = [&] {
    const std::string all = runner_.Contents("sim.log");
    const std::string since = all.substr(std::min(seen, all.size()));
    seen = all.size();
    return since;
  };
  ASSERT_EQ(Cli({"read", "--port", sim.path, "-o", "device.vxg"}).exitCode, 0);
  const std::string checkAndRead = received();
  ASSERT_NE(checkAndRead.find("JHOST1"), std::string::npos);
  ASSERT_EQ(Cli({"defaults", "mine.vxg"}).exitCode, 0);
  ASSERT_EQ(Cli({"set", "mine.vxg", "T=40", "Callsign=DL1ABC"}).exitCode, 0);

  // The dry run does what a read does on the line, and nothing more.
  RunResult r = Cli({"send", "--dry-run", "--json", "--port", sim.path, "mine.vxg"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(received(), checkAndRead);
  nlohmann::json result = Json(r);
  EXPECT_EQ(result["result"], "ok");
  EXPECT_TRUE(result["backupFile"].is_string());  // the read is kept, as every complete read
  nlohmann::json changes = nlohmann::json::array();
  changes.push_back({{"member", "m_Callsign"}, {"command", "I"}, {"label", "Callsign (I)"},
                     {"from", "\"DAVOZI\""}, {"to", "\"DL1ABC\""}, {"members", {"m_Callsign"}}});
  changes.push_back({{"member", "m_TxDelay"}, {"command", "T"}, {"label", "TX-Delay (T)"},
                     {"from", "25 x 10 ms"}, {"to", "40 x 10 ms"}, {"members", {"m_TxDelay"}}});
  EXPECT_EQ(result["changes"], changes);
  std::vector<std::string> lines;
  for (const auto& l : result["lines"]) lines.push_back(l.get<std::string>());
  EXPECT_EQ(lines, (std::vector<std::string>{"\x1bX 0\r", "\x1b%A 0\r", "\x1b@V 0\r",
                                             "\x1bI DAVOZI\r", "\x1b%AM NONE\r", "\x1bt 40\r",
                                             "\x1bx 1\r", "\x1b%A 0\r", "\x1b@V 0\r",
                                             "\x1bi DL1ABC\r", "\x1b%AM NONE\r", "\x1b%ZS\r"}));
  r = Cli({"send", "--dry-run", "--full", "--no-store", "--port", sim.path, "mine.vxg"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(received(), checkAndRead);
  EXPECT_NE(r.out.find("  TX-Delay (T): 25 x 10 ms \u2192 40 x 10 ms\n"), std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("\n  n 10\n"), std::string::npos) << r.out;  // the whole script
  EXPECT_EQ(r.out.find("%ZS"), std::string::npos) << r.out;

  // diff with the port: the device in place of the first file.
  r = Cli({"diff", "--port", sim.path, "mine.vxg"});
  EXPECT_EQ(r.exitCode, 1) << r.err;
  EXPECT_NE(r.out.find("m_TxDelay           T    25       | 40\n"), std::string::npos) << r.out;
  EXPECT_EQ(received(), checkAndRead);
  r = Cli({"diff", "--json", "--port", sim.path, "device.vxg"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(Json(r)["result"], "equal");
  EXPECT_EQ(Json(r)["a"], "DAV-OZI on " + sim.path);
  received();
  EXPECT_EQ(Cli({"diff", "--port", sim.path, "mine.vxg", "device.vxg"}).exitCode, 2);
  EXPECT_EQ(Cli({"diff", "mine.vxg"}).exitCode, 2);

  // The send writes the two changes (and the frame) only, then verifies.
  r = Cli({"send", "--port", sim.path, "mine.vxg"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  std::string sent = received();
  EXPECT_NE(sent.find("\x1bt 40\r"), std::string::npos);
  EXPECT_NE(sent.find("\x1bi DL1ABC\r"), std::string::npos);
  EXPECT_EQ(sent.find("\x1bn 10\r"), std::string::npos);
  EXPECT_NE(r.err.find("The file changes 2 parameters of the DAV-OZI:\n"), std::string::npos);
  EXPECT_EQ(Cli({"diff", "--port", sim.path, "mine.vxg"}).exitCode, 0);
  const std::string readAfterSend = received();  // it gives the device its new callsign back

  // Sent again: nothing to change, nothing written; the store only when asked.
  r = Cli({"send", "--json", "--port", sim.path, "mine.vxg"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(received(), readAfterSend);
  EXPECT_TRUE(Json(r)["changes"].empty());
  EXPECT_TRUE(Json(r)["message"].get<std::string>().starts_with(
      "Nothing to change: the DAV-OZI already holds this configuration. Nothing was written; "
      "give --store"));
  r = Cli({"send", "--store", "--port", sim.path, "mine.vxg"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(received(), readAfterSend + "\x1b%ZS\r");
  r = Cli({"send", "--full", "--no-store", "--port", sim.path, "mine.vxg"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  sent = received();
  EXPECT_NE(sent.find("\x1bn 10\r"), std::string::npos);
  EXPECT_EQ(sent.find("%ZS"), std::string::npos);
}

TEST_F(DeviceCommands, TimeOutsNameThePortAndTheBaudRate) {
  // Locks up after the check, in the middle of the read.
  testing::SimProcess midway(DAVOZI_SIM_PATH, {"--stop-after", "400"});
  ASSERT_FALSE(midway.path.empty());
  RunResult r = Cli({"read", "--port", midway.path, "-o", "x.vxg", "--json"});
  EXPECT_EQ(r.exitCode, 1);
  nlohmann::json result = Json(r);
  EXPECT_EQ(result["result"], "failed");
  const std::string line = "No answer from " + midway.path + " at 38400 Bd.";
  EXPECT_EQ(result["message"], "DAV-OZI is not responding.\n" + line);
  EXPECT_EQ(result["baudRate"], 38400);
  EXPECT_NE(r.err.find("DAV-OZI is not responding.\n" + line + "\n"), std::string::npos) << r.err;
  // The read did not complete: its bar stops where it got to.
  const std::vector<std::string> progress = ProgressLines(r.err);
  for (const std::string& l : progress) EXPECT_FALSE(l.starts_with("progress: 100%")) << l;
  // diff --port reads the same way and says the same, compares nothing.
  testing::SimProcess midwayDiff(DAVOZI_SIM_PATH, {"--stop-after", "400"});
  ASSERT_FALSE(midwayDiff.path.empty());
  ASSERT_EQ(Cli({"defaults", "d.vxg"}).exitCode, 0);
  r = Cli({"diff", "--json", "--port", midwayDiff.path, "d.vxg"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(Json(r)["result"], "failed");
  EXPECT_EQ(Json(r)["message"],
            "DAV-OZI is not responding.\nNo answer from " + midwayDiff.path + " at 38400 Bd.");
  EXPECT_TRUE(Json(r)["differences"].empty());

  // Never answers: the check tries both rates.
  testing::SimProcess silent(DAVOZI_SIM_PATH, {"--stop-after", "1"});
  ASSERT_FALSE(silent.path.empty());
  r = Cli({"check", "--port", silent.path, "--json"});
  EXPECT_EQ(r.exitCode, 1);
  result = Json(r);
  EXPECT_EQ(result["message"],
            "Communication Error!\nDAV-OZI possibly switched off.\nNo answer from " + silent.path +
                " at 38400 or 115200 Bd.");
  EXPECT_TRUE(result["baudRate"].is_null());
  EXPECT_TRUE(result["firmware"].is_null());
}

// The bytes of the trace lines that start with `arrow`, in order.
std::string TracedBytes(const std::string& trace, const std::string& arrow) {
  std::string bytes;
  std::istringstream lines(trace);
  for (std::string line; std::getline(lines, line);) {
    const size_t at = line.find(' ' + arrow + ' ');
    const size_t text = line.find("  |");  // none in "<- nothing  (time-out: ...)"
    if (line.starts_with("#") || at == std::string::npos || text == std::string::npos) continue;
    std::istringstream hex(line.substr(at + 4, text - at - 4));
    for (std::string pair; hex >> pair;) bytes += static_cast<char>(std::stoi(pair, nullptr, 16));
  }
  return bytes;
}

TEST_F(DeviceCommands, TraceRecordsEveryByteWrittenAndReadWithTheBaudRateOfEachOpen) {
  testing::SimProcess sim(DAVOZI_SIM_PATH, {"--log", runner_.Path("sim.log")});
  ASSERT_FALSE(sim.path.empty());
  RunResult r =
      Cli({"read", "--port", sim.path, "--quiet", "--trace", "read.trace", "-o", "x.vxg"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::string trace = runner_.Contents("read.trace");
  EXPECT_TRUE(trace.starts_with("# serial trace: ")) << trace;
  EXPECT_NE(trace.find(" open " + sim.path + " at 38400 Bd\n"), std::string::npos) << trace;
  EXPECT_NE(trace.find(" close " + sim.path + "\n"), std::string::npos);
  // Every byte the device received, and what it answered.
  const std::string written = TracedBytes(trace, "->");
  EXPECT_EQ(written, runner_.Contents("sim.log"));
  EXPECT_NE(TracedBytes(trace, "<-").find("DAVOZI"), std::string::npos);

  // A device that never answers: both rates, each open in the trace.
  testing::SimProcess silent(DAVOZI_SIM_PATH, {"--stop-after", "1"});
  ASSERT_FALSE(silent.path.empty());
  r = Cli({"check", "--port", silent.path, "--trace", "check.trace"});
  EXPECT_EQ(r.exitCode, 1);
  const std::string checked = runner_.Contents("check.trace");
  const size_t first = checked.find(" open " + silent.path + " at 38400 Bd\n");
  const size_t second = checked.find(" open " + silent.path + " at 115200 Bd\n");
  EXPECT_NE(first, std::string::npos) << checked;
  EXPECT_NE(second, std::string::npos) << checked;
  EXPECT_LT(first, second);

  // A trace that cannot be written is refused before the device is touched.
  r = Cli({"check", "--port", silent.path, "--trace", runner_.Path("no/such/folder/t")});
  EXPECT_NE(r.exitCode, 0);
  EXPECT_NE(r.err.find("--trace"), std::string::npos) << r.err;
}

TEST_F(DeviceCommands, UpdateReportsItsOutcomeAndNoProgressWhenItNeverStarted) {
  runner_.Put("firmware.amb", testing::MakeImage(3000));
  {
    testing::SimProcess normal(DAVOZI_SIM_PATH, {});
    ASSERT_FALSE(normal.path.empty());
    const RunResult r =
        Cli({"update", "--no-wait", "--port", normal.path, "--json", "firmware.amb"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.find("progress"), std::string::npos) << r.err;
    const nlohmann::json result = Json(r);
    EXPECT_EQ(result["result"], "failed");
    EXPECT_EQ(result["message"], "DAV-OZI NOT in BIOS mode.\nSwitch BIOS ON and restart DAV-OZI.");
  }
  testing::SimProcess bios(DAVOZI_SIM_PATH, {"--bios"});
  ASSERT_FALSE(bios.path.empty());
  const RunResult r =
      Cli({"update", "--no-wait", "--port", bios.path, "--yes", "--json", "firmware.amb"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  const nlohmann::json result = Json(r);
  EXPECT_EQ(result["result"], "ok");
  EXPECT_TRUE(result["message"].get<std::string>().starts_with("Update transfer complete."));
  EXPECT_EQ(result["port"], bios.path);
  const std::vector<std::string> progress = ProgressLines(r.err);
  ASSERT_FALSE(progress.empty());
  EXPECT_TRUE(progress.back().starts_with("progress: 100%  12/12 blocks  ")) << r.err;
}

TEST_F(DeviceCommands, DoctorFindsTheSimulatorUsable) {
  testing::SimProcess sim(DAVOZI_SIM_PATH, {});
  ASSERT_FALSE(sim.path.empty());
  const RunResult r = Cli({"doctor", "--port", sim.path});
  EXPECT_EQ(r.exitCode, 0) << r.out;
  EXPECT_NE(r.out.find("ok    " + sim.path + " is a pseudo-terminal served by davozi-sim"),
            std::string::npos)
      << r.out;
  EXPECT_NE(
      r.out.find("ok    The DAV-OZI answers on " + sim.path + " at 38400 Bd, firmware V.1.4b."),
      std::string::npos)
      << r.out;
}

}  // namespace
}  // namespace vextune
