#include "editor/qt_surface.h"

#include <QFontMetrics>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// The raster engine works in fixed point; shapes beyond this are drawn as
// polylines computed here in floating point instead.
constexpr double kRasterLimit = 1 << 20;

QColor ToQt(CColor c) {
    return QColor(c.r, c.g, c.b);
}

QRectF ToQt(const CRect& r) {
    return QRectF(r.left, r.top, double(r.right) - r.left, double(r.bottom) - r.top);
}

// The screen angle, in degrees counterclockwise from three o'clock, of the
// ray from the box's centre through p.
double RayAngle(const QRectF& box, CPoint p) {
    const QPointF c = box.center();
    return std::atan2(-(p.y - c.y()), p.x - c.x()) * 180 / std::numbers::pi;
}

}  // namespace

CQtSurface::CQtSurface(QPainter* painter, const CRect& clip, const QFont& font)
    : m_painter(painter), m_clip(clip) {
    const QFont canvasFont = CanvasFont(font);
    m_painter->setFont(canvasFont);
    m_painter->setRenderHint(QPainter::Antialiasing, false);
    m_painter->setRenderHint(QPainter::TextAntialiasing, false);
    const QFontMetrics fm(canvasFont, m_painter->device());
    m_metrics = CTextMetrics{fm.height(), fm.maxWidth()};
}

QFont CQtSurface::CanvasFont(const QFont& base) {
    QFont font = base;
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

void CQtSurface::UsePen() {
    const CPen pen = GetPen();
    QPen qpen(ToQt(pen.color));
    qpen.setWidth(std::max(pen.width, 1));
    qpen.setCapStyle(Qt::FlatCap);
    m_painter->setPen(qpen);
}

void CQtSurface::Line(CPoint from, CPoint to) {
    UsePen();
    m_painter->drawLine(QPointF(from.x, from.y), QPointF(to.x, to.y));
}

void CQtSurface::Pie(const CRect& box, CPoint ray1, CPoint ray2) {
    Curve(box, ray1, ray2, true);
}

void CQtSurface::Arc(const CRect& box, CPoint ray1, CPoint ray2) {
    Curve(box, ray1, ray2, false);
}

void CQtSurface::Curve(const CRect& box, CPoint ray1, CPoint ray2, bool filled) {
    UsePen();
    m_painter->setBrush(filled ? QBrush(ToQt(GetBrush())) : QBrush(Qt::NoBrush));
    const QRectF rect = ToQt(box);
    const double start = RayAngle(rect, ray1);
    double span = ray1 == ray2 ? 360.0 : RayAngle(rect, ray2) - start;
    while (span <= 0) {
        span += 360.0;
    }
    const bool small = std::max({std::fabs(rect.left()), std::fabs(rect.right()),
                                 std::fabs(rect.top()), std::fabs(rect.bottom())}) < kRasterLimit;
    if (small) {
        if (span >= 360.0) {
            m_painter->drawEllipse(rect);
        } else if (filled) {
            m_painter->drawPie(rect, qRound(start * 16), qRound(span * 16));
        } else {
            m_painter->drawArc(rect, qRound(start * 16), qRound(span * 16));
        }
        return;
    }
    // A huge circle: only what lies near the painted region matters, and
    // there the curve is nearly straight, so a polyline is exact enough.
    const QPointF c = rect.center();
    const double rx = rect.width() / 2;
    const double ry = rect.height() / 2;
    const double steps =
        std::clamp(std::ceil(span / 360.0 * std::sqrt(std::max(rx, ry)) * 4), 8.0, 20000.0);
    QPolygonF points;
    points.reserve(int(steps) + 1);
    for (int i = 0; i <= int(steps); ++i) {
        const double a = (start + span * i / steps) * std::numbers::pi / 180;
        points << QPointF(c.x() + rx * std::cos(a), c.y() - ry * std::sin(a));
    }
    if (filled) {
        points << c;
        m_painter->drawPolygon(points);
    } else {
        m_painter->drawPolyline(points);
    }
}

void CQtSurface::DrawText(const std::string& text, const CRect& rc) {
    const QRectF rect = ToQt(rc);
    if (rect.isEmpty()) {
        return;
    }
    m_painter->save();
    m_painter->setClipRect(rect, Qt::IntersectClip);
    m_painter->setBackgroundMode(Qt::OpaqueMode);
    m_painter->setBackground(QBrush(ToQt(GetBkColor())));
    m_painter->setPen(ToQt(GetTextColor()));
    m_painter->drawText(rect, Qt::AlignCenter | Qt::TextSingleLine,
                        QString::fromUtf8(text.data(), qsizetype(text.size())));
    m_painter->restore();
}
