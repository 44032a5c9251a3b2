#include "cli/file_command_support.h"

#include <cstdio>
#include <iostream>

#include "common/text_codec.h"
#include "config/config_file.h"

namespace vextune::cli {

bool LoadOrReport(const std::string& path, CConfigData& record, int32_t* version,
                  std::vector<RefusedFileValue>* refused) {
  std::string error;
  std::vector<RefusedFileValue> found;
  if (!LoadConfigFile(path, record, version, &error, &found)) {
    std::cerr << error << '\n';
    return false;
  }
  PrintRefusedValues(path, found);
  if (refused != nullptr) *refused = std::move(found);
  return true;
}

void PrintRefusedValues(const std::string& label, const std::vector<RefusedFileValue>& refused) {
  for (const RefusedFileValue& r : refused) {
    std::cerr << "Warning: " << EscapeControls(label) << ": "
              << DescribeRefusedValue(r, DisplayValue) << ".\n";
  }
}

bool SaveOrReport(const std::string& path, const CConfigData& record) {
  std::string error;
  if (SaveConfigFile(path, record, &error)) return true;
  std::cerr << error << '\n';
  return false;
}

std::string DisplayValue(const ParamInfo& info, std::string_view cp1252) {
  std::string escaped;
  for (char c : cp1252) {
    const auto byte = static_cast<unsigned char>(c);
    // The five bytes that Windows-1252 leaves undefined decode to C1
    // controls, which some terminals obey just like the 7-bit ones.
    const bool undefined =
        byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
    if (byte < 0x20 || byte == 0x7F || undefined) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", byte);
      escaped += hex;
    } else if (info.IsText() && (c == '"' || c == '\\')) {
      escaped += '\\';
      escaped += c;
    } else {
      escaped += c;
    }
  }
  const std::string utf8 = Cp1252ToUtf8(escaped);
  return info.IsText() ? "\"" + utf8 + "\"" : utf8;
}

std::string EscapeControls(std::string_view utf8) {
  std::string escaped;
  for (size_t i = 0; i < utf8.size(); ++i) {
    auto byte = static_cast<unsigned char>(utf8[i]);
    // U+0080 to U+009F are the two bytes C2 80 to C2 9F.
    const bool c1 = byte == 0xC2 && i + 1 < utf8.size() &&
                    static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
                    static_cast<unsigned char>(utf8[i + 1]) <= 0x9F;
    if (c1) byte = static_cast<unsigned char>(utf8[++i]);
    if (byte < 0x20 || byte == 0x7F || c1) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", byte);
      escaped += hex;
    } else {
      escaped += static_cast<char>(byte);
    }
  }
  return escaped;
}

}  // namespace vextune::cli
