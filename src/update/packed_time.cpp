#include "update/packed_time.h"

#include <cstdio>

namespace vextune {

namespace {

// Days from 1970-01-01 to the given proleptic Gregorian date; month 1 to 12.
int64_t DaysFromCivil(int64_t year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yearOfEra = year - era * 400;
  const int64_t shiftedMonth = month > 2 ? month - 3 : month + 9;
  const int64_t dayOfYear = (153 * shiftedMonth + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

constexpr int64_t kFirstUnrepresentableDay = 24837;  // 2038-01-01
constexpr int64_t kSecondsPerDay = 86400;

}  // namespace

PackedTimeFields UnpackTime(PackedTime value) {
  return PackedTimeFields{
      static_cast<int>((value >> 25) & 0x7F) + 1980, static_cast<int>((value >> 21) & 0x0F),
      static_cast<int>((value >> 16) & 0x1F),        static_cast<int>((value >> 11) & 0x1F),
      static_cast<int>((value >> 5) & 0x3F),         static_cast<int>(value & 0x1F) * 2,
  };
}

int32_t PackedTimeToCalendar(PackedTime value) {
  const PackedTimeFields f = UnpackTime(value);
  // Carry the month into the year first (month 0 = December before), then let
  // the day count carry itself (day 0 = the last day of the month before).
  const int64_t monthIndex = static_cast<int64_t>(f.year) * 12 + f.month - 1;
  const int64_t year = monthIndex / 12;
  const int month = static_cast<int>(monthIndex % 12) + 1;
  const int64_t days = DaysFromCivil(year, month, 1) + f.day - 1;
  const int64_t seconds =
      days * kSecondsPerDay + int64_t{f.hour} * 3600 + int64_t{f.minute} * 60 + f.second;
  if (seconds >= kFirstUnrepresentableDay * kSecondsPerDay) return -1;
  return static_cast<int32_t>(seconds);
}

bool IsValidFlashTimestamp(PackedTime value) {
  const PackedTimeFields f = UnpackTime(value);
  if (f.day == 0 || f.month == 0) return false;
  return (value >> 16) != 0xFFFF;
}

bool IsPlausibleFileTimestamp(PackedTime value) {
  const PackedTimeFields f = UnpackTime(value);
  if (f.month < 1 || f.month > 12 || f.day < 1 || f.hour > 23 || f.minute > 59 || f.second > 58) {
    return false;
  }
  // Day 31 of a 30-day month, or 29 February of a common year, carries into
  // the next month.
  const int64_t nextMonthFirst =
      f.month == 12 ? DaysFromCivil(f.year + 1, 1, 1) : DaysFromCivil(f.year, f.month + 1, 1);
  if (DaysFromCivil(f.year, f.month, 1) + f.day - 1 >= nextMonthFirst) return false;
  return PackedTimeToCalendar(value) != -1;
}

std::string FormatPackedTime(PackedTime value) {
  char text[32];
  if (!IsPlausibleFileTimestamp(value)) {
    std::snprintf(text, sizeof text, "no valid date (0x%08X)", static_cast<unsigned>(value));
    return text;
  }
  const PackedTimeFields f = UnpackTime(value);
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", f.year, f.month, f.day, f.hour,
                f.minute, f.second);
  return text;
}

bool IsFileNewer(PackedTime fileTime, PackedTime flashTime) {
  return PackedTimeToCalendar(fileTime) > PackedTimeToCalendar(flashTime);
}

}  // namespace vextune
