// People, animals and the emblems of groups of people.

#include <QtMath>

#include "ui/aprs_symbol_drawings.h"
#include "ui/aprs_symbol_painting.h"

namespace vextune::ui::symbols {
using namespace colour;

void DrawWheelChair(QPainter& p) {
  Box(p, QRectF(1.5, 1.0, 17.0, 17.0), kBlue, 2.6);
  // The seated figure and its wheel, in white.
  Disc(p, QPointF(8.2, 3.8), 1.5, kWhite, 0);
  Stroke(p, Polyline({{7.8, 6.4}, {7.8, 11.0}, {12.0, 11.0}, {13.6, 15.2}, {15.0, 14.6}}), kWhite,
         1.6);
  Line(p, QPointF(7.8, 8.2), QPointF(11.4, 8.2), kWhite, 1.3);
  QPainterPath wheel;
  wheel.arcMoveTo(QRectF(3.0, 8.6, 8.8, 8.8), 100);
  wheel.arcTo(QRectF(3.0, 8.6, 8.8, 8.8), 100, 280);
  Stroke(p, wheel, kWhite, 1.3);
}

void DrawJogger(QPainter& p) {
  Disc(p, QPointF(12.2, 2.6), 2.0, kInk, 0);
  const QPointF neck(11.0, 5.6), hip(8.6, 10.6);
  Line(p, neck, hip, kInk, 2.4);  // torso leaning forward
  Stroke(p, Polyline({{5.8, 8.2}, {7.8, 5.6}, neck, {13.4, 8.0}, {16.0, 6.4}}), kInk, 1.6);  // arms
  Stroke(p, Polyline({hip, {12.4, 12.8}, {11.6, 17.6}, {13.4, 17.6}}), kInk, 1.7);  // front leg
  Stroke(p, Polyline({hip, {6.8, 14.0}, {2.6, 14.8}}), kInk, 1.7);                  // back leg
}

void DrawBoyScout(QPainter& p) {
  // A fleur-de-lis.
  QPainterPath lily(QPointF(10.0, 0.6));
  lily.cubicTo(13.4, 3.8, 12.8, 8.0, 10.0, 11.0);
  lily.cubicTo(7.2, 8.0, 6.6, 3.8, 10.0, 0.6);
  for (qreal side : {-1.0, 1.0}) {
    auto at = [side](qreal dx, qreal y) { return QPointF(10.0 + side * dx, y); };
    lily.moveTo(at(1.2, 11.0));
    lily.cubicTo(at(7.0, 11.4), at(9.6, 6.0), at(6.4, 3.8));
    lily.cubicTo(at(6.6, 6.6), at(5.0, 8.4), at(1.6, 9.2));
    lily.closeSubpath();
    lily.moveTo(at(1.0, 12.8));
    lily.cubicTo(at(2.6, 15.4), at(5.0, 16.2), at(6.0, 14.4));
    lily.lineTo(at(1.0, 12.8));
  }
  lily.addRect(QRectF(4.6, 10.6, 10.8, 2.2));
  lily.moveTo(8.8, 12.8);
  lily.lineTo(10.0, 18.2);
  lily.lineTo(11.2, 12.8);
  lily.closeSubpath();
  lily.setFillRule(Qt::WindingFill);
  Fill(p, lily, QColor(0xc8, 0x96, 0x14), 0.8);
}

void DrawGirlScout(QPainter& p) {
  // A trefoil: three round leaves on a short stem.
  QPainterPath top, left, right, stem;
  top.addEllipse(QPointF(10.0, 5.0), 4.4, 4.4);
  left.addEllipse(QPointF(5.4, 11.0), 4.4, 4.4);
  right.addEllipse(QPointF(14.6, 11.0), 4.4, 4.4);
  stem.addRect(QRectF(9.0, 11.0, 2.0, 7.4));
  FillUnion(p, {top, left, right, stem}, kGreen);
  Line(p, QPointF(10.0, 9.6), QPointF(10.0, 6.0), kDarkGreen, 0.8);  // leaf veins
  Line(p, QPointF(10.0, 9.6), QPointF(6.4, 11.4), kDarkGreen, 0.8);
  Line(p, QPointF(10.0, 9.6), QPointF(13.6, 11.4), kDarkGreen, 0.8);
}

void DrawHorse(QPainter& p) {
  QPainterPath tail(QPointF(17.2, 7.6));
  tail.cubicTo(19.4, 8.0, 19.6, 12.0, 18.8, 14.6);
  Stroke(p, tail, kInk, 1.4);
  Fill(p,
       Polygon({{16.0, 6.8},  {17.6, 8.2},  {17.6, 11.0}, {17.2, 17.8}, {15.8, 17.8}, {15.6, 12.6},
                {14.6, 12.2}, {14.2, 17.8}, {12.8, 17.8}, {12.6, 12.2}, {7.6, 12.2},  {7.4, 17.8},
                {6.0, 17.8},  {5.8, 12.4},  {5.0, 12.0},  {4.6, 17.8},  {3.2, 17.8},  {3.6, 10.0},
                {3.4, 7.6},   {1.4, 8.0},   {0.6, 6.8},   {2.6, 2.8},   {3.4, 1.0},   {4.4, 2.4},
                {6.4, 3.6},   {8.2, 6.8}}),
       kBrown, 0.8);
  Stroke(p, Polyline({{4.4, 2.6}, {6.4, 3.8}, {8.2, 7.0}}), kInk, 1.2);  // mane
}

void DrawRover(QPainter& p) {
  // A dog, tail up.
  Fill(p,
       Polygon({{0.8, 6.8},   {1.2, 5.4},   {3.2, 4.8},   {3.8, 2.2},   {5.6, 4.4},   {6.6, 8.0},
                {15.6, 8.0},  {17.8, 4.0},  {18.8, 4.6},  {17.2, 9.0},  {17.2, 17.6}, {15.6, 17.6},
                {15.2, 12.8}, {13.8, 12.8}, {13.6, 17.6}, {12.0, 17.6}, {11.8, 12.6}, {8.2, 12.6},
                {8.0, 17.6},  {6.4, 17.6},  {6.2, 12.6},  {5.6, 12.4},  {5.4, 17.6},  {3.8, 17.6},
                {4.0, 9.6},   {3.4, 8.0},   {1.4, 8.0}}),
       kTan, 0.8);
  Disc(p, QPointF(3.0, 5.8), 0.5, kInk, 0);  // eye
  Disc(p, QPointF(0.9, 6.4), 0.6, kInk, 0);  // nose
  Line(p, QPointF(6.6, 8.2), QPointF(15.4, 8.2), kInk, 0.6);
}

void DrawSkywarn(QPainter& p) {
  // A storm spotter's binoculars.
  Box(p, QRectF(3.0, 2.0, 4.4, 8.0), kDarkGrey, 1.2);
  Box(p, QRectF(12.6, 2.0, 4.4, 8.0), kDarkGrey, 1.2);
  Box(p, QRectF(7.4, 5.0, 5.2, 2.6), kGrey, 0.6);  // bridge
  for (qreal x : {5.2, 14.8}) {
    Disc(p, QPointF(x, 13.0), 4.4, kDarkGrey);
    Disc(p, QPointF(x, 13.0), 2.8, kSky, 0);
    Disc(p, QPointF(x - 0.9, 12.1), 0.8, kWhite, 0);
  }
}

void DrawCoastGuard(QPainter& p) {
  // A life ring in red and white quarters.
  const QPointF c(10.0, 9.5);
  QPainterPath ring;
  ring.addEllipse(c, 8.6, 8.6);
  ring.addEllipse(c, 4.4, 4.4);
  Fill(p, ring, kWhite, 0);
  p.save();
  p.setClipPath(ring);
  for (int quarter = 0; quarter < 4; quarter += 2) {
    QPainterPath sector(c);
    sector.arcTo(QRectF(c.x() - 9.0, c.y() - 9.0, 18.0, 18.0), 45 + quarter * 90, 90);
    sector.closeSubpath();
    Fill(p, sector, kRed, 0);
  }
  p.restore();
  Stroke(p, ring, kInk, 1.0);
}

}  // namespace vextune::ui::symbols
