// Buildings, services and places people go to.

#include "ui/aprs_symbol_drawings.h"
#include "ui/aprs_symbol_painting.h"

namespace vextune::ui::symbols {
namespace {

using namespace colour;

// A gabled house: `walls` below a roof that overhangs them by one unit.
void House(QPainter& p, const QRectF& walls, const QColor& wall, const QColor& roof,
           qreal roofHeight) {
  Box(p, walls, wall);
  Fill(p,
       Polygon({{walls.left() - 1.2, walls.top() + 0.6},
                {walls.center().x(), walls.top() - roofHeight},
                {walls.right() + 1.2, walls.top() + 0.6}}),
       roof);
}

// A rounded square road sign filling most of the canvas.
void Sign(QPainter& p, const QColor& fill) {
  Box(p, QRectF(1.5, 1.0, 17.0, 17.0), fill, 2.6);
}

// A person pictogram in the style of public signs: a round head and a
// body with legs; `skirt` draws the body as a dress.
void SignFigure(QPainter& p, qreal x, bool skirt, const QColor& colour) {
  Disc(p, QPointF(x, 4.4), 1.5, colour, 0);
  if (skirt) {
    Fill(p, Polygon({{x - 1.0, 6.6}, {x + 1.0, 6.6}, {x + 2.6, 12.6}, {x - 2.6, 12.6}}), colour, 0);
  } else {
    Box(p, QRectF(x - 1.7, 6.6, 3.4, 6.0), colour, 1.0, 0);
  }
  Box(p, QRectF(x - 1.5, 12.0, 1.2, 4.6), colour, 0, 0);
  Box(p, QRectF(x + 0.3, 12.0, 1.2, 4.6), colour, 0, 0);
}

}  // namespace

void DrawHome(QPainter& p) {
  Box(p, QRectF(13.0, 2.8, 2.4, 4.4), kDarkRed);  // chimney
  House(p, QRectF(3.6, 9.0, 12.8, 8.6), kPaper, kRed, 7.4);
  Box(p, QRectF(8.6, 12.0, 2.8, 5.6), kBrown, 0, 0.8);
  Box(p, QRectF(5.0, 11.0, 2.4, 2.4), kGlass, 0, 0.6);
  Box(p, QRectF(12.6, 11.0, 2.4, 2.4), kGlass, 0, 0.6);
}

void DrawHouseHf(QPainter& p) {
  // A vertical antenna beside the house, sending.
  Line(p, QPointF(17.0, 17.6), QPointF(17.0, 3.0), kInk, 1.1);
  Waves(p, QPointF(17.0, 3.0), 1.6, 1.4, 2, 180, 100, kRed, 0.8);
  House(p, QRectF(2.4, 9.6, 11.4, 8.0), kTan, kBrown, 5.8);
  Text(p, QStringLiteral("HF"), QPointF(8.1, 13.6), 4.4, kInk, 8.4);
}

void DrawPoliceStation(QPainter& p) {
  Box(p, QRectF(8.2, 0.6, 3.6, 2.2), kBlue, 1.0, 0.8);  // blue light on the roof
  Box(p, QRectF(1.4, 3.2, 17.2, 14.8), kNavy, 0.4);
  for (qreal x : {2.8, 15.0}) {
    for (qreal y : {5.0, 9.4}) Box(p, QRectF(x, y, 2.2, 2.6), kGlass, 0, 0);
  }
  Box(p, QRectF(8.4, 13.4, 3.2, 4.6), kGlass, 0, 0.6);  // door
  Fill(p, StarPath(QPointF(10.0, 8.4), 4.6, 2.2, 6), kYellow, 0.7);
}

void DrawFireStation(QPainter& p) {
  Box(p, QRectF(1.4, 4.0, 17.2, 14.0), kDarkRed);
  Flame(p, QRectF(7.4, 4.6, 5.2, 5.4));
  for (qreal x : {2.8, 10.8}) {
    Box(p, QRectF(x, 10.6, 6.4, 7.4), kLightGrey, 0, 0.7);
    for (qreal y = 12.4; y < 18.0; y += 1.8)
      Line(p, QPointF(x, y), QPointF(x + 6.4, y), kGrey, 0.5);
  }
}

void DrawHospital(QPainter& p) {
  Sign(p, kBlue);
  Text(p, QStringLiteral("H"), QPointF(10.0, 9.5), 11.0, kWhite);
}

void DrawParking(QPainter& p) {
  Sign(p, kBlue);
  Text(p, QStringLiteral("P"), QPointF(10.3, 9.5), 11.0, kWhite);
}

void DrawInfoKiosk(QPainter& p) {
  Disc(p, QPointF(10.0, 9.5), 8.4, kBlue);
  Disc(p, QPointF(10.0, 4.8), 1.6, kWhite, 0);
  Box(p, QRectF(8.6, 7.4, 2.8, 8.0), kWhite, 0.6, 0);
  Box(p, QRectF(7.6, 7.4, 3.0, 1.4), kWhite, 0, 0);
  Box(p, QRectF(7.6, 14.2, 4.8, 1.4), kWhite, 0, 0);
}

void DrawRedCross(QPainter& p) {
  Box(p, QRectF(1.5, 1.0, 17.0, 17.0), kWhite, 1.0, 0.8);
  Box(p, QRectF(7.6, 3.0, 4.8, 13.0), kRed, 0, 0);
  Box(p, QRectF(3.5, 7.1, 13.0, 4.8), kRed, 0, 0);
}

void DrawAidStation(QPainter& p) {
  Stroke(p, Polyline({{7.0, 5.4}, {7.0, 2.6}, {13.0, 2.6}, {13.0, 5.4}}), kInk, 1.4);  // handle
  Box(p, QRectF(1.0, 5.0, 18.0, 12.6), kGreen, 1.6);
  Box(p, QRectF(8.6, 7.4, 2.8, 8.0), kWhite, 0, 0);
  Box(p, QRectF(6.0, 10.0, 8.0, 2.8), kWhite, 0, 0);
}

void DrawHotel(QPainter& p) {
  Box(p, QRectF(1.0, 4.0, 2.0, 13.4), kBrown, 0.5, 0.8);  // headboard
  Box(p, QRectF(17.0, 9.0, 2.0, 8.4), kBrown, 0.5, 0.8);  // footboard
  Box(p, QRectF(2.6, 10.6, 15.0, 3.6), kWhite, 0, 0.8);   // mattress
  Box(p, QRectF(3.4, 7.6, 4.6, 3.0), kWhite, 1.2, 0.8);   // pillow
  Fill(p, Polygon({{8.4, 10.6}, {9.6, 8.0}, {17.4, 8.0}, {17.4, 12.4}, {8.4, 12.4}}), kBlue, 0.8);
  Text(p, QStringLiteral("z"), QPointF(12.0, 3.4), 3.6, kBlue);
  Text(p, QStringLiteral("z"), QPointF(15.0, 1.8), 2.6, kBlue);
}

void DrawSchool(QPainter& p) {
  // A mortarboard: the square top, the cap below, a tassel on the side.
  QPainterPath cap(QPointF(5.0, 8.8));
  cap.lineTo(5.0, 13.4);
  cap.quadTo(10.0, 16.6, 15.0, 13.4);
  cap.lineTo(15.0, 8.8);
  cap.closeSubpath();
  Fill(p, cap, kNavy);
  Fill(p, Polygon({{10.0, 2.6}, {19.4, 6.8}, {10.0, 11.0}, {0.6, 6.8}}), kNavy);
  Stroke(p, Polyline({{10.0, 6.8}, {16.4, 8.6}, {16.4, 13.4}}), kYellow, 0.9);
  Fill(p, Polygon({{16.4, 13.0}, {17.6, 16.4}, {15.2, 16.4}}), kYellow, 0);
}

void DrawChurch(QPainter& p) {
  Box(p, QRectF(1.6, 10.4, 16.8, 7.4), kPaper);                      // nave
  Fill(p, Polygon({{6.6, 8.0}, {10.0, 3.4}, {13.4, 8.0}}), kBrown);  // spire
  Box(p, QRectF(7.2, 8.0, 5.6, 9.8), kPaper);                        // tower
  Line(p, QPointF(10.0, 0.4), QPointF(10.0, 3.4), kInk, 0.9);        // cross
  Line(p, QPointF(8.8, 1.4), QPointF(11.2, 1.4), kInk, 0.9);
  QPainterPath door(QPointF(8.8, 17.8));
  door.lineTo(8.8, 14.0);
  door.arcTo(QRectF(8.8, 12.8, 2.4, 2.4), 180, -180);
  door.lineTo(11.2, 17.8);
  door.closeSubpath();
  Fill(p, door, kBrown, 0);
  Box(p, QRectF(3.2, 12.4, 2.0, 2.8), kGlass, 0.8, 0);
  Box(p, QRectF(14.8, 12.4, 2.0, 2.8), kGlass, 0.8, 0);
}

void DrawBank(QPainter& p) {
  Fill(p, Polygon({{1.0, 6.6}, {10.0, 1.2}, {19.0, 6.6}}), kTan);  // pediment
  Box(p, QRectF(2.0, 6.6, 16.0, 1.6), kTan, 0, 0.8);
  for (qreal x : {3.0, 7.0, 11.4, 15.4}) Box(p, QRectF(x, 8.2, 1.6, 7.2), kPaper, 0, 0.7);
  Box(p, QRectF(1.0, 15.4, 18.0, 2.4), kTan, 0, 0.8);  // steps
  Text(p, QStringLiteral("$"), QPointF(10.0, 4.6), 3.4, kDarkGreen);
}

void DrawPowerPlant(QPainter& p) {
  // A cooling tower with steam, beside a hall with a lightning bolt.
  Cloud(p, QRectF(1.4, 0.6, 8.0, 5.0), kWhite);
  QPainterPath tower(QPointF(2.6, 6.0));
  tower.lineTo(8.4, 6.0);
  tower.quadTo(6.8, 11.0, 9.4, 17.8);
  tower.lineTo(1.6, 17.8);
  tower.quadTo(4.2, 11.0, 2.6, 6.0);
  Fill(p, tower, kLightGrey);
  Box(p, QRectF(10.4, 9.0, 8.4, 8.8), kGrey);
  Bolt(p, QRectF(12.0, 10.0, 5.2, 7.2));
}

void DrawLighthouse(QPainter& p) {
  // Beams to both sides of the lantern.
  Fill(p, Polygon({{10.0, 4.6}, {0.6, 1.6}, {0.6, 7.6}}), kLightYellow, 0);
  Fill(p, Polygon({{10.0, 4.6}, {19.4, 1.6}, {19.4, 7.6}}), kLightYellow, 0);
  QPainterPath tower(QPointF(7.8, 7.0));
  tower.lineTo(12.2, 7.0);
  tower.lineTo(13.8, 17.8);
  tower.lineTo(6.2, 17.8);
  tower.closeSubpath();
  Fill(p, tower, kWhite);
  p.save();
  p.setClipPath(tower);
  for (qreal y : {9.0, 13.4}) Box(p, QRectF(5.0, y, 10.0, 2.2), kRed, 0, 0);
  p.restore();
  Stroke(p, tower, kInk, 1.0);
  Box(p, QRectF(8.2, 3.4, 3.6, 3.6), kYellow, 0, 0.8);  // lantern
  Fill(p, Polygon({{7.6, 3.6}, {10.0, 1.0}, {12.4, 3.6}}), kInk, 0);
  Box(p, QRectF(6.8, 6.6, 6.4, 0.9), kInk, 0, 0);
}

void DrawHamStore(QPainter& p) {
  Box(p, QRectF(2.0, 8.0, 16.0, 10.0), kPaper);  // shop front
  Box(p, QRectF(1.0, 0.8, 18.0, 5.0), kWhite, 0.8, 0.8);
  Text(p, QStringLiteral("HAM"), QPointF(10.0, 3.3), 3.6, kRed, 15.0);
  // Striped awning with a scalloped edge.
  QPainterPath awning(QPointF(1.0, 5.8));
  awning.lineTo(19.0, 5.8);
  awning.lineTo(19.0, 8.0);
  for (qreal x = 19.0; x > 1.1; x -= 3.0) awning.arcTo(QRectF(x - 3.0, 6.5, 3.0, 3.0), 0, -180);
  awning.closeSubpath();
  Fill(p, awning, kWhite);
  p.save();
  p.setClipPath(awning);
  for (qreal x = 1.0; x < 19.0; x += 6.0) Box(p, QRectF(x, 5.0, 3.0, 6.0), kRed, 0, 0);
  p.restore();
  Stroke(p, awning, kInk, 0.9);
  Box(p, QRectF(3.6, 11.0, 6.4, 4.6), kGlass, 0, 0.7);
  Box(p, QRectF(11.8, 11.0, 4.2, 7.0), kBrown, 0, 0.7);
}

void DrawRestaurant(QPainter& p) {
  Disc(p, QPointF(10.0, 9.5), 5.6, kWhite);  // plate
  Disc(p, QPointF(10.0, 9.5), 3.6, kWhite, 0.6);
  // Fork on the left.
  for (qreal x : {1.4, 2.6, 3.8}) Line(p, QPointF(x, 1.6), QPointF(x, 5.4), kInk, 0.8);
  Stroke(p, Polyline({{1.4, 5.4}, {2.6, 7.4}, {3.8, 5.4}}), kInk, 0.8);
  Line(p, QPointF(2.6, 7.0), QPointF(2.6, 17.6), kInk, 1.4);
  // Knife on the right.
  QPainterPath blade(QPointF(17.6, 1.4));
  blade.quadTo(19.4, 4.6, 18.0, 9.6);
  blade.lineTo(17.0, 9.6);
  blade.closeSubpath();
  Fill(p, blade, kInk, 0);
  Line(p, QPointF(17.4, 9.0), QPointF(17.4, 17.6), kInk, 1.4);
}

void DrawPetrolStation(QPainter& p) {
  Stroke(p, Polyline({{12.4, 14.0}, {16.6, 14.0}, {16.6, 5.6}, {14.6, 3.6}}), kInk, 1.1);  // hose
  Box(p, QRectF(13.4, 3.0, 2.0, 3.4), kDarkGrey, 0.4, 0);                                  // nozzle
  Box(p, QRectF(2.6, 1.6, 10.4, 16.2), kRed, 1.2);
  Box(p, QRectF(4.4, 3.6, 6.8, 4.4), kWhite, 0.6, 0.7);  // display
  Box(p, QRectF(1.6, 16.4, 12.4, 1.6), kDarkGrey, 0, 0.7);
}

void DrawTruckStop(QPainter& p) {
  Sign(p, kBlue);
  // A lorry at a fuel pump, in white.
  Box(p, QRectF(9.0, 4.4, 7.6, 6.4), kWhite, 0, 0);
  Fill(p, Polygon({{3.6, 12.4}, {3.6, 8.4}, {4.6, 6.6}, {8.4, 6.6}, {8.4, 12.4}}), kWhite, 0);
  Box(p, QRectF(3.6, 10.8, 13.0, 1.6), kWhite, 0, 0);
  Disc(p, QPointF(6.2, 13.2), 1.7, kWhite, 0);
  Disc(p, QPointF(13.8, 13.2), 1.7, kWhite, 0);
  Disc(p, QPointF(6.2, 13.2), 0.8, kBlue, 0);
  Disc(p, QPointF(13.8, 13.2), 0.8, kBlue, 0);
  Fill(p, Polygon({{4.6, 8.8}, {5.2, 7.6}, {7.4, 7.6}, {7.4, 8.8}}), kBlue, 0);
  Box(p, QRectF(3.0, 15.4, 14.0, 0.9), kWhite, 0, 0);
}

void DrawWaterStation(QPainter& p) {
  Box(p, QRectF(0.8, 5.0, 2.0, 6.0), kDarkGrey, 0, 0.7);  // wall fitting
  Box(p, QRectF(2.8, 6.2, 10.2, 3.6), kLightGrey, 0, 0.8);
  Fill(p, Polygon({{9.6, 9.8}, {13.0, 9.8}, {13.0, 12.0}, {9.6, 12.0}}), kLightGrey, 0.8);
  Line(p, QPointF(7.4, 6.2), QPointF(7.4, 3.4), kInk, 1.2);  // handle
  Line(p, QPointF(5.0, 3.0), QPointF(9.8, 3.0), kRed, 1.6);
  Drop(p, QPointF(11.3, 12.8), 5.6, kWater);
}

void DrawCampground(QPainter& p) {
  Line(p, QPointF(0.6, 17.4), QPointF(19.4, 17.4), kDarkGreen, 1.2);
  Line(p, QPointF(10.0, 2.8), QPointF(11.6, 0.8), kInk, 0.9);
  Line(p, QPointF(10.0, 2.8), QPointF(8.4, 0.8), kInk, 0.9);
  Fill(p, Polygon({{10.0, 2.8}, {18.8, 16.8}, {1.2, 16.8}}), kOrange);
  Fill(p, Polygon({{10.0, 8.0}, {13.4, 16.8}, {6.6, 16.8}}), kBrown, 0);
}

void DrawParkPicnicArea(QPainter& p) {
  Box(p, QRectF(4.2, 8.4, 1.6, 9.2), kBrown, 0, 0.7);  // trunk
  Disc(p, QPointF(5.0, 5.4), 4.4, kGreen);             // crown
  Line(p, QPointF(11.4, 11.4), QPointF(10.0, 17.6), kBrown, 1.1);
  Line(p, QPointF(17.4, 11.4), QPointF(18.8, 17.6), kBrown, 1.1);
  Box(p, QRectF(9.4, 10.0, 10.0, 1.6), kTan, 0, 0.8);  // table top
  Box(p, QRectF(8.8, 14.0, 11.0, 1.2), kTan, 0, 0.7);  // bench
}

void DrawShelter(QPainter& p) {
  Line(p, QPointF(0.8, 17.6), QPointF(19.2, 17.6), kInk, 1.0);
  Stroke(p, Polyline({{1.2, 9.4}, {10.0, 2.0}, {18.8, 9.4}}), kGreen, 2.4);
  Person(p, QPointF(7.4, 17.0), 9.0, kInk);
  Person(p, QPointF(12.6, 17.0), 7.0, kInk);
}

void DrawRestrooms(QPainter& p) {
  Sign(p, kBlue);
  SignFigure(p, 5.8, false, kWhite);
  Line(p, QPointF(10.0, 3.0), QPointF(10.0, 16.0), kWhite, 0.8);
  SignFigure(p, 14.2, true, kWhite);
}

void DrawIotaIsland(QPainter& p) {
  QPainterPath sea;
  sea.addRect(QRectF(0.6, 13.6, 18.8, 4.4));
  Fill(p, sea, kSky, 0);
  QPainterPath island(QPointF(2.4, 14.4));
  island.quadTo(10.0, 7.4, 17.6, 14.4);
  island.closeSubpath();
  Fill(p, island, kTan, 0.8);
  QPainterPath trunk(QPointF(9.6, 11.0));
  trunk.quadTo(9.6, 6.0, 11.8, 3.4);
  Stroke(p, trunk, kBrown, 1.4);
  // Fronds hanging from the top of the trunk.
  const QPointF top(11.8, 3.4);
  for (const QPointF& tip :
       {QPointF(5.8, 5.2), QPointF(8.2, 1.0), QPointF(15.6, 1.2), QPointF(17.6, 5.8)}) {
    QPainterPath frond(top);
    frond.quadTo(QPointF((top.x() + tip.x()) / 2, top.y() - 2.0), tip);
    Stroke(p, frond, kGreen, 1.6);
  }
  Stroke(p, Polyline({{1.0, 16.2}, {3.0, 15.4}, {5.0, 16.2}}), kWater, 0.8);
  Stroke(p, Polyline({{14.0, 16.6}, {16.0, 15.8}, {18.0, 16.6}}), kWater, 0.8);
}

}  // namespace vextune::ui::symbols
