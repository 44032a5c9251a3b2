// Path-level loading and saving for the command line and the GUI.
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "config/atomic_file.h"
#include "config/config_file.h"

namespace vextune {

bool LoadConfigFile(const std::filesystem::path& path, CConfigData& record, int32_t* version,
                    std::string* error, std::vector<RefusedFileValue>* refused) {
  auto fail = [&](std::string message) {
    if (error != nullptr) *error = std::move(message);
    return false;
  };
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    return fail(path.string() + " is a folder, not a configuration file.");
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) return fail("Cannot open " + path.string() + ": " + std::strerror(errno) + ".");
  const ConfigReadResult result = ReadConfigFile(record, in, path.string());
  if (version != nullptr) *version = result.version;
  if (refused != nullptr) *refused = result.refused;
  if (!result.ok) return fail(result.error);
  return true;
}

bool SaveConfigFile(const std::filesystem::path& path, const CConfigData& record,
                    std::string* error) {
  std::ostringstream bytes;
  if (!WriteConfigFile(record, bytes, kConfigFormatVersion)) {
    if (error != nullptr) *error = "Cannot write " + path.string() + ".";
    return false;
  }
  return WriteFileAtomically(path, bytes.view(), error);
}

}  // namespace vextune
