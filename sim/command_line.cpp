#include "sim/command_line.h"

#include <algorithm>

#include "common/text_util.h"

namespace vextune::sim {
namespace {

// Every command the firmware's command interpreter knows, whatever its
// version: the parameters and the device commands.
constexpr std::string_view kNames[] = {
    "@D",  "@F",  "@I",  "@T2", "@T3", "@U",  "@V",  "A",   "%A",     "%AA",    "%AC", "%AD",
    "%AE", "%AF", "%AG", "%AH", "%AI", "%AL", "%AM", "%AN", "%AO",    "%AP",    "%AR", "%AS",
    "%AT", "%AU", "%AV", "%AX", "%AY", "%B",  "%F",  "%T",  "%XA",    "%XF",    "%XR", "%ZS",
    "C",   "D",   "E",   "F",   "I",   "K",   "M",   "N",   "JHOST0", "JHOST1", "O",   "P",
    "R",   "S",   "T",   "U",   "V",   "W",   "X",   "Y",   "Z"};

}  // namespace

CommandLine SplitCommandLine(std::string_view text) {
  text = TrimSpace(text);
  const std::string upper = ToUpperAscii(text);
  size_t best = 0;
  for (std::string_view name : kNames) {
    if (name.size() > best && std::string_view(upper).substr(0, name.size()) == name) {
      best = name.size();
    }
  }
  if (best == 0) best = std::min(text.find(' '), text.size());
  return {upper.substr(0, best), std::string(TrimSpace(text.substr(best)))};
}

}  // namespace vextune::sim
