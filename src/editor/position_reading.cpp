#include "editor/position_reading.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

#include "common/text_util.h"
#include "config/config_data.h"

namespace vextune {
namespace {

// Positions are computed in whole hundredths of a minute, as they are
// stored, so that rounding and its carry are exact; the centre of an 8-character
// locator needs thousandths on the way.
constexpr int64_t kHundredthsPerDegree = 6000;
constexpr int64_t kThousandthsPerDegree = 60000;
/// The largest position part the stored form holds: 89°59.99' and 179°59.99'.
constexpr int64_t kMaxLatitude = 89 * kHundredthsPerDegree + 5999;
constexpr int64_t kMaxLongitude = 179 * kHundredthsPerDegree + 5999;
/// More digits than this in one number are a typing slip, not precision.
constexpr int kMaxDigits = 12;
/// Room for the exact sums: twelve digits times the units still fit.
__extension__ typedef __int128 Wide;

bool IsLetter(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) != 0;
}
char Upper(char c) {
  return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

// ---------------------------------------------------------------------------
// Maidenhead locators

/// One pair of a locator: its characters' range and the size of one step in
/// thousandths of a minute of longitude and of latitude.
struct LocatorPair {
  char first;
  char last;
  int64_t lonStep;
  int64_t latStep;
  const char* what;
};
constexpr LocatorPair kLocatorPairs[] = {
    {'A', 'R', 20 * kThousandthsPerDegree, 10 * kThousandthsPerDegree,
     "the first two characters are letters from A to R"},
    {'0', '9', 2 * kThousandthsPerDegree, kThousandthsPerDegree, "the third and fourth are digits"},
    {'A', 'X', 5000, 2500, "the fifth and sixth are letters from A to X"},
    {'0', '9', 500, 250, "the seventh and eighth are digits"},
};

bool LooksLikeLocator(std::string_view text) {
  if (text.size() < 2 || !IsLetter(text[0]) || !IsLetter(text[1])) return false;
  for (char c : text) {
    if (!IsLetter(c) && !IsDigit(c)) return false;
  }
  return true;
}

std::string StoredForm(int64_t latitude, int64_t longitude);

PositionReading ReadLocator(std::string_view text) {
  const std::string quoted = "\"" + std::string(text) + "\"";
  if (text.size() != 4 && text.size() != 6 && text.size() != 8) {
    return {{},
            quoted +
                " is no locator: a locator has 4, 6 or 8 characters (JN48, JN48nm, "
                "JN48nm52)."};
  }
  int64_t lon = 0;
  int64_t lat = 0;
  const LocatorPair* used = nullptr;
  for (size_t i = 0; i < text.size(); i += 2) {
    const LocatorPair& pair = kLocatorPairs[i / 2];
    const char a = Upper(text[i]);
    const char b = Upper(text[i + 1]);
    if (a < pair.first || a > pair.last || b < pair.first || b > pair.last) {
      return {{}, quoted + " is no locator: " + pair.what + "."};
    }
    lon += (a - pair.first) * pair.lonStep;
    lat += (b - pair.first) * pair.latStep;
    used = &pair;
  }
  // The centre of the smallest square named.
  lon += used->lonStep / 2 - 180 * kThousandthsPerDegree;
  lat += used->latStep / 2 - 90 * kThousandthsPerDegree;
  const auto toHundredths = [](int64_t thousandths) {
    const int64_t magnitude = (thousandths < 0 ? -thousandths : thousandths) + 5;
    return (thousandths < 0 ? -1 : 1) * (magnitude / 10);
  };
  return {StoredForm(toHundredths(lat), toHundredths(lon)), {}};
}

// ---------------------------------------------------------------------------
// Coordinates

/// A number as typed, kept exact: `mantissa` / 10^`fractionDigits`.
struct Decimal {
  int64_t mantissa = 0;
  int fractionDigits = 0;
};

enum class Mark { None, Degrees, Minutes, Seconds };

struct Token {
  enum class Kind { Number, Letter, Mark, Separator };
  Kind kind = Kind::Number;
  Decimal number;
  bool negative = false;
  char letter = 0;
  Mark mark = Mark::None;
};

/// The degree, minute and second signs as they arrive in UTF-8 (and the
/// Windows-1252 degree sign); the length of the sign at `text`, or 0.
size_t MarkAt(std::string_view text, Mark* mark) {
  struct Sign {
    std::string_view bytes;
    Mark mark;
  };
  static constexpr Sign kSigns[] = {
      {"\xC2\xB0", Mark::Degrees},     {"\xC2\xBA", Mark::Degrees},     {"\xB0", Mark::Degrees},
      {"\xE2\x80\xB2", Mark::Minutes}, {"\xE2\x80\x99", Mark::Minutes}, {"'", Mark::Minutes},
      {"\xE2\x80\xB3", Mark::Seconds}, {"\xE2\x80\x9D", Mark::Seconds}, {"\"", Mark::Seconds}};
  for (const Sign& sign : kSigns) {
    if (text.starts_with(sign.bytes)) {
      *mark = sign.mark;
      return sign.bytes.size();
    }
  }
  return 0;
}

std::optional<std::string> Tokenize(std::string_view text, std::vector<Token>* tokens) {
  size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    Mark mark = Mark::None;
    if (c == ' ' || c == '\t') {
      ++i;
    } else if (c == ',' || c == ';' || c == '/') {
      Token token;
      token.kind = Token::Kind::Separator;
      tokens->push_back(token);
      ++i;
    } else if (const size_t length = MarkAt(text.substr(i), &mark); length > 0) {
      Token token;
      token.kind = Token::Kind::Mark;
      token.mark = mark;
      tokens->push_back(token);
      i += length;
    } else if (IsDigit(c) ||
               ((c == '-' || c == '+') && i + 1 < text.size() && IsDigit(text[i + 1]))) {
      Token token;
      token.negative = c == '-';
      if (c == '-' || c == '+') ++i;
      int digits = 0;
      bool point = false;
      while (i < text.size() && (IsDigit(text[i]) || (text[i] == '.' && !point))) {
        if (text[i] == '.') {
          point = true;
        } else {
          if (++digits > kMaxDigits) return "a number has more than 12 digits";
          token.number.mantissa = token.number.mantissa * 10 + (text[i] - '0');
          if (point) ++token.number.fractionDigits;
        }
        ++i;
      }
      if (text[i - 1] == '.') return "a number ends in a decimal point";
      tokens->push_back(token);
    } else if (std::string_view("NSEWnsew").find(c) != std::string_view::npos) {
      Token token;
      token.kind = Token::Kind::Letter;
      token.letter = Upper(c);
      tokens->push_back(token);
      ++i;
    } else {
      // The whole UTF-8 character, for the message.
      size_t length = 1;
      while (i + length < text.size() &&
             (static_cast<unsigned char>(text[i + length]) & 0xC0) == 0x80)
        ++length;
      return "cannot read \"" + std::string(text.substr(i, length)) + "\"";
    }
  }
  return std::nullopt;
}

/// One coordinate as typed: up to three parts (degrees, minutes, seconds).
struct Coordinate {
  std::vector<Decimal> parts;
  std::vector<Mark> marks;
  bool negative = false;
  char letter = 0;  ///< N, S, E, W or 0
  bool Empty() const { return parts.empty() && letter == 0; }
};

/// Groups the tokens into coordinates: a hemisphere letter, a comma, or a
/// degree value where one was already given end a coordinate.
std::optional<std::string> Group(const std::vector<Token>& tokens,
                                 std::vector<Coordinate>* coordinates) {
  Coordinate current;
  bool letterFirst = false;
  const auto close = [&] {
    if (!current.Empty()) coordinates->push_back(current);
    current = Coordinate{};
    letterFirst = false;
  };
  for (size_t i = 0; i < tokens.size(); ++i) {
    const Token& token = tokens[i];
    switch (token.kind) {
      case Token::Kind::Separator:
        close();
        break;
      case Token::Kind::Mark:
        return "a degree, minute or second sign without a number before it";
      case Token::Kind::Letter:
        if (current.parts.empty() && current.letter == 0) {
          current.letter = token.letter;
          letterFirst = true;
        } else if (letterFirst) {
          close();
          current.letter = token.letter;
          letterFirst = true;
        } else {
          current.letter = token.letter;
          close();
        }
        break;
      case Token::Kind::Number: {
        Mark mark = Mark::None;
        if (i + 1 < tokens.size() && tokens[i + 1].kind == Token::Kind::Mark) {
          mark = tokens[++i].mark;
        }
        const bool startsAgain =
            !current.parts.empty() && (mark == Mark::Degrees || token.negative);
        if (startsAgain) {
          if (letterFirst) return "a hemisphere letter stands before one coordinate only";
          close();
        }
        current.parts.push_back(token.number);
        current.marks.push_back(mark);
        current.negative = current.negative || token.negative;
        break;
      }
    }
  }
  close();
  // "-33.86 151.21" and "48 31.79 8 11.88": plain numbers with blanks only,
  // split into two halves.
  if (coordinates->size() == 1) {
    Coordinate& only = coordinates->front();
    bool marked = false;
    for (Mark m : only.marks) marked = marked || m != Mark::None;
    if (!marked && only.letter == 0 && only.parts.size() % 2 == 0 && !only.parts.empty()) {
      Coordinate second;
      const size_t half = only.parts.size() / 2;
      second.parts.assign(only.parts.begin() + half, only.parts.end());
      second.marks.assign(only.marks.begin() + half, only.marks.end());
      only.parts.resize(half);
      only.marks.resize(half);
      coordinates->push_back(second);
    }
  }
  return std::nullopt;
}

Wide PowerOfTen(int n) {
  Wide p = 1;
  while (n-- > 0) p *= 10;
  return p;
}

/// The coordinate's size in hundredths of a minute, rounded (half up), and
/// its sign; or why it cannot be one.
std::optional<std::string> Measure(const Coordinate& c, const char* name, int64_t* hundredths) {
  static constexpr const char* kPartNames[] = {"degrees", "minutes", "seconds"};
  const size_t count = c.parts.size();
  if (count == 0) return std::string("the ") + name + " has no number";
  if (count > 3) return std::string("the ") + name + " has more than degrees, minutes and seconds";
  for (size_t i = 0; i < count; ++i) {
    const Mark expected = static_cast<Mark>(i + 1);
    if (c.marks[i] != Mark::None && c.marks[i] != expected) {
      return std::string("the ") + name + "'s " + kPartNames[i] + " carry the wrong sign";
    }
    if (i + 1 < count && c.parts[i].fractionDigits > 0) {
      return std::string("the ") + name + "'s " + kPartNames[i] +
             " have decimals although more parts follow";
    }
    if (i > 0 && c.parts[i].mantissa >= 60 * PowerOfTen(c.parts[i].fractionDigits)) {
      return std::string("the ") + name + "'s " + kPartNames[i] + " are not below 60";
    }
  }
  if (c.negative && c.letter != 0) {
    return std::string("the ") + name + " has both a minus sign and a hemisphere letter";
  }
  // Every part but the last is whole; the last one's unit in hundredths of
  // a minute is 6000 (degrees), 100 (minutes) or 100/60 (seconds).
  static constexpr int64_t kUnitNumerator[] = {kHundredthsPerDegree, 100, 100};
  static constexpr int64_t kUnitDenominator[] = {1, 1, 60};
  Wide before = 0;
  if (count >= 2) before += c.parts[0].mantissa * kHundredthsPerDegree;
  if (count == 3) before += c.parts[1].mantissa * 100;
  const Decimal& last = c.parts.back();
  const Wide denominator = PowerOfTen(last.fractionDigits) * kUnitDenominator[count - 1];
  const Wide numerator = before * denominator + last.mantissa * kUnitNumerator[count - 1];
  *hundredths = static_cast<int64_t>((2 * numerator + denominator) / (2 * denominator));
  return std::nullopt;
}

std::string DegreesText(int64_t hundredths) {
  char text[64];
  std::snprintf(text, sizeof text, "%lld\xC2\xB0%02lld.%02lld'",
                static_cast<long long>(hundredths / kHundredthsPerDegree),
                static_cast<long long>(hundredths % kHundredthsPerDegree / 100),
                static_cast<long long>(hundredths % 100));
  return text;
}

std::string StoredForm(int64_t latitude, int64_t longitude) {
  const int64_t lat = latitude < 0 ? -latitude : latitude;
  const int64_t lon = longitude < 0 ? -longitude : longitude;
  char text[64];
  std::snprintf(text, sizeof text, "%02lld%02lld.%02lld%c %03lld%02lld.%02lld%c",
                static_cast<long long>(lat / kHundredthsPerDegree),
                static_cast<long long>(lat % kHundredthsPerDegree / 100),
                static_cast<long long>(lat % 100), latitude < 0 ? 'S' : 'N',
                static_cast<long long>(lon / kHundredthsPerDegree),
                static_cast<long long>(lon % kHundredthsPerDegree / 100),
                static_cast<long long>(lon % 100), longitude < 0 ? 'W' : 'E');
  return text;
}

bool IsLatitudeLetter(char c) {
  return c == 'N' || c == 'S';
}

PositionReading ReadCoordinates(std::string_view text) {
  std::vector<Token> tokens;
  if (auto problem = Tokenize(text, &tokens))
    return {{}, "Cannot read the position: " + *problem + "."};
  std::vector<Coordinate> coordinates;
  if (auto problem = Group(tokens, &coordinates)) {
    return {{}, "Cannot read the position: " + *problem + "."};
  }
  if (coordinates.size() != 2) {
    return {{},
            "Cannot read the position: it needs a latitude and a longitude, or a locator "
            "(48.5298, 8.1980 or JN48nm)."};
  }
  // Latitude first, unless the letters say otherwise.
  if ((coordinates[0].letter == 'E' || coordinates[0].letter == 'W') ||
      IsLatitudeLetter(coordinates[1].letter)) {
    std::swap(coordinates[0], coordinates[1]);
  }
  if (coordinates[0].letter == 'E' || coordinates[0].letter == 'W' ||
      IsLatitudeLetter(coordinates[1].letter)) {
    return {{}, "Cannot read the position: both coordinates are marked as the same axis."};
  }
  int64_t lat = 0;
  int64_t lon = 0;
  if (auto problem = Measure(coordinates[0], "latitude", &lat)) {
    return {{}, "Cannot read the position: " + *problem + "."};
  }
  if (auto problem = Measure(coordinates[1], "longitude", &lon)) {
    return {{}, "Cannot read the position: " + *problem + "."};
  }
  if (lat > 90 * kHundredthsPerDegree) {
    return {{}, "The latitude " + DegreesText(lat) + " lies beyond the pole (90\xC2\xB0)."};
  }
  if (lon > 180 * kHundredthsPerDegree) {
    return {{}, "The longitude " + DegreesText(lon) + " lies beyond 180\xC2\xB0."};
  }
  if (lat > kMaxLatitude) {
    return {{},
            "The latitude " + DegreesText(lat) +
                " cannot be stored: the DAV-OZI takes latitudes up to 89\xC2\xB0"
                "59.99'."};
  }
  if (lon > kMaxLongitude) {
    return {{},
            "The longitude " + DegreesText(lon) +
                " cannot be stored: the DAV-OZI takes longitudes up to 179\xC2\xB0"
                "59.99'."};
  }
  const bool south = coordinates[0].letter == 'S' || coordinates[0].negative;
  const bool west = coordinates[1].letter == 'W' || coordinates[1].negative;
  return {StoredForm(south ? -lat : lat, west ? -lon : lon), {}};
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

}  // namespace

PositionReading ReadPosition(std::string_view text) {
  text = Trim(text);
  if (text.empty()) return {{}, "There is no position to read."};
  if (LooksLikeLocator(text)) return ReadLocator(text);
  // The stored form ("4831.79N 00811.88E") is read as degrees and minutes,
  // so that its parts are checked like any other.
  if (text.size() == 18 && CheckPosition(text) == 0) {
    return ReadCoordinates(std::string(text.substr(0, 2)) + " " + std::string(text.substr(2, 6)) +
                           " " + std::string(text.substr(9, 3)) + " " +
                           std::string(text.substr(12, 6)));
  }
  return ReadCoordinates(text);
}

std::string LocatorOf(std::string_view stored, int length) {
  if (stored.size() < 18 || CheckPosition(stored.substr(0, 18)) != 0) return {};
  const auto number = [&](size_t from, size_t count) {
    int64_t n = 0;
    for (size_t i = from; i < from + count; ++i) {
      if (stored[i] != '.') n = n * 10 + (stored[i] - '0');
    }
    return n;
  };
  // Thousandths of a minute from the south pole and from 180° west.
  int64_t lat = (number(0, 2) * kHundredthsPerDegree + number(2, 5)) * 10;
  int64_t lon = (number(9, 3) * kHundredthsPerDegree + number(12, 5)) * 10;
  if (stored[7] == 'S') lat = -lat;
  if (stored[17] == 'W') lon = -lon;
  lat += 90 * kThousandthsPerDegree;
  lon += 180 * kThousandthsPerDegree;
  if (lat < 0 || lat >= 180 * kThousandthsPerDegree || lon < 0 ||
      lon >= 360 * kThousandthsPerDegree) {
    return {};
  }
  std::string locator;
  for (int i = 0; i < length / 2 && i < 4; ++i) {
    const LocatorPair& pair = kLocatorPairs[i];
    const int64_t a = lon / pair.lonStep;
    const int64_t b = lat / pair.latStep;
    lon -= a * pair.lonStep;
    lat -= b * pair.latStep;
    const bool lower = i == 2;
    locator += static_cast<char>((lower ? pair.first + 32 : pair.first) + a);
    locator += static_cast<char>((lower ? pair.first + 32 : pair.first) + b);
  }
  return locator;
}

}  // namespace vextune
