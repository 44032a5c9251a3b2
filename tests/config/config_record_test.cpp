// The record, its setters, validators and parsers, one table per operation.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/config_data.h"

namespace vextune {
namespace {

using Member = CConfigParam CConfigData::*;

TEST(ConfigRecord, DefaultsAreConsistentAndSetDefaultsRestoresEverything) {
  CConfigData d;
  const auto& params = CConfigData::Params();
  for (size_t i = 0; i < params.size(); ++i) {
    const ParamInfo& info = params[i];
    // Each member once, in declaration order.
    EXPECT_TRUE(i == 0 || &d.Get(params[i - 1]) < &d.Get(info)) << info.memberName;
    const CConfigParam& p = d.Get(info);
    if (info.IsText()) {
      EXPECT_EQ(p.validator(p.text), 0) << info.memberName;
    } else {
      EXPECT_EQ(p.text, std::to_string(p.value)) << info.memberName;
      EXPECT_TRUE(p.value >= p.min || (p.zeroAllowed && p.value == 0)) << info.memberName;
    }
  }

  CConfigData::SetNumber(d.m_Timer3, 5);
  d.m_TxDelay.max = 1;
  d.m_AprsComment.validator = nullptr;
  CConfigData::SetText(d.m_Callsign, "DL1ABC");
  d.SetDefaults();
  EXPECT_TRUE(d.IsEqual(CConfigData{}, true));
  EXPECT_EQ(d.m_TxDelay.max, 127);
  EXPECT_EQ(d.m_AprsComment.validator, &CheckText80);
}

TEST(ConfigRecord, IsEqualIgnoresNmeaOutOldAndSyncClockUnlessAskedAndCopyToCopiesAll) {
  CConfigData a;
  CConfigData b;
  CConfigData::SetNumber(b.m_NmeaOutOld, 2);
  CConfigData::SetNumberText(b.m_TxDelay, "025");  // same value, other digits
  EXPECT_TRUE(a.IsEqual(b, true));

  CConfigData::SetNumber(b.m_SyncClock, 1);
  EXPECT_TRUE(a.IsEqual(b, false));
  EXPECT_FALSE(a.IsEqual(b, true));
  ASSERT_EQ(a.Differences(b, true).size(), 1u);
  EXPECT_STREQ(a.Differences(b, true)[0]->memberName, "m_SyncClock");

  CConfigData::SetText(a.m_AprsComment, "X");
  CConfigData::SetText(b.m_AprsComment, "x");  // case counts
  EXPECT_FALSE(a.IsEqual(b, false));

  b.m_Frack.max = 99;
  b.CopyTo(a);
  EXPECT_TRUE(a.IsEqual(b, true));
  EXPECT_EQ(a.m_NmeaOutOld.value, 2);
  EXPECT_EQ(a.m_Frack.max, 99);
}

TEST(ConfigRecord, FindParamTakesMemberNameWithOrWithoutPrefixInAnyCase) {
  for (const char* name : {"m_TxDelay", "TxDelay", "txdelay"}) {
    ASSERT_NE(CConfigData::FindParam(name), nullptr) << name;
    EXPECT_STREQ(CConfigData::FindParam(name)->memberName, "m_TxDelay");
  }
  EXPECT_STREQ(CConfigData::FindParam("m_AprsHfToggle")->memberName, "m_AprsHfToggle");
  EXPECT_STREQ(CConfigData::FindParam("AprsHfToggleOld")->memberName, "m_AprsHfToggleOld");
  for (const char* name : {"T", "m_", "", "TxDelayX"}) {
    EXPECT_EQ(CConfigData::FindParam(name), nullptr) << name;
  }
}

TEST(SetNumber, TakesValuesInRangeOrZeroWhereAllowedAndKeepsOldOtherwise) {
  // The interval allows 0 (automatic) below its minimum 10; the I poll does not.
  const struct {
    Member member;
    int32_t before;
    std::vector<int32_t> taken, refused;
  } cases[] = {{&CConfigData::m_AprsInterval, 900, {0, 10, 7200}, {5, 7201, -1}},
               {&CConfigData::m_TxDelay, 30, {127, 0}, {128}},
               {&CConfigData::m_IPoll, 60, {}, {0}},
               {&CConfigData::m_Ptt, 1, {}, {2}},
               {&CConfigData::m_Timer3, 18000, {}, {INT32_MIN, INT32_MAX}}};
  for (const auto& c : cases) {
    for (bool taken : {true, false}) {
      for (int32_t given : taken ? c.taken : c.refused) {
        CConfigData d;
        ASSERT_TRUE(CConfigData::SetNumber(d.*c.member, c.before));
        EXPECT_EQ(CConfigData::SetNumber(d.*c.member, given), taken) << given;
        const int32_t value = taken ? given : c.before;
        EXPECT_EQ((d.*c.member).value, value) << given;
        EXPECT_EQ((d.*c.member).text, std::to_string(value)) << given;
      }
    }
  }
}

TEST(SetNumberText, TakesLeadingDigitsAfterOptionalNameOrPutsDefaultIn) {
  // Taken: the text given and the digits kept, leading zeros too. Refused (the
  // default goes in): a second "=", no digits, out of range, beyond 32 bits.
  // The beacon's default is 0 although its minimum is 60.
  const struct {
    Member member;
    std::vector<std::pair<std::string, std::string>> taken;
    std::vector<std::string> refused;
  } cases[] = {
      {&CConfigData::m_TxDelay,
       {{"TX-Delay = 30 ", "30"}, {" \t30\r\n", "30"}, {"12abc", "12"}, {"007", "007"}},
       {"a=b=30", "x", "", "-5", "200", "99999999999999999999", std::string(255, '0') + "30"}},
      {&CConfigData::m_AprsInterval, {{"000", "000"}}, {"5"}},
      {&CConfigData::m_AprsFreqBeacon, {}, {"59"}},
      {&CConfigData::m_Timer3, {{"100000", "100000"}}, {}},
      {&CConfigData::m_Frack,
       {{std::string(252, '0') + "500", std::string(252, '0') + "500"}},
       {}}};
  for (const auto& c : cases) {
    std::vector<std::pair<std::string, std::string>> all = c.taken;
    for (const std::string& given : c.refused) all.emplace_back(given, "");
    for (const auto& [given, digits] : all) {
      CConfigData d;
      CConfigParam& p = d.*c.member;
      CConfigData::SetNumber(p, 1 + p.min);  // not the default
      EXPECT_EQ(CConfigData::SetNumberText(p, given), !digits.empty()) << given;
      EXPECT_EQ(p.text, digits.empty() ? std::to_string(p.def) : digits) << given;
      EXPECT_EQ(p.value, digits.empty() ? p.def : std::stoi(digits)) << given;
    }
  }
}

TEST(SetText, TakesAcceptedTextsAndPutsDefaultTextInForRefusedOnesNeverTouchingValues) {
  const std::string c72(72, 'c'), c80(80, 'c');
  const struct {
    Member member;
    std::vector<std::string> taken, refused;
  } cases[] = {{&CConfigData::m_Callsign, {"DL1ABC-7", ""}, {"KLMNOPQ", "A-B-C"}},
               {&CConfigData::m_AprsVia1, {"WIDE1-1"}, {"-ABC"}},
               {&CConfigData::m_AprsDestSsid, {"15"}, {"16"}},
               {&CConfigData::m_AprsComment, {c80}, {c80 + "c"}},
               {&CConfigData::m_ConnectText, {c72}, {c72 + "c"}},
               {&CConfigData::m_PrMode, {"R600"}, {"r600"}},
               {&CConfigData::m_AprsCrossMode, {"HF DUAL"}, {"2400"}}};
  for (const auto& c : cases) {
    for (bool taken : {true, false}) {
      for (const std::string& given : taken ? c.taken : c.refused) {
        CConfigData d;
        CConfigParam& p = d.*c.member;
        p.text = "ZZ0ZZ";  // something other than the default
        CConfigData::SetNumber(d.m_AprsCrossMode, 5);
        const int32_t value = p.value;
        EXPECT_EQ(CConfigData::SetText(p, given) == 0, taken) << given;
        EXPECT_EQ(p.text, taken ? given : p.defText) << given;
        EXPECT_EQ(p.value, value) << given;
      }
    }
  }
  // A numeric parameter has no rule: left alone.
  CConfigData d;
  EXPECT_EQ(CConfigData::SetText(d.m_TxDelay, "30"), -1);
  EXPECT_EQ(d.m_TxDelay.text, "25");
}

TEST(SetText, RefusesControlCharactersAndOverlongTextsWhateverTheRule) {
  // A CR or ESC in a text would end the device's command line and start a
  // command of its own. Bytes from 0x80 on are ordinary 8-bit characters.
  const std::string c256(256, 'c');
  const struct {
    std::string text;
    int code;
  } cases[] = {{"A\r\x1bT 9", kTextHasControlCharacter},
               {"hi\n", kTextHasControlCharacter},
               {std::string("a\0b", 3), kTextHasControlCharacter},
               {"\x1f", kTextHasControlCharacter},
               {"del\x7f", kTextHasControlCharacter},
               {"tab\there", kTextHasControlCharacter},
               {"Gr\xfc\xdf \x80\xff", 0},
               {" ~", 0},
               {c256, kTextTooLong}};
  for (Member member :
       {&CConfigData::m_AprsComment, &CConfigData::m_AprsStatusText, &CConfigData::m_ConnectText,
        &CConfigData::m_Callsign, &CConfigData::m_AprsPosition, &CConfigData::m_AprsVia3,
        &CConfigData::m_AprsDestSsid, &CConfigData::m_PrMode}) {
    for (const auto& c : cases) {
      CConfigData d;
      CConfigParam& p = d.*member;
      // What the rule of the parameter itself says, for the texts it may take.
      const int own = p.validator(c.text);
      const int expected = c.code != 0 ? c.code : own;
      SCOPED_TRACE(testing::PrintToString(c.text));
      EXPECT_EQ(CConfigData::CheckText(p, c.text), expected);
      EXPECT_EQ(p.text, p.defText) << "CheckText changes nothing";
      p.text = "before";
      EXPECT_EQ(CConfigData::SetText(p, c.text), expected);
      EXPECT_EQ(p.text, expected == 0 ? c.text : p.defText);
    }
  }
  // A position may go on after its 18 characters, but not for ever.
  CConfigData d;
  const std::string position = "1234.56N 01234.56E/";
  EXPECT_EQ(CConfigData::SetText(d.m_AprsPosition, position + std::string(236, 'x')), 0);
  EXPECT_EQ(CConfigData::SetText(d.m_AprsPosition, position + std::string(237, 'x')), kTextTooLong);
}

// Inputs grouped by the code the check gives them: 0 for accepted, then the
// broken rule.
using ByCode = std::vector<std::vector<std::string>>;

void ExpectCodes(int (*check)(std::string_view), const ByCode& byCode) {
  for (size_t code = 0; code < byCode.size(); ++code) {
    for (const std::string& text : byCode[code]) {
      EXPECT_EQ(check(text), static_cast<int>(code)) << '"' << text << '"';
    }
  }
}

TEST(Validators, GiveTheCodeOfTheFirstBrokenRule) {
  // An empty SSID after "-" is fine; the "-" count is examined first.
  ExpectCodes(CheckCallsign, {{"KLMNOP", "KLMNOP-9", "KLMNOP-15", "", "A-", "A-X1"},
                              {"A-B-C", "-A-B"},
                              {"-ABC"},
                              {"KLMNOPQ", "KLMNOPQ-123"},
                              {"KLMNOP-123"},
                              {"KLMNOP-16", "KLMNOP-1X", "KLMNOP-AB", "KLMNOP-99"}});
  // After two digits nothing is examined.
  ExpectCodes(CheckSsid, {{"00", "07", "15", "05xyz"}, {"7", "16", "A1", "007", ""}});
  // A 19th character could continue the fixed form.
  ExpectCodes(
      CheckPosition,
      {{"1234.56N 01234.56E", "9959.99S 17959.99W", "1234.56N 01234.56E/comment", "NONE", ""},
       {"1234.5N 01234.56E", "1234.56N 01234.56E ", "1234.56N 01234.56E5", "1234.56E 01234.56N",
        "1234.56N  1234.56E", "1234,56N 01234.56E", "1234.56N 01234.56", "none"}});
  ExpectCodes(CheckPrMode, {{"300", "R300", "R600", "1200", "9600", "19200"},
                            {"NONE", "HF DUAL", "1200 ", "r300", ""}});
  ExpectCodes(CheckCrossMode, {{"NONE", "300", "19200", "HF DUAL"}, {"HF  DUAL", "none", "2400"}});
}

TEST(ParsePath, SetsDestinationAndDigipeatersOrRestoresTheDefaultPath) {
  // Refused (default path): ten words, seven letters, SSID 16, a leading "-".
  const std::vector<std::string> kDefault = {"APRS", "RELAY", "WIDE", "", "", "", "", "", ""};
  const std::vector<std::string> kEmpty(9, "");
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {"APRS WIDE1-1 WIDE2-1", {"APRS", "WIDE1-1", "WIDE2-1", "", "", "", "", "", ""}},
      {"  APX   RELAY  ", {"APX", "RELAY", "", "", "", "", "", "", ""}},
      {"", kEmpty},
      {"D V1 V2 V3 V4 V5 V6 V7 V8", {"D", "V1", "V2", "V3", "V4", "V5", "V6", "V7", "V8"}},
      {"D V1 V2 V3 V4 V5 V6 V7 V8 V9", kDefault},
      {"APRS KLMNOPQ", kDefault},
      {"APRS WIDE-16", kDefault},
      {"-X", kDefault},
      {"APRS WIDE\r\x1bT", kDefault},
      {"APRS\t", kDefault}};
  for (const auto& [given, expected] : cases) {
    CConfigData d;
    CConfigData::SetText(d.m_AprsVia5, "OLD");
    CConfigData::SetText(d.m_AprsVia1Ssid, "03");
    EXPECT_EQ(d.ParsePath(given), expected == kDefault ? 1 : 0) << given;
    const std::vector<std::string> path = {d.m_AprsDest.text, d.m_AprsVia1.text, d.m_AprsVia2.text,
                                           d.m_AprsVia3.text, d.m_AprsVia4.text, d.m_AprsVia5.text,
                                           d.m_AprsVia6.text, d.m_AprsVia7.text, d.m_AprsVia8.text};
    EXPECT_EQ(path, expected) << given;
    EXPECT_EQ(d.m_AprsVia1Ssid.text, "03") << "SSIDs are not touched: " << given;
  }
}

TEST(ParseSymbol, TakesOptionalAlternateTableAndSymbolNumber) {
  // clang-format off
  const struct { const char* symbol; int result; int32_t altTable, index; } cases[] = {
      {"A5", 0, 1, 4},    {"5", 0, 0, 4},      {"1", 0, 0, 0},     {"94", 0, 0, 93},
      {"A94", 0, 1, 93},  {"5A", 0, 0, 4},     {"95", 1, 0, 14},   {"", 1, 0, 14},
      {"0", 1, 0, 14},    {"AA5", 1, 0, 14},   {"A", 1, 0, 14},    {"5 ", 1, 0, 14},
      {"x", 1, 0, 14},    {"99999999999", 1, 0, 14}};
  // clang-format on
  for (const auto& c : cases) {
    CConfigData d;
    CConfigData::SetNumber(d.m_AprsAltTable, 1);
    CConfigData::SetNumber(d.m_AprsSymbol, 50);
    EXPECT_EQ(d.ParseSymbol(c.symbol), c.result) << c.symbol;
    EXPECT_EQ(d.m_AprsAltTable.value, c.altTable) << c.symbol;
    EXPECT_EQ(d.m_AprsSymbol.text, std::to_string(c.index)) << c.symbol;
    EXPECT_EQ(d.m_AprsSymbol.value, c.index) << c.symbol;
  }
}

TEST(ParseMonitor, SetsTheFourFlagsFromTheirLetters) {
  // clang-format off
  const struct { const char* letters; int result; std::vector<int32_t> iusc; } cases[] = {
      {"iu", 0, {1, 1, 0, 0}},  {"IUSC", 0, {1, 1, 1, 1}},  {"CSC", 0, {0, 0, 1, 1}},
      {"N", 0, {0, 0, 0, 0}},   {"n", 0, {0, 0, 0, 0}},     {"", 0, {0, 0, 0, 0}},
      {"X", 1, {0, 0, 0, 0}},   {"IN", 1, {0, 0, 0, 0}},    {"I U", 1, {0, 0, 0, 0}}};
  // clang-format on
  for (const auto& c : cases) {
    CConfigData d;
    for (auto* p : {&d.m_MonitorI, &d.m_MonitorU, &d.m_MonitorS, &d.m_MonitorC}) {
      CConfigData::SetNumber(*p, 1);
    }
    EXPECT_EQ(d.ParseMonitor(c.letters), c.result) << c.letters;
    const std::vector<int32_t> got = {d.m_MonitorI.value, d.m_MonitorU.value, d.m_MonitorS.value,
                                      d.m_MonitorC.value};
    EXPECT_EQ(got, c.iusc) << c.letters;
  }
}

TEST(ParseConnectText, TakesModeDigitAndTrimmedTextOrRestoresDefaults) {
  const std::string t72(72, 't');
  // clang-format off
  const struct { std::string setting; int result; int32_t mode; std::string text; } cases[] = {
      {"1 Hello", 0, 1, "Hello"},  {"2  Hello there  ", 0, 2, "Hello there"},  {"0", 0, 0, ""},
      {"1" + t72, 0, 1, t72},      {"1" + t72 + "t", 1, 0, ""},  {"3 Hello", 1, 0, ""},
      {"Hello", 1, 0, ""},         {"", 1, 0, ""},  {"1 Hi\r\x1bT 9", 1, 0, ""}};
  // clang-format on
  for (const auto& c : cases) {
    CConfigData d;
    CConfigData::SetNumber(d.m_ConnectMode, 2);
    CConfigData::SetText(d.m_ConnectText, "before");
    EXPECT_EQ(d.ParseConnectText(c.setting), c.result) << c.setting;
    EXPECT_EQ(d.m_ConnectMode.value, c.mode) << c.setting;
    EXPECT_EQ(d.m_ConnectMode.text, std::to_string(c.mode)) << c.setting;
    EXPECT_EQ(d.m_ConnectText.text, c.text) << c.setting;
  }
}

}  // namespace
}  // namespace vextune
