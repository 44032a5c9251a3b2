#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace vextune::cli {

/// `doc` as the commands print it: indented, with a newline; bytes that are
/// no UTF-8 (device replies and old files need not be) are replaced, not fatal.
inline std::string JsonText(const nlohmann::ordered_json& doc) {
  return doc.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace vextune::cli
