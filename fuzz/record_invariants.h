#pragma once

// Checks that hold for every record whatever went into it, for the fuzz
// targets.

#include <string>

#include "config/config_data.h"

namespace vextune::fuzzing {

/// Ends the run as a finding: prints `what` and aborts, so that libFuzzer
/// keeps the input.
[[noreturn]] void Fail(const std::string& what);
inline void Expect(bool holds, const char* what) {
  if (!holds) Fail(what);
}

/// Fails unless every parameter of `record` holds what its setters allow: a
/// text its rules take, a number in range whose text is its digits.
void CheckRecordHoldsOnlyAllowedValues(const CConfigData& record);

}  // namespace vextune::fuzzing
