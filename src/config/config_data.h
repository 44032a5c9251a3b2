#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vextune {

/// A text rule: 0 when the text is acceptable, a nonzero code when not.
using Validator = int (*)(std::string_view text);

/// Longest text a record holds: a text parameter's text, or the digits of a
/// numeric one. Far above every device setting, far below the file's limit.
inline constexpr size_t kMaxTextLength = 255;

/// Codes of the rules every text parameter has on top of its validator; they
/// lie apart from the validators' own codes.
inline constexpr int kTextHasControlCharacter = 100;  ///< a byte below 0x20, or 0x7F
inline constexpr int kTextTooLong = 101;              ///< more than kMaxTextLength bytes

/// The bytes no text parameter takes: below 0x20, and 0x7F. They would end or
/// steer the device's command line.
bool IsControlCharacter(char c);
bool HasControlCharacter(std::string_view text);

/// One device parameter. Numeric parameters use value and text (the decimal
/// digits of the value, leading zeros possible) with min, max, def and
/// zeroAllowed; text parameters use text, defText and validator.
struct CConfigParam {
  int32_t value = 0;
  std::string text;
  int32_t min = 0;
  int32_t max = 0;
  int32_t def = 0;
  /// 0 is accepted (off or automatic) although it lies below min.
  bool zeroAllowed = false;
  std::string defText;
  Validator validator = nullptr;
};

class CConfigData;

/// Flag: a numeric parameter with range 0..1. Number: any other numeric
/// parameter. Text: a parameter held as text with a validator.
enum class ParamKind { Flag, Number, Text };

/// Static description of one of the 77 parameters, in record order: its
/// names and what SetDefaults puts in.
struct ParamInfo {
  CConfigParam CConfigData::*member;
  const char* memberName;  ///< "m_TxDelay"
  const char* command;     ///< the device command that sets it: "T", "%AT", "@T2"
  ParamKind kind;
  int32_t min = 0;           ///< numeric parameters: lowest accepted value
  int32_t max = 0;           ///< numeric parameters: highest accepted value
  int32_t def = 0;           ///< numeric parameters: default value
  bool zeroAllowed = false;  ///< numeric parameters: 0 accepted below min
  const char* defText = "";  ///< text parameters: default text
  Validator validator = nullptr;
  /// The first firmware version that knows the parameter; 0: every one.
  /// ParamAvailable (config/firmware.h) compares against it.
  uint32_t since = 0;

  bool IsText() const { return kind == ParamKind::Text; }
};

inline constexpr size_t kParamCount = 77;

/// One complete DAV-OZI configuration. Values enter only through the setters
/// and parsers below, so a record never holds an out-of-range value.
class CConfigData {
 public:
  CConfigData();  ///< applies SetDefaults
  virtual ~CConfigData() = default;
  CConfigData(const CConfigData&) = default;
  CConfigData& operator=(const CConfigData&) = default;

  /// Resets every parameter: value, text, limits, default and validator.
  void SetDefaults();
  /// Copies all 77 parameters, every field, into `target`.
  void CopyTo(CConfigData& target) const;
  /// Compares values (numeric) and texts (text parameters, case-sensitive).
  /// m_NmeaOutOld never counts; m_SyncClock only with includeSyncClock.
  bool IsEqual(const CConfigData& other, bool includeSyncClock) const;
  /// The parameters that IsEqual finds different, in record order.
  std::vector<const ParamInfo*> Differences(const CConfigData& other, bool includeSyncClock) const;

  // ---- Setters: the only way values enter a record ----
  /// True when taken; false when refused (parameter unchanged).
  static bool SetNumber(CConfigParam& p, int32_t value);
  /// Takes the leading digits after an optional "name =". True when taken;
  /// false when the default was put in (also for more than kMaxTextLength
  /// digits).
  static bool SetNumberText(CConfigParam& p, std::string_view text);
  /// 0 when taken; the refusal code (CheckText) when the default text was put
  /// in; -1 when the parameter has no validator (nothing changed).
  static int SetText(CConfigParam& p, std::string_view text);
  /// What SetText would answer for `text`, without changing `p`: -1 without a
  /// validator; kTextHasControlCharacter for a control character (they would
  /// end or steer the device's command line); kTextTooLong; otherwise the
  /// validator's code.
  static int CheckText(const CConfigParam& p, std::string_view text);
  /// SetNumberText that leaves `p` as it was when it refuses `text`.
  static bool TakeNumberText(CConfigParam& p, std::string_view text);
  /// SetText that leaves `p` as it was when it refuses `text`; the same code.
  static int TakeText(CConfigParam& p, std::string_view text);
  /// Puts `member`'s default back: the default text of a text parameter, the
  /// default value (and its digits) of a numeric one.
  void ResetToDefault(CConfigParam CConfigData::*member);

  // ---- Parsers of composite settings; 0 taken, 1 reset/refused ----
  int ParsePath(std::string_view path);
  int ParseSymbol(std::string_view symbol);
  int ParseMonitor(std::string_view letters);
  int ParseConnectText(std::string_view setting);

  // ---- Lookup by member name, for the command line and tests ----
  static const std::array<ParamInfo, kParamCount>& Params();
  /// "m_TxDelay" or "TxDelay"; an exact match first, then one that ignores
  /// ASCII case. nullptr when there is no such parameter.
  static const ParamInfo* FindParam(std::string_view name);
  /// The table entry of `member`, which must be one of the 77 parameters.
  static const ParamInfo& InfoOf(CConfigParam CConfigData::*member);
  CConfigParam& Get(const ParamInfo& info) { return this->*info.member; }
  const CConfigParam& Get(const ParamInfo& info) const { return this->*info.member; }

