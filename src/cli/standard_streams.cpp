#include "cli/standard_streams.h"

#include <unistd.h>

#include <iostream>
#include <sstream>

#include "cli/file_command_support.h"
#include "config/config_file.h"

namespace vextune::cli {

std::string FileLabel(const std::string& path, bool output) {
  if (!IsStandardStream(path)) return path;
  return output ? "standard output" : "standard input";
}

bool ReadConfigurationStream(std::istream& in, const std::string& name, CConfigData& record,
                             int32_t* version, std::string* error,
                             std::vector<RefusedFileValue>* refused) {
  // Read whole first: a stream that never ends must not be read for ever,
  // and the reader gets the same bytes a file would give it.
  std::string bytes(kMaxInputBytes + 1, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<size_t>(in.gcount()));
  if (in.bad()) {
    *error = "Cannot read " + name + ".";
    return false;
  }
  if (bytes.size() > kMaxInputBytes) {
    *error = name + " holds more than any configuration file; it is not one.";
    return false;
  }
  std::istringstream stream(bytes);
  const ConfigReadResult result = ReadConfigFile(record, stream, name);
  if (version != nullptr) *version = result.version;
  if (refused != nullptr) *refused = result.refused;
  if (!result.ok) *error = result.error;
  return result.ok;
}

bool ReadConfiguration(const std::string& path, CConfigData& record, int32_t* version,
                       std::string* error, std::vector<RefusedFileValue>* refused) {
  if (!IsStandardStream(path)) return LoadConfigFile(path, record, version, error, refused);
  return ReadConfigurationStream(std::cin, FileLabel(path, false), record, version, error, refused);
}

bool LoadConfiguration(const std::string& path, CConfigData& record, int32_t* version,
                       std::vector<RefusedFileValue>* refused) {
  if (!IsStandardStream(path)) return LoadOrReport(path, record, version, refused);
  std::string error;
  std::vector<RefusedFileValue> found;
  const std::string label = FileLabel(path, false);
  if (ReadConfigurationStream(std::cin, label, record, version, &error, &found)) {
    PrintRefusedValues(label, found);
    if (refused != nullptr) *refused = std::move(found);
    return true;
  }
  std::cerr << error << '\n';
  return false;
}

std::string StandardOutputRefusal(const std::string& path) {
  if (!IsStandardStream(path) || isatty(STDOUT_FILENO) != 1) return "";
  return "A configuration file is binary and is not written to a terminal; redirect standard "
         "output (> my.vxg) or give a file name.";
}

bool SaveConfiguration(const std::string& path, const CConfigData& record) {
  if (!IsStandardStream(path)) return SaveOrReport(path, record);
  if (const std::string refusal = StandardOutputRefusal(path); !refusal.empty()) {
    std::cerr << refusal << '\n';
    return false;
  }
  // Composed first: a failure leaves nothing half-written on stdout.
  std::ostringstream bytes;
  if (!WriteConfigFile(record, bytes)) {
    std::cerr << "Cannot write the configuration.\n";
    return false;
  }
  std::cout << bytes.str() << std::flush;
  if (!std::cout) {
    std::cerr << "Cannot write to standard output.\n";
    return false;
  }
  return true;
}

}  // namespace vextune::cli
