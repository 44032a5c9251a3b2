#include "record_invariants.h"

#include <cstdio>
#include <cstdlib>

#include "common/text_util.h"

namespace vextune::fuzzing {

void Fail(const std::string& what) {
  std::fprintf(stderr, "fuzz finding: %s\n", what.c_str());
  std::abort();
}

void CheckRecordHoldsOnlyAllowedValues(const CConfigData& d) {
  for (const ParamInfo& info : CConfigData::Params()) {
    const CConfigParam& p = d.Get(info);
    const std::string name = info.memberName;
    if (info.IsText()) {
      if (CConfigData::CheckText(p, p.text) != 0) Fail("text breaks its rules: " + name);
      continue;
    }
    const bool inRange = (p.zeroAllowed && p.value == 0) || (p.value >= p.min && p.value <= p.max);
    if (!inRange) Fail("value out of range: " + name);
    const std::string_view digits = LeadingDigits(p.text);
    if (digits.empty() || digits.size() != p.text.size() || digits.size() > kMaxTextLength ||
        DigitsToNumber(digits) != p.value) {
      Fail("text does not hold the value: " + name);
    }
  }
}

}  // namespace vextune::fuzzing
