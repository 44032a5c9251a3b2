// Two tooltips name other numbers than the record's limits, and keep them
// because their words are prescribed:
// - TX-Delay "[0...127 ms]": the range is the record's, but the unit is
//   10 ms (the field's label says "x 10 ms"), so 127 stands for 1270 ms.
// - Connect text "[max. 255 chars]": the record's limit of every text, not
//   the 72 characters that the connect text itself takes (and its field
//   holds).
#include "editor/field_texts.h"

namespace vextune {
namespace {

// Quote marks as the device's manual prints them (Windows-1252 0x84, 0x93).
constexpr std::string_view kLowQuote = "\u201E";
constexpr std::string_view kHighQuote = "\u201C";

// `text` followed by the range in brackets: "Persistence-configuration [0...255]".
std::string WithRange(std::string_view text, CConfigParam CConfigData::*member,
                      std::string_view unit = "") {
  return std::string(text) + "[" + RangeText(member) + std::string(unit) + "]";
}

std::string MaxChars(size_t length, std::string_view what = "") {
  return "[max. " + std::to_string(length) + " chars" + std::string(what) + "]";
}

std::string Quoted(std::string_view text, std::string_view open, std::string_view close) {
  return std::string(open) + std::string(text) + std::string(close);
}

}  // namespace

std::string RangeText(CConfigParam CConfigData::*member) {
  const ParamInfo& info = CConfigData::InfoOf(member);
  return std::to_string(info.min) + "..." + std::to_string(info.max);
}

std::string EnterValueBetween(CConfigParam CConfigData::*member, std::string_view ending) {
  return "Enter a value between " + RangeText(member) + std::string(ending);
}

std::string CallsignRefusalText(int code, std::string_view shownCallsign,
                                std::string_view otherwise) {
  const std::string quoted = "\"" + std::string(shownCallsign) + "\" ";
  switch (static_cast<CallsignCheck>(code)) {
    case CallsignCheck::TwoDashes:
    case CallsignCheck::LeadingDash:
      return "Incorrect Callsign: " + quoted;
    case CallsignCheck::TooLong:
      return "Callsign too long: " + quoted + "\nMax. " + std::to_string(kCallsignLength) +
             " chars allowed.";
    case CallsignCheck::SsidTooLong:
    case CallsignCheck::SsidNotNumber:
      return "Incorrect SSID: " + quoted + "\nOnly numbers between 0..." +
             std::to_string(kSsidMax) + " allowed.";
    case CallsignCheck::Ok:
      break;
  }
  return std::string(otherwise);
}

std::string GeneralToolTip(GeneralField field) {
  using D = CConfigData;
  const std::string level = " TX-level ";
  switch (field) {
    case GeneralField::Callsign:
      return "Own callsign " + MaxChars(kCallsignLength, " + SSID");
    case GeneralField::TxDelay:
      return WithRange("TX-Delay ", &D::m_TxDelay, " ms");
    case GeneralField::Channel:
      return WithRange("Selects between the virtual channels ", &D::m_Channel);
    case GeneralField::LevelAfsk:
      return WithRange("300/1200 Bd AFSK" + level, &D::m_LevelAfsk, " mV p-p");
    case GeneralField::LevelFsk:
      return WithRange("9600/19200 Bd FSK" + level, &D::m_LevelFsk, " mV p-p");
    case GeneralField::LevelRobust:
      return WithRange("Robust-PR" + level, &D::m_LevelRobust, " mV p-p");
    case GeneralField::CenterFreq:
      return WithRange("Audio Center Freq. at 300 Bd (A)FSK (\"old HF-Packet\") ", &D::m_CenterFreq,
                       " Hz");
    case GeneralField::ConnectText:
      return "Connect Text, sent to distant station when a connect is received  " +
             MaxChars(kMaxTextLength);
  }
  return "";
}

std::string MiscToolTip(MiscField field) {
  using D = CConfigData;
  const std::string manual = ",please read manual for further information ";
  switch (field) {
    case MiscField::Frack:
      return WithRange(Quoted("Frack-Time", kHighQuote, kHighQuote) +
                           ", Values between 1...15 are interpreted separately, please read "
                           "manual ",
                       &D::m_Frack);
    case MiscField::Retry:
      return WithRange(
          "Number of times a packet shall be repeated in case of error (0 = unlimited) ",
          &D::m_Retry);
    case MiscField::MaxFrame:
      return WithRange("Max. number of unacknowledged and unanswered I-Frames ", &D::m_MaxFrame);
    case MiscField::Persistence:
      return WithRange("Persistence-configuration ", &D::m_Persistence);
    case MiscField::SlotTime:
      return WithRange("Defines " + Quoted("Slottime", kLowQuote, kHighQuote) + " in milliseconds ",
                       &D::m_SlotTime);
    case MiscField::Channels:
      return WithRange("Max. number of simultaneously allowed connections ", &D::m_Channels);
    case MiscField::IPoll:
      return WithRange("Max. length of IPOLL-frame. ", &D::m_IPoll);
    case MiscField::Timer2:
      return WithRange("AX.25-" + Quoted("Timer 2", kHighQuote, kHighQuote) + manual, &D::m_Timer2);
    case MiscField::Timer3:
      return WithRange("AX.25-" + Quoted("Timer 3", kHighQuote, kHighQuote) + manual, &D::m_Timer3);
  }
  return "";
}

std::string AprsToolTip(AprsField field) {
  using D = CConfigData;
  switch (field) {
    case AprsField::Callsign:
      return "Own APRS callsign " + MaxChars(kCallsignLength, " + SSID");
    case AprsField::TxInterval:
      return WithRange("Periodic APRS beacon interval ", &D::m_AprsInterval, " s");
    case AprsField::Valid:
      return WithRange("Time (old) GPS-Data remains valid in GPS-Mode ", &D::m_AprsValid, " s");
    case AprsField::StatusText:
      return "Text for additional information besides APRS-Position " + MaxChars(kText80Length);
    case AprsField::FreqBeaconInterval:
      return WithRange("Periodic frequency list broadcast interval ", &D::m_AprsFreqBeacon, " s");
    default:
      break;
  }
  return "";
}

}  // namespace vextune
