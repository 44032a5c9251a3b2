// Feeds arbitrary bytes to the configuration file reader. Whatever the input,
// the reader must not crash, the record must hold only values its setters
// allow, and writing that record and reading it back must give it again.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "config/config_file.h"
#include "record_invariants.h"

namespace {

using vextune::CConfigData;
using vextune::CConfigParam;
using vextune::ParamInfo;
using vextune::fuzzing::CheckRecordHoldsOnlyAllowedValues;
using vextune::fuzzing::Fail;

// What a write and read of `d` must give: path SSIDs travel inside the
// callsigns, and an empty destination brings back the default path.
CConfigData ExpectedAfterRoundTrip(const CConfigData& d) {
  CConfigData expected = d;
  const bool defaultPath = d.m_AprsDest.text.empty();
  for (const ParamInfo& info : CConfigData::Params()) {
    if (std::string_view(info.command) != "%AP") continue;
    CConfigParam& p = expected.Get(info);
    if (p.validator == vextune::CheckSsid) {
      CConfigData::SetText(p, "00");
    } else if (defaultPath) {
      expected.ResetToDefault(info.member);
    }
  }
  return expected;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  CConfigData first;
  const vextune::ConfigReadResult read = vextune::ReadConfigFile(first, in);
  if (!read.ok && read.error.empty()) std::abort();
  CheckRecordHoldsOnlyAllowedValues(first);

  std::ostringstream out;
  if (!vextune::WriteConfigFile(first, out)) std::abort();
  std::istringstream again(out.str());
  CConfigData second;
  const vextune::ConfigReadResult reread = vextune::ReadConfigFile(second, again);
  if (!reread.ok || reread.version != vextune::kConfigFormatVersion) std::abort();

  const CConfigData expected = ExpectedAfterRoundTrip(first);
  for (const ParamInfo& info : CConfigData::Params()) {
    const CConfigParam& a = expected.Get(info);
    const CConfigParam& b = second.Get(info);
    if (a.value != b.value || a.text != b.text)
      Fail(std::string("round trip changed: ") + info.memberName);
  }
  return 0;
}
