// Configuration files: a version block, then the parameters in an order of
// their own. Items added by later program versions are appended at the end,
// so an older file is a prefix of the current layout (apart from the header).
#include "config/config_file.h"

#include <array>
#include <istream>
#include <ostream>
#include <span>

#include "common/text_util.h"
#include "config/config_archive.h"
#include "config/paired_params.h"
#include "config/param_tables.h"

namespace vextune {
namespace {

using P = CConfigParam CConfigData::*;

enum class Encoding {
  Flag,        // 1 byte
  Long,        // 4 bytes
  NumberText,  // string holding a numeric parameter's digits
  Text,        // string holding a text parameter
  Path,        // the 18 strings of the %AP block
};

enum Special : uint8_t {
  kNone = 0,
  kUpperCase = 1,  // converted to upper case before it is applied
  kSkipEmpty = 2,  // an empty text leaves the parameter as it was
};

struct FileItem {
  Encoding encoding;
  P member;
  int32_t since;  // first format version that holds the item
  uint8_t special = kNone;
};

constexpr std::array<FileItem, 60> kItems = {{
    {Encoding::Flag, &CConfigData::m_AddLinefeed, 0},
    {Encoding::Flag, &CConfigData::m_Echo, 0},
    {Encoding::Text, &CConfigData::m_Callsign, 0, kUpperCase},
    {Encoding::NumberText, &CConfigData::m_Frack, 0},
    {Encoding::NumberText, &CConfigData::m_Timestamp, 0},
    {Encoding::Flag, &CConfigData::m_SyncClock, 0},
    {Encoding::Flag, &CConfigData::m_MonitorI, 0},
    {Encoding::Flag, &CConfigData::m_MonitorU, 0},
    {Encoding::Flag, &CConfigData::m_MonitorS, 0},
    {Encoding::Flag, &CConfigData::m_MonitorC, 0},
    {Encoding::NumberText, &CConfigData::m_Retry, 0},
    {Encoding::NumberText, &CConfigData::m_MaxFrame, 0},
    {Encoding::NumberText, &CConfigData::m_Persistence, 0},
    {Encoding::Flag, &CConfigData::m_Digipeat, 0},
    {Encoding::NumberText, &CConfigData::m_Channel, 0},
    {Encoding::NumberText, &CConfigData::m_TxDelay, 0},
    {Encoding::Long, &CConfigData::m_ConnectMode, 0},
    {Encoding::Text, &CConfigData::m_ConnectText, 0, kSkipEmpty},
    {Encoding::NumberText, &CConfigData::m_SlotTime, 0},
    {Encoding::Flag, &CConfigData::m_Ptt, 0},
    {Encoding::NumberText, &CConfigData::m_Channels, 0},
    {Encoding::NumberText, &CConfigData::m_FlowControl, 0},
    {Encoding::Flag, &CConfigData::m_Duplex, 0},
    {Encoding::Flag, &CConfigData::m_SendFlags, 0},
    {Encoding::NumberText, &CConfigData::m_IPoll, 0},
    {Encoding::NumberText, &CConfigData::m_Timer2, 0},
    {Encoding::NumberText, &CConfigData::m_Timer3, 0},
    {Encoding::Flag, &CConfigData::m_UiPoll, 0},
    {Encoding::Flag, &CConfigData::m_CallCheck, 0},
    {Encoding::NumberText, &CConfigData::m_AprsBeacon, 0},
    {Encoding::NumberText, &CConfigData::m_AprsInterval, 0},
    {Encoding::Text, &CConfigData::m_AprsComment, 0},
    {Encoding::Flag, &CConfigData::m_AprsTimestamp, 0},
    {Encoding::Text, &CConfigData::m_AprsPosition, 0, kSkipEmpty},
    {Encoding::Path, nullptr, 0},
    {Encoding::Flag, &CConfigData::m_AprsCompressed, 0},
    {Encoding::Flag, &CConfigData::m_AprsAltTable, 0},
    {Encoding::NumberText, &CConfigData::m_AprsSymbol, 0},
    {Encoding::Flag, &CConfigData::m_AprsTrackOnly, 0},
    {Encoding::Long, &CConfigData::m_PrModeIndex, 0},
    {Encoding::Text, &CConfigData::m_PrMode, 0},
    {Encoding::NumberText, &CConfigData::m_LevelAfsk, 0},
    {Encoding::NumberText, &CConfigData::m_LevelFsk, 0},
    {Encoding::NumberText, &CConfigData::m_LevelRobust, 0},
    {Encoding::Flag, &CConfigData::m_AprsHfToggleOld, config_version::kHfToggleOld},
    {Encoding::Long, &CConfigData::m_AprsDigi, config_version::kDigiAndFreq},
    {Encoding::Long, &CConfigData::m_AprsStatusEvery, config_version::kDigiAndFreq},
    {Encoding::Text, &CConfigData::m_AprsStatusText, config_version::kDigiAndFreq},
    {Encoding::Text, &CConfigData::m_AprsCall, config_version::kDigiAndFreq},
    {Encoding::Long, &CConfigData::m_NmeaOutOld, config_version::kDigiAndFreq},
    {Encoding::NumberText, &CConfigData::m_AprsValid, config_version::kDigiAndFreq},
    {Encoding::NumberText, &CConfigData::m_CenterFreq, config_version::kDigiAndFreq},
    {Encoding::Flag, &CConfigData::m_TxFreqTrack, config_version::kDigiAndFreq},
    {Encoding::Long, &CConfigData::m_AprsHfToggle, config_version::kCrossMode},
    {Encoding::Long, &CConfigData::m_AprsCrossMode, config_version::kCrossMode},
    {Encoding::Long, &CConfigData::m_AprsAltitude, config_version::kCrossMode},
    {Encoding::NumberText, &CConfigData::m_AprsFreqBeacon, config_version::kCrossMode},
    {Encoding::Long, &CConfigData::m_NmeaOut, config_version::kCrossMode},
    {Encoding::Flag, &CConfigData::m_AprsUnprotoCross, config_version::kUnprotoCross},
    {Encoding::Long, &CConfigData::m_AprsAutoSpeed, config_version::kAutoSpeed},
}};

constexpr std::string_view kMarker = "VER ";

// The %AP block: destination and digipeaters 1 to 8, each callsign followed
// by its SSID.
constexpr size_t kPathBlockStrings = 2 * kPathCallsignCount;

std::array<P, kPathBlockStrings> PathBlock() {
  std::array<P, kPathBlockStrings> block{};
  for (size_t i = 0; i < kPathCallsignCount; ++i) {
    block[2 * i] = kPathCallsigns[i].callsign;
    block[2 * i + 1] = kPathCallsigns[i].ssid;
  }
  return block;
}

// Older files wrote SSIDs as "-00" or "-05" inside the callsign. A bare "-0"
// is SSID 0 too: it goes whole rather than leaving a dangling "-".
std::string NormalisePathCallsign(std::string_view text) {
  std::string call = RemoveAll(ToUpperAscii(text), "-00");
  if (const size_t pos = call.find("-0"); pos != std::string::npos) {
    call.erase(pos + 1, 1);
    if (pos + 1 == call.size()) call.erase(pos);
  }
  return call;
}

const ParamInfo* InfoFor(P member) {
  for (const ParamInfo& info : CConfigData::Params()) {
    if (info.member == member) return &info;
  }
  return nullptr;
}

class ItemReader {
 public:
  ItemReader(CConfigData& record, ArchiveReader& in, std::vector<RefusedFileValue>& refused)
      : d_(record), in_(in), refused_(refused) {}

