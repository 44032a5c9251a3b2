#pragma once

#include <string>

namespace vextune {

/// `text` for a manual page line: backslashes printed as such and, with
/// `code` (option names, commands), every "-" as a minus so that it can be
/// searched for and copied. A leading "." or "'" is guarded, since a line may
/// not begin with a control character.
std::string RoffText(const std::string& text, bool code = false);

}  // namespace vextune
