#include "editor/aprs_settings_check.h"

#include "common/text_codec.h"
#include "common/text_util.h"
#include "config/config_data.h"
#include "config/firmware.h"
#include "editor/aprs_choice_lists.h"
#include "editor/aprs_position.h"
#include "editor/field_rules.h"
#include "editor/field_texts.h"
#include "editor/settings_message.h"

namespace vextune {
namespace {

using D = CConfigData;

std::string Quoted(std::string_view text, char quote = '"') {
  return quote + std::string(text) + quote;
}

// The checks build their texts in the record's 8-bit set, in which the
// callsign and the path are typed; the message box takes UTF-8.
AprsFinding Exclamation(std::string caption, std::string_view cp1252Message, AprsField field) {
  return {field, {std::move(caption), Cp1252ToUtf8(cp1252Message), MessageIcon::Warning}};
}

AprsFinding Plain(std::string_view cp1252Message, AprsField field) {
  return {field, {"", Cp1252ToUtf8(cp1252Message), MessageIcon::None}};
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
  const std::string enter =
      "Enter a TX Interval between " + RangeText(&D::m_AprsFreqBeacon) + " seconds!";
  if (c.freqBeaconText.empty()) {
    return Exclamation(kCaption, "APRS Frequency beacon: " + enter, AprsField::FreqBeaconInterval);
  }
  if (!RecordRangeOf(&D::m_AprsFreqBeacon).Takes(ReadFieldNumber(c.freqBeaconText))) {
    return Exclamation(
        kCaption,
        "APRS Frequency beacon:  " + Quoted(c.freqBeaconText) + "  is out of range!\n" + enter,
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
    finding.selection = FieldSelection::Range;
    finding.selectionLength = 1;
    return finding;
  };
  // A text out of the field's shape would join into a position the record
  // refuses; it is reported as one that does not convert.
  if (ConvertCheck(PositionAxis::Latitude, c.latitude) != 0 ||
      !FitsLayout(PositionAxis::Latitude, c.latitude)) {
    return refuse("Latitude Error",
                  "Unable to convert this value:\n\t" +
                      Quoted(c.latitude + ' ' + c.latitudeHemisphere, '\'') +
                      "\ninto a valid position (max. Latitude: 89\xB0"
                      "59.99 N/S)!",
                  AprsField::Latitude);
  }
  if (ConvertCheck(PositionAxis::Longitude, c.longitude) != 0 ||
      !FitsLayout(PositionAxis::Longitude, c.longitude)) {
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
    finding.selection = at == std::string::npos ? FieldSelection::None : FieldSelection::Range;
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
  const std::string enter =
      "Enter a TX Interval between " + RangeText(&D::m_AprsInterval) + " seconds!";
  if (c.txIntervalText.empty()) {
    return Exclamation(kCaption, "TX Interval: " + enter, AprsField::TxInterval);
  }
  if (!RecordRangeOf(&D::m_AprsInterval).Takes(ReadFieldNumber(c.txIntervalText))) {
    return Exclamation(kCaption,
                       "TX Interval:  " + Quoted(c.txIntervalText) + "  is out of range!\n" + enter,
                       AprsField::TxInterval);
  }
  v.txInterval = c.txIntervalText;
  return std::nullopt;
}

std::optional<AprsFinding> CheckCallsignField(std::string_view callsign) {
  constexpr const char* kCaption = "APRS Callsign Error";
  // The record's own rule: CheckCallsign's codes, a control character apart.
  const int code = RecordTextCheck(&D::m_AprsCall, callsign);
  if (code == 0) return std::nullopt;
  return Exclamation(kCaption, CallsignRefusalText(code, callsign, kCaption), AprsField::Callsign);
}

// The comment and the report text as the record takes them: no tab or line
// break, at most its length.
std::optional<AprsFinding> CheckFreeTexts(const AprsDialogControls& c) {
  const std::string limit = std::to_string(kText80Length);
  const std::string rule = " characters, without tabs or line breaks!";
  if (RecordTextCheck(&D::m_AprsComment, c.comment) != 0) {
    return Exclamation("APRS Comment Error", "APRS Comment: Enter at most " + limit + rule,
                       AprsField::Comment);
  }
  if (RecordTextCheck(&D::m_AprsStatusText, c.statusText) != 0) {
    return Exclamation("APRS Status Report Error",
                       "APRS Report Text: Enter at most " + limit + rule, AprsField::StatusText);
  }
  return std::nullopt;
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

  const int32_t statusEvery = ReadFieldNumber(c.statusEveryText);
  if (!RecordRangeOf(&D::m_AprsStatusEvery).Takes(statusEvery)) {
    return refused(Plain(
        "APRS status Every: Only values between " + RangeText(&D::m_AprsStatusEvery) + " allowed! ",
        AprsField::StatusEvery));
  }
  v.statusEvery = statusEvery;

  if (!FeatureAvailable(FirmwareFeature::LongComment, firmwareVersion) &&
      c.comment.size() > kShortCommentLength) {
    AprsFinding finding = Plain(
        "APRS Comment: Comment too long (max. " + std::to_string(kShortCommentLength) + " chars)! ",
        AprsField::Comment);
    finding.selection = FieldSelection::Range;
    finding.selectionStart = static_cast<int>(kShortCommentLength);
    finding.selectionLength = static_cast<int>(c.comment.size() - kShortCommentLength);
    return refused(finding);
  }
  if (auto finding = CheckFreeTexts(c)) return refused(*finding);

  if (!RecordRangeOf(&D::m_AprsValid).Takes(ReadFieldNumber(c.valid))) {
    return refused(Exclamation("APRS Valid Error",
                               "Enter a value between " + RangeText(&D::m_AprsValid) + " sec.",
                               AprsField::Valid));
  }

  v.digipeating = ListChoice(c.digipeatingOn, c.digiAliasIndex, v.digipeating);
  if (auto finding = CheckPosition(c, v)) return refused(*finding);
  if (auto finding = CheckPath(c, v, outcome)) return refused(*finding);
  if (auto finding = CheckTxInterval(c, v)) return refused(*finding);

  // The field shows the callsign in capitals from here on, accepted or not.
  const std::string callsign = ToUpperAscii(c.callsign);
  outcome.callsignFieldText = callsign;
  // The bound fields were taken at the start; the controls cannot have
  // changed since, so only the capitals are new.
  v.callsign = callsign;
  if (auto finding = CheckCallsignField(callsign)) return refused(*finding);

  v.altitude = ListChoice(c.altitudeOn, c.altitudeIndex, v.altitude);
  v.nmeaOut = ListChoice(c.nmeaOn, c.nmeaIndex, v.nmeaOut);
  const int symbol = c.alternateTable ? c.alternateSymbolIndex : c.primarySymbolIndex;
  if (symbol >= 0) v.symbol = std::to_string(symbol);
  return outcome;
}

}  // namespace vextune
