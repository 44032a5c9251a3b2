#pragma once

#include <string>
#include <string_view>

namespace vextune {

/// The program's version, four numbers as in "1.0.1.51": the project
/// version the build was configured with.
std::string_view ProgramVersion();

/// What --version prints: the program's name and version,
/// "vextune-cli 1.0.1.51".
std::string VersionLine(std::string_view program);

}  // namespace vextune
