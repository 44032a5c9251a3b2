#include "sim/command_line.h"

#include <algorithm>

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

std::string_view Trim(std::string_view text) {
  constexpr std::string_view kSpace = " \t\r\n";
  const size_t first = text.find_first_not_of(kSpace);
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(kSpace);
  return text.substr(first, last - first + 1);
}

std::string ToUpper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

CommandLine SplitCommandLine(std::string_view text) {
  text = Trim(text);
  const std::string upper = ToUpper(text);
  size_t best = 0;
  for (std::string_view name : kNames) {
    if (name.size() > best && std::string_view(upper).substr(0, name.size()) == name) {
      best = name.size();
    }
  }
  if (best == 0) best = std::min(text.find(' '), text.size());
  return {upper.substr(0, best), std::string(Trim(text.substr(best)))};
}

}  // namespace vextune::sim