  // ---- The 77 parameters, in record order ----
  CConfigParam m_Duplex;           // @D
  CConfigParam m_SendFlags;        // @F
  CConfigParam m_IPoll;            // @I
  CConfigParam m_Timer2;           // @T2
  CConfigParam m_Timer3;           // @T3
  CConfigParam m_UiPoll;           // @U
  CConfigParam m_CallCheck;        // @V
  CConfigParam m_AddLinefeed;      // A
  CConfigParam m_AprsBeacon;       // %A
  CConfigParam m_AprsAltitude;     // %AA
  CConfigParam m_AprsComment;      // %AC
  CConfigParam m_AprsDigi;         // %AD
  CConfigParam m_AprsStatusEvery;  // %AE
  CConfigParam m_AprsFreqBeacon;   // %AF
  CConfigParam m_AprsCrossMode;    // %AG
  CConfigParam m_AprsHfToggleOld;  // %AH, older on/off form
  CConfigParam m_AprsHfToggle;     // %AH
  CConfigParam m_AprsTimestamp;    // %AI
  CConfigParam m_AprsCall;         // %AM
  CConfigParam m_NmeaOutOld;       // %AN, older form
  CConfigParam m_NmeaOut;          // %AN
  CConfigParam m_AprsPosition;     // %AO
  CConfigParam m_AprsDest;         // %AP destination
  CConfigParam m_AprsDestSsid;
  CConfigParam m_AprsVia1;  // %AP digipeaters 1 to 8, each with its SSID
  CConfigParam m_AprsVia1Ssid;
  CConfigParam m_AprsVia2;
  CConfigParam m_AprsVia2Ssid;
  CConfigParam m_AprsVia3;
  CConfigParam m_AprsVia3Ssid;
  CConfigParam m_AprsVia4;
  CConfigParam m_AprsVia4Ssid;
  CConfigParam m_AprsVia5;
  CConfigParam m_AprsVia5Ssid;
  CConfigParam m_AprsVia6;
  CConfigParam m_AprsVia6Ssid;
  CConfigParam m_AprsVia7;
  CConfigParam m_AprsVia7Ssid;
  CConfigParam m_AprsVia8;
  CConfigParam m_AprsVia8Ssid;
  CConfigParam m_AprsStatusText;  // %AR
  CConfigParam m_AprsCompressed;  // %AS
  CConfigParam m_AprsInterval;    // %AT
  CConfigParam m_AprsValid;       // %AV
  CConfigParam m_AprsTrackOnly;   // %AX
  CConfigParam m_AprsAltTable;    // %AY alternate table
  CConfigParam m_AprsSymbol;      // %AY symbol index (device number - 1)
  CConfigParam m_Echo;            // E
  CConfigParam m_Frack;           // F
  CConfigParam m_Callsign;        // I
  CConfigParam m_Timestamp;       // K
  CConfigParam m_SyncClock;       // K clock setting when sending
  CConfigParam m_MonitorC;        // M letters C, I, S, U
  CConfigParam m_MonitorI;
  CConfigParam m_MonitorS;
  CConfigParam m_MonitorU;
  CConfigParam m_Retry;             // N
  CConfigParam m_MaxFrame;          // O
  CConfigParam m_Persistence;       // P
  CConfigParam m_AprsUnprotoCross;  // %AU
  CConfigParam m_PrModeIndex;       // %B as an index
  CConfigParam m_PrMode;            // %B as sent
  CConfigParam m_CenterFreq;        // %F
  CConfigParam m_TxFreqTrack;       // %T
  CConfigParam m_LevelAfsk;         // %XA
  CConfigParam m_LevelFsk;          // %XF
  CConfigParam m_LevelRobust;       // %XR
  CConfigParam m_Digipeat;          // R
  CConfigParam m_Channel;           // S
  CConfigParam m_TxDelay;           // T
  CConfigParam m_ConnectMode;       // U mode
  CConfigParam m_ConnectText;       // U text
  CConfigParam m_SlotTime;          // W
  CConfigParam m_Ptt;               // X
  CConfigParam m_Channels;          // Y
  CConfigParam m_FlowControl;       // Z
  CConfigParam m_AprsAutoSpeed;     // %AL
};

// ---- Validators: 0 acceptable, nonzero refused ----
/// The callsign rule's limits: at most kCallsignLength characters before an
/// optional "-" and an SSID of at most two characters up to kSsidMax.
inline constexpr size_t kCallsignLength = 6;
inline constexpr int32_t kSsidMax = 15;
/// What CheckCallsign answers, by its codes.
enum class CallsignCheck {
  Ok = 0,
  TwoDashes = 1,      ///< more than one "-"
  LeadingDash = 2,    ///< starts with "-"
  TooLong = 3,        ///< more than kCallsignLength characters before the SSID
  SsidTooLong = 4,    ///< an SSID of more than two characters
  SsidNotNumber = 5,  ///< an SSID that is not a number up to kSsidMax
};
int CheckCallsign(std::string_view text);  ///< a CallsignCheck code
int CheckSsid(std::string_view text);
int CheckPosition(std::string_view text);
int CheckText80(std::string_view text);  ///< at most kText80Length characters
int CheckText72(std::string_view text);  ///< at most kText72Length characters
inline constexpr size_t kText80Length = 80;
inline constexpr size_t kText72Length = 72;
int CheckPrMode(std::string_view text);
int CheckCrossMode(std::string_view text);

}  // namespace vextune
