#include "common/program_version.h"

// VEXTUNE_VERSION comes from the project version in the top-level
// CMakeLists.txt, given to this file alone (src/common/CMakeLists.txt).
#ifndef VEXTUNE_VERSION
#error "VEXTUNE_VERSION must be defined by the build"
#endif

namespace vextune {

std::string_view ProgramVersion() {
  return VEXTUNE_VERSION;
}

std::string VersionLine(std::string_view program) {
  return std::string(program) + " " + std::string(ProgramVersion());
}

}  // namespace vextune
