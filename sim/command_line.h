#pragma once

#include <string>
#include <string_view>

namespace vextune::sim {

/// A device command as the firmware sees it: the command name in upper case
/// ("T", "%AT", "@T2", "JHOST1") and its argument text without the blanks
/// around it. An empty argument asks for the current value.
struct CommandLine {
  std::string name;
  std::string args;
};

/// Splits the text of an ESC line or a host-mode frame. The name is the
/// longest known command the text begins with (letters in any case), so
/// "%AY a15", "%aya15" and "t30" split as the device reads them; text that
/// begins with no known command gives its first word as the name.
CommandLine SplitCommandLine(std::string_view text);

}  // namespace vextune::sim
