#include "editor/aprs_choice_lists.h"

#include "link/device_state.h"

namespace vextune {

std::vector<std::string> AprsChoiceEntries(AprsChoiceList list, int32_t firmwareVersion) {
  const auto reaches = [firmwareVersion](uint32_t threshold) {
    return FirmwareReaches(firmwareVersion, threshold);
  };
  switch (list) {
    case AprsChoiceList::AutoSpeed:
      return {"slow", "medium", "fast"};
    case AprsChoiceList::DigiAlias:
      if (reaches(firmware::k1_2)) return {"RELAY", "WIDE/WIDEn-N", "RELAY/ WIDE/ WIDEn-N/ GATE"};
      if (reaches(firmware::k1_1J)) return {"RELAY", "WIDE", "RELAY WIDE / GATE"};
      return {"RELAY", "WIDE", "RELAY WIDE"};
    case AprsChoiceList::NmeaOut: {
      std::vector<std::string> entries = {"APRS datagrams", "PR datagrams", "GPS-data (loopback)"};
      if (reaches(firmware::k1_1J)) entries.emplace_back("APRS + GPS (loopback)");
      return entries;
    }
    case AprsChoiceList::CrossMode: {
      std::vector<std::string> entries = {"300 Bd",  "R300 Bd", "R600 Bd",
                                          "1200 Bd", "9600 Bd", "19200 Bd"};
      if (reaches(firmware::k1_3E)) entries.emplace_back("HF DUAL");
      return entries;
    }
    case AprsChoiceList::Altitude:
      return {"uncompressed (1)", "compressed + uncompressed (2)", "compressed (3)"};
  }
  return {};
}

}  // namespace vextune
