// Road, rail and snow vehicles, seen from the side with the front to the left.

#include "ui/aprs_symbol_drawings.h"
#include "ui/aprs_symbol_painting.h"

namespace vextune::ui::symbols {
namespace {

using namespace colour;

// Wheel centres shared by the two-axle vehicles.
constexpr QPointF kFrontWheel(5.0, 13.6);
constexpr QPointF kRearWheel(15.0, 13.6);
constexpr qreal kWheelRadius = 2.5;

void Wheels(QPainter& p) {
  Wheel(p, kFrontWheel, kWheelRadius);
  Wheel(p, kRearWheel, kWheelRadius);
}

// A saloon car.
void CarBody(QPainter& p, const QColor& body) {
  Fill(p,
       Polygon({{1.0, 13.2},
                {1.0, 10.4},
                {2.0, 9.2},
                {6.0, 8.5},
                {8.2, 5.0},
                {13.4, 5.0},
                {15.8, 8.5},
                {18.4, 9.0},
                {19.0, 10.4},
                {19.0, 13.2}}),
       body);
  Fill(p, Polygon({{7.3, 8.5}, {8.9, 6.1}, {10.4, 6.1}, {10.4, 8.5}}), kGlass, 0);
  Fill(p, Polygon({{11.4, 6.1}, {12.9, 6.1}, {14.5, 8.5}, {11.4, 8.5}}), kGlass, 0);
  Wheels(p);
}

// A box van with a sloping windscreen.
void VanBody(QPainter& p, const QColor& body) {
  Fill(p,
       Polygon({{1.0, 13.2},
                {1.0, 9.6},
                {2.0, 8.7},
                {4.4, 4.4},
                {18.2, 4.4},
                {19.0, 5.2},
                {19.0, 13.2}}),
       body);
  Fill(p, Polygon({{3.2, 8.5}, {5.0, 5.6}, {7.0, 5.6}, {7.0, 8.5}}), kGlass, 0);
  Box(p, QRectF(8.0, 5.6, 4.0, 2.9), kGlass, 0, 0);
}

// A lorry: cab at the front, cargo box behind.
void TruckBody(QPainter& p, const QColor& cab, const QColor& cargo) {
  Box(p, QRectF(7.0, 3.0, 12.0, 9.6), cargo, 0.6);
  Fill(p, Polygon({{1.0, 13.2}, {1.0, 8.4}, {2.6, 5.6}, {7.0, 5.6}, {7.0, 13.2}}), cab);
  Fill(p, Polygon({{2.2, 8.6}, {3.3, 6.7}, {6.0, 6.7}, {6.0, 8.6}}), kGlass, 0);
  Box(p, QRectF(1.0, 11.4, 18.0, 1.8), kDarkGrey, 0, 0.8);
  Wheel(p, QPointF(4.2, 14.0), 2.3);
  Wheel(p, QPointF(13.4, 14.0), 2.3);
  Wheel(p, QPointF(16.6, 14.0), 2.3);
}

}  // namespace

void DrawCar(QPainter& p) {
  p.translate(0, -1);
  CarBody(p, kRed);
}

void DrawNumberedCar(QPainter& p) {
  p.save();
  DrawCar(p);
  p.restore();
  OverlayMarker(p);
}

void DrawPoliceCar(QPainter& p) {
  p.translate(0, -0.5);
  Box(p, QRectF(8.6, 2.6, 2.4, 2.0), kBlue, 0.5, 0.6);
  Box(p, QRectF(11.0, 2.6, 2.4, 2.0), kRed, 0.5, 0.6);
  CarBody(p, kWhite);
  Box(p, QRectF(1.5, 10.0, 17.0, 1.5), kBlue, 0, 0);
}

void DrawMobileSatStation(QPainter& p) {
  p.translate(0, 1.5);
  // A small dish on the roof, looking up to the sky.
  Line(p, QPointF(10.8, 5.0), QPointF(10.8, 2.5), kInk, 1.0);
  QPainterPath dish;
  dish.moveTo(6.8, 0.2);
  dish.quadTo(8.2, 4.6, 14.0, 2.0);
  dish.closeSubpath();
  Fill(p, dish, kWhite, 0.8);
  Line(p, QPointF(10.0, 2.6), QPointF(13.0, -1.0), kInk, 0.7);
  CarBody(p, kLightGrey);
}

void DrawJeep(QPainter& p) {
  p.translate(0, -1);
  Line(p, QPointF(6.6, 8.4), QPointF(7.6, 3.6), kInk, 1.6);  // windscreen frame
  Stroke(p, Polyline({{12.6, 8.4}, {12.6, 4.4}, {16.2, 4.4}, {16.2, 8.4}}), kInk, 1.4);
  Fill(p, Polygon({{1.0, 13.0}, {1.0, 9.8}, {2.2, 8.4}, {17.8, 8.4}, {17.8, 13.0}}), kOlive);
  Disc(p, QPointF(18.2, 10.4), 1.8, kInk, 0);  // spare wheel
  Wheel(p, QPointF(5.0, 13.6), 2.8);
  Wheel(p, QPointF(14.6, 13.6), 2.8);
}

void DrawSuv(QPainter& p) {
  p.translate(0, -0.8);
  Line(p, QPointF(6.0, 3.4), QPointF(17.0, 3.4), kInk, 1.0);  // roof rack
  Fill(p,
       Polygon({{1.0, 13.2},
                {1.0, 9.6},
                {2.2, 8.6},
                {5.0, 8.2},
                {6.6, 4.4},
                {18.2, 4.4},
                {19.0, 5.6},
                {19.0, 13.2}}),
       kDarkGreen);
  Fill(p, Polygon({{6.6, 8.2}, {7.6, 5.6}, {10.2, 5.6}, {10.2, 8.2}}), kGlass, 0);
  Box(p, QRectF(11.2, 5.6, 3.4, 2.6), kGlass, 0, 0);
  Box(p, QRectF(15.6, 5.6, 2.6, 2.6), kGlass, 0, 0);
  Wheel(p, QPointF(5.0, 13.6), 2.8);
  Wheel(p, QPointF(15.0, 13.6), 2.8);
}

void DrawVan(QPainter& p) {
  p.translate(0, -0.8);
  VanBody(p, kBlue);
  Box(p, QRectF(13.0, 5.6, 5.0, 2.9), kGlass, 0, 0);
  Wheels(p);
}

void DrawNumberedVan(QPainter& p) {
  p.save();
  DrawVan(p);
  p.restore();
  OverlayMarker(p);
}

void DrawAmbulance(QPainter& p) {
  p.translate(0, -0.8);
  Box(p, QRectF(9.0, 2.6, 3.0, 1.8), kBlue, 0.5, 0.6);
  VanBody(p, kWhite);
  Box(p, QRectF(1.4, 10.4, 17.2, 1.2), kRed, 0, 0);
  const QRectF cross(12.6, 5.4, 5.4, 5.4);
  Box(p, QRectF(cross.center().x() - 0.9, cross.top(), 1.8, cross.height()), kRed, 0, 0);
  Box(p, QRectF(cross.left(), cross.center().y() - 0.9, cross.width(), 1.8), kRed, 0, 0);
  Wheels(p);
}

void DrawBus(QPainter& p) {
  p.translate(0, -0.8);
  Box(p, QRectF(1.0, 4.0, 18.0, 9.2), kYellow, 1.2);
  Fill(p, Polygon({{1.6, 5.2}, {3.4, 5.2}, {3.4, 9.0}, {1.6, 9.0}}), kGlass, 0);
  for (qreal x : {4.6, 8.2, 11.8, 15.4}) Box(p, QRectF(x, 5.2, 2.8, 3.2), kGlass, 0, 0);
  Box(p, QRectF(1.4, 10.2, 17.2, 0.9), kInk, 0, 0);
  Wheels(p);
}

void DrawTruck(QPainter& p) {
  p.translate(0, -0.8);
  TruckBody(p, kBlue, kLightGrey);
}

void DrawNumberedTruck(QPainter& p) {
  p.save();
  DrawTruck(p);
  p.restore();
  OverlayMarker(p);
}

void DrawFireTruck(QPainter& p) {
  p.translate(0, -0.2);
  TruckBody(p, kRed, kRed);
  // The ladder along the roof.
  Box(p, QRectF(5.0, 1.4, 14.0, 2.0), kLightGrey, 0, 0.7);
  for (qreal x = 7.0; x < 19.0; x += 2.0) Line(p, QPointF(x, 1.5), QPointF(x, 3.3), kInk, 0.6);
  Box(p, QRectF(8.0, 6.2, 10.0, 1.0), kWhite, 0, 0);
}

void DrawTruck18Wheels(QPainter& p) {
  p.translate(0, -0.4);
  Box(p, QRectF(6.2, 4.0, 13.4, 8.0), kWhite, 0.4);  // trailer
  Box(p, QRectF(6.2, 6.0, 13.4, 1.0), kRed, 0, 0);
  Fill(p, Polygon({{0.6, 13.0}, {0.6, 8.6}, {1.6, 6.2}, {5.6, 6.2}, {5.6, 13.0}}), kRed);
  Line(p, QPointF(5.2, 6.0), QPointF(5.2, 2.8), kDarkGrey, 1.0);  // exhaust stack
  Fill(p, Polygon({{1.6, 8.8}, {2.4, 7.2}, {4.6, 7.2}, {4.6, 8.8}}), kGlass, 0);
  Box(p, QRectF(4.0, 11.6, 15.6, 1.4), kDarkGrey, 0, 0);
  for (qreal x : {2.8, 7.0, 13.0, 16.4}) Wheel(p, QPointF(x, 14.0), 1.8);
}

void DrawRecVehicle(QPainter& p) {
  p.translate(0, -0.6);
  Fill(p,
       Polygon({{1.0, 13.2},
                {1.0, 9.6},
                {2.0, 8.0},
                {4.6, 7.6},
                {4.6, 6.6},
                {2.6, 6.6},
                {2.6, 3.6},
                {18.4, 3.6},
                {19.2, 4.6},
                {19.2, 13.2}}),
       kPaper);
  Fill(p, Polygon({{2.0, 9.8}, {2.8, 8.6}, {5.0, 8.6}, {5.0, 9.8}}), kGlass, 0);
  Box(p, QRectF(2.6, 10.8, 16.4, 1.0), kBrown, 0, 0);
  Box(p, QRectF(3.0, 4.8, 15.8, 1.0), kBrown, 0, 0);
  Box(p, QRectF(7.0, 7.0, 3.6, 2.4), kGlass, 0, 0.6);
  Box(p, QRectF(12.4, 7.0, 2.4, 5.4), kLightGrey, 0, 0.6);  // door
  Wheel(p, QPointF(5.4, 13.6), 2.3);
  Wheel(p, QPointF(15.8, 13.6), 2.3);
}

void DrawTractor(QPainter& p) {
  p.translate(0, -0.5);
  Line(p, QPointF(5.0, 8.5), QPointF(5.0, 4.0), kInk, 1.2);  // exhaust pipe
  Box(p, QRectF(1.0, 8.0, 11.0, 4.4), kGreen, 0.6);          // engine hood
  Stroke(p, Polyline({{10.0, 8.0}, {10.6, 2.4}, {17.6, 2.4}, {18.0, 9.0}}), kInk, 1.2);  // cab
  Box(p, QRectF(10.8, 3.6, 6.4, 4.4), kGlass, 0, 0);
  Box(p, QRectF(10.0, 8.0, 8.6, 2.0), kGreen, 0, 0.8);
  Wheel(p, QPointF(14.4, 13.0), 4.6);
  Disc(p, QPointF(14.4, 13.0), 1.8, kYellow, 0);
  Wheel(p, QPointF(4.2, 14.4), 2.6);
  Disc(p, QPointF(4.2, 14.4), 1.0, kYellow, 0);
}

void DrawMotorcycle(QPainter& p) {
  p.translate(0, -0.6);
  Wheel(p, QPointF(4.0, 13.4), 3.2);
  Wheel(p, QPointF(16.0, 13.4), 3.2);
  Line(p, QPointF(4.0, 13.4), QPointF(6.6, 6.2), kDarkGrey, 1.2);  // fork
  Line(p, QPointF(5.4, 5.6), QPointF(8.2, 5.0), kInk, 1.2);        // handlebar
  Line(p, QPointF(16.0, 13.4), QPointF(11.0, 11.2), kDarkGrey, 1.2);
  Box(p, QRectF(7.6, 10.0, 4.4, 3.4), kDarkGrey, 0.6, 0.8);  // engine
  Fill(p, Polygon({{6.6, 7.4}, {8.0, 7.0}, {11.4, 7.0}, {12.2, 9.6}, {7.4, 10.6}}), kRed, 0.8);
  Fill(p, Polygon({{11.4, 7.4}, {17.6, 7.8}, {17.2, 9.4}, {12.2, 9.6}}), kInk, 0);  // seat
  Disc(p, QPointF(5.6, 7.8), 1.1, kYellow, 0.6);                                    // headlight
}

void DrawBike(QPainter& p) {
  p.translate(0, -0.2);
  const QPointF rear(4.4, 12.6), front(15.6, 12.6), crank(9.6, 12.6);
  const QPointF seat(8.0, 6.8), head(14.0, 6.8);
  QPainterPath tyres;
  tyres.addEllipse(rear, 3.6, 3.6);
  tyres.addEllipse(front, 3.6, 3.6);
  Stroke(p, tyres, kInk, 1.3);
  Stroke(p, Polygon({rear, seat, crank}), kBlue, 1.2);
  Stroke(p, Polyline({seat, head, crank}), kBlue, 1.2);
  Stroke(p, Polyline({front, head, QPointF(13.4, 4.4), QPointF(15.4, 4.4)}), kInk, 1.1);
  Line(p, QPointF(6.6, 5.8), QPointF(9.0, 5.8), kInk, 1.4);  // saddle
  Line(p, seat, QPointF(7.8, 5.8), kInk, 1.0);
}

void DrawSnowMobile(QPainter& p) {
  p.translate(0, -0.6);
  // Ski under the front, turned up at its tip.
  QPainterPath ski(QPointF(10.0, 15.6));
  ski.lineTo(3.0, 15.6);
  ski.quadTo(0.6, 15.6, 0.8, 13.6);
  Stroke(p, ski, kInk, 1.3);
  Line(p, QPointF(5.0, 15.4), QPointF(5.6, 12.0), kInk, 1.1);
  Box(p, QRectF(8.6, 11.6, 10.6, 3.8), kDarkGrey, 1.8);  // track
  for (qreal x : {10.6, 13.9, 17.2}) Disc(p, QPointF(x, 13.5), 0.9, kLightGrey, 0);
  Fill(p,
       Polygon({{1.4, 11.8},
                {3.6, 8.6},
                {8.6, 7.4},
                {10.4, 7.4},
                {12.0, 8.8},
                {18.4, 8.8},
                {19.4, 11.6}}),
       kPurple);
  Fill(p, Polygon({{7.6, 7.6}, {9.0, 4.4}, {10.0, 4.4}, {10.2, 7.4}}), kGlass, 0.7);  // screen
  Box(p, QRectF(12.4, 7.4, 5.0, 1.4), kInk, 0.5, 0);                                  // seat
}

void DrawRailEngine(QPainter& p) {
  p.translate(0, -0.8);
  Box(p, QRectF(3.6, 2.6, 2.6, 4.0), kInk, 0, 0);       // chimney
  Box(p, QRectF(2.0, 6.0, 10.6, 6.2), kDarkGrey, 1.2);  // boiler
  Disc(p, QPointF(8.6, 6.0), 1.3, kDarkGrey);           // dome
  Box(p, QRectF(12.0, 4.0, 7.0, 8.2), kDarkRed);        // cab
  Box(p, QRectF(11.4, 3.0, 8.2, 1.4), kInk, 0, 0);      // roof
  Box(p, QRectF(13.6, 5.6, 3.8, 3.0), kGlass, 0, 0);
  Fill(p, Polygon({{2.0, 12.2}, {0.4, 15.6}, {2.6, 15.6}, {3.0, 12.2}}), kRed, 0.8);  // pilot
  for (qreal x : {5.4, 10.2, 15.6}) Disc(p, QPointF(x, 13.9), 2.0, kRed, 0.9);
  Line(p, QPointF(5.4, 13.9), QPointF(10.2, 13.9), kInk, 1.0);  // coupling rod
}

}  // namespace vextune::ui::symbols
