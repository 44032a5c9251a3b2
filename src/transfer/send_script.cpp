#include "transfer/send_script.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "config/firmware.h"
#include "config/param_tables.h"

namespace vextune {
namespace {

// One command line. The record's setters keep control characters out of its
// texts; dropping any that a record got some other way keeps a text from
// ending the line early and starting a command of its own.
std::string Line(const std::string& command) {
  std::string line = "\x1b";
  for (char c : command) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7F) line += c;
  }
  return line + "\r";
}

/// Switches send "1" only for the value 1, whatever else the record holds.
std::string Flag(const CConfigParam& p) {
  return p.value == 1 ? "1" : "0";
}

std::string Number(int32_t value) {
  return std::to_string(value);
}

std::string OrPlaceholder(const std::string& text, const char* placeholder) {
  return text.empty() ? std::string(placeholder) : text;
}

std::string CallWithSsid(const CConfigParam& call, const CConfigParam& ssid) {
  if (ssid.text == "00") return call.text;
  return call.text + "-" + ssid.text;
}

std::vector<std::string> ClockCommands(Clock& clock) {
  // One reading of the clock, so time and date belong together.
  const std::tm now = clock.LocalTime();
  char time[32];
  std::snprintf(time, sizeof time, "K %d:%d:%d", now.tm_hour, now.tm_min, now.tm_sec);
  char date[32];
  std::snprintf(date, sizeof date, "K %02d.%02d.%02d", now.tm_mday, now.tm_mon + 1,
                (now.tm_year + 1900) % 100);
  return {Line(time), Line(date)};
}

std::string MonitorLetters(const CConfigData& c) {
  std::string letters;
  if (c.m_MonitorI.value == 1) letters += 'i';
  if (c.m_MonitorU.value == 1) letters += 'u';
  if (c.m_MonitorS.value == 1) letters += 's';
  if (c.m_MonitorC.value == 1) letters += 'c';
  return letters.empty() ? "n" : letters;
}

std::string ConnectSetting(const CConfigData& c) {
  const int32_t mode = c.m_ConnectMode.value;
  std::string setting = mode == 0 ? "0" : mode == 1 ? "1" : "2";
  if (!c.m_ConnectText.text.empty()) setting += " " + c.m_ConnectText.text;
  return setting;
}

std::string CrossModeWord(int32_t mode) {
  // The record keeps the number in range; "NONE" guards against a bad copy.
  return std::string(WordAt(kCrossModeWords, mode).value_or(kCrossModeWords[0]));
}

std::string SymbolSetting(const CConfigData& c) {
  // Widened: a record that holds INT32_MAX must not overflow.
  const std::string number = std::to_string(int64_t{c.m_AprsSymbol.value} + 1);
  return c.m_AprsAltTable.value == 1 ? "a" + number : number;
}

}  // namespace

std::vector<std::string> ScriptLines(const std::vector<SendStep>& steps, const CConfigData& config,
                                     const DeviceState& device, Clock& clock, bool store) {
  std::vector<std::string> lines;
  for (const SendStep step : steps) {
    if (step == SendStep::Store && store) lines.emplace_back(kStoreCommand);
    for (std::string& line : SendStepCommands(step, config, device, clock)) {
      lines.push_back(std::move(line));
    }
  }
  return lines;
}

std::string AprsPathText(const CConfigData& c) {
  const PathCallsign& destination = kPathCallsigns.front();
  std::string path = CallWithSsid(c.*destination.callsign, c.*destination.ssid);
  // An empty digipeater is a gap, not the end of the list.
  for (size_t i = 1; i < kPathCallsigns.size(); ++i) {
    const CConfigParam& call = c.*kPathCallsigns[i].callsign;
    if (!call.text.empty()) path += " " + CallWithSsid(call, c.*kPathCallsigns[i].ssid);
  }
  return path;
}

