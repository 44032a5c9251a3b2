#pragma once

#include <string>
#include <vector>

#include "config/config_data.h"

namespace vextune {

/// One setting in which two records differ, as the user sees it: parameters
/// that one device command sets together (the %B index and word, the two %AH
/// forms, the %AP path with its SSIDs, the four M letters) make one entry.
/// Texts are UTF-8.
struct ParamChange {
  const ParamInfo* param = nullptr;  ///< the setting's first parameter
  std::string member;                ///< its member name: "m_TxDelay"
  std::string command;               ///< the device command: "T"
  std::string label;                 ///< the settings dialog's label: "TX-Delay (T)"
  std::string from;                  ///< the old value with its unit: "25 x 10 ms"
  std::string to;                    ///< the new value: "40 x 10 ms"
  /// The member names of the setting's parameters that differ, in record order.
  std::vector<std::string> members;
};

/// The settings in which `to` differs from `from` (for a send: `from` what
/// the device holds, `to` what is to be sent), in record order; empty when
/// nothing differs. The comparison is the verification's: the older %AN form
/// never counts, the clock flag only with `includeSyncClock`.
std::vector<ParamChange> ChangeList(const CConfigData& from, const CConfigData& to,
                                    bool includeSyncClock);

/// "TX-Delay (T): 25 x 10 ms → 40 x 10 ms"
std::string ChangeLine(const ParamChange& change);

}  // namespace vextune
