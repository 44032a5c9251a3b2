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
    const RunResult r = Cli({"update", "--port", normal.path, "--json", "firmware.amb"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.find("progress"), std::string::npos) << r.err;
    const nlohmann::json result = Json(r);
    EXPECT_EQ(result["result"], "failed");
    EXPECT_EQ(result["message"], "DAV-OZI NOT in BIOS mode.\nSwitch BIOS ON and restart DAV-OZI.");
  }
  testing::SimProcess bios(DAVOZI_SIM_PATH, {"--bios"});
  ASSERT_FALSE(bios.path.empty());
  const RunResult r = Cli({"update", "--port", bios.path, "--yes", "--json", "firmware.amb"});
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
