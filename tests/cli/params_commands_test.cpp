// params, the names set takes, the symbol notation and show --long, run
// through the built vextune-cli.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "cli_runner.h"

namespace vextune {
namespace {

using test::RunResult;

class ParamsCommands : public ::testing::Test {
 protected:
  RunResult Cli(const std::vector<std::string>& args, const std::string& input = "") const {
    return runner_.Run(VEXTUNE_CLI_PATH, args, input);
  }
  // A fresh default file named `name`.
  void Defaults(const std::string& name) const { ASSERT_EQ(Cli({"defaults", name}).exitCode, 0); }
  // member -> value (numbers) or text (texts) of a file, through show --json.
  std::map<std::string, nlohmann::json> Values(const std::string& name) const {
    const RunResult r = Cli({"show", name, "--json"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    std::map<std::string, nlohmann::json> values;
    const nlohmann::json doc = nlohmann::json::parse(r.out);
    for (const auto& p : doc["parameters"]) {
      values[p["member"].get<std::string>()] = p["value"].is_null() ? p["text"] : p["value"];
    }
    return values;
  }
  static std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  test::ProgramRunner runner_;
};

TEST_F(ParamsCommands, EveryParameterHasADescriptionARuleAndADefaultThatSetTakes) {
  const RunResult r = Cli({"params", "--json"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const nlohmann::json params = nlohmann::json::parse(r.out);
  ASSERT_EQ(params.size(), 77u);

  Defaults("d.vxg");
  std::vector<std::string> setDefaults = {"set", "d.vxg"};
  for (const auto& p : params) {
    const std::string name = p["name"];
    EXPECT_EQ(p["member"], "m_" + name);
    EXPECT_GT(p["description"].get<std::string>().size(), 5u) << name;
    if (p["kind"] == "text") {
      EXPECT_FALSE(p["rule"].get<std::string>().empty()) << name;
      // The path SSIDs are set with their callsigns, not on their own.
      if (name.ends_with("Ssid")) {
        const RunResult ssid = Cli({"set", "d.vxg", name + "=" + p["default"].get<std::string>()});
        EXPECT_EQ(ssid.exitCode, 1) << name;
        EXPECT_NE(ssid.err.find("set the callsign instead"), std::string::npos) << ssid.err;
        continue;
      }
      setDefaults.push_back(name + "=" + p["default"].get<std::string>());
    } else {
      EXPECT_LE(p["min"].get<int>(), p["max"].get<int>()) << name;
      EXPECT_FALSE(p["allowed"].get<std::string>().empty()) << name;
      setDefaults.push_back(name + "=" + std::to_string(p["default"].get<int>()));
    }
  }
  // Every default, given back to set in one go, is taken.
  const RunResult set = Cli(setDefaults);
  EXPECT_EQ(set.exitCode, 0) << set.err;
  EXPECT_EQ(setDefaults.size(), 2u + 77u - 9u);
}

TEST_F(ParamsCommands, AnswersWhatOneParameterMayBe) {
  RunResult r = Cli({"params", "TxDelay"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out,
            "m_TxDelay           T    0 to 127 (x 10 ms); default 25\n"
            "                         Delay between keying the transmitter and sending\n");

  r = Cli({"params", "%b"});  // a command of two parameters lists both
  const std::vector<std::string> lines = Lines(r.out);
  ASSERT_EQ(lines.size(), 6u) << r.out;
  EXPECT_EQ(lines[0], "m_PrModeIndex       %B   0 to 5; default 3");
  // The meanings, broken between entries to stay within 100 columns.
  EXPECT_EQ(
      lines[2],
      "                         0 = 300 Bd; 1 = R 300 Bd; 2 = R 600 Bd; 3 = 1200 Bd; 4 = 9600 "
      "Bd;");
  EXPECT_EQ(lines[3], "                         5 = 19200 Bd");
  EXPECT_EQ(lines[4],
            "m_PrMode            %B   one of 300, R300, R600, 1200, 9600, 19200; default \"1200\"");

  r = Cli({"params", "AprsSymbol"});  // with the symbols
  EXPECT_NE(r.out.find(" 29  /> Car                \\> No. Car\n"), std::string::npos) << r.out;

  r = Cli({"params", "TxDelya", "T"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "No parameter is named \"TxDelya\". Did you mean TxDelay?\n");
}

TEST_F(ParamsCommands, SetTakesMemberShortNameAndCommandInAnyCase) {
  Defaults("c.vxg");
  const RunResult r =
      Cli({"set", "c.vxg", "T=40", "%at=600", "m_Frack=700", "slottime=20", "@t3=100", "%AN=4"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  auto values = Values("c.vxg");
  EXPECT_EQ(values["m_TxDelay"], 40);
  EXPECT_EQ(values["m_AprsInterval"], 600);
  EXPECT_EQ(values["m_Frack"], 700);
  EXPECT_EQ(values["m_SlotTime"], 20);
  EXPECT_EQ(values["m_Timer3"], 100);
  EXPECT_EQ(values["m_NmeaOut"], 4);
  EXPECT_EQ(values["m_NmeaOutOld"], 3);  // kept with its partner

  struct Refusal {
    std::string assignment;
    std::string message;
  };
  const Refusal refusals[] = {
      {"TxDelya=30", "No parameter is named \"TxDelya\". Did you mean TxDelay?"},
      {"Q=1", "No parameter is named \"Q\". \"vextune-cli params\" lists them all."},
      // An echoed name cannot steer the terminal.
      {"\x1b[2J=1", "No parameter is named \"\\x1B[2J\". \"vextune-cli params\" lists them all."},
      {"M=1",
       "\"M\" is the device command of 4 parameters; name the one to set: MonitorC, MonitorI, "
       "MonitorS or MonitorU."},
      {"%AP=WIDE",
       "\"%AP\" is the device command of 9 parameters; name the one to set: AprsDest, AprsVia1, "
       "AprsVia2, AprsVia3, AprsVia4, AprsVia5, AprsVia6, AprsVia7 or AprsVia8."},
  };
  const std::string before = runner_.Contents("c.vxg");
  for (const Refusal& refusal : refusals) {
    const RunResult refused = Cli({"set", "c.vxg", "T=50", refusal.assignment});
    EXPECT_EQ(refused.exitCode, 1) << refusal.assignment;
    EXPECT_EQ(refused.err, refusal.message + "\nc.vxg was not changed.\n");
    EXPECT_EQ(runner_.Contents("c.vxg"), before) << refusal.assignment;
  }
}

TEST_F(ParamsCommands, SetTakesTheAprsSymbolNotationAndNames) {
  struct Case {
    std::string value;
    int altTable;
    int symbol;
  };
  Defaults("s.vxg");
  const Case cases[] = {
      {"/>", 0, 29},      {"\\k", 1, 74},        {"14", 1, 14},  // a number keeps the table
      {"Red Dot", 0, 14}, {"wall cloud", 1, 58},
  };
  for (const Case& c : cases) {
    const RunResult r = Cli({"set", "s.vxg", "AprsSymbol=" + c.value});
    ASSERT_EQ(r.exitCode, 0) << c.value << ": " << r.err;
    auto values = Values("s.vxg");
    EXPECT_EQ(values["m_AprsAltTable"], c.altTable) << c.value;
    EXPECT_EQ(values["m_AprsSymbol"], c.symbol) << c.value;
  }
  const std::string before = runner_.Contents("s.vxg");
  for (const std::string bad : {"Grid Square", "9>", "", "/", "94", "Red Dit"}) {
    const RunResult r = Cli({"set", "s.vxg", "AprsSymbol=" + bad});
    EXPECT_EQ(r.exitCode, 1) << bad;
    EXPECT_TRUE(r.err.starts_with("m_AprsSymbol (%AY): ")) << r.err;
    EXPECT_EQ(runner_.Contents("s.vxg"), before) << bad;
  }
}

TEST_F(ParamsCommands, SetTakesAPositionAsALocatorOrInDegreesAndShowLongNamesItsSquare) {
  Defaults("p.vxg");
  // The readings themselves are position_reading_test's table.
  for (const auto& [typed, stored] :
       {std::pair<std::string, std::string>{"48.5298,8.1980", "4831.79N 00811.88E"},
        {"NONE", "NONE"}}) {
    const RunResult r = Cli({"set", "p.vxg", "AprsPosition=" + typed});
    ASSERT_EQ(r.exitCode, 0) << typed << ": " << r.err;
    EXPECT_EQ(Values("p.vxg")["m_AprsPosition"], stored) << typed;
  }
  ASSERT_EQ(Cli({"set", "p.vxg", "AprsPosition=JN48nm"}).exitCode, 0);
  EXPECT_NE(Cli({"show", "p.vxg", "--long"}).out.find("\"4831.25N 00907.50E\" = locator JN48nm"),
            std::string::npos);
  const std::string before = runner_.Contents("p.vxg");
  const RunResult pole = Cli({"set", "p.vxg", "AprsPosition=90,0"});
  EXPECT_EQ(pole.exitCode, 1);
  EXPECT_NE(pole.err.find("takes latitudes up to 89"), std::string::npos) << pole.err;
  EXPECT_EQ(runner_.Contents("p.vxg"), before);
}

TEST_F(ParamsCommands, SetWarnsWhenTheDestinationLooksLikeADigipeater) {
  Defaults("d.vxg");
  const RunResult typedAsPath = Cli({"set", "d.vxg", "AprsDest=WIDE1-1", "AprsVia1=WIDE2-1",
                                     "AprsVia2="});
  EXPECT_EQ(typedAsPath.exitCode, 0) << typedAsPath.err;
  EXPECT_EQ(typedAsPath.err, "Warning: d.vxg: WIDE1-1 is the destination here. Did you mean "
                             "APRS,WIDE1-1,WIDE2-1?\n");
  // The file is written as asked; a change elsewhere does not repeat it.
  EXPECT_EQ(Values("d.vxg")["m_AprsDest"], "WIDE1-1");
  EXPECT_EQ(Cli({"set", "d.vxg", "T=40"}).err, "");
  EXPECT_EQ(Cli({"set", "d.vxg", "AprsDest=APRS"}).err, "");
}

TEST_F(ParamsCommands, ShowLongAddsUnitsAndMeaningsBehindThePlainLines) {
  Defaults("l.vxg");
  ASSERT_EQ(Cli({"set", "l.vxg", "T=40", "AprsSymbol=/>", "%AT=0", "Retry=0"}).exitCode, 0);
  const RunResult plain = Cli({"show", "l.vxg"});
  const RunResult annotated = Cli({"show", "l.vxg", "--long"});
  ASSERT_EQ(annotated.exitCode, 0) << annotated.err;
  const std::vector<std::string> plainLines = Lines(plain.out);
  const std::vector<std::string> longLines = Lines(annotated.out);
  ASSERT_EQ(plainLines.size(), longLines.size());
  for (size_t i = 0; i < plainLines.size(); ++i) {
    EXPECT_TRUE(longLines[i].starts_with(plainLines[i])) << longLines[i];
  }
  const std::vector<std::string> expected = {
      "m_TxDelay           T    40 x 10 ms",
      "m_PrModeIndex       %B   3 = 1200 Bd",
      "m_AprsSymbol        %AY  29 = /> Car",
      "m_AprsAltTable      %AY  0 = primary table",
      "m_AprsInterval      %AT  0 = automatic, speed dependent (see AprsAutoSpeed)",
      "m_CenterFreq        %F   1700 Hz",
      "m_Retry             N    0 = unlimited",
      "m_Frack             F    500",
      "m_Callsign          I    \"DAVOZI\"",
  };
  for (const std::string& line : expected) {
    EXPECT_NE(std::find(longLines.begin(), longLines.end(), line), longLines.end()) << line;
  }
  EXPECT_EQ(Cli({"show", "l.vxg", "--long", "--json"}).exitCode, 2);
}

}  // namespace
}  // namespace vextune
