#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "config/config_data.h"

namespace vextune {

/// How often a parameter is asked and what makes its reply count.
enum class ReplyPattern {
  Confirmed,  ///< asked twice; the rule must pass and both replies be identical
  Labelled,   ///< asked once; the reply must contain the label and pass the rule
  Single,     ///< asked once; the reply must pass the rule
};

/// How a reply enters the record (the setters and parsers of CConfigData).
enum class ReplyRule {
  Numeric,       ///< SetNumberText on the whole reply
  Callsign,      ///< CheckCallsign on the whole reply; stored once confirmed
  LabelledText,  ///< SetText on the text after "=", then "NONE" becomes empty
  CrossMode,     ///< the mode word after "=" sets the `%AG` number
  HfToggle,      ///< numeric, and the older on/off form follows
  NmeaOut,       ///< numeric, and the older form follows (4 stored as 3)
  Path,          ///< ParsePath on the text after "=", without its first "via"
  Symbol,        ///< ParseSymbol on the first word after "=", upper case
  Monitor,       ///< ParseMonitor on the whole reply
  ConnectText,   ///< ParseConnectText on the whole reply
  PrMode,        ///< SetText on the whole reply; the index follows once confirmed
};

/// One parameter step of the read: which command is asked, how its reply is
/// judged and where it goes.
struct ReadStep {
  int number;         ///< step number, also the progress position
  const char* query;  ///< the bare command letters: "a", "@T2", "%AM"
  ReplyPattern pattern;
  const char* label;  ///< for Labelled: the text the reply must contain
  ReplyRule rule;
  CConfigParam CConfigData::*target;  ///< the parameter the rule works on
};

/// The parameter steps 4 to 54 in their order (steps 1 to 3 and 15 do not
/// exist: `S` is read in command mode in step 0).
std::span<const ReadStep> ReadStepTable();

/// Applies one reply to the record by the step's rule. False when the rule
/// refuses it (the rule has then put defaults in).
bool ApplyReadReply(const ReadStep& step, std::string_view reply, CConfigData& record);

/// What a step does once its parameter counts as read: the callsign is stored
/// only when confirmed, and the `%B` text sets the mode index.
void CompleteReadStep(const ReadStep& step, std::string_view firstReply, CConfigData& record);

/// Every member that the step's rule may change.
std::vector<CConfigParam CConfigData::*> ReadStepMembers(const ReadStep& step);

/// True when a device with `firmwareVersion` is asked the step: it knows at
/// least one of the step's members (ParamAvailable).
bool ReadStepAsked(const ReadStep& step, int32_t firmwareVersion);

/// The entry of the out-of-range list for a command: " A,", " %AT,", " @T2,".
std::string OutOfRangeEntry(std::string_view query);

/// The value of the `S` reply in command mode: the first token between stars
/// when there are two stars, the second when there are three (empty runs do
/// not count). Nothing when the reply has no "* " or another star count.
std::optional<std::string> ChannelToken(std::string_view reply);

}  // namespace vextune
