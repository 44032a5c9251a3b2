#pragma once

// Shared shapes and colours of the APRS symbol pictures. Every drawing works
// on a canvas of 20 x 19 units, one unit per device-independent pixel; the
// icon engine scales the painter, so everything stays vector data.

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <initializer_list>

namespace vextune::ui::symbols {

/// Canvas size in units (device-independent pixels at scale 1).
inline constexpr qreal kCanvasWidth = 20;
inline constexpr qreal kCanvasHeight = 19;

/// Width of the dark outline around filled shapes, in units.
inline constexpr qreal kOutline = 1.0;

/// The colours the pictures share, so that related symbols match.
namespace colour {
inline constexpr QColor kInk{0x1c, 0x1c, 0x1c};
inline constexpr QColor kWhite{0xff, 0xff, 0xff};
inline constexpr QColor kPaper{0xf4, 0xf4, 0xf0};
inline constexpr QColor kLightGrey{0xc8, 0xc8, 0xc8};
inline constexpr QColor kGrey{0x8c, 0x8c, 0x8c};
inline constexpr QColor kDarkGrey{0x55, 0x55, 0x55};
inline constexpr QColor kRed{0xd8, 0x1e, 0x1e};
inline constexpr QColor kDarkRed{0x9a, 0x12, 0x12};
inline constexpr QColor kOrange{0xf2, 0x8c, 0x14};
inline constexpr QColor kYellow{0xf8, 0xd2, 0x1c};
inline constexpr QColor kLightYellow{0xff, 0xee, 0x88};
inline constexpr QColor kGreen{0x2e, 0xa0, 0x3c};
inline constexpr QColor kDarkGreen{0x1e, 0x64, 0x28};
inline constexpr QColor kOlive{0x6b, 0x73, 0x2e};
inline constexpr QColor kBlue{0x1e, 0x5a, 0xc8};
inline constexpr QColor kNavy{0x14, 0x28, 0x6e};
inline constexpr QColor kSky{0x8c, 0xc8, 0xf0};
inline constexpr QColor kWater{0x32, 0x8c, 0xdc};
inline constexpr QColor kGlass{0xb4, 0xdc, 0xf4};
inline constexpr QColor kBrown{0x8c, 0x5a, 0x28};
inline constexpr QColor kTan{0xd2, 0xaa, 0x6e};
inline constexpr QColor kPurple{0x78, 0x3c, 0xaa};
inline constexpr QColor kCloud{0xf0, 0xf2, 0xf6};
inline constexpr QColor kStormCloud{0x78, 0x80, 0x8c};
inline constexpr QColor kUnassigned{0xa0, 0xa0, 0xa0};
}  // namespace colour

/// A closed polygon through `points`.
QPainterPath Polygon(std::initializer_list<QPointF> points);

/// An open line through `points`.
QPainterPath Polyline(std::initializer_list<QPointF> points);

/// Fills `shape` and draws the dark outline around it (none when `outline` is 0).
void Fill(QPainter& p, const QPainterPath& shape, const QColor& fill, qreal outline = kOutline);

/// Draws `path` as a line of `width` units with round ends and joins.
void Stroke(QPainter& p, const QPainterPath& path, const QColor& colour, qreal width);

/// A straight line from `a` to `b`, `width` units wide, round ends.
void Line(QPainter& p, QPointF a, QPointF b, const QColor& colour, qreal width);

/// A filled circle with outline.
void Disc(QPainter& p, QPointF centre, qreal radius, const QColor& fill, qreal outline = kOutline);

/// A filled rectangle with outline; `radius` rounds the corners.
void Box(QPainter& p, const QRectF& rect, const QColor& fill, qreal radius = 0,
         qreal outline = kOutline);

/// The outline of `text` in a bold sans-serif face, scaled so that its capital
/// letters are `capHeight` units high and squeezed to at most `maxWidth`, centred
/// on `centre` (capital letters' middle).
QPainterPath TextPath(const QString& text, QPointF centre, qreal capHeight,
                      qreal maxWidth = kCanvasWidth);

/// Fills TextPath(...) in `colour`; with `halo` > 0 a ring of `haloColour` of that
/// width keeps the letters readable on busy backgrounds.
void Text(QPainter& p, const QString& text, QPointF centre, qreal capHeight, const QColor& colour,
          qreal maxWidth = kCanvasWidth, qreal halo = 0, const QColor& haloColour = colour::kWhite);

/// A road wheel: black tyre, grey hub.
void Wheel(QPainter& p, QPointF centre, qreal radius);

/// A star with `points` tips between radius `outer` and `inner`, tip up.
QPainterPath StarPath(QPointF centre, qreal outer, qreal inner, int points);

/// Fills the union of `parts` with one outline around the whole: each part's
/// outline is drawn first, then all fills, so inner edges disappear.
void FillUnion(QPainter& p, std::initializer_list<QPainterPath> parts, const QColor& fill,
               qreal outline = kOutline, const QColor& outlineColour = colour::kInk);

/// A cloud filling `bounds`, flat at the bottom.
void Cloud(QPainter& p, const QRectF& bounds, const QColor& fill = colour::kCloud);

/// A rain drop hanging from `top`, `height` units long.
void Drop(QPainter& p, QPointF top, qreal height, const QColor& fill = colour::kWater);

/// A flame filling `bounds`: red-orange outside, yellow core.
void Flame(QPainter& p, const QRectF& bounds);

/// A six-armed snow flake.
void Snowflake(QPainter& p, QPointF centre, qreal radius, const QColor& colour, qreal width);

/// A lightning bolt from the top of `bounds` to its bottom.
void Bolt(QPainter& p, const QRectF& bounds);

/// `count` concentric arcs around `centre`, radius growing by `step` from
/// `firstRadius`, spanning `spanDegrees` around `directionDegrees` (0 = right,
/// counter-clockwise): radio waves.
void Waves(QPainter& p, QPointF centre, qreal firstRadius, qreal step, int count,
           qreal directionDegrees, qreal spanDegrees, const QColor& colour, qreal width);

/// A wind-blown line with a curl at its end, from `start` for `length` units.
void WindLine(QPainter& p, QPointF start, qreal length, const QColor& colour);

/// The marker of the numbered (overlay) variants: a small dark plate with "#"
/// in the lower right corner, where a device puts the overlay character.
void OverlayMarker(QPainter& p);

/// A simple person: head and body, `height` units tall standing on `feet`.
void Person(QPainter& p, QPointF feet, qreal height, const QColor& colour);

}  // namespace vextune::ui::symbols
