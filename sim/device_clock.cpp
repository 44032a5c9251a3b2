#include "sim/device_clock.h"

#include <array>
#include <optional>

#include "common/text_util.h"

namespace vextune::sim {
namespace {

constexpr int64_t kPowerOnSeconds = 946684800;  // 2000-01-01 00:00:00

/// Three numbers of one or two digits separated by `sep`.
std::optional<std::array<int, 3>> ParseTriple(std::string_view text, char sep) {
  std::array<int, 3> parts{};
  size_t pos = 0;
  for (size_t i = 0; i < 3; ++i) {
    size_t digits = 0;
    int value = 0;
    while (pos < text.size() && IsDigit(text[pos])) {
      value = value * 10 + (text[pos] - '0');
      ++pos;
      ++digits;
    }
    if (digits == 0 || digits > 2) return std::nullopt;
    parts[i] = value;
    if (i < 2) {
      if (pos >= text.size() || text[pos] != sep) return std::nullopt;
      ++pos;
    }
  }
  if (pos != text.size()) return std::nullopt;
  return parts;
}

std::tm ToCalendar(int64_t seconds) {
  const time_t t = static_cast<time_t>(seconds);
  std::tm tm{};
  gmtime_r(&t, &tm);
  return tm;
}

}  // namespace

DeviceClock::DeviceClock(Clock& clock)
    : clock_(&clock), baseSeconds_(kPowerOnSeconds), baseMs_(clock.NowMs()) {}

int64_t DeviceClock::NowSeconds() const {
  return baseSeconds_ + static_cast<int64_t>((clock_->NowMs() - baseMs_) / 1000);
}

void DeviceClock::Rebase(int64_t seconds) {
  baseSeconds_ = seconds;
  baseMs_ = clock_->NowMs();
}

bool DeviceClock::SetTimeOfDay(std::string_view hms) {
  const auto parts = ParseTriple(hms, ':');
  if (!parts || (*parts)[0] > 23 || (*parts)[1] > 59 || (*parts)[2] > 59) return false;
  const int64_t now = NowSeconds();
  const int64_t midnight = now - now % 86400;
  Rebase(midnight + (*parts)[0] * 3600 + (*parts)[1] * 60 + (*parts)[2]);
  return true;
}

bool DeviceClock::SetDate(std::string_view dmy) {
  const auto parts = ParseTriple(dmy, '.');
  if (!parts) return false;
  const auto [day, month, year] = *parts;
  if (month < 1 || month > 12 || day < 1) return false;
  std::tm date{};
  date.tm_mday = day;
  date.tm_mon = month - 1;
  date.tm_year = 100 + year;
  const int64_t dayStart = timegm(&date);
  // timegm normalises 31.04. into 01.05.; the device refuses such a date.
  if (date.tm_mday != day || date.tm_mon != month - 1) return false;
  const int64_t now = NowSeconds();
  Rebase(dayStart + now % 86400);
  return true;
}

std::tm DeviceClock::Now() const {
  return ToCalendar(NowSeconds());
}

}  // namespace vextune::sim