namespace {

using D = CConfigData;
using Lines = std::vector<std::string>;
using R = StepRole;
using S = SendStep;

struct Context {
  const CConfigData& c;
  const DeviceState& device;
  Clock& clock;
};

/// How a step turns its first parameter into its line: prefix + the text,
/// the flag or the value; Fixed sends the prefix alone; Composed steps build
/// their lines themselves.
enum class Form { Fixed, Text, Flag, Value, Composed };

/// One step of the script. Its command sets all of `members` at once on the
/// device, so whoever sends one of them sends the step whole. A device gets
/// the step when it knows one of them (ParamAvailable), or, for a step
/// without members, when it knows `gate`; a step with neither goes to every
/// device.
struct Row {
  SendStep step;
  StepRole role;
  Form form;
  const char* prefix;
  std::vector<ParamMember> members;
  Lines (*compose)(const Context&) = nullptr;
  ParamMember gate = nullptr;
};

std::vector<ParamMember> PathMembers() {
  std::vector<ParamMember> members;
  for (const PathCallsign& p : kPathCallsigns) {
    members.push_back(p.callsign);
    members.push_back(p.ssid);
  }
  return members;
}

// The one table of the script: what each step writes and from which
// parameters. Selecting steps for a send of only what changed reads the
// members from here, so a step can never be sent without a parameter its
// command also sets.
constexpr int kFirstRowStep = static_cast<int>(S::QuietPttAndBeacon);
constexpr size_t kRowCount = static_cast<size_t>(static_cast<int>(S::AprsCall) - kFirstRowStep + 1);

std::span<const Row> Rows() {
  // clang-format off
  static const Row rows[] = {
      {S::QuietPttAndBeacon, R::Quiet, Form::Composed, "", {},
       [](const Context&) -> Lines { return {Line("X 0"), Line("%A 0")}; }},
      {S::CallCheckOff, R::Quiet, Form::Fixed, "@V 0", {}},
      {S::AddLinefeed, R::Parameter, Form::Flag, "a ", {&D::m_AddLinefeed}},
      {S::Echo, R::Parameter, Form::Flag, "e ", {&D::m_Echo}},
      {S::CallsignPlaceholder, R::Quiet, Form::Fixed, "I DAVOZI", {}},
      {S::AprsCallOff, R::Quiet, Form::Fixed, "%AM NONE", {}, nullptr, &D::m_AprsCall},
      {S::Frack, R::Parameter, Form::Text, "f ", {&D::m_Frack}},
      {S::ClockAndTimestamp, R::Parameter, Form::Composed, "",
       {&D::m_Timestamp, &D::m_SyncClock},
       [](const Context& x) {
         Lines lines;
         if (x.c.m_SyncClock.value != 0) lines = ClockCommands(x.clock);
         lines.push_back(Line("K " + x.c.m_Timestamp.text));
         return lines;
       }},
      {S::Monitor, R::Parameter, Form::Composed, "",
       {&D::m_MonitorI, &D::m_MonitorU, &D::m_MonitorS, &D::m_MonitorC},
       [](const Context& x) -> Lines { return {Line("m " + MonitorLetters(x.c))}; }},
      {S::Retry, R::Parameter, Form::Text, "n ", {&D::m_Retry}},
      {S::MaxFrame, R::Parameter, Form::Text, "o ", {&D::m_MaxFrame}},
      {S::Persistence, R::Parameter, Form::Text, "p ", {&D::m_Persistence}},
      {S::Digipeat, R::Parameter, Form::Flag, "r ", {&D::m_Digipeat}},
      {S::Channel, R::Parameter, Form::Text, "s ", {&D::m_Channel}},
      {S::TxDelay, R::Parameter, Form::Text, "t ", {&D::m_TxDelay}},
      {S::ConnectText, R::Parameter, Form::Composed, "",
       {&D::m_ConnectMode, &D::m_ConnectText},
       [](const Context& x) -> Lines { return {Line("u " + ConnectSetting(x.c))}; }},
      {S::SlotTime, R::Parameter, Form::Text, "w ", {&D::m_SlotTime}},
      {S::Channels, R::Parameter, Form::Text, "y ", {&D::m_Channels}},
      {S::FlowControl, R::Parameter, Form::Text, "z ", {&D::m_FlowControl}},
      {S::Duplex, R::Parameter, Form::Flag, "@D ", {&D::m_Duplex}},
      {S::SendFlags, R::Parameter, Form::Flag, "@F ", {&D::m_SendFlags}},
      {S::IPoll, R::Parameter, Form::Text, "@I ", {&D::m_IPoll}},
      {S::Timer2, R::Parameter, Form::Text, "@T2 ", {&D::m_Timer2}},
      {S::Timer3, R::Parameter, Form::Text, "@T3 ", {&D::m_Timer3}},
      {S::UiPoll, R::Parameter, Form::Flag, "@U ", {&D::m_UiPoll}},
      {S::AprsAltitude, R::Parameter, Form::Value, "%AA ", {&D::m_AprsAltitude}},
      {S::AprsDigi, R::Parameter, Form::Value, "%AD ", {&D::m_AprsDigi}},
      {S::AprsStatusEvery, R::Parameter, Form::Value, "%AE ", {&D::m_AprsStatusEvery}},
      {S::AprsFreqBeacon, R::Parameter, Form::Text, "%AF ", {&D::m_AprsFreqBeacon}},
      {S::AprsCrossMode, R::Parameter, Form::Composed, "", {&D::m_AprsCrossMode},
       [](const Context& x) -> Lines {
         return {Line("%AG " + CrossModeWord(x.c.m_AprsCrossMode.value))};
       }},
      {S::AprsHfToggle, R::Parameter, Form::Composed, "",
       {&D::m_AprsHfToggle, &D::m_AprsHfToggleOld},
       [](const Context& x) -> Lines {
         // Firmware that predates the three-way toggle knows only the on/off form.
         if (!ParamAvailable(&D::m_AprsHfToggle, x.device.firmwareVersion))
           return {Line("%AH " + Flag(x.c.m_AprsHfToggleOld))};
         return {Line("%AH " + Number(x.c.m_AprsHfToggle.value))};
       }},
      // The older %AN form is never sent; it belongs to the command all the same.
      {S::NmeaOut, R::Parameter, Form::Value, "%AN ", {&D::m_NmeaOut, &D::m_NmeaOutOld}},
      {S::AprsStatusText, R::Parameter, Form::Composed, "", {&D::m_AprsStatusText},
       [](const Context& x) -> Lines {
         return {Line("%AR " + OrPlaceholder(x.c.m_AprsStatusText.text, "-"))};
       }},
      {S::AprsInterval, R::Parameter, Form::Text, "%AT ", {&D::m_AprsInterval}},
      {S::AprsAutoSpeed, R::Parameter, Form::Text, "%AL ", {&D::m_AprsAutoSpeed}},
      {S::AprsValid, R::Parameter, Form::Text, "%AV ", {&D::m_AprsValid}},
      {S::AprsComment, R::Parameter, Form::Composed, "", {&D::m_AprsComment},
       [](const Context& x) -> Lines {
         return {Line("%AC " + OrPlaceholder(x.c.m_AprsComment.text, "-"))};
       }},
      {S::AprsTimestamp, R::Parameter, Form::Flag, "%AI ", {&D::m_AprsTimestamp}},
      {S::AprsPosition, R::Parameter, Form::Composed, "", {&D::m_AprsPosition},
       [](const Context& x) -> Lines {
         if (x.c.m_AprsPosition.text.empty()) return {};
         return {Line("%AO " + x.c.m_AprsPosition.text)};
       }},
      {S::AprsPath, R::Parameter, Form::Composed, "", PathMembers(),
       [](const Context& x) -> Lines {
         if (x.c.m_AprsDest.text.empty()) return {};
         return {Line("%AP " + AprsPathText(x.c))};
       }},
      {S::AprsCompressed, R::Parameter, Form::Flag, "%AS ", {&D::m_AprsCompressed}},
      {S::AprsSymbol, R::Parameter, Form::Composed, "", {&D::m_AprsSymbol, &D::m_AprsAltTable},
       [](const Context& x) -> Lines { return {Line("%AY " + SymbolSetting(x.c))}; }},
      {S::AprsTrackOnly, R::Parameter, Form::Flag, "%AX ", {&D::m_AprsTrackOnly}},
      {S::AprsUnprotoCross, R::Parameter, Form::Flag, "%AU ", {&D::m_AprsUnprotoCross}},
      // The device takes the word; the index follows it.
      {S::PrMode, R::Parameter, Form::Text, "%B ", {&D::m_PrMode, &D::m_PrModeIndex}},
      {S::CenterFreq, R::Parameter, Form::Text, "%F ", {&D::m_CenterFreq}},
      {S::TxFreqTrack, R::Parameter, Form::Flag, "%T ", {&D::m_TxFreqTrack}},
      {S::LevelAfsk, R::Parameter, Form::Text, "%XA ", {&D::m_LevelAfsk}},
      {S::LevelFsk, R::Parameter, Form::Text, "%XF ", {&D::m_LevelFsk}},
      {S::LevelRobust, R::Parameter, Form::Text, "%XR ", {&D::m_LevelRobust}},
      {S::Ptt, R::Restore, Form::Flag, "x ", {&D::m_Ptt}},
      {S::AprsBeacon, R::Restore, Form::Text, "%A ", {&D::m_AprsBeacon}},
      {S::CallCheck, R::Restore, Form::Flag, "@V ", {&D::m_CallCheck}},
      {S::Callsign, R::Restore, Form::Text, "i ", {&D::m_Callsign}},
      {S::AprsCall, R::Restore, Form::Composed, "", {&D::m_AprsCall},
       [](const Context& x) -> Lines {
         return {Line("%AM " + OrPlaceholder(x.c.m_AprsCall.text, "NONE"))};
       }},
  };
  // clang-format on
  static_assert(std::size(rows) == kRowCount, "one row per parameter step");
  return rows;
}

bool RowAvailable(const Row& row, int32_t firmwareVersion) {
  const auto known = [firmwareVersion](ParamMember m) {
    return ParamAvailable(m, firmwareVersion);
  };
  if (row.members.empty()) return row.gate == nullptr || known(row.gate);
  return std::any_of(row.members.begin(), row.members.end(), known);
}

const Row* RowOf(SendStep step) {
  const int index = static_cast<int>(step) - kFirstRowStep;
  if (index < 0 || index >= static_cast<int>(Rows().size())) return nullptr;
  return &Rows()[static_cast<size_t>(index)];
}

}  // namespace

