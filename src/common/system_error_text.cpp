#include "common/system_error_text.h"

#include <cstring>

namespace vextune {

std::string SystemErrorText(uint32_t code) {
  return std::strerror(static_cast<int>(code));
}

}  // namespace vextune
