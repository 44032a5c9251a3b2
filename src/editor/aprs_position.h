#pragma once

#include <string>
#include <string_view>

namespace vextune {

/// The fixed APRS position is typed into two masked fields, one per axis.
/// Field texts here are 8-bit Windows-1252 like the record, so one byte is
/// one character and positions count characters; the degree sign is 0xB0.
enum class PositionAxis { Latitude, Longitude };

inline constexpr char kDegreeSign = '\xB0';

/// The fixed places of one field. Positions are 0-based characters.
struct PositionLayout {
  std::string_view mask;    ///< the untouched field, "_" for each digit
  int degreeSign;           ///< place of the fixed degree sign
  int point;                ///< place of the fixed decimal point
  int lastDigit;            ///< place of the last hundredths digit
  int degreeDigits;         ///< digits before the degree sign
  int maxDegrees;           ///< highest degree value accepted
  char positiveHemisphere;  ///< "N" or "E"
  char negativeHemisphere;  ///< "S" or "W"

  int Length() const { return static_cast<int>(mask.size()); }
};

/// "__°__.__" for the latitude, "___°__.__" for the longitude.
const PositionLayout& LayoutOf(PositionAxis axis);

/// Checks one field's text: 0 a valid position part, 1 malformed (a part
/// missing or with the wrong number of digits), 2 a number out of range
/// (degrees above 89 or 179, minutes above 59).
int ConvertCheck(PositionAxis axis, std::string_view text);

/// True when `text` has the field's shape: a digit in every place of the
/// mask's "_", the degree sign and the point where the mask has them. Only
/// such a text joins into a position the record takes.
bool FitsLayout(PositionAxis axis, std::string_view text);

/// The two fields and two hemisphere letters that show a position.
struct PositionParts {
  std::string latitude;  ///< "48°31.79" or the mask
  char latitudeHemisphere = 'N';
  std::string longitude;  ///< "008°11.88" or the mask
  char longitudeHemisphere = 'W';
  /// True when the stored text held no position: the fields show their
  /// masks and the hemisphere labels keep what they show.
  bool empty = true;
};

/// Cuts a stored position ("4831.79N 00811.88E") at its fixed places. A text
/// too short to hold a position (the empty text, "NONE") gives the masks
/// with "N" and "W".
PositionParts SplitPosition(std::string_view stored);

/// True when both fields still show exactly their masks.
bool PositionUntouched(std::string_view latitude, std::string_view longitude);

/// The stored form of checked fields: degree signs removed, each field's
/// hemisphere letter appended, latitude and longitude joined by one blank.
/// The empty text when both fields still show their masks.
std::string JoinPosition(std::string_view latitude, char latitudeHemisphere,
                         std::string_view longitude, char longitudeHemisphere);

/// The other letter of the same axis: N<->S, E<->W (anything else gives
/// the positive letter, as a toggle that starts from an unknown caption).
char ToggleHemisphere(PositionAxis axis, char letter);

/// The character a caret or click at `position` lands on: the fixed degree
/// sign and point pass on to the next digit, the end falls back to the last
/// digit. Used after a click, after typing and after any other change.
int DigitAtOrAfter(PositionAxis axis, int position);

/// Where the one-character selection goes for an arrow key, from the
/// selected digit `selected`; `beep` when it cannot move.
struct DigitMove {
  int position = 0;
  bool beep = false;
};
DigitMove MoveLeft(PositionAxis axis, int selected);
DigitMove MoveRight(PositionAxis axis, int selected);

/// The keys a position field acts on; every other key beeps and changes
/// nothing. Backspace is Left, Ctrl+A is Home.
enum class PositionKey { Left, Right, Home, End, Delete, Digit };

/// A field's text and where it stands: `position` is the one selected
/// digit, or the field's length when the caret stands after the last digit
/// (nothing is selected then, and nothing is left to overwrite).
struct PositionFieldState {
  std::string text;
  int position = 0;
  bool beep = false;  ///< the key was refused
};

/// What `key` does to the field showing `text` at `position`. A digit
/// (`digit`, '0' to '9') replaces the selected one and moves on to the next
/// digit, or after the last one, where a further digit beeps instead of
/// overwriting the last digit again. Delete clears the selected digit back
/// to the mask's "_", so that a position can be emptied again. Home goes to
/// the first digit, End to the last.
PositionFieldState PressPositionKey(PositionAxis axis, std::string_view text, int position,
                                    PositionKey key, char digit = '\0');

}  // namespace vextune