  bool Read(const FileItem& item) {
    switch (item.encoding) {
      case Encoding::Flag: {
        uint8_t byte = 0;
        if (!in_.ReadByte(byte)) return false;
        // A byte other than 0 and 1 is refused.
        if (!CConfigData::SetNumber(d_.*item.member, byte)) Refused(item.member, byte);
        return true;
      }
      case Encoding::Long: {
        int32_t value = 0;
        if (!in_.ReadLong(value)) return false;
        if (!CConfigData::SetNumber(d_.*item.member, value)) Refused(item.member, value);
        return true;
      }
      case Encoding::NumberText: {
        std::string text;
        if (!in_.ReadString(text)) return false;
        if (!CConfigData::SetNumberText(d_.*item.member, text)) Refused(item.member, text);
        return true;
      }
      case Encoding::Text: {
        std::string text;
        if (!in_.ReadString(text)) return false;
        if ((item.special & kSkipEmpty) && text.empty()) return true;
        if (item.special & kUpperCase) text = ToUpperAscii(text);
        ApplyText(item.member, text);
        return true;
      }
      case Encoding::Path:
        return ReadPath();
    }
    return false;
  }

 private:
  /// SetText, noting a refusal.
  void ApplyText(P member, const std::string& text) {
    if (CConfigData::SetText(d_.*member, text) > 0) Refused(member, text);
  }
  void Refused(P member, int32_t value) { Refused(member, std::to_string(value)); }
  void Refused(P member, std::string fileText) {
    refused_.push_back({InfoFor(member), std::move(fileText), (d_.*member).text});
  }

