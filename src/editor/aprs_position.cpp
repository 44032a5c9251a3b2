#include "editor/aprs_position.h"

#include <algorithm>

#include "common/text_util.h"

namespace vextune {
namespace {

constexpr PositionLayout kLatitude{"__\xB0__.__", 2, 5, 7, 2, 89, 'N', 'S'};
constexpr PositionLayout kLongitude{"___\xB0__.__", 3, 6, 8, 3, 179, 'E', 'W'};

constexpr int kMaxMinutes = 59;
constexpr size_t kStoredLength = 18;

// One part of the text is good when it is exactly `digits` digits long; it
// counts only its leading run of digits.
int CheckPart(std::string_view part, size_t digits, int32_t max) {
  const std::string_view run = LeadingDigits(part);
  if (run.empty() || run.size() != digits) return 1;
  if (DigitsToNumber(run) > max) return 2;
  return 0;
}

std::string WithoutDegreeSigns(std::string_view text) {
  std::string out(text);
  std::erase(out, kDegreeSign);
  return out;
}

}  // namespace

const PositionLayout& LayoutOf(PositionAxis axis) {
  return axis == PositionAxis::Latitude ? kLatitude : kLongitude;
}

int ConvertCheck(PositionAxis axis, std::string_view text) {
  const PositionLayout& layout = LayoutOf(axis);
  const size_t start = text.find_first_not_of(kDegreeSign);
  if (start == std::string_view::npos) return 1;
  const size_t sign = text.find(kDegreeSign, start);
  const std::string_view degrees = text.substr(start, sign - start);
  if (const int result = CheckPart(degrees, layout.degreeDigits, layout.maxDegrees); result != 0)
    return result;

  const std::string_view afterSign =
      sign == std::string_view::npos ? std::string_view{} : text.substr(sign + 1);
  const std::string_view minutes = afterSign.substr(0, afterSign.find('.'));
  if (const int result = CheckPart(minutes, 2, kMaxMinutes); result != 0) return result;

  const std::string_view hundredths = text.substr(text.size() < 2 ? 0 : text.size() - 2);
  return CheckPart(hundredths, 2, 99) == 0 ? 0 : 1;
}

bool FitsLayout(PositionAxis axis, std::string_view text) {
  const std::string_view mask = LayoutOf(axis).mask;
  if (text.size() != mask.size()) return false;
  for (size_t i = 0; i < mask.size(); ++i) {
    if (mask[i] == '_' ? !IsDigit(text[i]) : text[i] != mask[i]) return false;
  }
  return true;
}

PositionParts SplitPosition(std::string_view stored) {
  PositionParts parts;
  if (stored.size() < kStoredLength) {
    parts.latitude = kLatitude.mask;
    parts.longitude = kLongitude.mask;
    return parts;
  }
  parts.latitude =
      std::string(stored.substr(0, 2)) + kDegreeSign + std::string(stored.substr(2, 5));
  parts.latitudeHemisphere = stored[7];
  parts.longitude =
      std::string(stored.substr(9, 3)) + kDegreeSign + std::string(stored.substr(12, 5));
  parts.longitudeHemisphere = stored[17];
  parts.empty = false;
  return parts;
}

bool PositionUntouched(std::string_view latitude, std::string_view longitude) {
  return latitude == kLatitude.mask && longitude == kLongitude.mask;
}

std::string JoinPosition(std::string_view latitude, char latitudeHemisphere,
                         std::string_view longitude, char longitudeHemisphere) {
  if (PositionUntouched(latitude, longitude)) return {};
  return WithoutDegreeSigns(latitude) + latitudeHemisphere + ' ' + WithoutDegreeSigns(longitude) +
         longitudeHemisphere;
}

char ToggleHemisphere(PositionAxis axis, char letter) {
  const PositionLayout& layout = LayoutOf(axis);
  return letter == layout.positiveHemisphere ? layout.negativeHemisphere
                                             : layout.positiveHemisphere;
}

int DigitAtOrAfter(PositionAxis axis, int position) {
  const PositionLayout& layout = LayoutOf(axis);
  const int p = std::clamp(position, 0, layout.Length());
  if (p == layout.degreeSign || p == layout.point) return p + 1;
  if (p == layout.Length()) return layout.lastDigit;
  return p;
}

DigitMove MoveLeft(PositionAxis axis, int selected) {
  const PositionLayout& layout = LayoutOf(axis);
  if (selected <= 0) return {0, true};
  if (selected == layout.degreeSign + 1) return {layout.degreeSign - 1, false};
  if (selected == layout.point + 1) return {layout.point - 1, false};
  return {selected - 1, false};
}

DigitMove MoveRight(PositionAxis axis, int selected) {
  const PositionLayout& layout = LayoutOf(axis);
  if (selected >= layout.lastDigit) return {layout.lastDigit, true};
  if (selected == layout.degreeSign - 1) return {layout.degreeSign + 1, false};
  if (selected == layout.point - 1) return {layout.point + 1, false};
  return {selected + 1, false};
}

PositionFieldState PressPositionKey(PositionAxis axis, std::string_view text, int position,
                                    PositionKey key, char digit) {
  const PositionLayout& layout = LayoutOf(axis);
  PositionFieldState state{std::string(text), std::clamp(position, 0, layout.Length()), false};
  const bool after_last = state.position == layout.Length();
  // A text that is not the mask's length has lost its fixed places; only
  // moving is safe then.
  const bool editable = state.text.size() == layout.mask.size() && !after_last;
  const auto refuse = [&state] {
    state.beep = true;
    return state;
  };
  switch (key) {
    case PositionKey::Left:
    case PositionKey::Right: {
      if (after_last) {
        // Left comes back to the last digit; there is nothing to the right.
        if (key == PositionKey::Right) return refuse();
        state.position = layout.lastDigit;
        return state;
      }
      const DigitMove move = key == PositionKey::Left ? MoveLeft(axis, state.position)
                                                      : MoveRight(axis, state.position);
      state.position = move.position;
      state.beep = move.beep;
      return state;
    }
    case PositionKey::Home:
      state.position = 0;
      return state;
    case PositionKey::End:
      state.position = layout.lastDigit;
      return state;
    case PositionKey::Delete: {
      if (!editable) return refuse();
      const int at = DigitAtOrAfter(axis, state.position);
      state.text[static_cast<size_t>(at)] = layout.mask[static_cast<size_t>(at)];
      state.position = at;
      return state;
    }
    case PositionKey::Digit: {
      if (!editable || digit < '0' || digit > '9') return refuse();
      const int at = DigitAtOrAfter(axis, state.position);
      state.text[static_cast<size_t>(at)] = digit;
      state.position = at == layout.lastDigit ? layout.Length() : DigitAtOrAfter(axis, at + 1);
      return state;
    }
  }
  return refuse();
}

}  // namespace vextune
