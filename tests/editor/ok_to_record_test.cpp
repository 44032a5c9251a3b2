// What the general and misc dialogs accept on OK arrives in the record as it
// is: each field's text runs through the dialog's OK check and the take-back,
// and the record then holds exactly it. What the record would refuse or
// replace by a default, the check refuses with a message. The APRS dialog's
// table is in aprs_settings_check_test.cpp.
#include <gtest/gtest.h>

#include <string>

#include "config/config_data.h"
#include "editor/field_rules.h"
#include "editor/general_settings.h"
#include "editor/general_settings_record.h"
#include "editor/misc_settings.h"
#include "editor/misc_settings_record.h"
#include "editor/settings_message.h"

namespace vextune {
namespace {

const std::string k72(72, 'x');

// A number field's text as the record holds it after the take-back: the
// digits as typed, an empty field as 0.
void ExpectNumberHolds(const CConfigParam& p, const std::string& typed, const std::string& what) {
  EXPECT_EQ(p.value, ReadFieldNumber(typed)) << what;
  EXPECT_EQ(p.text, typed.empty() ? "0" : typed) << what;
}

// ---- General settings ----

// The ranges are field_texts_test.cpp's and each field's member the take-back
// test's; here what the check hands on: the text as typed, empty, with zeros.
TEST(GeneralOkToRecord, AcceptedTextArrivesOrIsRefused) {
  using G = GeneralSettingsValues;
  using C = CConfigData;
  const struct {
    const char* what;
    std::string G::*field;
    CConfigParam C::*param;
    std::string typed;
    bool connectTextOn;
    bool accepted;
  } rows[] = {
      {"empty callsign", &G::callsign, &C::m_Callsign, "", false, true},
      {"callsign with SSID", &G::callsign, &C::m_Callsign, "db0xyz-15", false, true},
      {"callsign with a tab", &G::callsign, &C::m_Callsign, "DB\t0", false, false},
      {"TX delay empty", &G::txDelay, &C::m_TxDelay, "", false, true},
      {"TX delay 007", &G::txDelay, &C::m_TxDelay, "007", false, true},
      {"Robust 0300", &G::levelRobust, &C::m_LevelRobust, "0300", false, true},
      {"connect text as typed", &G::connectText, &C::m_ConnectText, " Hi \xB0 ", true, true},
      {"connect text 72 chars", &G::connectText, &C::m_ConnectText, k72, true, true},
      {"connect text switched off", &G::connectText, &C::m_ConnectText, "Hi", false, true},
      {"connect text of two lines", &G::connectText, &C::m_ConnectText, "Hello\r\nWorld", true,
       false},
      {"switched-off text of two lines", &G::connectText, &C::m_ConnectText, "Hello\nWorld", false,
       false},
      {"connect text 73 chars", &G::connectText, &C::m_ConnectText, k72 + "x", true, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    CConfigData record;
    GeneralSettingsEntries entries;
    entries.fields = GeneralSettingsFromRecord(record);
    entries.fields.*row.field = row.typed;
    entries.checkedPrMode = record.m_PrModeIndex.value;
    entries.connectTextOn = row.connectTextOn;
    const GeneralSettingsOk ok = CheckGeneralSettingsOk(entries);
    EXPECT_EQ(ok.findings.empty(), row.accepted);
    if (!row.accepted || !ok.findings.empty()) continue;

    TakeBackGeneralSettings(ok.values, record);
    const CConfigParam& p = record.*row.param;
    if (p.validator != nullptr) {
      // The callsign in capitals, as the dialog shows it after OK.
      EXPECT_EQ(p.text, ok.values.*row.field);
    } else {
      ExpectNumberHolds(p, row.typed, row.what);
    }
    EXPECT_EQ(record.m_ConnectMode.value, ok.values.connectMode);
  }
}

TEST(GeneralOkToRecord, RefusedConnectTextSaysWhy) {
  GeneralSettingsEntries entries;
  entries.fields = GeneralSettingsFromRecord(CConfigData{});
  entries.fields.connectText = "Hello\tWorld";
  entries.connectTextOn = true;
  const GeneralSettingsOk ok = CheckGeneralSettingsOk(entries);
  ASSERT_EQ(ok.findings.size(), 1u);
  EXPECT_EQ(ok.findings[0].field, GeneralField::ConnectText);
  EXPECT_EQ(ok.findings[0].message,
            (SettingsMessage{"Connect Text Error",
                             "Connect Text: Enter at most 72 characters, without tabs or line "
                             "breaks!",
                             MessageIcon::Warning}));
}

// ---- Misc settings ----

TEST(MiscOkToRecord, AcceptedNumberArrivesOrIsRefused) {
  using F = MiscField;
  const struct {
    MiscField field;
    std::string typed;
    bool accepted;
  } rows[] = {{F::Frack, "", false},         {F::Retry, "", true},       {F::MaxFrame, "7", true},
              {F::Persistence, "255", true}, {F::SlotTime, "007", true}, {F::Channels, "", true},
              {F::Timer3, "", true}};
  for (const auto& row : rows) {
    SCOPED_TRACE("field " + std::to_string(Index(row.field)) + " '" + row.typed + "'");
    CConfigData record;
    MiscSettingsValues values = MiscSettingsFromRecord(record);
    MiscFieldChecks checks(values.numbers);
    values.number(row.field) = row.typed;
    checks.CheckAll(values.numbers);
    EXPECT_EQ(checks.AllValid(), row.accepted);
    if (!row.accepted || !checks.AllValid()) continue;

    TakeBackMiscSettings(values, record);
    ExpectNumberHolds(record.*MiscFieldRules()[Index(row.field)].param, row.typed, row.typed);
  }
}

// ---- What a text field may hold ----

TEST(FieldMayHold, RefusesWhatEveryTextParameterRefuses) {
  struct Case {
    const char* what;
    std::string text;
    int maxChars;
    bool held;
  };
  const Case cases[] = {
      {"plain text", "Hello World", 72, true},
      {"up to the limit", k72, 72, true},
      {"beyond the limit", k72 + "x", 72, false},
      {"a tab", "Hello\tWorld", 72, false},
      {"a line break", "Hello\nWorld", 72, false},
      {"a delete character", "\x7F", 72, false},
      {"beyond the record's limit", std::string(kMaxTextLength + 1, 'x'),
       static_cast<int>(kMaxTextLength) + 1, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FieldMayHold(c.text, c.maxChars), c.held) << c.what;
  }
}

}  // namespace
}  // namespace vextune
