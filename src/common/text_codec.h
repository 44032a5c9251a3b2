#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vextune {

/// Texts inside the configuration record and on the serial line are 8-bit
/// Windows-1252. These convert at the edges that speak UTF-8 (JSON, the GUI,
/// the terminal).

/// Every Windows-1252 byte maps to a character; the five undefined bytes
/// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same number.
std::string Cp1252ToUtf8(std::string_view cp1252);

/// Returns nothing when `utf8` is not valid UTF-8 or holds a character that
/// Windows-1252 cannot represent.
std::optional<std::string> Utf8ToCp1252(std::string_view utf8);

}  // namespace vextune