std::vector<std::string> SendStepCommands(SendStep step, const CConfigData& c,
                                          const DeviceState& device, Clock& clock) {
  const Row* row = RowOf(step);
  if (row == nullptr || !RowAvailable(*row, device.firmwareVersion)) return {};
  const Context context{c, device, clock};
  const CConfigParam* first = row->members.empty() ? nullptr : &(c.*row->members.front());
  switch (row->form) {
    case Form::Fixed:
      return {Line(row->prefix)};
    case Form::Text:
      return {Line(row->prefix + first->text)};
    case Form::Flag:
      return {Line(row->prefix + Flag(*first))};
    case Form::Value:
      return {Line(row->prefix + Number(first->value))};
    case Form::Composed:
      break;
  }
  return row->compose(context);
}

StepRole RoleOf(SendStep step) {
  const Row* row = RowOf(step);
  return row == nullptr ? StepRole::Frame : row->role;
}

std::span<const ParamMember> StepMembers(SendStep step) {
  const Row* row = RowOf(step);
  if (row == nullptr) return {};
  return row->members;
}

std::optional<SendStep> StepOf(ParamMember member) {
  for (const Row& row : Rows()) {
    if (std::find(row.members.begin(), row.members.end(), member) != row.members.end()) {
      return row.step;
    }
  }
  return std::nullopt;
}

