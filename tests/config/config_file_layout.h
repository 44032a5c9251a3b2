#pragma once

// The configuration file layout written out item by item, independently of
// the reader and writer under test, to build files of every format version.

#include <cstdint>
#include <map>
#include <string>

#include "config/config_data.h"

namespace vextune::testing {

/// Values by member name: flags and longs as decimal text, strings as bytes.
using FileValues = std::map<std::string, std::string>;

/// The bytes of a file of `version` (no version block for 0) holding the
/// values of `base`, with `overrides` taking precedence.
std::string BuildConfigFile(int32_t version, const CConfigData& base,
                            const FileValues& overrides = {});

/// A string item's bytes with the length prefix.
std::string EncodeString(const std::string& text);

}  // namespace vextune::testing
