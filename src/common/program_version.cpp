#include "common/program_version.h"

#include "common/version.h"

namespace vextune {

std::string_view ProgramVersion() {
  return version::kText;
}

std::string VersionLine(std::string_view program) {
  return std::string(program) + " " + std::string(ProgramVersion());
}

}  // namespace vextune
