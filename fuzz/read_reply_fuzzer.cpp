// Every read step's rule, and the star reply of S, on the input as a reply.
// A reply may change only its step's parameters and only to what their
// setters allow; a taken reply, told again the way the device tells it (the
// simulator's own wording), reads back to the same values.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/text_util.h"
#include "fuzz_support.h"
#include "sim/parameter_store.h"
#include "transfer/read_steps.h"

namespace {

using namespace vextune;
using fuzzing::Expect;

// What the read does with one reply: apply it, complete the step when taken,
// and put the step's parameters back to their defaults when not.
bool ReadReply(const ReadStep& step, std::string_view reply, CConfigData& record) {
  const bool taken = ApplyReadReply(step, reply, record);
  if (taken) {
    CompleteReadStep(step, reply, record);
  } else {
    for (auto member : ReadStepMembers(step)) record.ResetToDefault(member);
  }
  return taken;
}

void CheckStep(const ReadStep& step, std::string_view reply) {
  testing::FakeClock clock;
  const CConfigData defaults;
  CConfigData record;
  const bool taken = ReadReply(step, reply, record);
  fuzzing::CheckRecordHoldsOnlyAllowedValues(record);
  const auto members = ReadStepMembers(step);
  for (const ParamInfo& info : CConfigData::Params()) {
    if (std::find(members.begin(), members.end(), info.member) != members.end()) continue;
    Expect(record.Get(info).text == defaults.Get(info).text &&
               record.Get(info).value == defaults.Get(info).value,
           "a reply changed a parameter of another step");
  }
  if (!taken) return;

  // The device's own wording of what was taken reads back to the same.
  sim::ParameterStore store(10466, "", clock);
  if (!store.PowerOn(&record, nullptr)) fuzzing::Fail("store power-on");
  const std::optional<std::string> told = store.Query(ToUpperAscii(step.query));
  if (!told) fuzzing::Fail(std::string("the device cannot tell ") + step.query);
  if (step.pattern == ReplyPattern::Labelled && told->find(step.label) == std::string::npos) {
    fuzzing::Fail(std::string("the device's own reply lacks its label: ") + *told);
  }
  CConfigData again;
  if (!ReadReply(step, *told, again)) {
    fuzzing::Fail(std::string("the device's own reply is refused: ") + step.query + " <- " + *told);
  }
  for (auto member : members) {
    const ParamInfo* info = nullptr;
    for (const ParamInfo& p : CConfigData::Params()) {
      if (p.member == member) info = &p;
    }
    if (info->member == &CConfigData::m_NmeaOutOld || info->member == &CConfigData::m_SyncClock) {
      continue;
    }
    const bool same = info->IsText() ? (record.*member).text == (again.*member).text
                                     : (record.*member).value == (again.*member).value;
    if (!same) {
      fuzzing::Fail(std::string("read back differently: ") + info->memberName + " via " + *told);
    }
  }
}

// The S reply as its layout defines it: with "* " somewhere and two stars
// the first non-empty run between stars counts, with three the second.
std::optional<std::string> ExpectedToken(std::string_view reply) {
  if (reply.find("* ") == std::string_view::npos) return std::nullopt;
  std::vector<std::string> runs;
  std::string run;
  size_t stars = 0;
  for (char c : reply) {
    if (c != '*') {
      run += c;
      continue;
    }
    ++stars;
    if (!run.empty()) runs.push_back(run);
    run.clear();
  }
  if (!run.empty()) runs.push_back(run);
  if (stars != 2 && stars != 3) return std::nullopt;
  const size_t wanted = stars == 2 ? 0 : 1;
  return wanted < runs.size() ? runs[wanted] : std::string();
}

void CheckStarReply(std::string_view reply) {
  const std::optional<std::string> token = ChannelToken(reply);
  Expect(token == ExpectedToken(reply), "channel token differs from the reply's layout");
  if (!token || token->empty()) return;
  // Told again between two and between three stars, it reads back.
  Expect(ChannelToken("* " + *token + " *") == " " + *token + " ",
         "a channel token does not read back between two stars");
  Expect(ChannelToken("* 0 * " + *token + " *") == " " + *token + " ",
         "a channel token does not read back between three stars");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte picks the step; the rest is the reply, a text up to its
  // first zero byte of at most 256 bytes.
  const auto steps = ReadStepTable();
  const ReadStep& step = steps[data[0] % steps.size()];
  std::string_view reply(reinterpret_cast<const char*>(data + 1), std::min<size_t>(size - 1, 256));
  reply = reply.substr(0, reply.find('\0'));
  CheckStarReply(reply);
  CheckStep(step, reply);
  return 0;
}
