#include "editor/aprs_settings_check.h"

#include <gtest/gtest.h>

#include <functional>

#include "aprs_controls.h"
#include "common/text_codec.h"
#include "config/config_data.h"
#include "editor/aprs_settings_record.h"

namespace vextune {
namespace {

constexpr int32_t kNoDevice = -1;
using testing::Deg;
using testing::GoodAprsControls;
const std::string k80(80, 'y');

struct Refusal {
  const char* name;
  std::function<void(AprsDialogControls&)> change;
  int32_t firmware;
  const char* caption;
  std::string message;
  MessageIcon icon;
  AprsField field;
  FieldSelection selection;
  int start;
  int length;
};

TEST(AprsSettingsCheck, EachRefusalShowsItsMessageAndTakesTheUserThere) {
  constexpr auto kAll = FieldSelection::All;
  constexpr auto kRange = FieldSelection::Range;
  constexpr auto kWarn = MessageIcon::Warning;
  const Refusal cases[] = {
      {"freq beacon empty", [](auto& c) { c.freqBeaconOn = true, c.freqBeaconText = ""; },
       kNoDevice, "APRS Frequency beacon Error",
       "APRS Frequency beacon: Enter a TX Interval between 60...30000 seconds!", kWarn,
       AprsField::FreqBeaconInterval, kAll, 0, 0},
      {"freq beacon 59", [](auto& c) { c.freqBeaconOn = true, c.freqBeaconText = "59"; }, kNoDevice,
       "APRS Frequency beacon Error",
       "APRS Frequency beacon:  \"59\"  is out of range!\nEnter a TX Interval between "
       "60...30000 seconds!",
       kWarn, AprsField::FreqBeaconInterval, kAll, 0, 0},
      {"freq beacon 30001", [](auto& c) { c.freqBeaconOn = true, c.freqBeaconText = "30001"; },
       kNoDevice, "APRS Frequency beacon Error",
       "APRS Frequency beacon:  \"30001\"  is out of range!\nEnter a TX Interval between "
       "60...30000 seconds!",
       kWarn, AprsField::FreqBeaconInterval, kAll, 0, 0},
      {"status every 21", [](auto& c) { c.statusEveryText = "21"; }, kNoDevice, "",
       "APRS status Every: Only values between 0...20 allowed! ", MessageIcon::None,
       AprsField::StatusEvery, kAll, 0, 0},
      {"41 chars below 1.0Q", [](auto& c) { c.comment = std::string(41, 'x'); }, 10080, "",
       "APRS Comment: Comment too long (max. 40 chars)! ", MessageIcon::None, AprsField::Comment,
       kRange, 40, 1},
      {"valid 9", [](auto& c) { c.valid = "9"; }, kNoDevice, "APRS Valid Error",
       "Enter a value between 10...3600 sec.", kWarn, AprsField::Valid, kAll, 0, 0},
      {"valid empty", [](auto& c) { c.valid = ""; }, kNoDevice, "APRS Valid Error",
       "Enter a value between 10...3600 sec.", kWarn, AprsField::Valid, kAll, 0, 0},
      {"valid 3601", [](auto& c) { c.valid = "3601"; }, kNoDevice, "APRS Valid Error",
       "Enter a value between 10...3600 sec.", kWarn, AprsField::Valid, kAll, 0, 0},
      {"latitude 90",
       [](auto& c) {
         c.latitude =
             "90\xB0"
             "00.00",
         c.latitudeHemisphere = 'S';
       },
       kNoDevice, "Latitude Error",
       "Unable to convert this value:\n\t'90\xB0"
       "00.00 S'\ninto a valid position (max. "
       "Latitude: 89\xB0"
       "59.99 N/S)!",
       kWarn, AprsField::Latitude, kRange, 0, 1},
      {"latitude half typed, longitude untouched",
       [](auto& c) { c.latitude = "4_\xB0__.__", c.longitude = "___\xB0__.__"; }, kNoDevice,
       "Latitude Error",
       "Unable to convert this value:\n\t'4_\xB0__.__ N'\ninto a valid position (max. "
       "Latitude: 89\xB0"
       "59.99 N/S)!",
       kWarn, AprsField::Latitude, kRange, 0, 1},
      {"longitude 180",
       [](auto& c) {
         c.longitude =
             "180\xB0"
             "00.00";
       },
       kNoDevice, "Longitude Error",
       "Unable to convert this value:\n\t'180\xB0"
       "00.00 E'\ninto a valid position (max. "
       "Longitude 179\xB0"
       "59.99 E/W)!",
       kWarn, AprsField::Longitude, kRange, 0, 1},
      {"path only blanks", [](auto& c) { c.path = "   "; }, kNoDevice, "APRS Path Error",
       "APRS Path can only be replaced, but NOT deleted.\nPlease enter an APRS Path!", kWarn,
       AprsField::Path, kAll, 0, 0},
      {"path WIDE-0", [](auto& c) { c.path = "APRS,WIDE-0"; }, kNoDevice, "APRS Path Error",
       "Missing SSID: \"WIDE-\" ", kWarn, AprsField::Path, kRange, 5, 5},
      {"path ten entries", [](auto& c) { c.path = "A,B,C,D,E,F,G,H,I,J"; }, kNoDevice,
       "APRS Path Error", "Too many APRS-paths! ", kWarn, AprsField::Path, kAll, 0, 0},
      {"path SSID 16 typed in lower case", [](auto& c) { c.path = "APRS,wide-16"; }, kNoDevice,
       "APRS Path Error", "Wrong SSID: \"WIDE-16\" \n(SSID must be between 0...15) ", kWarn,
       AprsField::Path, FieldSelection::None, 0, 0},
      {"path seven letters", [](auto& c) { c.path = " APRS,KLMNOPQ-1"; }, kNoDevice,
       "APRS Path Error", "Callsign too long: \"KLMNOPQ-1\" \n(max. 6 chars + SSID)", kWarn,
       AprsField::Path, kRange, 6, 9},
      {"manual interval empty", [](auto& c) { c.txIntervalText = ""; }, kNoDevice,
       "APRS TX Interval Error", "TX Interval: Enter a TX Interval between 10...7200 seconds!",
       kWarn, AprsField::TxInterval, kAll, 0, 0},
      {"manual interval 5", [](auto& c) { c.txIntervalText = "5"; }, kNoDevice,
       "APRS TX Interval Error",
       "TX Interval:  \"5\"  is out of range!\nEnter a TX Interval between 10...7200 seconds!",
       kWarn, AprsField::TxInterval, kAll, 0, 0},
      {"manual interval 7201", [](auto& c) { c.txIntervalText = "7201"; }, kNoDevice,
       "APRS TX Interval Error",
       "TX Interval:  \"7201\"  is out of range!\nEnter a TX Interval between 10...7200 seconds!",
       kWarn, AprsField::TxInterval, kAll, 0, 0},
      {"callsign two dashes", [](auto& c) { c.callsign = "a-b-c"; }, kNoDevice,
       "APRS Callsign Error", "Incorrect Callsign: \"A-B-C\" ", kWarn, AprsField::Callsign, kAll, 0,
       0},
      {"callsign dash first", [](auto& c) { c.callsign = "-abc"; }, kNoDevice,
       "APRS Callsign Error", "Incorrect Callsign: \"-ABC\" ", kWarn, AprsField::Callsign, kAll, 0,
       0},
      {"callsign seven letters", [](auto& c) { c.callsign = "klmnopq"; }, kNoDevice,
       "APRS Callsign Error", "Callsign too long: \"KLMNOPQ\" \nMax. 6 chars allowed.", kWarn,
       AprsField::Callsign, kAll, 0, 0},
      {"callsign SSID 16", [](auto& c) { c.callsign = "klmnop-16"; }, kNoDevice,
       "APRS Callsign Error",
       "Incorrect SSID: \"KLMNOP-16\" \nOnly numbers between 0...15 allowed.", kWarn,
       AprsField::Callsign, kAll, 0, 0},
      {"callsign SSID of three", [](auto& c) { c.callsign = "klmnop-123"; }, kNoDevice,
       "APRS Callsign Error",
       "Incorrect SSID: \"KLMNOP-123\" \nOnly numbers between 0...15 allowed.", kWarn,
       AprsField::Callsign, kAll, 0, 0},
      // What the record would refuse after OK.
      {"comment with a tab", [](auto& c) { c.comment = "Hello\tWorld"; }, kNoDevice,
       "APRS Comment Error",
       "APRS Comment: Enter at most 80 characters, without tabs or line breaks!", kWarn,
       AprsField::Comment, kAll, 0, 0},
      {"report text of two lines", [](auto& c) { c.statusText = "QRV\r\n145.500"; }, kNoDevice,
       "APRS Status Report Error",
       "APRS Report Text: Enter at most 80 characters, without tabs or line breaks!", kWarn,
       AprsField::StatusText, kAll, 0, 0},
      {"path with three-digit SSIDs", [](auto& c) { c.path = "APRS,WIDE-0007,AB-0015"; }, kNoDevice,
       "APRS Path Error", "Wrong SSID: \"WIDE-007\" ", kWarn, AprsField::Path, FieldSelection::None,
       0, 0},
      {"latitude out of shape", [](auto& c) { c.latitude = Deg("48*31x79"); }, kNoDevice,
       "Latitude Error",
       Deg("Unable to convert this value:\n\t'48*31x79 N'\ninto a valid position (max. Latitude: "
           "89*59.99 N/S)!"),
       kWarn, AprsField::Latitude, kRange, 0, 1},
      {"callsign with a tab", [](auto& c) { c.callsign = "DB\t0"; }, kNoDevice,
       "APRS Callsign Error", "APRS Callsign Error", kWarn, AprsField::Callsign, kAll, 0, 0},
      // Only the first failing step reports.
      {"two faults, the earlier step wins", [](auto& c) { c.valid = "1", c.callsign = "klmnopq"; },
       kNoDevice, "APRS Valid Error", "Enter a value between 10...3600 sec.", kWarn,
       AprsField::Valid, kAll, 0, 0},
  };
  for (const Refusal& r : cases) {
    AprsDialogControls controls = GoodAprsControls();
    r.change(controls);
    const AprsOkOutcome outcome = CheckAprsSettings(controls, AprsSettingsValues{}, r.firmware);
    ASSERT_FALSE(outcome.accepted()) << r.name;
    const AprsFinding& f = *outcome.finding;
    EXPECT_EQ(f.message.caption, r.caption) << r.name;
    EXPECT_EQ(f.message.text, Cp1252ToUtf8(r.message)) << r.name;
    EXPECT_EQ(f.message.icon, r.icon) << r.name;
    EXPECT_EQ(f.field, r.field) << r.name;
    EXPECT_EQ(f.selection, r.selection) << r.name;
    if (r.selection == kRange) {
      EXPECT_EQ(f.selectionStart, r.start) << r.name;
      EXPECT_EQ(f.selectionLength, r.length) << r.name;
    }
  }
}

TEST(AprsSettingsCheck, FieldTextsTheProgramPutsBack) {
  AprsDialogControls controls = GoodAprsControls();
  controls.path = " ";
  AprsOkOutcome outcome = CheckAprsSettings(controls, {}, kNoDevice);
  EXPECT_EQ(outcome.pathFieldText, "APRS,RELAY,WIDE");
  EXPECT_FALSE(outcome.callsignFieldText.has_value());

  // The callsign shows in capitals from its step on, even when refused.
  controls = GoodAprsControls();
  controls.callsign = "klmnopq";
  outcome = CheckAprsSettings(controls, {}, kNoDevice);
  EXPECT_EQ(outcome.callsignFieldText, "KLMNOPQ");
  EXPECT_FALSE(outcome.pathFieldText.has_value());
}

struct Accepted {
  const char* name;
  std::function<void(AprsDialogControls&)> change;
  int32_t firmware;
  std::function<void(const AprsSettingsValues&)> expect;
};

TEST(AprsSettingsCheck, AcceptedEntriesBecomeTheValues) {
  const Accepted cases[] = {
      {"as opened", [](auto&) {}, kNoDevice,
       [](const AprsSettingsValues& v) {
         EXPECT_EQ(v.callsign, "KLMNOP-9");
         EXPECT_EQ(v.path[0], "APRS");
         EXPECT_EQ(v.path[2], "WIDE");
         EXPECT_EQ(v.position, "4831.79N 00811.88E");
         EXPECT_EQ(v.txInterval, "900");
         EXPECT_EQ(v.freqBeacon, "0");
         EXPECT_EQ(v.statusEvery, 0);
         EXPECT_EQ(v.symbol, "14");
         EXPECT_EQ(v.nmeaOut, 0);
         EXPECT_EQ(v.altitude, 0);
         EXPECT_EQ(v.crossMode, 0);
         EXPECT_EQ(v.digipeating, 0);
         EXPECT_EQ(v.hfToggle, 0);
         EXPECT_EQ(v.autoSpeed, 1);
         EXPECT_EQ(v.beaconMode, "2");  // passed through from before OK
       }},
      {"lists switched on",
       [](auto& c) {
         c.nmeaOn = true, c.altitudeOn = true, c.crossModeOn = true, c.crossModeIndex = 6;
         c.digipeatingOn = true, c.digiAliasIndex = 2, c.hfToggleSwitch = true;
         c.hfOnlyInHfPrMode = false, c.statusEveryText = "20";
       },
       kNoDevice,
       [](const AprsSettingsValues& v) {
         EXPECT_EQ(v.nmeaOut, 3);
         EXPECT_EQ(v.altitude, 2);
         EXPECT_EQ(v.crossMode, 7);
         EXPECT_EQ(v.digipeating, 3);
         EXPECT_EQ(v.hfToggle, 2);
         EXPECT_TRUE(v.hfToggleSwitch);
         EXPECT_EQ(v.statusEvery, 20);
       }},
      {"alternate table counts the alternate box",
       [](auto& c) {
         c.alternateTable = true, c.alternateSymbolIndex = 93, c.primarySymbolIndex = 0;
       },
       kNoDevice, [](const AprsSettingsValues& v) { EXPECT_EQ(v.symbol, "93"); }},
      {"untouched masks give no position",
       [](auto& c) { c.latitude = "__\xB0__.__", c.longitude = "___\xB0__.__"; }, kNoDevice,
       [](const AprsSettingsValues& v) { EXPECT_EQ(v.position, ""); }},
      {"auto interval stores 0", [](auto& c) { c.manualInterval = false, c.txIntervalText = "0"; },
       kNoDevice, [](const AprsSettingsValues& v) { EXPECT_EQ(v.txInterval, "0"); }},
      {"manual interval 0", [](auto& c) { c.txIntervalText = "0"; }, kNoDevice,
       [](const AprsSettingsValues& v) { EXPECT_EQ(v.txInterval, "0"); }},
      {"manual interval 7200", [](auto& c) { c.txIntervalText = "7200"; }, kNoDevice,
       [](const AprsSettingsValues& v) { EXPECT_EQ(v.txInterval, "7200"); }},
      {"freq beacon on with 0", [](auto& c) { c.freqBeaconOn = true, c.freqBeaconText = "0"; },
       kNoDevice, [](const AprsSettingsValues& v) { EXPECT_EQ(v.freqBeacon, "0"); }},
      {"freq beacon 60", [](auto& c) { c.freqBeaconOn = true, c.freqBeaconText = "60"; }, kNoDevice,
       [](const AprsSettingsValues& v) { EXPECT_EQ(v.freqBeacon, "60"); }},
      {"freq beacon off stores 0",
       [](auto& c) { c.freqBeaconOn = false, c.freqBeaconText = "600"; }, kNoDevice,
       [](const AprsSettingsValues& v) { EXPECT_EQ(v.freqBeacon, "0"); }},
      {"path with via and SSID zeros", [](auto& c) { c.path = "apz via wide1-01,WIDE-00"; },
       kNoDevice,
       [](const AprsSettingsValues& v) {
         EXPECT_EQ(v.path, (AprsPathEntries{"APZ", "WIDE1-1", "WIDE", "", "", "", "", "", ""}));
       }},
      {"40 chars below 1.0Q", [](auto& c) { c.comment = std::string(40, 'x'); }, 10080,
       [](const AprsSettingsValues& v) { EXPECT_EQ(v.comment.size(), 40u); }},
      {"41 chars at 1.0Q", [](auto& c) { c.comment = std::string(41, 'x'); }, 10081,
       [](const AprsSettingsValues& v) { EXPECT_EQ(v.comment.size(), 41u); }},
      {"41 chars without a device", [](auto& c) { c.comment = std::string(41, 'x'); }, kNoDevice,
       [](const AprsSettingsValues& v) { EXPECT_EQ(v.comment.size(), 41u); }},
      {"empty callsign", [](auto& c) { c.callsign = ""; }, kNoDevice,
       [](const AprsSettingsValues& v) { EXPECT_EQ(v.callsign, ""); }},
      // A stored choice that this firmware's list lacks is kept, not dropped.
      {"lists showing no entry keep the stored choice",
       [](auto& c) {
         c.nmeaOn = true, c.nmeaIndex = -1, c.crossModeOn = true, c.crossModeIndex = -1;
         c.autoSpeedIndex = -1, c.primarySymbolIndex = -1;
       },
       10173,
       [](const AprsSettingsValues& v) {
         EXPECT_EQ(v.nmeaOut, 4);
         EXPECT_EQ(v.crossMode, 7);
         EXPECT_EQ(v.autoSpeed, 2);
         EXPECT_EQ(v.symbol, "93");
       }},
      {"a list switched off stores 0 whatever it shows",
       [](auto& c) { c.nmeaOn = false, c.nmeaIndex = -1; }, kNoDevice,
       [](const AprsSettingsValues& v) { EXPECT_EQ(v.nmeaOut, 0); }},
      {"empty status every reads 0", [](auto& c) { c.statusEveryText = ""; }, kNoDevice,
       [](const AprsSettingsValues& v) { EXPECT_EQ(v.statusEvery, 0); }},
  };
  AprsSettingsValues before;
  before.beaconMode = "2";
  before.nmeaOut = 4;
  before.crossMode = 7;
  before.autoSpeed = 2;
  before.symbol = "93";
  for (const Accepted& a : cases) {
    AprsDialogControls controls = GoodAprsControls();
    a.change(controls);
    const AprsOkOutcome outcome = CheckAprsSettings(controls, before, a.firmware);
    ASSERT_TRUE(outcome.accepted()) << a.name << ": " << outcome.finding->message.text;
    SCOPED_TRACE(a.name);
    a.expect(outcome.values);
  }
}

// What OK accepts arrives in the record as it is: the values OK hands back,
// taken back and read from the record again, are the same. What the record
// would refuse, OK refuses with a message.
TEST(AprsOkToRecord, AcceptedValuesArriveAsTheyAre) {
  using A = AprsDialogControls&;
  const struct {
    const char* what;
    std::function<void(AprsDialogControls&)> enter;
  } rows[] = {
      {"as it stands", [](A) {}},
      {"callsign", [](A c) { c.callsign = "db0xyz-15"; }},
      {"no callsign, no position",
       [](A c) { c.callsign = "", c.latitude = Deg("__*__.__"), c.longitude = Deg("___*__.__"); }},
      {"comment", [](A c) { c.comment = "Hello World \xB0"; }},
      {"comment 80 chars", [](A c) { c.comment = k80; }},
      {"report text", [](A c) { c.statusText = "QRV 145.500"; }},
      {"path with via and zeros",
       [](A c) { c.path = "apzvx via WIDE1-01,WIDE2-2,WIDE-00,WIDE-001"; }},
      {"path of nine entries", [](A c) { c.path = "A B C D E F G H KLMNOP-15"; }},
      {"fixed position",
       [](A c) {
         c.latitude = Deg("89*59.99"), c.latitudeHemisphere = 'S';
         c.longitude = Deg("179*59.99"), c.longitudeHemisphere = 'E';
       }},
      {"valid 0010", [](A c) { c.valid = "0010"; }},
      {"manual interval 10", [](A c) { c.txIntervalText = "10"; }},
      {"manual interval 0", [](A c) { c.txIntervalText = "0000"; }},
      {"automatic interval", [](A c) { c.manualInterval = false, c.autoSpeedIndex = 2; }},
      {"frequency beacon 60", [](A c) { c.freqBeaconOn = true, c.freqBeaconText = "60"; }},
      {"frequency beacon on at 0", [](A c) { c.freqBeaconOn = true, c.freqBeaconText = "00000"; }},
      {"status every empty", [](A c) { c.statusEveryText = ""; }},
      {"lists at their last entries",
       [](A c) {
         c.alternateTable = true, c.alternateSymbolIndex = 93;
         c.crossModeOn = true, c.crossModeIndex = 6, c.digipeatingOn = true, c.digiAliasIndex = 2;
         c.nmeaOn = true, c.nmeaIndex = 3, c.altitudeOn = true, c.altitudeIndex = 2;
         c.hfToggleSwitch = true, c.hfOnlyInHfPrMode = false;
       }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    CConfigData record;
    AprsDialogControls controls = GoodAprsControls();
    row.enter(controls);
    const AprsOkOutcome outcome =
        CheckAprsSettings(controls, AprsSettingsFromRecord(record), kNoDevice);
    ASSERT_TRUE(outcome.accepted()) << outcome.finding->message.text;

    TakeBackAprsSettings(outcome.values, record);
    // Every value the dialog hands back, read from the record again.
    EXPECT_EQ(AprsSettingsFromRecord(record), outcome.values);
  }
}

}  // namespace
}  // namespace vextune
