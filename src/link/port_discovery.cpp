#include "link/port_discovery.h"

#include <algorithm>

#include "common/text_util.h"

namespace vextune {

bool DescribesDevice(const std::string& description) {
  return description.find("Olvane") != std::string::npos &&
         description.find("Ambrel") != std::string::npos;
}

std::vector<std::string> DevicePorts(const std::vector<SerialDevice>& devices) {
  std::vector<std::string> ports;
  for (const SerialDevice& d : devices) {
    if (DescribesDevice(d.description)) ports.push_back(d.path);
  }
  std::sort(ports.begin(), ports.end(), NaturalLess);
  ports.erase(std::unique(ports.begin(), ports.end()), ports.end());
  return ports;
}

void FindDevicePorts(const std::vector<SerialDevice>& devices, PortDiscovery& state) {
  state = PortDiscovery{};
  const std::string* match = nullptr;
  for (const SerialDevice& d : devices) {
    if (!DescribesDevice(d.description)) continue;
    ++state.devicesFound;
    match = &d.path;
  }
  if (state.devicesFound == 1) {
    state.selectedPort = *match;
    state.statusText = "DAV-OZI found on " + state.selectedPort;
  } else if (state.devicesFound > 1) {
    state.candidates = DevicePorts(devices);
  }
}

bool NaturalLess(const std::string& a, const std::string& b) {
  size_t i = 0, j = 0;
  const auto digit = IsDigit;
  while (i < a.size() && j < b.size()) {
    if (digit(a[i]) && digit(b[j])) {
      size_t ei = i, ej = j;
      while (ei < a.size() && digit(a[ei])) ++ei;
      while (ej < b.size() && digit(b[ej])) ++ej;
      // Compare the runs as numbers without converting: skip leading zeros,
      // then the longer run is larger, then digit by digit.
      size_t si = i, sj = j;
      while (si + 1 < ei && a[si] == '0') ++si;
      while (sj + 1 < ej && b[sj] == '0') ++sj;
      if (ei - si != ej - sj) return ei - si < ej - sj;
      const int c = a.compare(si, ei - si, b, sj, ej - sj);
      if (c != 0) return c < 0;
      if (ei - i != ej - j) return ei - i < ej - j;  // fewer leading zeros first
      i = ei;
      j = ej;
    } else {
      if (a[i] != b[j]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
      ++i;
      ++j;
    }
  }
  return a.size() - i < b.size() - j;
}

}  // namespace vextune
