// The general dialog's OK checks: order, messages, the focused field, and the
// values derived from the controls.
#include "editor/general_settings.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace vextune {
namespace {

// Values that pass every check, as a default record fills them.
GeneralSettingsEntries ValidEntries() {
  GeneralSettingsEntries entries;
  GeneralSettingsValues& v = entries.fields;
  v.callsign = "DAVOZI";
  v.txDelay = "25";
  v.channel = "0";
  v.centerFreq = "1700";
  v.levelAfsk = "300";
  v.levelFsk = "600";
  v.levelRobust = "200";
  entries.checkedPrMode = 3;
  return entries;
}

struct OkCase {
  const char* what;
  void (*change)(GeneralSettingsEntries&);
  std::optional<GeneralField> field;  // the focused field; none when OK passes
  std::string caption;
  std::string text;
};

void PrintTo(const OkCase& c, std::ostream* os) {
  *os << c.what;
}

class GeneralSettingsOkChecks : public ::testing::TestWithParam<OkCase> {};

TEST_P(GeneralSettingsOkChecks, ShowTheFirstFailureOnly) {
  const OkCase& c = GetParam();
  GeneralSettingsEntries entries = ValidEntries();
  c.change(entries);
  const GeneralSettingsOk ok = CheckGeneralSettingsOk(entries);
  if (!c.field) {
    EXPECT_TRUE(ok.findings.empty()) << c.what << ": " << ok.findings.front().message.text;
    return;
  }
  ASSERT_EQ(ok.findings.size(), 1u) << c.what;
  EXPECT_EQ(ok.findings[0].field, *c.field) << c.what;
  EXPECT_EQ(ok.findings[0].message, (SettingsMessage{c.caption, c.text, MessageIcon::Warning}))
      << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, GeneralSettingsOkChecks,
    ::testing::Values(
        OkCase{"valid", [](GeneralSettingsEntries&) {}, {}, "", ""},
        OkCase{"empty callsign", [](auto& e) { e.fields.callsign = ""; }, {}, "", ""},
        OkCase{"two dashes", [](auto& e) { e.fields.callsign = "a-b-c"; }, GeneralField::Callsign,
               "Callsign Error", "Incorrect Callsign: \"A-B-C\" "},
        OkCase{"leading dash", [](auto& e) { e.fields.callsign = "-ABC"; }, GeneralField::Callsign,
               "Callsign Error", "Incorrect Callsign: \"-ABC\" "},
        OkCase{"base of seven", [](auto& e) { e.fields.callsign = "klmnopq"; },
               GeneralField::Callsign, "Callsign Error",
               "Callsign too long: \"KLMNOPQ\" \nMax. 6 chars allowed."},
        OkCase{"SSID of three", [](auto& e) { e.fields.callsign = "AB-123"; },
               GeneralField::Callsign, "Callsign Error",
               "Incorrect SSID: \"AB-123\" \nOnly numbers between 0...15 allowed."},
        OkCase{"SSID 16", [](auto& e) { e.fields.callsign = "AB-16"; }, GeneralField::Callsign,
               "Callsign Error",
               "Incorrect SSID: \"AB-16\" \nOnly numbers between 0...15 allowed."},
        OkCase{"TX delay 128", [](auto& e) { e.fields.txDelay = "128"; }, GeneralField::TxDelay,
               "TX-Delay Error", "TX-Delay: Enter a value between 0...127!"},
        OkCase{"TX delay 127", [](auto& e) { e.fields.txDelay = "127"; }, {}, "", ""},
        OkCase{"TX delay empty", [](auto& e) { e.fields.txDelay = ""; }, {}, "", ""},
        OkCase{"channel 11", [](auto& e) { e.fields.channel = "11"; }, GeneralField::Channel,
               "Switch channel Error", "Switch channel: Enter a value between 0...10!"},
        OkCase{"AFSK 29", [](auto& e) { e.fields.levelAfsk = "29"; }, GeneralField::LevelAfsk,
               "XA Error", "XA: Enter a value between 30...3000!"},
        OkCase{"AFSK empty reads 0", [](auto& e) { e.fields.levelAfsk = ""; },
               GeneralField::LevelAfsk, "XA Error", "XA: Enter a value between 30...3000!"},
        OkCase{"FSK 3001", [](auto& e) { e.fields.levelFsk = "3001"; }, GeneralField::LevelFsk,
               "XF Error", "XF: Enter a value between 30...3000!"},
        OkCase{"Robust 9", [](auto& e) { e.fields.levelRobust = "9"; }, GeneralField::LevelRobust,
               "XR Error", "XR: Enter a value between 30...3000!"},
        OkCase{"levels at their limits",
               [](auto& e) {
                 e.fields.levelAfsk = "30";
                 e.fields.levelFsk = "3000";
                 e.fields.levelRobust = "030";
               },
               {},
               "",
               ""},
        OkCase{"centre 999", [](auto& e) { e.fields.centerFreq = "999"; }, GeneralField::CenterFreq,
               "Audio Center Freq. Error",
               "Audio Center Freq.: Enter a value between 1000...3000 Hz"},
        OkCase{"centre 3001", [](auto& e) { e.fields.centerFreq = "3001"; },
               GeneralField::CenterFreq, "Audio Center Freq. Error",
               "Audio Center Freq.: Enter a value between 1000...3000 Hz"},
        OkCase{"blank connect text switched on",
               [](auto& e) {
                 e.fields.connectText = "   ";
                 e.connectTextOn = true;
               },
               GeneralField::ConnectText, "Connect Text Error",
               "Please enter a connect text or switch connect text OFF!"},
        OkCase{"blank connect text switched off",
               [](auto& e) { e.fields.connectText = "   "; },
               {},
               "",
               ""},
        // The levels come before the centre frequency, the callsign before all.
        OkCase{"centre and AFSK wrong",
               [](auto& e) {
                 e.fields.centerFreq = "1";
                 e.fields.levelAfsk = "1";
               },
               GeneralField::LevelAfsk, "XA Error", "XA: Enter a value between 30...3000!"},
        OkCase{"callsign and TX delay wrong",
               [](auto& e) {
                 e.fields.callsign = "-";
                 e.fields.txDelay = "999";
               },
               GeneralField::Callsign, "Callsign Error", "Incorrect Callsign: \"-\" "}));

struct DerivedCase {
  int checkedPrMode;
  bool connectTextOn;
  bool remoteDisconnectOn;
  int prMode;
  int connectMode;
};

class GeneralSettingsOkValues : public ::testing::TestWithParam<DerivedCase> {};

TEST_P(GeneralSettingsOkValues, FollowTheControls) {
  const DerivedCase& c = GetParam();
  GeneralSettingsEntries entries = ValidEntries();
  entries.fields.connectText = " Hello ";
  entries.fields.connectMode = 1;  // the stored mode does not count
  entries.checkedPrMode = c.checkedPrMode;
  entries.connectTextOn = c.connectTextOn;
  entries.remoteDisconnectOn = c.remoteDisconnectOn;
  const GeneralSettingsOk ok = CheckGeneralSettingsOk(entries);
  ASSERT_TRUE(ok.findings.empty());
  EXPECT_EQ(ok.values.prMode, c.prMode);
  EXPECT_EQ(ok.values.connectMode, c.connectMode);
  EXPECT_EQ(ok.values.connectText, " Hello ");  // stored as typed
}

INSTANTIATE_TEST_SUITE_P(
    Table, GeneralSettingsOkValues,
    ::testing::Values(DerivedCase{0, false, false, 0, 0}, DerivedCase{5, true, false, 5, 1},
                      DerivedCase{1, true, true, 1, 2}, DerivedCase{2, false, true, 2, 0},
                      DerivedCase{-1, false, false, 3, 0}, DerivedCase{6, false, false, 3, 0}));

TEST(GeneralSettingsOk, UpperCasesTheCallsignAlsoWhenALaterCheckFails) {
  GeneralSettingsEntries entries = ValidEntries();
  entries.fields.callsign = "dl1abc-7";
  entries.fields.txDelay = "200";
  const GeneralSettingsOk ok = CheckGeneralSettingsOk(entries);
  EXPECT_EQ(ok.values.callsign, "DL1ABC-7");
  ASSERT_EQ(ok.findings.size(), 1u);
  EXPECT_EQ(ok.findings[0].field, GeneralField::TxDelay);
}

TEST(GeneralSettingsOk, NamesACallsignOutsideAsciiInUtf8) {
  EXPECT_EQ(CallsignMessage(3,
                            "\xC4\xD6\xDC"
                            "ABCD")
                .text,
            "Callsign too long: \"\xC3\x84\xC3\x96\xC3\x9C"
            "ABCD\" \nMax. 6 chars allowed.");
  EXPECT_EQ(CallsignMessage(9, "X").text, "Callsign Error");
}

}  // namespace
}  // namespace vextune
