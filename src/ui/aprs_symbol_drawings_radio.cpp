// Radio stations, antennas, computers and networks.

#include <QtMath>

#include "ui/aprs_symbol_drawings.h"
#include "ui/aprs_symbol_painting.h"

namespace vextune::ui::symbols {
namespace {

using namespace colour;

// A desktop monitor on a foot; returns the screen's rectangle.
QRectF Monitor(QPainter& p, const QColor& screen) {
  Box(p, QRectF(7.4, 14.4, 5.2, 1.6), kGrey, 0, 0.8);
  Box(p, QRectF(5.0, 16.0, 10.0, 1.6), kGrey, 0.6, 0.8);
  Box(p, QRectF(1.0, 1.4, 18.0, 13.4), kDarkGrey, 1.2);
  const QRectF inner(2.6, 3.0, 14.8, 10.2);
  Box(p, inner, screen, 0, 0);
  return inner;
}

void DigiStar(QPainter& p) {
  Fill(p, StarPath(QPointF(10.0, 10.2), 9.4, 3.9, 5), kGreen);
}

// The gateway diamond.
QPainterPath Diamond() {
  return Polygon({{10.0, 0.6}, {19.4, 9.5}, {10.0, 18.4}, {0.6, 9.5}});
}

void Globe(QPainter& p, QPointF centre, qreal radius) {
  Disc(p, centre, radius, kWater);
  QPainterPath lines;
  lines.addEllipse(centre, radius * 0.45, radius);
  lines.moveTo(centre.x(), centre.y() - radius);
  lines.lineTo(centre.x(), centre.y() + radius);
  lines.moveTo(centre.x() - radius, centre.y());
  lines.lineTo(centre.x() + radius, centre.y());
  Stroke(p, lines, kSky, 0.7);
}

}  // namespace

void DrawDigi(QPainter& p) {
  DigiStar(p);
}

void DrawNumberedStar(QPainter& p) {
  DigiStar(p);
  OverlayMarker(p);
}

void DrawGateway(QPainter& p) {
  Fill(p, Diamond(), kInk);
  Fill(p, Polygon({{10.0, 5.0}, {14.6, 9.5}, {10.0, 14.0}, {5.4, 9.5}}), kWhite, 0);
  Disc(p, QPointF(10.0, 9.5), 1.6, kInk, 0);
}

void DrawHfGateway(QPainter& p) {
  Fill(p, Diamond(), kOrange);
  Text(p, QStringLiteral("HF"), QPointF(10.0, 9.6), 5.6, kInk, 10.0);
}

void DrawPhone(QPainter& p) {
  // A desk telephone: handset resting on a base with a dial.
  Fill(p, Polygon({{4.0, 8.6}, {16.0, 8.6}, {19.0, 17.8}, {1.0, 17.8}}), kDarkGrey);
  Disc(p, QPointF(10.0, 13.4), 3.2, kWhite, 0.6);
  Disc(p, QPointF(10.0, 13.4), 1.2, kDarkGrey, 0);
  QPainterPath handset;
  handset.moveTo(1.0, 7.4);
  handset.lineTo(1.0, 4.6);
  handset.quadTo(1.0, 1.4, 10.0, 1.4);
  handset.quadTo(19.0, 1.4, 19.0, 4.6);
  handset.lineTo(19.0, 7.4);
  handset.lineTo(14.4, 7.4);
  handset.lineTo(14.4, 5.4);
  handset.quadTo(10.0, 4.6, 5.6, 5.4);
  handset.lineTo(5.6, 7.4);
  handset.closeSubpath();
  Fill(p, handset, kDarkGrey);
}

void DrawDxCluster(QPainter& p) {
  Globe(p, QPointF(10.0, 9.5), 8.6);
  Text(p, QStringLiteral("DX"), QPointF(10.0, 9.6), 6.4, kWhite, 13.0, 1.0, kInk);
}

void DrawDxSpot(QPainter& p) {
  QPainterPath pin(QPointF(10.0, 18.6));
  pin.cubicTo(8.0, 14.0, 1.2, 12.0, 1.2, 7.6);
  pin.cubicTo(1.2, 3.4, 5.0, 0.6, 10.0, 0.6);
  pin.cubicTo(15.0, 0.6, 18.8, 3.4, 18.8, 7.6);
  pin.cubicTo(18.8, 12.0, 12.0, 14.0, 10.0, 18.6);
  Fill(p, pin, kBlue);
  Text(p, QStringLiteral("DX"), QPointF(10.0, 7.6), 5.6, kWhite, 13.0);
}

void DrawFileServer(QPainter& p) {
  Box(p, QRectF(1.4, 0.8, 9.6, 17.4), kLightGrey, 0.8);  // server tower
  for (qreal y : {3.0, 5.6, 8.2}) Box(p, QRectF(3.0, y, 6.4, 1.4), kDarkGrey, 0, 0);
  Disc(p, QPointF(6.2, 15.0), 0.8, kGreen, 0);
  // A folder in front of it.
  Fill(p, Polygon({{8.0, 8.4}, {12.2, 8.4}, {13.4, 9.8}, {19.2, 9.8}, {19.2, 18.2}, {8.0, 18.2}}),
       kOrange, 0.9);
  Box(p, QRectF(8.0, 11.4, 11.2, 6.8), kYellow, 0, 0.9);
}

void DrawBbs(QPainter& p) {
  const QRectF screen = Monitor(p, kInk);
  Text(p, QStringLiteral("BBS"), screen.center(), 5.4, kGreen, 12.8);
}

void DrawXAprs(QPainter& p) {
  const QRectF screen = Monitor(p, kWhite);
  const QPointF c = screen.center();
  Line(p, c + QPointF(-3.6, -3.4), c + QPointF(3.6, 3.4), kInk, 1.8);
  Line(p, c + QPointF(3.6, -3.4), c + QPointF(-3.6, 3.4), kInk, 1.8);
}

void DrawUserLogOn(QPainter& p) {
  const QRectF screen = Monitor(p, kGlass);
  p.save();
  p.setClipRect(screen);
  Person(p, QPointF(screen.center().x(), screen.bottom() + 2.0), 11.0, kBlue);
  p.restore();
}

void DrawMacAprs(QPainter& p) {
  // A compact all-in-one computer: screen above, disk slot below.
  Box(p, QRectF(3.6, 0.8, 12.8, 16.6), kTan, 1.4);
  Box(p, QRectF(5.4, 2.6, 9.2, 7.4), kDarkGrey, 0.6, 0);
  Box(p, QRectF(6.2, 3.4, 7.6, 5.8), kGlass, 0.4, 0);
  Box(p, QRectF(9.4, 12.6, 4.6, 0.9), kInk, 0, 0);  // disk slot
  Box(p, QRectF(2.8, 17.0, 14.4, 1.4), kTan, 0.6, 0.8);
}

void DrawWinAprs(QPainter& p) {
  // A program window: title bar with buttons, a map with a position inside.
  Box(p, QRectF(0.8, 1.4, 18.4, 16.4), kWhite, 0.6);
  Box(p, QRectF(1.3, 1.9, 17.4, 3.2), kBlue, 0, 0);
  for (qreal x : {12.4, 14.6, 16.8}) Box(p, QRectF(x - 0.8, 2.7, 1.6, 1.6), kWhite, 0, 0);
  Box(p, QRectF(1.3, 5.1, 17.4, 12.2), QColor(0xd8, 0xec, 0xc8), 0, 0);
  Stroke(p, Polyline({{1.3, 14.0}, {6.0, 10.0}, {11.0, 12.4}, {18.7, 7.6}}), kWater, 1.0);
  Disc(p, QPointF(8.6, 8.6), 1.6, kRed, 0.7);
}

void DrawLaptop(QPainter& p) {
  Box(p, QRectF(3.0, 2.0, 14.0, 10.6), kDarkGrey, 0.8);
  Box(p, QRectF(4.4, 3.4, 11.2, 7.8), kSky, 0, 0);
  Fill(p, Polygon({{3.0, 12.6}, {17.0, 12.6}, {19.6, 16.6}, {0.4, 16.6}}), kLightGrey);
  Box(p, QRectF(8.0, 14.8, 4.0, 0.9), kGrey, 0, 0);
}

void DrawPbbs(QPainter& p) {
  // A mailbox on a post, flag raised: mail is waiting.
  Box(p, QRectF(8.4, 11.0, 2.4, 7.6), kBrown, 0, 0.8);
  QPainterPath box(QPointF(1.4, 11.4));
  box.lineTo(1.4, 6.0);
  box.arcTo(QRectF(1.4, 2.0, 8.0, 8.0), 180, -90);
  box.lineTo(14.6, 2.0);
  box.arcTo(QRectF(10.6, 2.0, 8.0, 8.0), 90, -90);
  box.lineTo(18.6, 11.4);
  box.closeSubpath();
  Fill(p, box, kBlue);
  Box(p, QRectF(3.0, 6.6, 5.6, 3.6), kWhite, 0, 0.6);  // a letter in the open front
  Line(p, QPointF(16.2, 11.0), QPointF(16.2, 0.8), kInk, 1.0);
  Fill(p, Polygon({{16.6, 0.8}, {19.6, 0.8}, {19.6, 3.4}, {16.6, 3.4}}), kRed, 0.6);
}

void DrawTcpIp(QPainter& p) {
  Box(p, QRectF(1.0, 1.0, 18.0, 17.0), kNavy, 1.6);
  Text(p, QStringLiteral("TCP"), QPointF(10.0, 5.6), 4.8, kWhite, 15.0);
  Text(p, QStringLiteral("IP"), QPointF(10.0, 13.2), 4.8, kYellow, 15.0);
}

void DrawNode(QPainter& p) {
  const QPointF hub(10.0, 9.5);
  const QPointF ends[] = {{2.6, 2.8}, {17.4, 2.8}, {2.6, 16.2}, {17.4, 16.2}};
  for (QPointF end : ends) Line(p, hub, end, kInk, 1.2);
  for (QPointF end : ends) Disc(p, end, 2.0, kSky, 0.8);
  Disc(p, hub, 3.6, kBlue);
}

void DrawMicERepeater(QPainter& p) {
  // A hand microphone on its coiled cord, with radio waves.
  QPainterPath cord(QPointF(7.2, 14.6));
  for (int i = 0; i < 3; ++i) cord.cubicTo(5.4, 15.4 + i, 9.0, 15.6 + i, 7.2, 15.6 + i);
  Stroke(p, cord, kInk, 0.8);
  Box(p, QRectF(3.2, 1.4, 8.0, 13.2), kDarkGrey, 3.6);
  for (qreal y : {3.6, 5.2, 6.8}) Line(p, QPointF(5.4, y), QPointF(9.0, y), kLightGrey, 0.7);
  Box(p, QRectF(2.2, 8.6, 1.6, 3.2), kRed, 0.4, 0.6);  // push-to-talk
  Waves(p, QPointF(11.6, 6.0), 2.4, 2.6, 3, 0, 90, kRed, 1.1);
}

void DrawAntenna(QPainter& p) {
  // A lattice mast sending from its top.
  const QPointF top(10.0, 5.2);
  Stroke(p, Polyline({{5.4, 18.2}, top, {14.6, 18.2}}), kRed, 1.2);
  QPainterPath bracing;
  bracing.moveTo(8.6, 8.0);
  bracing.lineTo(12.4, 12.6);
  bracing.lineTo(6.8, 13.4);
  bracing.lineTo(14.0, 17.6);
  bracing.moveTo(11.4, 8.0);
  bracing.lineTo(7.6, 12.6);
  bracing.lineTo(13.2, 13.4);
  bracing.lineTo(6.0, 17.6);
  Stroke(p, bracing, kRed, 0.6);
  Waves(p, top, 2.4, 2.4, 2, 0, 90, kInk, 1.0);
  Waves(p, top, 2.4, 2.4, 2, 180, 90, kInk, 1.0);
  Disc(p, top, 1.1, kRed, 0);
}

void DrawYagi(QPainter& p) {
  Line(p, QPointF(10.0, 6.0), QPointF(10.0, 18.2), kInk, 1.3);  // mast
  Line(p, QPointF(0.8, 6.0), QPointF(19.2, 6.0), kInk, 1.2);    // boom
  const qreal halfLengths[] = {5.2, 4.6, 4.0, 3.6, 3.2};
  for (int i = 0; i < 5; ++i) {
    const qreal x = 2.0 + i * 4.0;
    Line(p, QPointF(x, 6.0 - halfLengths[i]), QPointF(x, 6.0 + halfLengths[i]), kBlue, 1.1);
  }
}

void DrawDishAntenna(QPainter& p) {
  // Legs of the mount.
  Line(p, QPointF(9.4, 11.0), QPointF(5.4, 18.0), kInk, 1.2);
  Line(p, QPointF(9.4, 11.0), QPointF(13.4, 18.0), kInk, 1.2);
  QPainterPath dish(QPointF(1.4, 5.0));
  dish.cubicTo(2.4, 13.6, 10.4, 16.6, 15.2, 13.8);
  dish.closeSubpath();
  Fill(p, dish, kWhite);
  Line(p, QPointF(8.4, 9.4), QPointF(14.4, 3.6), kInk, 0.9);  // feed arm
  Disc(p, QPointF(14.6, 3.4), 1.3, kRed, 0.7);
  Waves(p, QPointF(14.6, 3.4), 2.4, 2.0, 2, 45, 80, kRed, 0.9);
}

void DrawSstv(QPainter& p) {
  // A television set showing a still picture.
  Line(p, QPointF(10.0, 4.0), QPointF(6.0, 0.6), kInk, 0.9);
  Line(p, QPointF(10.0, 4.0), QPointF(14.0, 0.6), kInk, 0.9);
  Box(p, QRectF(0.8, 4.0, 18.4, 13.8), kBrown, 1.0);
  const QRectF screen(2.4, 5.6, 11.6, 10.6);
  Box(p, screen, kSky, 1.0, 0);
  p.save();
  p.setClipRect(screen);
  Fill(p, Polygon({{2.4, 16.2}, {6.4, 10.0}, {9.0, 13.0}, {11.0, 11.0}, {14.0, 16.2}}), kGreen, 0);
  Disc(p, QPointF(11.0, 8.0), 1.4, kYellow, 0);
  p.restore();
  Disc(p, QPointF(16.6, 8.0), 1.0, kLightGrey, 0.6);
  Disc(p, QPointF(16.6, 11.6), 1.0, kLightGrey, 0.6);
}

void DrawAtv(QPainter& p) {
  // A video camera with its two film reels.
  Disc(p, QPointF(4.8, 4.4), 3.4, kLightGrey);
  Disc(p, QPointF(11.0, 4.4), 3.4, kLightGrey);
  Disc(p, QPointF(4.8, 4.4), 0.9, kInk, 0);
  Disc(p, QPointF(11.0, 4.4), 0.9, kInk, 0);
  Box(p, QRectF(1.0, 7.6, 13.4, 8.4), kDarkGrey, 1.0);
  Fill(p, Polygon({{14.4, 10.2}, {19.2, 7.8}, {19.2, 15.8}, {14.4, 13.4}}), kDarkGrey);
  Disc(p, QPointF(3.4, 9.8), 0.9, kRed, 0);
}

void DrawNts(QPainter& p) {
  Box(p, QRectF(0.8, 3.0, 18.4, 13.4), kWhite, 0.4);
  Stroke(p, Polyline({{0.8, 3.4}, {10.0, 9.6}, {19.2, 3.4}}), kInk, 0.9);
  Text(p, QStringLiteral("NTS"), QPointF(10.0, 13.2), 3.8, kRed, 13.0);
}

void DrawHandheldRadio(QPainter& p) {
  Line(p, QPointF(7.4, 0.6), QPointF(7.4, 5.0), kInk, 1.8);  // antenna
  Box(p, QRectF(10.2, 2.6, 2.0, 2.4), kDarkGrey, 0.4, 0.6);  // knob
  Box(p, QRectF(5.4, 4.6, 9.2, 14.0), kInk, 1.4, 0);
  Box(p, QRectF(6.6, 6.2, 6.8, 3.2), QColor(0x9c, 0xd8, 0x8c), 0.4, 0);  // display
  for (qreal y : {11.2, 13.4, 15.6}) {
    for (qreal x : {7.6, 10.0, 12.4}) Box(p, QRectF(x - 0.7, y - 0.5, 1.4, 1.0), kGrey, 0, 0);
  }
}

void DrawVortac(QPainter& p) {
  const QPointF c(10.0, 9.5);
  const qreal r = 5.4;
  QPainterPath hexagon;
  for (int i = 0; i < 6; ++i) {
    const qreal a = i * M_PI / 3;
    const QPointF corner = c + QPointF(r * qCos(a), r * qSin(a));
    if (i == 0)
      hexagon.moveTo(corner);
    else
      hexagon.lineTo(corner);
  }
  hexagon.closeSubpath();
  // Three lobes on every other side of the hexagon.
  for (int i = 0; i < 3; ++i) {
    p.save();
    p.translate(c);
    p.rotate(90 + i * 120);
    Box(p, QRectF(-r * 0.5, r * 0.866, r, 3.2), kBlue, 0, 0);
    p.restore();
  }
  Fill(p, hexagon, kWhite, 0);
  Stroke(p, hexagon, kBlue, 1.2);
  Disc(p, c, 1.4, kBlue, 0);
}

void DrawNavigationBuoy(QPainter& p) {
  Fill(p, StarPath(QPointF(10.0, 2.4), 2.6, 1.0, 8), kYellow, 0);  // light
  Line(p, QPointF(10.0, 3.0), QPointF(10.0, 6.0), kInk, 1.0);
  Fill(p, Polygon({{7.0, 6.0}, {13.0, 6.0}, {15.0, 14.6}, {5.0, 14.6}}), kRed);
  Box(p, QRectF(5.8, 9.2, 8.4, 2.0), kWhite, 0, 0);
  QPainterPath wave(QPointF(0.6, 15.4));
  for (qreal x = 0.6; x < 19.0; x += 4.7) {
    wave.quadTo(x + 1.2, 14.0, x + 2.35, 15.4);
    wave.quadTo(x + 3.5, 16.8, x + 4.7, 15.4);
  }
  wave.lineTo(19.4, 18.4);
  wave.lineTo(0.6, 18.4);
  wave.closeSubpath();
  Fill(p, wave, kWater, 0);
}

}  // namespace vextune::ui::symbols
