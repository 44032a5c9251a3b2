#include "config/aprs_symbols.h"

#include <array>

namespace vextune {
namespace {

// Names in symbol code order, entry n (1..94) at index n - 1. Some spellings
// ("Aid Staition") are the device's own and stay as they are.
constexpr std::array<std::string_view, kSymbolCount> kPrimaryNames = {
    "Police Station", "No Symbol", "Digi", "Phone",
    "DX Cluster", "HF Gateway", "Plane (small)", "Mobile Sat Stn",
    "Wheel Chair", "Snow Mobile", "Red Cross", "Boy Scout",
    "Home", "X", "Red Dot", "Circle (0)",
    "Circle (1)", "Circle (2)", "Circle (3)", "Circle (4)",
    "Circle (5)", "Circle (6)", "Circle (7)", "Circle (8)",
    "Circle (9)", "Fire", "Campground", "Motorcycle",
    "Rail Engine", "Car", "File Server", "Hurricane Future",
    "Aid Staition", "BBS", "Canoe", "No Symbol",
    "Eyeball", "Tractor", "Grid Square", "Hotel",
    "Tcp/Ip", "No Symbol", "School", "User Log-ON",
    "MacAPRS", "NTS Station", "Balloon", "Police",
    "TBD", "Rec Vehicle", "Shuttle", "SSTV",
    "Bus", "ATV", "WX Service", "Helicopter",
    "Yacht", "WinAPRS", "Jogger", "Triangle",
    "PBBS", "Plane (large)", "WX Station", "Dish Antenna",
    "Ambulance", "Bike", "ICP", "Fire Station",
    "Horse", "Fire Truck", "Glider", "Hospital",
    "IOTA", "Jeep", "Truck", "Laptop",
    "Mic-E Repeater", "Node", "EOC", "Rover",
    "Grid Square", "Antenna", "Power Boat", "Truck Stop",
    "Truck 18 wheels", "Van", "Water Station", "XAPRS",
    "Yagi", "No Symbol [90]", "No Symbol [91]", "No Symbol [92]",
    "No Symbol [93]", "No Symbol [94]",
};

constexpr std::array<std::string_view, kSymbolCount> kAlternateNames = {
    "Emergency", "No Symbol", "No. Star", "Bank",
    "", "", "Crash Site", "Cloudy",
    "No Symbol [9]", "Snow", "Church", "Girl Scout",
    "House (HF)", "", "No Symbol [15]", "",
    "No Symbol [17]", "No Symbol [18]", "No Symbol [19]", "No Symbol [20]",
    "No Symbol [21]", "No Symbol [22]", "No Symbol [23]", "No Symbol [24]",
    "Petrol Station", "Hail", "Park/ Picnic Area", "Gale Flag",
    "No Symbol [29]", "No. Car", "Info Kiosk", "Hurricane",
    "No. Box", "Snow blowing", "Coast Guard", "Drizzle",
    "Smoke", "Freezing Rain", "Snow Shower", "No Symbol [40]",
    "Rain Shower", "Lightning", "KENWOOD", "Lighthouse",
    "No Symbol [45]", "Navigation Buoy", "No Symbol [47]", "Parking",
    "Quake", "Restaurant", "Satellite/ Pacsat", "Thunderstorm",
    "Sunny", "VORTAC Navigation Aid", "No. NWS Site", "No Symbol [56]",
    "No Symbol [57]", "No Symbol [58]", "Wall Cloud", "No Symbol [60]",
    "No Symbol [61]", "No. Aircraft", "No. Weather Site", "No Symbol [64]",
    "ARRL", "Dust blowing", "No.Civil Defense", "DX Spot",
    "Sleet", "Funnel Cloud", "Gale Flags", "HAM Store",
    "", "", "", "Area Locations",
    "Mile Post", "No. Triangle", "Small Circle", "Partly Cloudy",
    "", "", "No. Ship/ Boat", "Tornado",
    "No. Truck", "No. Van", "Flooding", "",
    "", "", "Fog", "",
    "", "",
};

const std::array<std::string_view, kSymbolCount>& Names(SymbolTable table) {
  return table == SymbolTable::Primary ? kPrimaryNames : kAlternateNames;
}

}  // namespace

std::string_view SymbolName(SymbolTable table, int index) {
  if (index < 0 || index >= kSymbolCount) return {};
  return Names(table)[static_cast<size_t>(index)];
}

bool IsPlaceholderSymbol(SymbolTable table, int index) {
  return SymbolName(table, index).starts_with("No Symbol [");
}

}  // namespace vextune
