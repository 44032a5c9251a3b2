#include "common/roff_text.h"

namespace vextune {

std::string RoffText(const std::string& text, bool code) {
  std::string out;
  for (char c : text) {
    if (c == '\\') {
      out += "\\e";
    } else if (c == '-' && code) {
      out += "\\-";
    } else {
      out += c;
    }
  }
  if (!out.empty() && (out.front() == '.' || out.front() == '\'')) out = "\\&" + out;
  return out;
}

}  // namespace vextune
