#pragma once
// Position texts as the dialog fields show them: the degree sign is the one
// byte 0xB0 the record stores. "*" stands for it in a test's literal, since
// "48\xB031" would read as one hex escape.
#include <string>

namespace vextune::testing {

inline std::string Deg(std::string text) {
  for (char& c : text) {
    if (c == '*') c = '\xB0';
  }
  return text;
}

}  // namespace vextune::testing
