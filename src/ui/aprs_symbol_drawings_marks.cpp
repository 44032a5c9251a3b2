// Marks, shapes, lettered signs and the pictures of unassigned codes.

#include "ui/aprs_symbol_drawings.h"
#include "ui/aprs_symbol_painting.h"

namespace vextune::ui::symbols {
namespace {

using namespace colour;

constexpr QPointF kCentre(10.0, 9.5);

// The dashed frame of the codes that mean nothing yet.
void DashedFrame(QPainter& p, const QColor& colour) {
  p.save();
  QPen pen(colour, 1.0, Qt::CustomDashLine);
  pen.setDashPattern({2.0, 1.5});
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(QRectF(2.0, 1.5, 16.0, 16.0), 2.0, 2.0);
  p.restore();
}

QPainterPath TrianglePath() {
  return Polygon({{10.0, 1.0}, {19.0, 17.6}, {1.0, 17.6}});
}

QPainterPath PinPath() {
  QPainterPath pin(QPointF(10.0, 18.6));
  pin.cubicTo(8.6, 14.6, 3.2, 11.6, 3.2, 7.4);
  pin.cubicTo(3.2, 3.4, 6.2, 0.6, 10.0, 0.6);
  pin.cubicTo(13.8, 0.6, 16.8, 3.4, 16.8, 7.4);
  pin.cubicTo(16.8, 11.6, 11.4, 14.6, 10.0, 18.6);
  return pin;
}

// A map grid over green ground; `cells` per side, one cell highlighted.
void Grid(QPainter& p, int cells, int markedColumn, int markedRow) {
  const QRectF area(1.6, 1.1, 16.8, 16.8);
  Box(p, area, QColor(0xcc, 0xe8, 0xb4));
  const qreal cell = area.width() / cells;
  Box(p, QRectF(area.left() + markedColumn * cell, area.top() + markedRow * cell, cell, cell), kRed,
      0, 0);
  QPainterPath lines;
  for (int i = 1; i < cells; ++i) {
    lines.moveTo(area.left() + i * cell, area.top());
    lines.lineTo(area.left() + i * cell, area.bottom());
    lines.moveTo(area.left(), area.top() + i * cell);
    lines.lineTo(area.right(), area.top() + i * cell);
  }
  Stroke(p, lines, kDarkGreen, 0.8);
  QPainterPath frame;
  frame.addRect(area);
  Stroke(p, frame, kInk, 1.0);
}

// A plate with three or four letters.
void LetterPlate(QPainter& p, const QString& letters, const QColor& plate, const QColor& ink) {
  Box(p, QRectF(0.8, 3.4, 18.4, 12.2), plate, 1.6);
  Text(p, letters, QPointF(10.0, 9.5), 6.0, ink, 15.6);
}

}  // namespace

void DrawCircleDigit(QPainter& p, int digit) {
  Disc(p, kCentre, 8.6, kGreen);
  Text(p, QString::number(digit), QPointF(10.0, 9.6), 10.0, kWhite);
}

void DrawRedDot(QPainter& p) {
  Disc(p, kCentre, 6.4, kRed);
  Disc(p, QPointF(8.2, 7.6), 1.6, QColor(0xf4, 0x8c, 0x8c), 0);
}

void DrawX(QPainter& p) {
  QPainterPath cross;
  cross.moveTo(3.0, 2.5);
  cross.lineTo(17.0, 16.5);
  cross.moveTo(17.0, 2.5);
  cross.lineTo(3.0, 16.5);
  Stroke(p, cross, kInk, 5.0);
  Stroke(p, cross, kRed, 3.0);
}

void DrawTriangle(QPainter& p) {
  Fill(p, TrianglePath(), kBlue);
}

void DrawNumberedTriangle(QPainter& p) {
  Fill(p, TrianglePath(), kBlue);
  OverlayMarker(p);
}

void DrawNumberedBox(QPainter& p) {
  Box(p, QRectF(1.5, 1.0, 17.0, 17.0), kSky, 0.8, 1.2);
  OverlayMarker(p);
}

void DrawNumberedCivilDefense(QPainter& p) {
  // The civil defence sign: a blue triangle on an orange ground.
  Box(p, QRectF(1.5, 1.0, 17.0, 17.0), kOrange, 0.8);
  Fill(p, Polygon({{10.0, 3.2}, {16.4, 14.4}, {3.6, 14.4}}), kBlue, 0);
  OverlayMarker(p);
}

void DrawSmallCircle(QPainter& p) {
  QPainterPath ring;
  ring.addEllipse(kCentre, 4.2, 4.2);
  Stroke(p, ring, kInk, 1.6);
}

void DrawLinkCircle(QPainter& p) {
  QPainterPath ring;
  ring.addEllipse(kCentre, 7.4, 7.4);
  Stroke(p, ring, kInk, 3.4);
  Stroke(p, ring, kGreen, 1.8);
}

void DrawAmbiguous(QPainter& p) {
  Text(p, QStringLiteral("?"), kCentre, 16.0, kBlue, 18.0, 0.8, kInk);
}

void DrawEmergency(QPainter& p) {
  Fill(p, Polygon({{10.0, 0.6}, {19.4, 17.8}, {0.6, 17.8}}), kRed, 1.0);
  Box(p, QRectF(8.7, 5.6, 2.6, 7.0), kWhite, 1.0, 0);
  Disc(p, QPointF(10.0, 14.9), 1.4, kWhite, 0);
}

void DrawWreck(QPainter& p) {
  // "->X<": an obstruction with arrows pointing at it.
  QPainterPath cross;
  cross.moveTo(7.0, 6.5);
  cross.lineTo(13.0, 12.5);
  cross.moveTo(13.0, 6.5);
  cross.lineTo(7.0, 12.5);
  Stroke(p, cross, kRed, 2.0);
  Line(p, QPointF(0.8, 9.5), QPointF(5.4, 9.5), kInk, 1.2);
  Fill(p, Polygon({{6.0, 9.5}, {3.6, 7.4}, {3.6, 11.6}}), kInk, 0);
  Line(p, QPointF(19.2, 9.5), QPointF(14.6, 9.5), kInk, 1.2);
  Fill(p, Polygon({{14.0, 9.5}, {16.4, 7.4}, {16.4, 11.6}}), kInk, 0);
}

void DrawTbd(QPainter& p) {
  DashedFrame(p, kBlue);
  Text(p, QStringLiteral("TBD"), kCentre, 5.2, kBlue, 13.6);
}

void DrawArrl(QPainter& p) {
  LetterPlate(p, QStringLiteral("ARRL"), kWhite, kNavy);
}

void DrawIcp(QPainter& p) {
  LetterPlate(p, QStringLiteral("ICP"), kGreen, kWhite);
}

void DrawEoc(QPainter& p) {
  LetterPlate(p, QStringLiteral("EOC"), kRed, kWhite);
}

void DrawGridSquare(QPainter& p) {
  Grid(p, 3, 1, 1);
}

void DrawGridSquareAlternate(QPainter& p) {
  Grid(p, 4, 2, 1);
}

void DrawAreaLocations(QPainter& p) {
  p.save();
  QPen pen(kOrange, 1.4, Qt::CustomDashLine);
  pen.setDashPattern({1.6, 1.0});
  p.setPen(pen);
  p.setBrush(QColor(0xf2, 0x8c, 0x14, 0x40));
  p.drawRect(QRectF(1.2, 1.2, 11.0, 10.0));
  pen.setColor(kBlue);
  p.setPen(pen);
  p.setBrush(QColor(0x1e, 0x5a, 0xc8, 0x40));
  p.drawEllipse(QPointF(12.6, 11.6), 6.2, 6.2);
  p.restore();
}

void DrawMilePost(QPainter& p) {
  Box(p, QRectF(9.0, 12.0, 2.0, 6.6), kGrey, 0, 0.7);  // post
  Box(p, QRectF(4.4, 0.6, 11.2, 12.0), kDarkGreen, 1.2);
  QPainterPath border;
  border.addRoundedRect(QRectF(5.6, 1.8, 8.8, 9.6), 0.8, 0.8);
  Stroke(p, border, kWhite, 0.6);
  Text(p, QStringLiteral("12"), QPointF(10.0, 6.6), 5.0, kWhite, 7.6);
}

void DrawPointOfInterest(QPainter& p) {
  Fill(p, PinPath(), kRed);
  Disc(p, QPointF(10.0, 7.2), 2.6, kWhite, 0);
}

void DrawWorkZone(QPainter& p) {
  // A traffic cone.
  Box(p, QRectF(1.6, 16.0, 16.8, 2.2), kOrange, 0.6);
  Fill(p, Polygon({{8.6, 0.8}, {11.4, 0.8}, {15.6, 16.0}, {4.4, 16.0}}), kOrange);
  Fill(p, Polygon({{7.6, 5.0}, {12.4, 5.0}, {13.2, 8.0}, {6.8, 8.0}}), kWhite, 0);
  Fill(p, Polygon({{6.2, 10.6}, {13.8, 10.6}, {14.6, 13.4}, {5.4, 13.4}}), kWhite, 0);
}

void DrawEyeball(QPainter& p) {
  QPainterPath eye(QPointF(0.6, 9.5));
  eye.quadTo(10.0, -1.6, 19.4, 9.5);
  eye.quadTo(10.0, 20.6, 0.6, 9.5);
  Fill(p, eye, kWhite);
  p.save();
  p.setClipPath(eye);
  Disc(p, kCentre, 4.6, kBlue, 0.8);
  p.restore();
  Disc(p, kCentre, 2.0, kInk, 0);
  Disc(p, QPointF(11.4, 8.0), 1.0, kWhite, 0);
}

void DrawUnassigned(QPainter& p, char code) {
  DashedFrame(p, kUnassigned);
  Text(p, QString(QChar::fromLatin1(code)), kCentre, 9.0, kUnassigned, 12.0);
}

void DrawPlaceholder(QPainter& p) {
  DashedFrame(p, kLightGrey);
  Disc(p, kCentre, 1.2, kLightGrey, 0);
}

}  // namespace vextune::ui::symbols
