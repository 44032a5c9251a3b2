#pragma once

#include <cstdint>
#include <string>

namespace vextune {

/// The system's own text for an error code of its calls: errno on POSIX
/// systems, GetLastError() on Windows. Without a trailing line break.
std::string SystemErrorText(uint32_t code);

}  // namespace vextune
