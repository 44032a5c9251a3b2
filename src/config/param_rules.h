#pragma once

#include <string>

#include "config/config_data.h"

namespace vextune {

/// What a parameter accepts, in words for a refusal message: "0 or 1",
/// "0 to 127", "0, or 10 to 7200", "at most 80 characters", ...
std::string DescribeAccepted(const ParamInfo& info);

/// Why a text parameter's rule refused a text, from the validator's code;
/// for the callsign rule the code's meaning ("more than one \"-\"").
std::string DescribeRefusal(const ParamInfo& info, int code);

}  // namespace vextune
