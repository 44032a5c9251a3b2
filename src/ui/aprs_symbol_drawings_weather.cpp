// Weather, weather stations and natural hazards. Precipitation falls from a
// cloud in the upper half, so that the kinds read as one family.

#include <QtMath>

#include "ui/aprs_symbol_drawings.h"
#include "ui/aprs_symbol_painting.h"

namespace vextune::ui::symbols {
namespace {

using namespace colour;

// The cloud that rain, snow and hail fall from.
const QRectF kRainCloud(1.0, 0.8, 18.0, 9.8);

void Sun(QPainter& p, QPointF centre, qreal radius, qreal rayLength) {
  QPainterPath rays;
  for (int i = 0; i < 8; ++i) {
    const qreal angle = i * M_PI / 4;
    const QPointF direction(qCos(angle), qSin(angle));
    rays.moveTo(centre + direction * (radius + 1.2));
    rays.lineTo(centre + direction * (radius + 1.2 + rayLength));
  }
  Stroke(p, rays, kOrange, 1.3);
  Disc(p, centre, radius, kYellow, 0.9);
}

// A snow flake with small branches on its arms.
void BranchedSnowflake(QPainter& p, QPointF centre, qreal radius, const QColor& colour) {
  Snowflake(p, centre, radius, colour, 1.3);
  QPainterPath branches;
  for (int i = 0; i < 6; ++i) {
    const qreal angle = M_PI / 2 + i * M_PI / 3;
    const QPointF along(qCos(angle), qSin(angle));
    const QPointF joint = centre + along * (radius * 0.58);
    for (qreal side : {-1.0, 1.0}) {
      const qreal branchAngle = angle + side * M_PI / 4;
      branches.moveTo(joint);
      branches.lineTo(joint + QPointF(qCos(branchAngle), qSin(branchAngle)) * (radius * 0.4));
    }
  }
  Stroke(p, branches, colour, 1.0);
}

// The tropical cyclone sign: an eye with two hooked arms.
// A forecast position (`hollow`) shows only the sign's outline.
void CycloneSign(QPainter& p, const QColor& colour, bool hollow) {
  QPainterPath upper(QPointF(10.0, 9.5));
  upper.cubicTo(10.0, 3.0, 13.0, 1.0, 17.0, 1.0);  // sweeping right
  upper.cubicTo(14.0, 2.4, 15.6, 6.0, 15.0, 9.5);
  upper.closeSubpath();
  QPainterPath lower(QPointF(10.0, 9.5));
  lower.cubicTo(10.0, 16.0, 7.0, 18.0, 3.0, 18.0);  // sweeping left
  lower.cubicTo(6.0, 16.6, 4.4, 13.0, 5.0, 9.5);
  lower.closeSubpath();
  QPainterPath eye;
  eye.addEllipse(QPointF(10.0, 9.5), 5.0, 5.0);
  if (hollow) {
    FillUnion(p, {upper, lower, eye}, kWhite, 1.2, colour);
    Disc(p, QPointF(10.0, 9.5), 1.8, colour, 0);
  } else {
    FillUnion(p, {upper, lower, eye}, colour, 0.9);
    Disc(p, QPointF(10.0, 9.5), 2.0, kWhite, 0);
  }
}

// A weather station: wind cups turning on a mast, and a thermometer.
void WeatherStation(QPainter& p) {
  Line(p, QPointF(6.6, 4.0), QPointF(6.6, 17.6), kInk, 1.3);
  Line(p, QPointF(2.8, 17.6), QPointF(10.4, 17.6), kInk, 1.3);
  Line(p, QPointF(2.6, 4.0), QPointF(10.6, 4.0), kInk, 1.0);
  auto cup = [&p](QPointF centre, qreal startAngle) {
    QPainterPath path;
    const QRectF rect(centre.x() - 2.0, centre.y() - 2.0, 4.0, 4.0);
    path.arcMoveTo(rect, startAngle);
    path.arcTo(rect, startAngle, 180);
    path.closeSubpath();
    Fill(p, path, kBlue, 0.8);
  };
  cup(QPointF(2.8, 4.0), 90);    // opening to the right
  cup(QPointF(10.4, 4.0), -90);  // opening to the left
  Disc(p, QPointF(6.6, 4.0), 1.0, kInk, 0);
  // The thermometer: a tube with a red column rising from its bulb.
  Box(p, QRectF(13.2, 1.0, 3.6, 14.0), kWhite, 1.8, 0.9);
  Disc(p, QPointF(15.0, 15.4), 2.8, kRed, 0.9);
  Box(p, QRectF(14.3, 6.0, 1.4, 8.6), kRed, 0, 0);
  for (qreal y : {3.4, 6.0, 8.6, 11.2}) Line(p, QPointF(17.6, y), QPointF(18.8, y), kInk, 0.7);
}

void WxServiceCloud(QPainter& p) {
  Cloud(p, QRectF(0.6, 2.0, 18.8, 14.0));
  Text(p, QStringLiteral("WX"), QPointF(10.6, 12.0), 5.0, kNavy, 12.0);
}

}  // namespace

void DrawSunny(QPainter& p) {
  Sun(p, QPointF(10.0, 9.5), 4.6, 2.4);
}

void DrawCloudy(QPainter& p) {
  Cloud(p, QRectF(6.0, 1.2, 13.4, 8.6), kStormCloud);
  Cloud(p, QRectF(0.6, 5.6, 16.0, 11.0));
}

void DrawPartlyCloudy(QPainter& p) {
  Sun(p, QPointF(6.6, 6.4), 3.6, 1.8);
  Cloud(p, QRectF(4.6, 7.4, 14.8, 10.0));
}

void DrawSnow(QPainter& p) {
  BranchedSnowflake(p, QPointF(10.0, 9.5), 8.4, kBlue);
}

void DrawSnowBlowing(QPainter& p) {
  BranchedSnowflake(p, QPointF(12.6, 7.4), 6.2, kBlue);
  WindLine(p, QPointF(0.6, 14.6), 12.0, kInk);
  WindLine(p, QPointF(3.4, 17.8), 7.0, kInk);
}

void DrawSnowShower(QPainter& p) {
  Cloud(p, kRainCloud);
  for (QPointF flake : {QPointF(4.8, 14.4), QPointF(10.0, 16.4), QPointF(15.2, 14.4)}) {
    Snowflake(p, flake, 2.4, kBlue, 1.1);
  }
}

void DrawRainShower(QPainter& p) {
  Cloud(p, kRainCloud);
  for (QPointF top : {QPointF(5.2, 11.4), QPointF(10.0, 12.4), QPointF(14.8, 11.4)}) {
    Drop(p, top, 6.0);
  }
}

void DrawDrizzle(QPainter& p) {
  Cloud(p, kRainCloud);
  for (QPointF dot :
       {QPointF(4.0, 13.0), QPointF(8.0, 13.0), QPointF(12.0, 13.0), QPointF(16.0, 13.0),
        QPointF(6.0, 16.4), QPointF(10.0, 16.4), QPointF(14.0, 16.4)}) {
    Disc(p, dot, 0.9, kWater, 0);
  }
}

void DrawFreezingRain(QPainter& p) {
  Cloud(p, QRectF(1.0, 0.6, 18.0, 8.4));
  Drop(p, QPointF(6.0, 9.6), 4.6);
  Drop(p, QPointF(13.6, 9.6), 4.6);
  // The rain freezes to a glaze with icicles on the ground.
  Fill(p,
       Polygon({{1.0, 15.0},
                {19.0, 15.0},
                {19.0, 16.4},
                {17.6, 16.4},
                {17.0, 18.6},
                {16.4, 16.4},
                {10.8, 16.4},
                {10.0, 18.8},
                {9.2, 16.4},
                {3.6, 16.4},
                {3.0, 18.6},
                {2.4, 16.4},
                {1.0, 16.4}}),
       kSky, 0.7);
}

void DrawSleet(QPainter& p) {
  Cloud(p, kRainCloud);
  Drop(p, QPointF(4.6, 11.6), 5.6);
  Snowflake(p, QPointF(10.0, 15.0), 2.6, kBlue, 1.1);
  Drop(p, QPointF(15.4, 11.6), 5.6);
}

void DrawHail(QPainter& p) {
  Cloud(p, kRainCloud);
  for (QPointF stone : {QPointF(4.6, 13.6), QPointF(10.0, 16.0), QPointF(15.4, 13.6)}) {
    Disc(p, stone, 1.9, kWhite, 0.9);
  }
}

void DrawFog(QPainter& p) {
  for (qreal y : {3.6, 7.6, 11.6, 15.6}) {
    const qreal indent = (static_cast<int>(y) % 8 == 3) ? 0.0 : 2.0;
    Line(p, QPointF(1.6 + indent, y), QPointF(18.4 - 2.0 + indent, y), kGrey, 2.2);
  }
}

void DrawLightning(QPainter& p) {
  Bolt(p, QRectF(3.6, 0.6, 12.8, 17.8));
}

void DrawThunderstorm(QPainter& p) {
  Drop(p, QPointF(3.6, 11.4), 5.0);
  Drop(p, QPointF(16.2, 11.4), 5.0);
  Cloud(p, QRectF(0.8, 0.6, 18.4, 10.4), kStormCloud);
  Bolt(p, QRectF(6.4, 7.0, 7.4, 11.6));
}

void DrawHurricane(QPainter& p) {
  CycloneSign(p, kRed, false);
}

void DrawHurricaneFuture(QPainter& p) {
  CycloneSign(p, kRed, true);
}

void DrawTornado(QPainter& p) {
  QPainterPath funnel(QPointF(1.0, 1.6));
  funnel.lineTo(19.0, 1.6);
  funnel.cubicTo(16.0, 6.0, 12.0, 9.0, 11.4, 13.0);
  funnel.cubicTo(11.0, 15.6, 10.6, 17.4, 9.4, 17.6);
  funnel.cubicTo(9.4, 15.0, 8.0, 9.0, 1.0, 1.6);
  Fill(p, funnel, kStormCloud);
  QPainterPath swirls;
  for (const auto& [y, half] : {std::pair{4.6, 6.6}, std::pair{8.0, 4.0}, std::pair{11.6, 2.0}}) {
    const qreal centre = 10.4 + (y - 4.6) * 0.06;
    swirls.moveTo(centre - half, y);
    swirls.quadTo(centre, y + 1.4, centre + half, y - 0.6);
  }
  Stroke(p, swirls, kWhite, 0.9);
  Disc(p, QPointF(14.2, 16.0), 0.8, kBrown, 0);  // debris
  Disc(p, QPointF(5.6, 15.4), 0.7, kBrown, 0);
}

void DrawFunnelCloud(QPainter& p) {
  Line(p, QPointF(1.0, 17.8), QPointF(19.0, 17.8), kDarkGreen, 1.2);  // ground, not reached
  QPainterPath funnel(QPointF(6.0, 6.0));
  funnel.cubicTo(8.4, 8.0, 9.2, 10.0, 9.6, 13.4);
  funnel.lineTo(10.4, 13.4);
  funnel.cubicTo(10.8, 10.0, 11.6, 8.0, 14.0, 6.0);
  Fill(p, funnel, kStormCloud, 0.8);
  Cloud(p, QRectF(0.8, 0.4, 18.4, 7.6), kStormCloud);
}

void DrawWallCloud(QPainter& p) {
  Line(p, QPointF(1.0, 17.8), QPointF(19.0, 17.8), kDarkGreen, 1.2);
  Cloud(p, QRectF(0.6, 0.4, 18.8, 8.0), kStormCloud);
  Box(p, QRectF(5.6, 7.6, 8.8, 5.4), kStormCloud, 0.6);  // the lowered wall
  Box(p, QRectF(6.1, 7.2, 7.8, 1.4), kStormCloud, 0, 0);
}

void DrawDustBlowing(QPainter& p) {
  for (QPointF grain :
       {QPointF(11.0, 2.4), QPointF(15.6, 3.6), QPointF(13.2, 6.8), QPointF(17.6, 8.0),
        QPointF(9.6, 9.2), QPointF(14.8, 11.6), QPointF(4.6, 5.0)}) {
    Disc(p, grain, 1.1, kBrown, 0);
  }
  WindLine(p, QPointF(0.6, 14.6), 12.0, kInk);
  WindLine(p, QPointF(3.4, 17.8), 7.0, kInk);
}

void DrawSmoke(QPainter& p) {
  Box(p, QRectF(3.0, 11.0, 4.4, 7.0), kDarkRed, 0, 0.8);  // chimney stack
  QPainterPath puffs[4];
  puffs[0].addEllipse(QPointF(5.2, 8.2), 2.4, 2.4);
  puffs[1].addEllipse(QPointF(8.2, 5.4), 3.0, 3.0);
  puffs[2].addEllipse(QPointF(12.8, 3.8), 3.2, 3.0);
  puffs[3].addEllipse(QPointF(16.6, 6.2), 2.6, 2.4);
  FillUnion(p, {puffs[0], puffs[1], puffs[2], puffs[3]}, kLightGrey, 0.8);
}

void DrawFlooding(QPainter& p) {
  Box(p, QRectF(5.0, 6.0, 10.0, 8.0), kPaper);
  Fill(p, Polygon({{3.6, 6.6}, {10.0, 1.0}, {16.4, 6.6}}), kRed);
  Box(p, QRectF(8.8, 9.4, 2.4, 2.4), kGlass, 0, 0.6);
  QPainterPath water(QPointF(0.6, 11.6));
  for (qreal x = 0.6; x < 19.0; x += 3.8) {
    water.quadTo(x + 0.95, 10.2, x + 1.9, 11.6);
    water.quadTo(x + 2.85, 13.0, x + 3.8, 11.6);
  }
  water.lineTo(19.4, 18.4);
  water.lineTo(0.6, 18.4);
  water.closeSubpath();
  Fill(p, water, kWater, 0.8);
  Stroke(p, Polyline({{2.0, 15.2}, {4.0, 14.2}, {6.0, 15.2}, {8.0, 14.2}}), kSky, 0.9);
  Stroke(p, Polyline({{11.0, 16.2}, {13.0, 15.2}, {15.0, 16.2}, {17.0, 15.2}}), kSky, 0.9);
}

void DrawQuake(QPainter& p) {
  Line(p, QPointF(0.6, 17.6), QPointF(19.4, 17.6), kBrown, 1.2);
  Stroke(p,
         Polyline({{0.6, 9.5},
                   {3.6, 9.5},
                   {5.0, 5.0},
                   {6.6, 15.0},
                   {8.4, 1.0},
                   {10.4, 18.0},
                   {12.2, 4.0},
                   {13.8, 13.6},
                   {15.2, 7.4},
                   {16.4, 9.5},
                   {19.4, 9.5}}),
         kRed, 1.3);
}

void DrawGaleFlag(QPainter& p) {
  Line(p, QPointF(4.0, 1.0), QPointF(4.0, 18.2), kInk, 1.3);
  Fill(p, Polygon({{4.6, 1.4}, {17.4, 4.6}, {4.6, 7.8}}), kRed, 0.8);
}

void DrawGaleFlags(QPainter& p) {
  Line(p, QPointF(4.0, 1.0), QPointF(4.0, 18.2), kInk, 1.3);
  Fill(p, Polygon({{4.6, 1.4}, {17.4, 4.4}, {4.6, 7.4}}), kRed, 0.8);
  Fill(p, Polygon({{4.6, 8.4}, {17.4, 11.4}, {4.6, 14.4}}), kRed, 0.8);
}

void DrawWxStation(QPainter& p) {
  WeatherStation(p);
}

void DrawNumberedWeatherSite(QPainter& p) {
  WeatherStation(p);
  OverlayMarker(p);
}

void DrawWxService(QPainter& p) {
  WxServiceCloud(p);
}

void DrawNumberedNwsSite(QPainter& p) {
  WxServiceCloud(p);
  OverlayMarker(p);
}

void DrawFire(QPainter& p) {
  Flame(p, QRectF(2.6, 0.6, 14.8, 17.8));
}

}  // namespace vextune::ui::symbols
