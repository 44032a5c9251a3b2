#include "editor/aprs_settings_check.h"

#include "common/text_util.h"
#include "config/config_data.h"
#include "editor/aprs_choice_lists.h"
#include "editor/aprs_position.h"
#include "link/device_state.h"

namespace vextune {
namespace {

constexpr int32_t kFreqBeaconMin = 60;
constexpr int32_t kFreqBeaconMax = 30000;
constexpr int32_t kStatusEveryMax = 20;
constexpr size_t kOldCommentMax = 40;
constexpr int32_t kValidMin = 10;
constexpr int32_t kValidMax = 3600;
constexpr int32_t kTxIntervalMin = 10;
constexpr int32_t kTxIntervalMax = 7200;

int32_t DecimalValue(std::string_view text) {
  return DigitsToNumber(LeadingDigits(TrimSpace(text)));
}

std::string Quoted(std::string_view text, char quote = '"') {
  return quote + std::string(text) + quote;
}

AprsFinding Exclamation(std::string caption, std::string message, AprsField field) {
  return {std::move(caption),
          std::move(message),
          MessageIcon::Warning,
          field,
          AprsSelection::All,
          0,
          0};
}

AprsFinding Plain(std::string message, AprsField field) {
  return {"", std::move(message), MessageIcon::None, field, AprsSelection::All, 0, 0};
}

// A list choice as stored: index + 1 when its check box is on, else 0. A
// list that shows nothing (the stored choice is one this firmware does not
// offer) keeps the stored choice rather than switching it off.
int32_t ListChoice(bool on, int index, int32_t stored) {
  if (!on) return 0;
  return index >= 0 ? index + 1 : stored;
}

void TakeBoundValues(const AprsDialogControls& c, AprsSettingsValues& v) {
  v.callsign = c.callsign;
  v.comment = c.comment;
  v.statusText = c.statusText;
  v.valid = c.valid;
  v.txInterval = c.txIntervalText;
  v.freqBeacon = c.freqBeaconText;
  v.trackOnly = c.trackOnly;
  v.compressed = c.compressed;
  v.timestamp = c.timestamp;
  v.alternateTable = c.alternateTable;
  v.hfToggleSwitch = c.hfToggleSwitch;
  v.unprotoCross = c.unprotoCross;
  if (c.autoSpeedIndex >= 0) v.autoSpeed = c.autoSpeedIndex;
}

std::optional<AprsFinding> CheckFreqBeacon(const AprsDialogControls& c, AprsSettingsValues& v) {
  constexpr const char* kCaption = "APRS Frequency beacon Error";
  if (!c.freqBeaconOn) {
    v.freqBeacon = "0";
    return std::nullopt;
  }
  if (c.freqBeaconText.empty()) {
    return Exclamation(kCaption,
                       "APRS Frequency beacon: Enter a TX Interval between 60...30000 seconds!",
                       AprsField::FreqBeaconInterval);
  }
  const int32_t value = DecimalValue(c.freqBeaconText);
  if (value != 0 && (value < kFreqBeaconMin || value > kFreqBeaconMax)) {
    return Exclamation(kCaption,
                       "APRS Frequency beacon:  " + Quoted(c.freqBeaconText) +
                           "  is out of range!\nEnter a TX Interval between 60...30000 seconds!",
                       AprsField::FreqBeaconInterval);
  }
  v.freqBeacon = c.freqBeaconText;
  return std::nullopt;
}

std::optional<AprsFinding> CheckPosition(const AprsDialogControls& c, AprsSettingsValues& v) {
  if (PositionUntouched(c.latitude, c.longitude)) {
    v.position.clear();
    return std::nullopt;
  }
  const auto refuse = [](const char* caption, std::string message, AprsField field) {
    AprsFinding finding = Exclamation(caption, std::move(message), field);
    finding.selection = AprsSelection::Range;
    finding.selectionLength = 1;
    return finding;
  };
  if (ConvertCheck(PositionAxis::Latitude, c.latitude) != 0) {
    return refuse("Latitude Error",
                  "Unable to convert this value:\n\t" +
                      Quoted(c.latitude + ' ' + c.latitudeHemisphere, '\'') +
                      "\ninto a valid position (max. Latitude: 89\xB0"
                      "59.99 N/S)!",
                  AprsField::Latitude);
  }
  if (ConvertCheck(PositionAxis::Longitude, c.longitude) != 0) {
    return refuse("Longitude Error",
                  "Unable to convert this value:\n\t" +
                      Quoted(c.longitude + ' ' + c.longitudeHemisphere, '\'') +
                      "\ninto a valid position (max. Longitude 179\xB0"
                      "59.99 E/W)!",
                  AprsField::Longitude);
  }
  v.position = JoinPosition(c.latitude, c.latitudeHemisphere, c.longitude, c.longitudeHemisphere);
  return std::nullopt;
}

std::optional<AprsFinding> CheckPath(const AprsDialogControls& c, AprsSettingsValues& v,
                                     AprsOkOutcome& outcome) {
  constexpr const char* kCaption = "APRS Path Error";
  if (TrimSpace(c.path).empty()) {
    outcome.pathFieldText = std::string(kDefaultAprsPathText);
    return Exclamation(
        kCaption, "APRS Path can only be replaced, but NOT deleted.\nPlease enter an APRS Path!",
        AprsField::Path);
  }
  const AprsPathParse parse = ParseAprsPath(TrimSpace(c.path));
  if (parse.error == AprsPathError::None) {
    v.path = parse.entries;
    return std::nullopt;
  }
  AprsFinding finding = Exclamation(kCaption, AprsPathErrorMessage(parse), AprsField::Path);
  if (parse.error != AprsPathError::TooManyEntries) {
    // The entry as typed may differ (lower case, "-01"): then nothing is
    // selected rather than the wrong place.
    const size_t at = c.path.find(parse.entry);
    finding.selection = at == std::string::npos ? AprsSelection::None : AprsSelection::Range;
    finding.selectionStart = at == std::string::npos ? 0 : static_cast<int>(at);
    finding.selectionLength = at == std::string::npos ? 0 : static_cast<int>(parse.entry.size());
  }
  return finding;
}

std::optional<AprsFinding> CheckTxInterval(const AprsDialogControls& c, AprsSettingsValues& v) {
  constexpr const char* kCaption = "APRS TX Interval Error";
  if (!c.manualInterval) {
    v.txInterval = "0";
    return std::nullopt;
  }
  if (c.txIntervalText.empty()) {
    return Exclamation(kCaption, "TX Interval: Enter a TX Interval between 10...7200 seconds!",
                       AprsField::TxInterval);
  }
  const int32_t value = DecimalValue(c.txIntervalText);
  if (value != 0 && (value < kTxIntervalMin || value > kTxIntervalMax)) {
    return Exclamation(kCaption,
                       "TX Interval:  " + Quoted(c.txIntervalText) +
                           "  is out of range!\nEnter a TX Interval between 10...7200 seconds!",
                       AprsField::TxInterval);
  }
  v.txInterval = c.txIntervalText;
  return std::nullopt;
}

std::optional<AprsFinding> CheckCallsignField(std::string_view callsign) {
  const std::string quoted = Quoted(callsign);
  std::string message;
  switch (CheckCallsign(callsign)) {
    case 0:
      return std::nullopt;
    case 1:
    case 2:
      message = "Incorrect Callsign: " + quoted + " ";
      break;
    case 3:
      message = "Callsign too long: " + quoted + " \nMax. 6 chars allowed.";
      break;
    case 4:
    case 5:
      message = "Incorrect SSID: " + quoted + " \nOnly numbers between 0...15 allowed.";
      break;
    default:
      message = "APRS Callsign Error";
      break;
  }
  return Exclamation("APRS Callsign Error", message, AprsField::Callsign);
}

}  // namespace

AprsOkOutcome CheckAprsSettings(const AprsDialogControls& c, AprsSettingsValues values,
                                int32_t firmwareVersion) {
  AprsOkOutcome outcome;
  AprsSettingsValues& v = outcome.values;
  v = std::move(values);
  const auto refused = [&outcome](AprsFinding finding) {
    outcome.finding = std::move(finding);
    return outcome;
  };

  TakeBoundValues(c, v);
  if (auto finding = CheckFreqBeacon(c, v)) return refused(*finding);
  v.crossMode = ListChoice(c.crossModeOn, c.crossModeIndex, v.crossMode);
  if (c.autoSpeedIndex >= 0) v.autoSpeed = c.autoSpeedIndex;
  v.hfToggle = !c.hfToggleSwitch ? 0 : c.hfOnlyInHfPrMode ? 1 : 2;

  const int32_t statusEvery = DecimalValue(c.statusEveryText);
  if (statusEvery > kStatusEveryMax) {
    return refused(
        Plain("APRS status Every: Only values between 0...20 allowed! ", AprsField::StatusEvery));
  }
  v.statusEvery = statusEvery;

  if (!FirmwareReaches(firmwareVersion, firmware::k1_0Q) && c.comment.size() > kOldCommentMax) {
    AprsFinding finding =
        Plain("APRS Comment: Comment too long (max. 40 chars)! ", AprsField::Comment);
    finding.selection = AprsSelection::Range;
    finding.selectionStart = static_cast<int>(kOldCommentMax);
    finding.selectionLength = static_cast<int>(c.comment.size() - kOldCommentMax);
    return refused(finding);
  }

  const int32_t valid = DecimalValue(c.valid);
  if (valid < kValidMin || valid > kValidMax) {
    return refused(
        Exclamation("APRS Valid Error", "Enter a value between 10...3600 sec.", AprsField::Valid));
  }

  v.digipeating = ListChoice(c.digipeatingOn, c.digiAliasIndex, v.digipeating);
  if (auto finding = CheckPosition(c, v)) return refused(*finding);
  if (auto finding = CheckPath(c, v, outcome)) return refused(*finding);
  if (auto finding = CheckTxInterval(c, v)) return refused(*finding);

  // The field shows the callsign in capitals from here on, accepted or not.
  const std::string callsign = ToUpperAscii(c.callsign);
  outcome.callsignFieldText = callsign;
  // The bound fields are taken over once more; the intervals keep what their
  // checks decided.
  const std::string txInterval = v.txInterval;
  const std::string freqBeacon = v.freqBeacon;
  TakeBoundValues(c, v);
  v.callsign = callsign;
  v.txInterval = txInterval;
  v.freqBeacon = freqBeacon;
  if (auto finding = CheckCallsignField(callsign)) return refused(*finding);

  v.altitude = ListChoice(c.altitudeOn, c.altitudeIndex, v.altitude);
  v.nmeaOut = ListChoice(c.nmeaOn, c.nmeaIndex, v.nmeaOut);
  const int symbol = c.alternateTable ? c.alternateSymbolIndex : c.primarySymbolIndex;
  if (symbol >= 0) v.symbol = std::to_string(symbol);
  return outcome;
}

}  // namespace vextune