  bool ReadPath() {
    const auto block = PathBlock();
    std::string text;
    if (!in_.ReadString(text)) return false;
    if (text.empty()) {
      // No destination: the whole path goes back to its defaults.
      for (P member : block) CConfigData::SetText(d_.*member, (d_.*member).defText);
      for (size_t i = 1; i < block.size(); ++i) {
        if (!in_.SkipString()) return false;
      }
      return true;
    }
    for (size_t i = 0; i < block.size(); ++i) {
      if (i > 0 && !in_.ReadString(text)) return false;
      const bool isCallsign = i % 2 == 0;
      ApplyText(block[i], isCallsign ? NormalisePathCallsign(text) : text);
    }
    return true;
  }

  CConfigData& d_;
  ArchiveReader& in_;
  std::vector<RefusedFileValue>& refused_;
};

// Files before 65549 kept the SSIDs apart; later ones carry them inside the
// callsigns and leave the SSID parameters at "00".
void MoveSsidsIntoCallsigns(CConfigData& d, int32_t version) {
  for (const PathCallsign& entry : kPathCallsigns) {
    CConfigParam& call = d.*entry.callsign;
    CConfigParam& ssid = d.*entry.ssid;
    if (version < config_version::kHfToggleOld) {
      const std::string upper = ToUpperAscii(call.text);
      // By number, not by text: "00" followed by anything is SSID 0 too, and
      // a "-0" would not survive the next read.
      const int32_t number = DigitsToNumber(LeadingDigits(ssid.text));
      if (!upper.empty() && number != 0) {
        CConfigData::SetText(call, upper + "-" + std::to_string(number));
      }
    }
    CConfigData::SetText(ssid, "00");
  }
}

std::string ErrorFor(ArchiveReader::Status status, std::string_view name) {
  if (status == ArchiveReader::Status::ReadError) {
    return "Cannot read " + std::string(name) + ".";
  }
  if (status == ArchiveReader::Status::TooLong) {
    return "Cannot read " + std::string(name) + ": it holds a text longer than " +
           std::to_string(kMaxArchiveString) + " bytes, which no configuration file does.";
  }
  return "Unexpected end of file in " + std::string(name) + ".";
}

}  // namespace

bool WriteConfigFile(const CConfigData& record, std::ostream& out, int32_t version) {
  ArchiveWriter w(out);
  w.WriteString(kMarker);
  w.WriteLong(version);
  for (const FileItem& item : kItems) {
    if (item.since > version) continue;  // the layout of an older version lacks it
    switch (item.encoding) {
      case Encoding::Flag:
        w.WriteByte((record.*item.member).value != 0 ? 1 : 0);
        break;
      case Encoding::Long:
        w.WriteLong((record.*item.member).value);
        break;
      case Encoding::NumberText:
      case Encoding::Text:
        w.WriteString((record.*item.member).text);
        break;
      case Encoding::Path:
        for (P member : PathBlock()) w.WriteString((record.*member).text);
        break;
    }
  }
  out.flush();
  return w.Good();
}

std::string DescribeRefusedValue(const RefusedFileValue& refused,
                                 std::string (*show)(const ParamInfo&, std::string_view)) {
  const ParamInfo& info = *refused.param;
  return std::string(info.memberName) + " (" + info.command + "): the file holds " +
         show(info, refused.fileText) + ", which is refused; it keeps " +
         show(info, refused.keptText);
}

ConfigReadResult ReadConfigFile(CConfigData& record, std::istream& in, std::string_view name) {
  ConfigReadResult result;
  ArchiveReader reader(in);
  auto fail = [&] {
    result.error = ErrorFor(reader.status(), name);
    return result;
  };

  // The length byte of the marker is not examined, only its four letters.
  const std::string head = reader.Peek(1 + kMarker.size());
  if (head.size() == 1 + kMarker.size() && std::string_view(head).substr(1) == kMarker) {
    std::string marker;
    if (!reader.ReadString(marker) || !reader.ReadLong(result.version)) return fail();
  }
  const int32_t version = result.version;

  ItemReader items(record, reader, result.refused);
  for (const FileItem& item : kItems) {
    if (item.since > version) continue;  // added after this file was written
    if (!items.Read(item)) return fail();
    if (item.member == &CConfigData::m_AprsHfToggleOld && version < config_version::kCrossMode) {
      FollowPartner(record, item.member, PairSource::OlderFile);
    }
  }

  // The items of its version are all a configuration file holds.
  if (!reader.AtEnd()) {
    if (reader.status() != ArchiveReader::Status::Ok) return fail();
    const std::string layout = version == 0
                                   ? "a file without version block"
                                   : "its format version (" + std::to_string(version) + ")";
    result.error = std::string(name) +
                   " is not a configuration file: more bytes follow the last item that " + layout +
                   " holds.";
    return result;
  }

  MoveSsidsIntoCallsigns(record, version);
  if (version < config_version::kCrossMode) {
    FollowPartner(record, &CConfigData::m_NmeaOutOld, PairSource::OlderFile);
  }
  result.ok = true;
  return result;
}

}  // namespace vextune
