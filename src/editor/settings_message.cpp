#include "editor/settings_message.h"

#include "common/text_util.h"

namespace vextune {

int32_t ReadFieldNumber(std::string_view text) {
  return DigitsToNumber(LeadingDigits(TrimSpace(text)));
}

}  // namespace vextune
