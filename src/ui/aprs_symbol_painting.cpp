#include "ui/aprs_symbol_painting.h"

#include <QFont>
#include <QFontMetricsF>
#include <QTransform>
#include <QtMath>

namespace vextune::ui::symbols {
namespace {

// Glyph outlines are taken at a large size and scaled down, so that their
// shape does not depend on the font's hinting at small sizes.
constexpr int kGlyphPixelSize = 100;

QFont SymbolFont() {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setStyleHint(QFont::SansSerif);
  font.setBold(true);
  font.setPixelSize(kGlyphPixelSize);
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

QPen OutlinePen(qreal width) {
  QPen pen(colour::kInk, width);
  pen.setJoinStyle(Qt::RoundJoin);
  pen.setCapStyle(Qt::RoundCap);
  return pen;
}

}  // namespace

QPainterPath Polygon(std::initializer_list<QPointF> points) {
  QPainterPath path = Polyline(points);
  path.closeSubpath();
  return path;
}

QPainterPath Polyline(std::initializer_list<QPointF> points) {
  QPainterPath path;
  bool first = true;
  for (QPointF point : points) {
    if (first) {
      path.moveTo(point);
      first = false;
    } else {
      path.lineTo(point);
    }
  }
  return path;
}

void Fill(QPainter& p, const QPainterPath& shape, const QColor& fill, qreal outline) {
  p.save();
  p.setBrush(fill);
  p.setPen(outline > 0 ? OutlinePen(outline) : QPen(Qt::NoPen));
  p.drawPath(shape);
  p.restore();
}

void FillUnion(QPainter& p, std::initializer_list<QPainterPath> parts, const QColor& fill,
               qreal outline, const QColor& outlineColour) {
  p.save();
  if (outline > 0) {
    QPen pen = OutlinePen(2 * outline);
    pen.setColor(outlineColour);
    p.setBrush(outlineColour);
    p.setPen(pen);
    for (const QPainterPath& part : parts) p.drawPath(part);
  }
  p.setBrush(fill);
  p.setPen(Qt::NoPen);
  for (const QPainterPath& part : parts) p.drawPath(part);
  p.restore();
}

void Stroke(QPainter& p, const QPainterPath& path, const QColor& colour, qreal width) {
  p.save();
  QPen pen(colour, width);
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  p.drawPath(path);
  p.restore();
}

void Line(QPainter& p, QPointF a, QPointF b, const QColor& colour, qreal width) {
  QPainterPath path(a);
  path.lineTo(b);
  Stroke(p, path, colour, width);
}

void Disc(QPainter& p, QPointF centre, qreal radius, const QColor& fill, qreal outline) {
  QPainterPath path;
  path.addEllipse(centre, radius, radius);
  Fill(p, path, fill, outline);
}

void Box(QPainter& p, const QRectF& rect, const QColor& fill, qreal radius, qreal outline) {
  QPainterPath path;
  if (radius > 0) {
    path.addRoundedRect(rect, radius, radius);
  } else {
    path.addRect(rect);
  }
  Fill(p, path, fill, outline);
}

QPainterPath TextPath(const QString& text, QPointF centre, qreal capHeight, qreal maxWidth) {
  const QFont font = SymbolFont();
  QPainterPath glyphs;
  glyphs.addText(0, 0, font, text);
  const qreal scale = capHeight / QFontMetricsF(font).capHeight();
  const QRectF bounds = glyphs.boundingRect();
  qreal xScale = scale;
  if (bounds.width() * scale > maxWidth) xScale = maxWidth / bounds.width();
  QTransform transform;
  transform.translate(centre.x(), centre.y() + capHeight / 2);
  transform.scale(xScale, scale);
  transform.translate(-bounds.center().x(), 0);
  return transform.map(glyphs);
}

void Text(QPainter& p, const QString& text, QPointF centre, qreal capHeight, const QColor& colour,
          qreal maxWidth, qreal halo, const QColor& haloColour) {
  const QPainterPath glyphs = TextPath(text, centre, capHeight, maxWidth);
  p.save();
  if (halo > 0) {
    QPen pen(haloColour, 2 * halo);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(haloColour);
    p.drawPath(glyphs);
  }
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawPath(glyphs);
  p.restore();
}

void Wheel(QPainter& p, QPointF centre, qreal radius) {
  Disc(p, centre, radius, colour::kInk, 0);
  Disc(p, centre, radius * 0.42, colour::kLightGrey, 0);
}

QPainterPath StarPath(QPointF centre, qreal outer, qreal inner, int points) {
  QPainterPath path;
  for (int i = 0; i < 2 * points; ++i) {
    const qreal angle = -M_PI / 2 + i * M_PI / points;
    const qreal radius = i % 2 == 0 ? outer : inner;
    const QPointF corner(centre.x() + radius * qCos(angle), centre.y() + radius * qSin(angle));
    if (i == 0) {
      path.moveTo(corner);
    } else {
      path.lineTo(corner);
    }
  }
  path.closeSubpath();
  return path;
}

void Cloud(QPainter& p, const QRectF& bounds, const QColor& fill) {
  const qreal x = bounds.x(), y = bounds.y(), w = bounds.width(), h = bounds.height();
  QPainterPath base, left, top, right;
  base.addRoundedRect(QRectF(x, y + 0.5 * h, w, 0.5 * h), 0.25 * h, 0.25 * h);
  left.addEllipse(QPointF(x + 0.3 * w, y + 0.56 * h), 0.3 * h, 0.3 * h);
  top.addEllipse(QPointF(x + 0.57 * w, y + 0.44 * h), 0.44 * h, 0.44 * h);
  right.addEllipse(QPointF(x + 0.8 * w, y + 0.66 * h), 0.27 * h, 0.27 * h);
  FillUnion(p, {base, left, top, right}, fill);
}

void Drop(QPainter& p, QPointF top, qreal height, const QColor& fill) {
  const qreal radius = height * 0.34;
  const QPointF bulb(top.x(), top.y() + height - radius);
  QPainterPath path(top);
  path.quadTo(QPointF(top.x() - radius, bulb.y() - radius * 0.8),
              QPointF(bulb.x() - radius, bulb.y()));
  path.arcTo(QRectF(bulb.x() - radius, bulb.y() - radius, 2 * radius, 2 * radius), 180, 180);
  path.quadTo(QPointF(top.x() + radius, bulb.y() - radius * 0.8), top);
  Fill(p, path, fill, 0.6);
}

void Flame(QPainter& p, const QRectF& bounds) {
  auto at = [&bounds](qreal fx, qreal fy) {
    return QPointF(bounds.x() + fx * bounds.width(), bounds.y() + fy * bounds.height());
  };
  QPainterPath outer(at(0.5, 1.0));
  outer.cubicTo(at(0.08, 1.0), at(-0.02, 0.62), at(0.22, 0.38));
  outer.cubicTo(at(0.26, 0.52), at(0.33, 0.56), at(0.38, 0.52));
  outer.cubicTo(at(0.3, 0.3), at(0.42, 0.1), at(0.56, 0.0));
  outer.cubicTo(at(0.58, 0.2), at(0.68, 0.3), at(0.8, 0.44));
  outer.cubicTo(at(0.86, 0.38), at(0.84, 0.3), at(0.82, 0.24));
  outer.cubicTo(at(1.06, 0.5), at(1.0, 1.0), at(0.5, 1.0));
  Fill(p, outer, QColor(0xe6, 0x3c, 0x14), 0.8);
  QPainterPath inner(at(0.5, 0.96));
  inner.cubicTo(at(0.28, 0.96), at(0.22, 0.78), at(0.35, 0.58));
  inner.cubicTo(at(0.4, 0.66), at(0.45, 0.66), at(0.48, 0.6));
  inner.cubicTo(at(0.45, 0.48), at(0.52, 0.4), at(0.58, 0.36));
  inner.cubicTo(at(0.62, 0.54), at(0.8, 0.64), at(0.73, 0.84));
  inner.cubicTo(at(0.7, 0.94), at(0.6, 0.96), at(0.5, 0.96));
  Fill(p, inner, colour::kYellow, 0);
}

void Snowflake(QPainter& p, QPointF centre, qreal radius, const QColor& colour, qreal width) {
  QPainterPath arms;
  for (int i = 0; i < 3; ++i) {
    const qreal angle = M_PI / 2 + i * M_PI / 3;
    const QPointF d(radius * qCos(angle), radius * qSin(angle));
    arms.moveTo(centre + d);
    arms.lineTo(centre - d);
  }
  Stroke(p, arms, colour, width);
}

void Bolt(QPainter& p, const QRectF& bounds) {
  auto at = [&bounds](qreal fx, qreal fy) {
    return QPointF(bounds.x() + fx * bounds.width(), bounds.y() + fy * bounds.height());
  };
  Fill(p,
       Polygon({at(0.45, 0), at(0.05, 0.58), at(0.42, 0.58), at(0.25, 1), at(0.95, 0.38),
                at(0.55, 0.38), at(0.85, 0)}),
       colour::kYellow, 0.8);
}

void Waves(QPainter& p, QPointF centre, qreal firstRadius, qreal step, int count,
           qreal directionDegrees, qreal spanDegrees, const QColor& colour, qreal width) {
  QPainterPath arcs;
  for (int i = 0; i < count; ++i) {
    const qreal r = firstRadius + i * step;
    const QRectF rect(centre.x() - r, centre.y() - r, 2 * r, 2 * r);
    arcs.arcMoveTo(rect, directionDegrees - spanDegrees / 2);
    arcs.arcTo(rect, directionDegrees - spanDegrees / 2, spanDegrees);
  }
  Stroke(p, arcs, colour, width);
}

void WindLine(QPainter& p, QPointF start, qreal length, const QColor& colour) {
  QPainterPath path(start);
  const QPointF end(start.x() + length, start.y());
  path.lineTo(end);
  path.cubicTo(end + QPointF(2.2, 0), end + QPointF(2.2, -2.6), end + QPointF(0.6, -2.6));
  Stroke(p, path, colour, 1.1);
}

void OverlayMarker(QPainter& p) {
  Box(p, QRectF(12.0, 10.5, 7.5, 8.0), colour::kInk, 1.2, 0);
  Text(p, QStringLiteral("#"), QPointF(15.75, 14.5), 5.6, colour::kWhite, 6.0);
}

void Person(QPainter& p, QPointF feet, qreal height, const QColor& colour) {
  const qreal head = height * 0.15;
  const qreal top = feet.y() - height;
  QPainterPath body;
  const qreal shoulder = top + 2 * head + height * 0.06;
  const qreal halfWidth = height * 0.2;
  body.addRoundedRect(QRectF(feet.x() - halfWidth, shoulder, 2 * halfWidth, feet.y() - shoulder),
                      halfWidth * 0.6, halfWidth * 0.6);
  Fill(p, body, colour, 0);
  Disc(p, QPointF(feet.x(), top + head), head, colour, 0);
}

}  // namespace vextune::ui::symbols
