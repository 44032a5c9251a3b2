#include "config/param_help.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "config/aprs_symbol_notation.h"
#include "config/param_names.h"

namespace vextune {
namespace {

const ParamInfo& Param(const char* member) {
  const ParamInfo* info = CConfigData::FindParam(member);
  EXPECT_NE(info, nullptr) << member;
  return *info;
}

TEST(ParamHelp, EveryParameterHasItsEntryInRecordOrder) {
  for (size_t i = 0; i < kParamCount; ++i) {
    const ParamInfo& info = CConfigData::Params()[i];
    const ParamHelp& help = ParamHelpTable()[i];
    EXPECT_STREQ(help.memberName, info.memberName) << i;
    EXPECT_EQ(&HelpFor(info), &help);
    EXPECT_GT(std::string(help.description).size(), 5u) << info.memberName;
    EXPECT_FALSE(DescribeAllowed(info).empty()) << info.memberName;
    // A text has a rule and no unit or meanings; every meaning belongs to a
    // value the parameter accepts, once.
    if (info.IsText()) {
      EXPECT_TRUE(help.choices.empty() && *help.unit == '\0') << info.memberName;
      continue;
    }
    std::set<int32_t> seen;
    for (const ParamChoice& c : help.choices) {
      const bool accepted =
          (c.value >= info.min && c.value <= info.max) || (info.zeroAllowed && c.value == 0);
      EXPECT_TRUE(accepted) << info.memberName << " " << c.value;
      EXPECT_TRUE(seen.insert(c.value).second) << info.memberName << " " << c.value;
    }
  }
}

TEST(ParamHelp, DescribesWhatEachKindAccepts) {
  struct Case {
    const char* member;
    const char* allowed;
    const char* defaultText;
  };
  const Case cases[] = {
      {"m_TxDelay", "0 to 127 (x 10 ms)", "25"},
      {"m_CenterFreq", "1000 to 3000 Hz", "1700"},
      {"m_AprsFreqBeacon", "0 (off), or 60 to 30000 s", "0"},
      {"m_AprsInterval", "0 (automatic, speed dependent (see AprsAutoSpeed)), or 10 to 7200 s",
       "900"},
      {"m_Retry", "0 to 127; 0 = unlimited", "10"},
      {"m_PrModeIndex", "0 to 5", "3"},  // a list: the meanings come separately
      {"m_Duplex", "0 or 1", "0"},
      {"m_AprsComment", "at most 80 characters", "empty"},
      {"m_Callsign",
       "a callsign of at most 6 characters, optionally followed by \"-\" and an SSID up to 15, "
       "or nothing",
       "\"DAVOZI\""},
      {"m_PrMode", "one of 300, R300, R600, 1200, 9600, 19200", "\"1200\""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DescribeAllowed(Param(c.member)), c.allowed) << c.member;
    EXPECT_EQ(DescribeDefault(Param(c.member)), c.defaultText) << c.member;
  }
}

TEST(ParamHelp, MeaningsOfValues) {
  struct Case {
    const char* member;
    int32_t value;
    const char* meaning;  // nullptr: the value has none
  };
  const Case cases[] = {
      {"m_PrModeIndex", 3, "1200 Bd"},
      {"m_PrModeIndex", 1, "R 300 Bd"},
      {"m_PrModeIndex", 6, nullptr},
      {"m_AprsAltitude", 0, "off"},
      {"m_NmeaOut", 4, "APRS + GPS (loopback)"},
      {"m_FlowControl", 3, "Flow-Control on, XON/XOFF on"},
      {"m_Duplex", 1, "on"},
      {"m_AprsAltTable", 1, "alternate table"},
      {"m_AprsInterval", 0, "automatic, speed dependent (see AprsAutoSpeed)"},
      {"m_AprsInterval", 900, nullptr},
      {"m_TxDelay", 0, nullptr},
      {"m_Callsign", 0, nullptr},
  };
  for (const Case& c : cases) {
    const char* meaning = ChoiceMeaning(Param(c.member), c.value);
    if (c.meaning == nullptr) {
      EXPECT_EQ(meaning, nullptr) << c.member << " " << c.value;
    } else {
      EXPECT_STREQ(meaning, c.meaning) << c.member << " " << c.value;
    }
  }
  EXPECT_TRUE(IsChoiceList(Param("m_AprsCrossMode")));
  EXPECT_TRUE(IsChoiceList(Param("m_Echo")));
  EXPECT_FALSE(IsChoiceList(Param("m_AprsStatusEvery")));  // only 0 has a meaning
  EXPECT_FALSE(IsChoiceList(Param("m_AprsFreqBeacon")));
}

TEST(ParamNames, MemberShortNameAndCommandInAnyCase) {
  struct Case {
    const char* typed;
    const char* member;  // nullptr: no single parameter
    size_t sameCommand;
  };
  const Case cases[] = {
      {"m_TxDelay", "m_TxDelay", 0},
      {"TxDelay", "m_TxDelay", 0},
      {"TXDELAY", "m_TxDelay", 0},
      {"m_txdelay", "m_TxDelay", 0},
      {"T", "m_TxDelay", 0},
      {"t", "m_TxDelay", 0},
      {"%AT", "m_AprsInterval", 0},
      {"%at", "m_AprsInterval", 0},
      {"@t2", "m_Timer2", 0},
      {"%XA", "m_LevelAfsk", 0},
      {"%AN", "m_NmeaOut", 0},
      {"NmeaOutOld", "m_NmeaOutOld", 0},
      {"%AP", nullptr, 9},
      {"M", nullptr, 4},
      {"%AY", nullptr, 2},
      {"%B", nullptr, 2},
      {"K", nullptr, 2},
      {"U", nullptr, 2},
      {"%AH", nullptr, 2},
      {"", nullptr, 0},
      {"m_", nullptr, 0},
      {"T ", nullptr, 0},
  };
  for (const Case& c : cases) {
    const ParamLookup lookup = LookUpParam(c.typed);
    if (c.member == nullptr) {
      EXPECT_EQ(lookup.param, nullptr) << c.typed;
    } else {
      ASSERT_NE(lookup.param, nullptr) << c.typed;
      EXPECT_STREQ(lookup.param->memberName, c.member) << c.typed;
    }
    EXPECT_EQ(lookup.sameCommand.size(), c.sameCommand) << c.typed;
  }
}

TEST(ParamNames, SuggestionsAndMessages) {
  struct Case {
    const char* typed;
    const char* message;
  };
  const Case cases[] = {
      {"TxDelya", "No parameter is named \"TxDelya\". Did you mean TxDelay?"},
      {"Delay", "No parameter is named \"Delay\". Did you mean TxDelay?"},
      {"Callsing", "No parameter is named \"Callsing\". Did you mean Callsign?"},
      {"%XQ", "No parameter is named \"%XQ\". Did you mean %XA, %XF or %XR?"},
      {"Frequency", "No parameter is named \"Frequency\"."},
      {"M",
       "\"M\" is the device command of 4 parameters; name the one to set: MonitorC, "
       "MonitorI, MonitorS or MonitorU."},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DescribeLookupFailure(c.typed, LookUpParam(c.typed)), c.message) << c.typed;
  }
}

TEST(SymbolNotation, TableCharacterAndSymbolCharacterOrName) {
  struct Case {
    const char* text;
    bool taken;
    SymbolTable table;
    int index;
    const char* error;  // the start of the refusal
  };
  const auto P = SymbolTable::Primary;
  const auto A = SymbolTable::Alternate;
  const Case cases[] = {
      {"/>", true, P, 29, ""},  // the car
      {"\\k", true, A, 74, ""},
      {"//", true, P, 14, ""},
      {"/!", true, P, 0, ""},
      {"\\~", true, A, 93, ""},
      {"Red Dot", true, P, 14, ""},
      {"  red DOT ", true, P, 14, ""},
      {"Emergency", true, A, 0, ""},
      {"x", true, P, 13, ""},
      {"Grid Square", false, P, 0, "\"Grid Square\" names 2 symbols; give one of /G or /q."},
      {"No Symbol", false, P, 0, "\"No Symbol\" names 4 symbols; give one of /\", /D, /J or \\\"."},
      {"9>", false, P, 0, "the DAV-OZI has no overlay characters"},
      {"/ ", false, P, 0, "not a symbol"},
      {"|>", false, P, 0, "not a symbol"},
      {"", false, P, 0, "not a symbol"},
      {"Red Dit", false, P, 0, "not a symbol"},
  };
  for (const Case& c : cases) {
    const SymbolParse parsed = ParseSymbolNotation(c.text);
    ASSERT_EQ(parsed.symbol.has_value(), c.taken) << c.text << ": " << parsed.error;
    if (c.taken) {
      EXPECT_EQ(parsed.symbol->table, c.table) << c.text;
      EXPECT_EQ(parsed.symbol->index, c.index) << c.text;
    } else {
      EXPECT_TRUE(parsed.error.starts_with(c.error)) << c.text << ": " << parsed.error;
    }
  }
  EXPECT_NE(ParseSymbolNotation("Red Dit").error.find("Did you mean \"Red Dot\""),
            std::string::npos);
}

TEST(SymbolNotation, EveryEntryReadsBackFromItsNotation) {
  for (SymbolTable table : {SymbolTable::Primary, SymbolTable::Alternate}) {
    for (int i = 0; i < kSymbolCount; ++i) {
      const std::string notation = SymbolNotation({table, i});
      const SymbolParse parsed = ParseSymbolNotation(notation);
      ASSERT_TRUE(parsed.symbol) << notation;
      EXPECT_EQ(parsed.symbol->table, table);
      EXPECT_EQ(parsed.symbol->index, i);
    }
  }
}

}  // namespace
}  // namespace vextune
