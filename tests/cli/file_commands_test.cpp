#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "config/config_file.h"
#include "config_file_layout.h"
#include "temp_dir_fixture.h"

namespace vextune {
namespace {

namespace fs = std::filesystem;

struct CliResult {
  int exitCode = -1;
  std::string out, err;
};

class CliFileCommands : public testing::TempDirTest {
 protected:
  // Runs vextune-cli (in the test folder when `inDir`) with nothing on its
  // input and its output in files.
  // A command still running after `limitSeconds` is ended (exit status 124).
  CliResult Run(const std::vector<std::string>& args, bool inDir = false,
                int limitSeconds = 0) const {
    const auto quote = [](const std::string& text) {
      std::string quoted = "'";
      for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
      return quoted + "'";
    };
    std::string command =
        (inDir ? "cd " + quote(dir_) + " && " : "") +
        (limitSeconds > 0 ? "timeout " + std::to_string(limitSeconds) + " " : "") +
        VEXTUNE_CLI_PATH;
    for (const std::string& a : args) command += " " + quote(a);
    command += " </dev/null >" + quote(Path(".out")) + " 2>" + quote(Path(".err"));
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Contents(".out"), Contents(".err")};
  }

  std::string Contents(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  void Put(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }
  static std::string Bytes(const CConfigData& d) {
    std::ostringstream out;
    WriteConfigFile(d, out);
    return out.str();
  }
  CConfigData Load(const std::string& name) const {
    CConfigData d;
    std::string error;
    EXPECT_TRUE(LoadConfigFile(Path(name), d, nullptr, &error)) << error;
    return d;
  }
  nlohmann::json ShowJson(const std::string& name) const {
    const auto r = Run({"show", Path(name), "--json"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return nlohmann::json::parse(r.out);
  }
};

TEST_F(CliFileCommands, DefaultsWritesThe208ByteDefaultFile) {
  const auto r = Run({"defaults", "x.vxg"}, true);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(Contents("x.vxg").size(), 208u);
  EXPECT_EQ(Contents("x.vxg"), Bytes(CConfigData{}));
}

TEST_F(CliFileCommands, ShowListsAllParametersInRecordOrder) {
  CConfigData d;
  CConfigData::SetNumber(d.m_TxDelay, 30);
  CConfigData::SetText(d.m_AprsComment, "60\xB0 \"north\"");
  Put("a.vxg", Bytes(d));

  const auto plain = Run({"show", Path("a.vxg")});
  ASSERT_EQ(plain.exitCode, 0) << plain.err;
  // A heading with the version, then a line per parameter in the order of --json.
  EXPECT_NE(plain.out.substr(0, plain.out.find('\n')).find("format version 65587"),
            std::string::npos);
  EXPECT_EQ(std::count(plain.out.begin(), plain.out.end(), '\n'), 78);
  EXPECT_NE(plain.out.find("m_TxDelay           T    30\n"), std::string::npos);
  EXPECT_NE(plain.out.find("\"60\xC2\xB0 \\\"north\\\"\""), std::string::npos) << plain.out;

  const nlohmann::json doc = ShowJson("a.vxg");
  EXPECT_EQ(doc["formatVersion"], 65587);
  ASSERT_EQ(doc["parameters"].size(), 77u);
  for (size_t i = 0; i < kParamCount; ++i) {
    const ParamInfo& info = CConfigData::Params()[i];
    const nlohmann::json& p = doc["parameters"][i];
    EXPECT_EQ(p["member"], info.memberName);
    EXPECT_EQ(p["command"], info.command);
    EXPECT_EQ(p["value"].is_null(), info.IsText()) << info.memberName;
  }
  EXPECT_EQ(doc["parameters"][69]["value"], 30);
  EXPECT_EQ(doc["parameters"][69]["text"], "30");
  EXPECT_EQ(doc["parameters"][10]["text"], "60\xC2\xB0 \"north\"");
}

TEST_F(CliFileCommands, ShowReadsOldFormatVersionsWithTheirUpgrades) {
  for (int32_t version : {0, 65550, 65587}) {
    Put("old.vxn", testing::BuildConfigFile(
                       version, CConfigData{},
                       {{"m_AprsDestSsid", "03"}, {"m_NmeaOutOld", "2"}, {"m_NmeaOut", "4"}}));
    const nlohmann::json doc = ShowJson("old.vxn");
    EXPECT_EQ(doc["formatVersion"], version);
    const nlohmann::json& params = doc["parameters"];
    EXPECT_EQ(params[22]["text"], version < 65549 ? "APRS-3" : "APRS") << version;
    EXPECT_EQ(params[23]["text"], "00");
    EXPECT_EQ(params[20]["value"], version < 65550 ? 0 : version < 65560 ? 2 : 4) << version;
  }
}

TEST_F(CliFileCommands, ShowOfAShortFileFailsWithNothingOnStdout) {
  Put("short.vxg", Bytes(CConfigData{}).substr(0, 150));
  for (bool json : {false, true}) {
    std::vector<std::string> args = {"show", Path("short.vxg")};
    if (json) args.push_back("--json");
    const auto r = Run(args);
    EXPECT_EQ(r.exitCode, 1) << json << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Unexpected end of file in " + Path("short.vxg") + ".\n");
  }
}

TEST_F(CliFileCommands, ShowKeepsControlCharactersOutOfTheTerminal) {
  // The reader refuses a text with a 7-bit control character (its default
  // comes back); a byte that decodes to a C1 control is an ordinary 8-bit
  // character of the file, so only the display escapes it.
  CConfigData d;
  d.m_AprsComment.text = "a\x1B[2Jb\nc";  // past the setters, as a hostile file would
  CConfigData::SetText(d.m_AprsStatusText, "b\x9D[2J");
  Put("esc.vxg", Bytes(d));
  const auto r = Run({"show", Path("esc.vxg")});
  ASSERT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out.find('\x1B'), std::string::npos);
  EXPECT_EQ(r.out.find("[2Jb"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\"b\\x9D[2J\""), std::string::npos) << r.out;
  const auto json = ShowJson("esc.vxg")["parameters"];
  EXPECT_EQ(json[10]["text"], "");
  EXPECT_EQ(json[40]["text"], "b\xC2\x9D[2J");
}

TEST_F(CliFileCommands, ConvertWritesTheCurrentFormatAndNeverTouchesTheOldFile) {
  const std::string old = testing::BuildConfigFile(
      0, CConfigData{}, {{"m_AprsVia1", "relay"}, {"m_AprsVia1Ssid", "05"}});
  Put("old.vxr", old);
  const auto r = Run({"convert", "old.vxr", "new.vxg"}, true);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(Contents("old.vxr"), old);
  EXPECT_EQ(Contents("new.vxg").substr(0, 9), std::string("\x04VER \x33\x00\x01\x00", 9));
  EXPECT_EQ(Load("new.vxg").m_AprsVia1.text, "RELAY-5");

  const auto same = Run({"convert", "old.vxr", "./old.vxr"}, true);
  EXPECT_EQ(same.exitCode, 1);
  EXPECT_NE(same.err.find("same file"), std::string::npos) << same.err;
  EXPECT_EQ(Contents("old.vxr"), old);

  Put("short.vxn", old.substr(0, 20));
  EXPECT_EQ(Run({"convert", "short.vxn", "out.vxg"}, true).exitCode, 1);
  EXPECT_FALSE(fs::exists(dir_ / "out.vxg"));
}

TEST_F(CliFileCommands, SetAppliesAcceptedValuesAndKeepsPairsTogether) {
  Put("a.vxg", Bytes(CConfigData{}));
  const auto r = Run({"set", Path("a.vxg"), "TxDelay=30", "m_Callsign=DL1ABC-7",
                      "AprsComment=Gr\xC3\xBC\xC3\x9F 60\xC2\xB0", "PrMode=9600", "NmeaOut=4",
                      "aprsinterval=0", "ConnectText="});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const CConfigData d = Load("a.vxg");
  EXPECT_EQ(d.m_TxDelay.value, 30);
  EXPECT_EQ(d.m_Callsign.text, "DL1ABC-7");
  EXPECT_EQ(d.m_AprsComment.text, "Gr\xFC\xDF 60\xB0");
  EXPECT_EQ(d.m_PrMode.text, "9600");
  EXPECT_EQ(d.m_PrModeIndex.value, 4);
  EXPECT_EQ(d.m_NmeaOut.value, 4);
  EXPECT_EQ(d.m_NmeaOutOld.value, 3);
  EXPECT_EQ(d.m_AprsInterval.value, 0);

  ASSERT_EQ(Run({"set", Path("a.vxg"), "PrModeIndex=0"}).exitCode, 0);
  EXPECT_EQ(Load("a.vxg").m_PrMode.text, "300");
}

TEST_F(CliFileCommands, SetRefusesBadValuesAndLeavesTheFileByteForByte) {
  CConfigData d;
  CConfigData::SetNumber(d.m_TxDelay, 40);
  Put("a.vxg", Bytes(d));
  const std::string before = Contents("a.vxg");
  const std::pair<std::string, std::string> cases[] = {
      // assignment, in the message
      {"TxDelay=200", "m_TxDelay (T): \"200\" refused; it takes 0 to 127"},
      {"TxDelay=12abc", "0 to 127"},
      {"AprsInterval=5", "0, or 10 to 7200"},
      {"Ptt=2", "0 or 1"},
      {"Callsign=KLMNOPQ", "callsign longer than 6 characters"},
      {"AprsVia1=A-B-C", "more than one \"-\""},
      {"AprsPosition=1234.5N 01234.56E", "1234.56N 01234.56E"},
      {"PrMode=2400", "one of 300, R300"},
      {"AprsComment=" + std::string(81, 'c'), "at most 80 characters"},
      {"AprsComment=\xE2\x86\x92", "Windows-1252"},
      {"AprsDestSsid=05", "inside the path callsigns"},
      {"NoSuchThing=1", "No parameter is named \"NoSuchThing\""},
      // Each would become a device command of its own when sent.
      {"Callsign=A\r\x1bT 9", "\"A\\x0D\\x1BT 9\" refused (holds a control character)"},
      {"AprsComment=hi\r\x1b%AT 3600", "holds a control character"},
      {"ConnectText=\xC2\x9B"
       "2J",
       "\"\\x9B2J\" refused"},
      {"No\x1bThing=1", "No parameter is named \"No\\x1BThing\""},
  };
  for (const auto& [assignment, mentions] : cases) {
    // A good value next to the bad one must not get in either.
    const auto r = Run({"set", Path("a.vxg"), "Echo=0", assignment});
    EXPECT_EQ(r.exitCode, 1) << assignment;
    EXPECT_NE(r.err.find(mentions), std::string::npos) << assignment << "\n" << r.err;
    EXPECT_NE(r.err.find("was not changed"), std::string::npos);
    EXPECT_EQ(Contents("a.vxg"), before) << assignment;
    EXPECT_EQ(r.err.find('\x1b'), std::string::npos) << "nothing steers the terminal";
  }
  EXPECT_EQ(Run({"set", Path("a.vxg"), "TxDelay"}).exitCode, 2);
  EXPECT_EQ(Contents("a.vxg"), before);
}

TEST_F(CliFileCommands, SetRefusesWhatItCouldNotWriteBackBeforeReadingIt) {
  // A named pipe without a writer would block the read for ever.
  ASSERT_EQ(::mkfifo(Path("pipe.vxg").c_str(), 0644), 0);
  fs::create_symlink("pipe.vxg", Path("to-pipe.vxg"));
  for (const char* name : {"pipe.vxg", "to-pipe.vxg"}) {
    const auto r = Run({"set", Path(name), "TxDelay=30"}, false, 20);
    EXPECT_EQ(r.exitCode, 1) << name;
    EXPECT_EQ(r.err, "Cannot write " + Path(name) + ": it is a named pipe, not a regular file.\n");
    EXPECT_EQ(fs::symlink_status(Path(name)).type(),
              name[0] == 'p' ? fs::file_type::fifo : fs::file_type::symlink);
  }
}

TEST_F(CliFileCommands, ShowOfAnEndlessStreamStopsAtTheLengthLimit) {
  // A callsign that claims 4 GiB - 1 bytes, followed by zeros from a pipe.
  const std::string command =
      "{ printf '\\004VER \\063\\000\\001\\000\\001\\001\\377\\377\\377\\377\\377\\377\\377'; "
      "head -c 8000000 /dev/zero; } | " VEXTUNE_CLI_PATH " show /dev/stdin >" +
      Path(".out") + " 2>" + Path(".err");
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_EQ(Contents(".out"), "");
  EXPECT_EQ(Contents(".err"),
            "Cannot read /dev/stdin: it holds a text longer than 65536 bytes, which no "
            "configuration file does.\n");
}

TEST_F(CliFileCommands, DiffListsWhatDiffersAndSaysSoInItsExitStatus) {
  CConfigData a;
  Put("a.vxg", Bytes(a));
  CConfigData::SetNumber(a.m_NmeaOutOld, 2);  // never counts
  Put("same.vxg", Bytes(a));
  CConfigData::SetNumber(a.m_SyncClock, 1);
  CConfigData::SetNumber(a.m_TxDelay, 31);
  CConfigData::SetText(a.m_AprsComment, "new");
  Put("b.vxg", Bytes(a));

  const auto equal = Run({"diff", Path("a.vxg"), Path("same.vxg")});
  EXPECT_EQ(equal.exitCode, 0) << equal.err;
  EXPECT_EQ(equal.out, "");
  const auto differ = Run({"diff", Path("a.vxg"), Path("b.vxg")});
  EXPECT_EQ(differ.exitCode, 1);
  EXPECT_EQ(differ.out,
            "m_AprsComment       %AC  \"\"       | \"new\"\n"
            "m_SyncClock         K    0        | 1\n"
            "m_TxDelay           T    25       | 31\n");
  EXPECT_EQ(Run({"diff", Path("a.vxg"), Path("none.vxg")}).exitCode, 1);
}

TEST_F(CliFileCommands, EveryReaderRefusesWhatIsNoConfigurationAndTouchesNothing) {
  const std::string text =
      "# Notes\n\nVextune configures the DAV-OZI; these lines are no configuration.\n";
  const std::string odd = Path("odd.vxg");
  // A text ends before the items it seems to announce; a configuration with
  // bytes after its last item is none either.
  const struct {
    std::string bytes;
    std::string error;
  } files[] = {
      {text + text + text, "Unexpected end of file in " + odd + "."},
      {Bytes(CConfigData{}) + "\x01", odd + " is not a configuration file"},
  };
  for (const auto& [bytes, error] : files) {
    Put("odd.vxg", bytes);
    Put("good.vxg", Bytes(CConfigData{}));
    const std::vector<std::vector<std::string>> commands = {
        {"show", odd},
        {"show", "--json", odd},
        {"diff", Path("good.vxg"), odd},
        {"convert", odd, Path("new.vxg")},
        {"set", odd, "TxDelay=30"},
        // The file is read before the port is looked at.
        {"send", "--port", Path("no-such-port"), odd},
    };
    for (const auto& command : commands) {
      SCOPED_TRACE(command[0] + " of " + std::to_string(bytes.size()) + " bytes");
      const CliResult r = Run(command);
      EXPECT_EQ(r.exitCode, 1) << r.err;
      EXPECT_EQ(r.out.find("m_TxDelay"), std::string::npos);  // no listing
      EXPECT_NE(r.err.find(error), std::string::npos) << r.err;
      EXPECT_EQ(Contents("odd.vxg"), bytes);
      EXPECT_FALSE(fs::exists(Path("new.vxg")));
    }
  }
}

TEST_F(CliFileCommands, RefusedValuesAreWarnedAboutParameterByParameter) {
  const std::string bytes = testing::BuildConfigFile(
      65587, CConfigData{}, {{"m_TxDelay", "300"}, {"m_AprsComment", "a\x07"}});
  const std::string tx = ": m_TxDelay (T): the file holds 300, which is refused; it keeps 25.\n";
  const std::string comment =
      ": m_AprsComment (%AC): the file holds \"a\\x07\", which is refused; it keeps \"\".\n";
  const std::vector<std::vector<std::string>> commands = {
      {"show", Path("w.vxg")},
      {"convert", Path("w.vxg"), Path("out.vxg")},
      {"set", Path("w.vxg"), "Echo=0"},
      {"send", "--port", Path("no-such-port"), Path("w.vxg")},
  };
  for (const auto& command : commands) {
    SCOPED_TRACE(command[0]);
    Put("w.vxg", bytes);
    const CliResult r = Run(command);
    const std::string label = "Warning: " + Path("w.vxg");
    EXPECT_NE(r.err.find(label + tx + label + comment), std::string::npos) << r.err;
    // Only send fails, for want of a device; the others do their work.
    EXPECT_EQ(r.exitCode, command[0] == "send" ? 1 : 0) << r.err;
  }
  // What was written is what the parameters kept: no warning the next time.
  EXPECT_EQ(Run({"show", Path("out.vxg")}).err, "");
  EXPECT_EQ(Load("w.vxg").m_TxDelay.value, 25);  // set wrote the file anew

  Put("w.vxg", bytes);
  const nlohmann::json doc = ShowJson("w.vxg");
  ASSERT_EQ(doc["refusedValues"].size(), 2u);
  EXPECT_EQ(doc["refusedValues"][0]["member"], "m_TxDelay");
  EXPECT_EQ(doc["refusedValues"][0]["command"], "T");
  EXPECT_EQ(doc["refusedValues"][0]["fileText"], "300");
  EXPECT_EQ(doc["refusedValues"][0]["keptText"], "25");
  EXPECT_EQ(doc["refusedValues"][1]["fileText"], "a\x07");
  EXPECT_EQ(ShowJson("out.vxg")["refusedValues"].size(), 0u);
}

TEST_F(CliFileCommands, HelpAndUsageErrors) {
  const auto help = Run({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  for (const char* command : {"show", "defaults", "convert", "set", "diff"}) {
    EXPECT_NE(help.out.find(command), std::string::npos) << command;
    const auto own = Run({command, "--help"});
    EXPECT_EQ(own.exitCode, 0) << command;
    EXPECT_NE(own.out.find(command), std::string::npos) << command;
  }
  EXPECT_EQ(Run({}).exitCode, 2);
  EXPECT_EQ(Run({"show"}).exitCode, 2);
  EXPECT_EQ(Run({"convert", "only-one"}).exitCode, 2);
  EXPECT_EQ(Run({"show", "a", "--bogus"}).exitCode, 2);
}

}  // namespace
}  // namespace vextune
