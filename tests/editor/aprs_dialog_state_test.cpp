#include "editor/aprs_dialog_state.h"

#include <gtest/gtest.h>

#include <functional>

#include "degree_text.h"

namespace vextune {
namespace {

constexpr int32_t kNoDevice = -1;

// Every switch on and every list at its last entry, so that each firmware
// restriction has something to take away.
AprsSettingsValues EverythingOn() {
  AprsSettingsValues v;
  v.txInterval = "0";
  v.autoSpeed = 2;
  v.unprotoCross = true;
  v.hfToggleSwitch = true;
  v.hfToggle = 2;
  v.crossMode = 6;
  v.altitude = 3;
  v.freqBeacon = "600";
  v.digipeating = 2;
  v.nmeaOut = 2;
  v.statusEvery = 5;
  v.comment = std::string(50, 'c');
  return v;
}

// Each feature is offered from its firmware threshold on and not one
// version before it; without a device it is always offered.
TEST(AprsOpeningState, EveryRestrictionEndsExactlyAtItsThreshold) {
  struct Row {
    const char* feature;
    int32_t threshold;
    std::function<bool(const AprsDialogState&)> offered;
  };
  const Row rows[] = {
      {"speed list", 10466, [](auto& s) { return s.autoSpeed.enabled; }},
      {"stored speed", 10466, [](auto& s) { return s.autoSpeed.index == 2; }},
      {"unproto cross", 10369, [](auto& s) { return s.enabled.unprotoCross; }},
      {"unproto cross checked", 10369, [](auto& s) { return s.unprotoCross; }},
      {"HF toggle choice", 10174, [](auto& s) { return s.enabled.hfChoice; }},
      {"HF always", 10174, [](auto& s) { return s.hfAlways; }},
      {"cross mode list", 10174, [](auto& s) { return s.crossMode.enabled; }},
      {"stored cross mode", 10174, [](auto& s) { return s.crossMode.index == 5; }},
      {"altitude list", 10174, [](auto& s) { return s.altitude.enabled; }},
      {"stored altitude", 10174, [](auto& s) { return s.altitude.index == 2; }},
      {"altitude label", 10174, [](auto& s) { return s.enabled.altitudeLabel; }},
      {"frequency beacon", 10174, [](auto& s) { return s.enabled.freqBeaconGroup; }},
      {"beacon interval", 10174, [](auto& s) { return s.enabled.freqBeaconInterval; }},
      {"callsign", 10081, [](auto& s) { return s.enabled.callsign; }},
      {"valid", 10081, [](auto& s) { return s.enabled.valid; }},
      {"status text", 10081, [](auto& s) { return s.enabled.statusText; }},
      {"status choice", 10081, [](auto& s) { return s.enabled.statusEveryChoice; }},
      {"status every", 10081, [](auto& s) { return s.enabled.statusEvery; }},
      {"HF toggle", 10081, [](auto& s) { return s.enabled.hfGroup; }},
      {"digipeating", 10081, [](auto& s) { return s.enabled.digipeatingGroup; }},
      {"digipeating alias", 10081, [](auto& s) { return s.digiAlias.enabled; }},
      {"NMEA list", 10081, [](auto& s) { return s.nmeaOut.enabled; }},
      {"NMEA labels", 10081, [](auto& s) { return s.enabled.nmeaLabels; }},
      {"whole comment", 10081, [](auto& s) { return s.comment.size() == 50 && !s.notice; }},
  };
  const AprsSettingsValues values = EverythingOn();
  for (const Row& row : rows) {
    EXPECT_FALSE(row.offered(AprsOpeningState(values, row.threshold - 1))) << row.feature;
    EXPECT_TRUE(row.offered(AprsOpeningState(values, row.threshold))) << row.feature;
    EXPECT_TRUE(row.offered(AprsOpeningState(values, kNoDevice))) << row.feature;
  }
}

TEST(AprsOpeningState, OldFirmwareCutsALongCommentWithANotice) {
  AprsSettingsValues values;
  for (size_t length : {40u, 41u}) {
    values.comment = std::string(length, 'c');
    const AprsDialogState s = AprsOpeningState(values, 10080);
    EXPECT_EQ(s.comment, std::string(40, 'c'));
    EXPECT_EQ(s.notice.has_value(), length == 41);
  }
  EXPECT_EQ(AprsOpeningState(values, 10080).notice,
            std::optional<std::string>("APRS Comment will be truncated to 40 chars."));
}

// Lists store the entry + 1 and 0 for off; off shows a fixed entry, a
// stored choice the list lacks shows none.
TEST(AprsOpeningState, ValuesBecomeControls) {
  struct Case {
    const char* name;
    std::function<void(AprsSettingsValues&)> change;
    std::function<void(const AprsDialogState&)> expect;
  };
  const Case cases[] = {
      {"defaults", [](AprsSettingsValues&) {},
       [](const AprsDialogState& s) {
         EXPECT_TRUE(s.manualInterval);
         EXPECT_EQ(s.txInterval, "900");
         EXPECT_FALSE(s.autoSpeed.enabled);
         EXPECT_EQ(s.beacon, AprsBeaconMode::Off);
         EXPECT_FALSE(s.enabled.positionFields);
         EXPECT_FALSE(s.statusOnEvery);
         EXPECT_EQ(s.statusEvery, "0");
         EXPECT_FALSE(s.enabled.statusEvery);
         EXPECT_FALSE(s.freqBeaconOn);
         EXPECT_EQ(s.freqBeacon, "0");
         EXPECT_FALSE(s.enabled.freqBeaconInterval);
         EXPECT_FALSE(s.enabled.hfChoice);
         EXPECT_EQ(s.digiAlias.index, 0);
         EXPECT_EQ(s.nmeaOut.index, 2);
         EXPECT_EQ(s.crossMode.index, 1);
         EXPECT_EQ(s.altitude.index, 1);
         for (const AprsListState* list : {&s.digiAlias, &s.nmeaOut, &s.crossMode, &s.altitude})
           EXPECT_FALSE(list->enabled);
       }},
      {"automatic interval with leading zeros", [](auto& v) { v.txInterval = "00"; },
       [](const AprsDialogState& s) {
         EXPECT_FALSE(s.manualInterval);
         EXPECT_EQ(s.txInterval, "0");
         EXPECT_FALSE(s.enabled.txInterval);
         EXPECT_TRUE(s.autoSpeed.enabled);
         EXPECT_EQ(s.autoSpeed.index, 1);
       }},
      {"lists on at their entries",
       [](auto& v) { v.digipeating = 3, v.nmeaOut = 1, v.crossMode = 7, v.altitude = 1; },
       [](const AprsDialogState& s) {
         EXPECT_TRUE(s.digipeatingOn && s.nmeaOn && s.crossModeOn && s.altitudeOn);
         EXPECT_EQ(s.digiAlias.index, 2);
         EXPECT_EQ(s.nmeaOut.index, 0);
         EXPECT_EQ(s.crossMode.index, 6);
         EXPECT_EQ(s.altitude.index, 0);
       }},
      {"choices the lists lack",
       [](auto& v) { v.nmeaOut = 5, v.autoSpeed = 3, v.symbol = "94", v.txInterval = "0"; },
       [](const AprsDialogState& s) {
         EXPECT_TRUE(s.nmeaOn);
         EXPECT_EQ(s.nmeaOut.index, -1);
         EXPECT_EQ(s.autoSpeed.index, -1);
         EXPECT_EQ(s.symbolIndex, -1);
       }},
      {"fixed position", [](auto& v) { v.beaconMode = "2", v.position = "4831.79S 00811.88E"; },
       [](const AprsDialogState& s) {
         EXPECT_EQ(s.beacon, AprsBeaconMode::Fixed);
         EXPECT_TRUE(s.enabled.positionFields);
         EXPECT_EQ(s.latitude, testing::Deg("48*31.79"));
         EXPECT_EQ(s.latitudeHemisphere, 'S');
         EXPECT_EQ(s.longitudeHemisphere, 'E');
       }},
      {"unknown beacon mode", [](auto& v) { v.beaconMode = "7"; },
       [](const AprsDialogState& s) {
         EXPECT_FALSE(s.beacon);
         EXPECT_TRUE(s.enabled.positionFields);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AprsSettingsValues values;
    c.change(values);
    c.expect(AprsOpeningState(values, kNoDevice));
  }
}

TEST(AprsDialogReactions, SwitchesGiveTheirFieldsDefaults) {
  struct Case {
    const char* name;
    AprsSwitchedField got;
    std::optional<std::string> text;
    bool enabled;
  };
  const Case cases[] = {
      {"manual interval", ChooseAprsInterval(true, kNoDevice).interval, "900", true},
      {"auto interval", ChooseAprsInterval(false, kNoDevice).interval, "0", false},
      {"beacon on", SwitchAprsFreqBeacon(true), "60", true},
      {"beacon off", SwitchAprsFreqBeacon(false), "0", false},
      {"on every from 0", ChooseAprsStatusEvery(true, "0"), "3", true},
      {"on every keeps a number", ChooseAprsStatusEvery(true, "7"), std::nullopt, true},
      {"never", ChooseAprsStatusEvery(false, "7"), "0", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.got.text, c.text) << c.name;
    EXPECT_EQ(c.got.enabled, c.enabled) << c.name;
  }
}

TEST(AprsDialogReactions, FirmwareLimitsWhatASwitchBringsBack) {
  EXPECT_FALSE(ChooseAprsInterval(false, 10465).speedListEnabled);
  EXPECT_TRUE(ChooseAprsInterval(false, 10466).speedListEnabled);
  EXPECT_FALSE(ChooseAprsInterval(true, 10466).speedListEnabled);
  EXPECT_EQ(SwitchAprsHfToggle(true, 10173), std::nullopt);
  EXPECT_EQ(SwitchAprsHfToggle(true, 10174), true);
  EXPECT_EQ(SwitchAprsHfToggle(false, 10173), false);
}

TEST(AprsDialogReactions, StatusEveryStepsWithinItsRange) {
  const struct {
    const char* text;
    int delta;
    const char* stepped;
  } cases[] = {{"19", 1, "20"}, {"20", 1, "20"}, {"1", -1, "1"}, {"0", 1, "1"}, {" 5", 1, "6"}};
  for (const auto& c : cases) EXPECT_EQ(StepAprsStatusEvery(c.text, c.delta), c.stepped) << c.text;
}

TEST(AprsDialogReactions, LeavingStatusEvery) {
  using Action = AprsStatusLeave::Action;
  const struct {
    const char* text;
    Action action;
  } cases[] = {{"21", Action::Refuse}, {"99", Action::Refuse}, {"20", Action::Keep},
               {"1", Action::Keep},    {"0", Action::Never},   {"", Action::Never}};
  for (const auto& c : cases) EXPECT_EQ(LeaveAprsStatusEvery(c.text).action, c.action) << c.text;

  const AprsStatusLeave refused = LeaveAprsStatusEvery("25");
  EXPECT_EQ(refused.refusal.restoredText, "20");
  EXPECT_EQ(refused.refusal.message.caption, "APRS Status Report Error");
  EXPECT_EQ(refused.refusal.message.text,
            "APRS Status Report max. on every 20th APRS Transmission");
  EXPECT_EQ(refused.refusal.message.icon, MessageIcon::Warning);
}

}  // namespace
}  // namespace vextune
