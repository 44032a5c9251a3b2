// Aircraft, boats and spacecraft. Aircraft are seen from above, nose up;
// boats from the side on a line of water.

#include "ui/aprs_symbol_drawings.h"
#include "ui/aprs_symbol_painting.h"

namespace vextune::ui::symbols {
namespace {

using namespace colour;

void Water(QPainter& p, qreal y) {
  QPainterPath wave(QPointF(0.5, y));
  for (qreal x = 0.5; x < 19.0; x += 4.75) {
    wave.cubicTo(x + 1.2, y - 1.2, x + 2.4, y - 1.2, x + 2.4, y);
    wave.cubicTo(x + 3.6, y + 1.2, x + 4.75, y + 1.2, x + 4.75, y);
  }
  Stroke(p, wave, kWater, 1.1);
}

void Airliner(QPainter& p) {
  QPainterPath body;
  body.moveTo(10.0, 0.6);
  body.cubicTo(11.4, 0.6, 11.4, 2.6, 11.4, 4.0);
  body.lineTo(11.4, 7.0);
  body.lineTo(19.4, 11.6);
  body.lineTo(19.4, 12.8);
  body.lineTo(11.4, 10.6);
  body.lineTo(11.2, 15.0);
  body.lineTo(14.0, 17.2);
  body.lineTo(14.0, 18.2);
  body.lineTo(10.0, 17.2);
  body.lineTo(6.0, 18.2);
  body.lineTo(6.0, 17.2);
  body.lineTo(8.8, 15.0);
  body.lineTo(8.6, 10.6);
  body.lineTo(0.6, 12.8);
  body.lineTo(0.6, 11.6);
  body.lineTo(8.6, 7.0);
  body.lineTo(8.6, 4.0);
  body.cubicTo(8.6, 2.6, 8.6, 0.6, 10.0, 0.6);
  Fill(p, body, kWhite, 0.9);
  Box(p, QRectF(4.2, 9.6, 1.4, 2.4), kBlue, 0.5, 0.6);  // engines
  Box(p, QRectF(14.4, 9.6, 1.4, 2.4), kBlue, 0.5, 0.6);
  Box(p, QRectF(9.2, 2.0, 1.6, 1.2), kBlue, 0.4, 0);  // cockpit
}

}  // namespace

void DrawPlaneSmall(QPainter& p) {
  Box(p, QRectF(1.0, 5.6, 18.0, 3.0), kRed, 1.2);             // wing
  Box(p, QRectF(6.0, 14.2, 8.0, 2.2), kRed, 1.0);             // tail plane
  Box(p, QRectF(8.7, 2.0, 2.6, 15.4), kRed, 1.3);             // fuselage
  Box(p, QRectF(8.7, 5.6, 2.6, 3.0), kRed, 0, 0);             // join without outline
  Box(p, QRectF(9.0, 3.8, 2.0, 1.6), kGlass, 0.4, 0);         // cockpit
  Line(p, QPointF(6.6, 1.2), QPointF(13.4, 1.2), kInk, 1.2);  // propeller
}

void DrawPlaneLarge(QPainter& p) {
  Airliner(p);
}

void DrawNumberedAircraft(QPainter& p) {
  Airliner(p);
  OverlayMarker(p);
}

void DrawGlider(QPainter& p) {
  Box(p, QRectF(0.4, 6.0, 19.2, 1.8), kWhite, 0.9, 0.9);  // long slender wing
  Box(p, QRectF(6.8, 15.6, 6.4, 1.6), kWhite, 0.8, 0.9);  // tail plane
  QPainterPath fuselage;
  fuselage.moveTo(10.0, 2.0);
  fuselage.cubicTo(11.4, 2.0, 11.2, 6.0, 10.6, 9.0);
  fuselage.lineTo(10.4, 16.4);
  fuselage.lineTo(9.6, 16.4);
  fuselage.lineTo(9.4, 9.0);
  fuselage.cubicTo(8.8, 6.0, 8.6, 2.0, 10.0, 2.0);
  Fill(p, fuselage, kWhite, 0.9);
  Box(p, QRectF(0.4, 6.0, 1.6, 1.8), kRed, 0, 0);  // wing tips
  Box(p, QRectF(18.0, 6.0, 1.6, 1.8), kRed, 0, 0);
  Box(p, QRectF(9.3, 3.2, 1.4, 2.2), kGlass, 0.6, 0);
}

void DrawHelicopter(QPainter& p) {
  p.translate(0, 0.4);
  Line(p, QPointF(1.0, 2.6), QPointF(19.0, 2.6), kInk, 1.2);  // main rotor
  Line(p, QPointF(8.4, 2.6), QPointF(8.4, 5.0), kInk, 1.2);
  Stroke(p, Polyline({{3.0, 16.2}, {13.4, 16.2}}), kInk, 1.1);  // skids
  Line(p, QPointF(5.6, 13.6), QPointF(5.6, 16.2), kInk, 1.0);
  Line(p, QPointF(10.8, 13.6), QPointF(10.8, 16.2), kInk, 1.0);
  Fill(p, Polygon({{11.0, 8.0}, {18.6, 7.4}, {18.6, 9.0}, {11.0, 11.2}}), kOrange, 0.8);  // boom
  Line(p, QPointF(18.4, 5.4), QPointF(18.4, 10.4), kInk, 1.0);  // tail rotor
  QPainterPath cabin;
  cabin.addRoundedRect(QRectF(2.0, 4.8, 11.2, 9.2), 4.6, 4.6);
  Fill(p, cabin, kOrange);
  QPainterPath glass;
  glass.moveTo(2.6, 9.4);
  glass.cubicTo(2.6, 6.2, 4.0, 5.6, 7.2, 5.6);
  glass.lineTo(7.2, 9.4);
  glass.closeSubpath();
  Fill(p, glass, kGlass, 0);
}

void DrawBalloon(QPainter& p) {
  QPainterPath envelope;
  envelope.moveTo(8.2, 13.4);
  envelope.cubicTo(3.0, 9.4, 2.6, 0.6, 10.0, 0.6);
  envelope.cubicTo(17.4, 0.6, 17.0, 9.4, 11.8, 13.4);
  envelope.closeSubpath();
  Fill(p, envelope, kRed);
  QPainterPath stripe;
  stripe.moveTo(9.2, 13.2);
  stripe.cubicTo(6.8, 9.4, 6.8, 1.6, 10.0, 0.8);
  stripe.cubicTo(13.2, 1.6, 13.2, 9.4, 10.8, 13.2);
  stripe.closeSubpath();
  Fill(p, stripe, kYellow, 0);
  Stroke(p, envelope, kInk, 1.0);
  Line(p, QPointF(8.4, 13.6), QPointF(8.8, 15.2), kInk, 0.7);
  Line(p, QPointF(11.6, 13.6), QPointF(11.2, 15.2), kInk, 0.7);
  Box(p, QRectF(8.2, 15.2, 3.6, 3.0), kBrown, 0.4, 0.8);  // basket
}

void DrawShuttle(QPainter& p) {
  QPainterPath flame;
  flame.moveTo(8.4, 16.0);
  flame.quadTo(10.0, 20.4, 11.6, 16.0);
  Fill(p, flame, kOrange, 0);
  QPainterPath orbiter;
  orbiter.moveTo(10.0, 0.4);
  orbiter.cubicTo(11.6, 0.4, 11.8, 3.0, 11.8, 5.0);
  orbiter.lineTo(11.8, 7.0);
  orbiter.lineTo(17.2, 13.6);
  orbiter.lineTo(17.2, 15.8);
  orbiter.lineTo(2.8, 15.8);
  orbiter.lineTo(2.8, 13.6);
  orbiter.lineTo(8.2, 7.0);
  orbiter.lineTo(8.2, 5.0);
  orbiter.cubicTo(8.2, 3.0, 8.4, 0.4, 10.0, 0.4);
  Fill(p, orbiter, kWhite, 0.9);
  QPainterPath nose;
  nose.moveTo(10.0, 0.8);
  nose.cubicTo(11.2, 0.8, 11.4, 2.4, 11.4, 3.2);
  nose.lineTo(8.6, 3.2);
  nose.cubicTo(8.6, 2.4, 8.8, 0.8, 10.0, 0.8);
  Fill(p, nose, kInk, 0);
  Line(p, QPointF(10.0, 8.0), QPointF(10.0, 15.0), kGrey, 0.9);  // fin, seen from above
  Fill(p, Polygon({{3.4, 14.2}, {8.0, 8.6}, {8.0, 15.2}, {3.4, 15.2}}), kInk, 0);
  Fill(p, Polygon({{16.6, 14.2}, {12.0, 8.6}, {12.0, 15.2}, {16.6, 15.2}}), kInk, 0);
}

void DrawSatellite(QPainter& p) {
  for (qreal x : {0.8, 12.8}) {
    Box(p, QRectF(x, 7.0, 6.4, 5.6), kBlue, 0, 0.8);
    Line(p, QPointF(x + 3.2, 7.0), QPointF(x + 3.2, 12.6), kSky, 0.6);
    Line(p, QPointF(x, 9.8), QPointF(x + 6.4, 9.8), kSky, 0.6);
  }
  Line(p, QPointF(7.0, 9.8), QPointF(13.0, 9.8), kInk, 1.0);
  Box(p, QRectF(7.6, 6.2, 4.8, 7.2), kYellow, 0.6);  // body
  Line(p, QPointF(10.0, 6.2), QPointF(10.0, 3.6), kInk, 0.9);
  QPainterPath dish;
  dish.moveTo(6.8, 2.2);
  dish.quadTo(10.0, 5.6, 13.2, 2.2);
  dish.closeSubpath();
  Fill(p, dish, kWhite, 0.8);
  Line(p, QPointF(10.0, 13.4), QPointF(10.0, 17.4), kInk, 0.8);  // antenna
}

void DrawCanoe(QPainter& p) {
  Water(p, 16.2);
  QPainterPath hull;
  hull.moveTo(0.6, 8.4);
  hull.quadTo(3.0, 10.4, 10.0, 10.4);
  hull.quadTo(17.0, 10.4, 19.4, 8.4);
  hull.quadTo(17.6, 14.0, 10.0, 14.0);
  hull.quadTo(2.4, 14.0, 0.6, 8.4);
  Fill(p, hull, kOrange);
  Line(p, QPointF(2.4, 10.0), QPointF(17.6, 10.0), kBrown, 0.8);
  // The paddle, dipped in beside the hull.
  Line(p, QPointF(9.0, 1.0), QPointF(14.0, 13.0), kInk, 1.8);
  Line(p, QPointF(9.0, 1.0), QPointF(14.0, 13.0), kTan, 0.8);
  QPainterPath blade;
  blade.addEllipse(QPointF(14.6, 14.6), 1.4, 2.6);
  Fill(p, blade, kTan, 0.8);
}

void DrawYacht(QPainter& p) {
  Water(p, 17.2);
  Line(p, QPointF(10.0, 0.8), QPointF(10.0, 13.0), kInk, 1.0);  // mast
  Fill(p, Polygon({{10.8, 1.2}, {10.8, 12.0}, {17.8, 12.0}}), kWhite, 0.9);
  Fill(p, Polygon({{9.2, 3.0}, {9.2, 12.0}, {3.4, 12.0}}), kWhite, 0.9);
  Fill(p, Polygon({{1.2, 12.8}, {18.8, 12.8}, {16.4, 15.8}, {3.6, 15.8}}), kNavy);
}

void DrawPowerBoat(QPainter& p) {
  Water(p, 17.0);
  Fill(p, Polygon({{5.6, 9.2}, {7.8, 5.6}, {14.6, 5.6}, {14.6, 9.2}}), kWhite, 0.9);  // cabin
  Fill(p, Polygon({{7.0, 8.6}, {8.4, 6.6}, {10.8, 6.6}, {10.8, 8.6}}), kGlass, 0);
  Fill(p, Polygon({{0.6, 9.2}, {19.0, 9.2}, {19.0, 14.0}, {5.4, 14.0}}), kRed);
  Line(p, QPointF(2.6, 11.0), QPointF(19.0, 11.0), kWhite, 0.9);
}

void DrawNumberedShip(QPainter& p) {
  Water(p, 17.2);
  Box(p, QRectF(10.6, 2.6, 2.8, 4.4), kRed, 0, 0.8);  // funnel
  Box(p, QRectF(10.6, 2.6, 2.8, 1.2), kInk, 0, 0);
  Box(p, QRectF(4.6, 6.6, 11.0, 3.4), kWhite, 0, 0.9);  // superstructure
  for (qreal x : {6.0, 8.4, 13.2}) Box(p, QRectF(x, 7.6, 1.4, 1.2), kGlass, 0, 0);
  Fill(p, Polygon({{0.6, 10.0}, {19.4, 10.0}, {17.4, 15.2}, {2.6, 15.2}}), kNavy);
  Line(p, QPointF(1.6, 13.4), QPointF(18.4, 13.4), kRed, 1.2);
  OverlayMarker(p);
}

void DrawCrashSite(QPainter& p) {
  // A burst where the plane hit the ground.
  Line(p, QPointF(0.6, 17.4), QPointF(19.4, 17.4), kBrown, 1.2);
  Fill(p, StarPath(QPointF(7.6, 12.6), 6.2, 2.8, 9), kOrange, 0.8);
  Fill(p, StarPath(QPointF(7.6, 12.6), 3.2, 1.6, 7), kYellow, 0);
  // The plane diving in from the upper right.
  p.save();
  p.translate(13.4, 6.2);
  p.rotate(-135);
  p.scale(0.62, 0.62);
  p.translate(-10.0, -9.5);
  Airliner(p);
  p.restore();
}

}  // namespace vextune::ui::symbols
