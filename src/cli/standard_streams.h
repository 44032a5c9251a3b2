#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "config/config_data.h"
#include "config/config_file.h"

namespace vextune::cli {

/// "-" as a file name: standard input where a file is read, standard output
/// where one is written.
inline bool IsStandardStream(const std::string& path) {
  return path == "-";
}

/// How messages call a file: its path, or "standard input"/"standard
/// output" for "-".
std::string FileLabel(const std::string& path, bool output);

/// The most a configuration may take on standard input; far more than any
/// configuration file holds.
inline constexpr size_t kMaxInputBytes = 1 << 20;

/// Reads a configuration from `in` (all of it, at most kMaxInputBytes) into
/// `record`. False with `*error` set when it is no configuration. `*refused`
/// (may be null) gets the values the parameters refused.
bool ReadConfigurationStream(std::istream& in, const std::string& name, CConfigData& record,
                             int32_t* version, std::string* error,
                             std::vector<RefusedFileValue>* refused = nullptr);

/// Reads `path`, or standard input for "-", into `record`. False with
/// `*error` set on failure; prints nothing. `*refused` (may be null) gets the
/// values the parameters refused.
bool ReadConfiguration(const std::string& path, CConfigData& record, int32_t* version,
                       std::string* error, std::vector<RefusedFileValue>* refused = nullptr);

/// Reads `path`, or standard input for "-", into `record`. On failure prints
/// the error on stderr and returns false. Refused values are printed as
/// warnings and kept in `*refused` (may be null).
bool LoadConfiguration(const std::string& path, CConfigData& record, int32_t* version,
                       std::vector<RefusedFileValue>* refused = nullptr);

/// Why a configuration cannot go to standard output: a terminal would show
/// binary bytes. Empty when it can, or when `path` is not "-".
std::string StandardOutputRefusal(const std::string& path);

/// Writes `record` in the current format to `path` atomically, or to
/// standard output for "-" (refused when that is a terminal). On failure
/// prints the error on stderr and returns false.
bool SaveConfiguration(const std::string& path, const CConfigData& record);

}  // namespace vextune::cli
