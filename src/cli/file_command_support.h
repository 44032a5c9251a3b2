#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "config/config_data.h"
#include "config/config_file.h"

namespace vextune::cli {

/// Reads `path` into `record`. On failure prints the error to stderr and
/// returns false; `*version` (may be null) gets the format version found.
/// Values the parameters refused are printed as warnings, one a line, and
/// kept in `*refused` (may be null).
bool LoadOrReport(const std::string& path, CConfigData& record, int32_t* version,
                  std::vector<RefusedFileValue>* refused = nullptr);

/// Prints on stderr one warning line for each value that `label` (a file's
/// name for messages) holds and its parameter refused.
void PrintRefusedValues(const std::string& label, const std::vector<RefusedFileValue>& refused);

/// Writes `record` to `path` in the current format, atomically. On failure
/// prints the error to stderr and returns false.
bool SaveOrReport(const std::string& path, const CConfigData& record);

/// A parameter's text for one line of terminal output: UTF-8, text
/// parameters in double quotes, control characters, quotes and backslashes
/// escaped so that no file content can break the line or steer the terminal.
std::string DisplayValue(const ParamInfo& info, std::string_view cp1252);

/// A UTF-8 text the user gave, for an error message: control characters
/// (C0, DEL and C1) shown as \xNN so that echoing it cannot steer the terminal.
std::string EscapeControls(std::string_view utf8);

}  // namespace vextune::cli