std::vector<SendStep> ChangedSteps(const CConfigData& config, const CConfigData& onDevice) {
  std::vector<SendStep> changed;
  auto add = [&changed](SendStep step) {
    if (std::find(changed.begin(), changed.end(), step) == changed.end()) changed.push_back(step);
  };
  // The comparison that verifies a send: what it finds equal needs no command.
  for (const ParamInfo* info : config.Differences(onDevice, /*includeSyncClock=*/false)) {
    if (const auto step = StepOf(info->member)) add(*step);
  }
  // The clock is the PC's, never the device's: it is set whenever asked for.
  if (config.m_SyncClock.value != 0) add(SendStep::ClockAndTimestamp);
  std::sort(changed.begin(), changed.end());
  return changed;
}

bool StoreAfterSend(const CConfigData& config, const CConfigData* onDevice, bool storeUnchanged) {
  return onDevice == nullptr || storeUnchanged || !ChangedSteps(config, *onDevice).empty();
}

std::vector<SendStep> ScriptSteps(const CConfigData& config, const CConfigData* onDevice,
                                  bool store) {
  std::vector<SendStep> steps = {S::Open};
  if (onDevice == nullptr) {
    steps.push_back(S::Identify);
    for (const Row& row : Rows()) steps.push_back(row.step);
  } else {
    const std::vector<SendStep> changed = ChangedSteps(config, *onDevice);
    if (changed.empty() && !store) return {};
    if (!changed.empty()) {
      // The quieting and restoring steps frame every change, as in the whole
      // script: the device must not transmit with half of a configuration.
      for (const Row& row : Rows()) {
        const bool framing = row.role == R::Quiet || row.role == R::Restore;
        if (framing || std::binary_search(changed.begin(), changed.end(), row.step)) {
          steps.push_back(row.step);
        }
      }
    }
  }
  steps.push_back(S::Store);
  steps.push_back(S::End);
  return steps;
}

}  // namespace vextune
