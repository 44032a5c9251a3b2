#pragma once

#include <cstdint>
#include <string>

namespace vextune {

/// A packed date and time as the device and update files store it (the FAT
/// layout, date in the upper 16 bits): bits 0-4 seconds / 2, 5-10 minutes,
/// 11-15 hours, 16-20 day, 21-24 month, 25-31 years since 1980.
using PackedTime = uint32_t;

/// The fields of a packed time, unchecked (a field may hold any value its bits
/// allow, e.g. month 15).
struct PackedTimeFields {
  int year;    ///< 1980 to 2107
  int month;   ///< 0 to 15; valid 1 to 12
  int day;     ///< 0 to 31; valid 1 to 31
  int hour;    ///< 0 to 31; valid 0 to 23
  int minute;  ///< 0 to 63; valid 0 to 59
  int second;  ///< 0 to 62, even; valid 0 to 58
};

PackedTimeFields UnpackTime(PackedTime value);
/// Builds a packed time from its fields; each field is masked to its bits.
constexpr PackedTime PackTime(int year, int month, int day, int hour, int minute, int second) {
  return (static_cast<PackedTime>(year - 1980) & 0x7F) << 25 |
         (static_cast<PackedTime>(month) & 0x0F) << 21 |
         (static_cast<PackedTime>(day) & 0x1F) << 16 |
         (static_cast<PackedTime>(hour) & 0x1F) << 11 |
         (static_cast<PackedTime>(minute) & 0x3F) << 5 |
         (static_cast<PackedTime>(second / 2) & 0x1F);
}

/// Seconds since 1 January 1970 of the packed local wall time, counted as if
/// the local zone were UTC and had no daylight saving: the result depends only
/// on the value, never on the machine's zone, and orders timestamps as their
/// calendar dates do. Out-of-range fields carry over as a calendar does (month
/// 0 is December of the year before, day 0 the last day of the month before).
/// -1 when the (carried-over) date lies in 2038 or later, which a signed
/// 32-bit count cannot hold throughout.
int32_t PackedTimeToCalendar(PackedTime value);

/// False when the day or the month field is 0, or the upper 16 bits are all
/// ones (erased flash).
bool IsValidFlashTimestamp(PackedTime value);

/// A time stamp an update file can carry: every field in its range (a real
/// calendar day, hours to 23, minutes to 59, seconds to 58) and a date before
/// 2038, which the newer-file test can order. Stricter than
/// IsValidFlashTimestamp, which only spots erased or empty flash.
bool IsPlausibleFileTimestamp(PackedTime value);

/// "2024-05-17 12:30:00" when IsPlausibleFileTimestamp; otherwise
/// "no valid date (0xFFFFFFFF)", so that odd values still show what was read.
std::string FormatPackedTime(PackedTime value);

/// True when the file was made after the installed firmware. A flash time that
/// cannot be represented (-1) is older than every representable file time; an
/// equal time is not newer.
bool IsFileNewer(PackedTime fileTime, PackedTime flashTime);

}  // namespace vextune
