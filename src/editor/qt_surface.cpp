#include "editor/qt_surface.h"

#include "editor/qt_dialogs.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// The raster engine works in fixed point and flattens a curve into more
// pieces the larger it is; circles beyond this are drawn as polylines
// computed here in floating point instead, as fine as the pixels need.
constexpr double kRasterLimit = 1 << 15;

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

const CQtTextCache::Entry& CQtTextCache::Get(const std::string& text, const QFont& font) {
    if (font != m_font || m_entries.size() >= kMaxEntries) {
        m_entries.clear();
        m_font = font;
    }
    auto it = m_entries.find(text);
    if (it == m_entries.end()) {
        Entry entry;
        entry.text = QStaticText(DisplayString(text));
        entry.text.setTextFormat(Qt::PlainText);
        entry.text.prepare(QTransform(), font);
        entry.width = QFontMetricsF(font).horizontalAdvance(entry.text.text());
        it = m_entries.emplace(text, std::move(entry)).first;
    }
    return it->second;
}

CQtSurface::CQtSurface(QPainter* painter, const CRect& clip, const QFont& font, CQtTextCache* cache)
    : m_painter(painter),
      m_clip(clip),
      m_font(CanvasFont(font)),
      m_cache(cache != nullptr ? cache : &m_ownCache) {
    m_painter->setFont(m_font);
    m_painter->setRenderHint(QPainter::Antialiasing, false);
    m_painter->setRenderHint(QPainter::TextAntialiasing, false);
    const QFontMetrics fm(CanvasFont(font), painter->device());
    m_metrics = CTextMetrics{fm.height(), fm.maxWidth()};
}

QFont CQtSurface::CanvasFont(const QFont& base) {
    QFont font = base;
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

void CQtSurface::UsePen() {
    ApplyPen(CPen{GetPen().color, std::max(GetPen().width, 1)});
}

void CQtSurface::ApplyPen(const CPen& pen) {
    // Setting a pen costs more than many a line: only when it changes.
    if (m_applied && *m_applied == pen) {
        return;
    }
    QPen qpen(ToQt(pen.color));
    qpen.setWidth(pen.width);
    qpen.setCapStyle(Qt::FlatCap);
    m_painter->setPen(qpen);
    m_applied = pen;
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
    const CQtTextCache::Entry& entry = m_cache->Get(text, m_font);
    const qreal height = m_metrics.tmHeight;
    // The background box behind the text itself, never beyond the rectangle:
    // the editor reads these pixels back as the item's colour.
    const QRectF textBox(rect.center().x() - entry.width / 2, rect.center().y() - height / 2,
                         entry.width, height);
    m_painter->fillRect(textBox.intersected(rect), ToQt(GetBkColor()));
    ApplyPen(CPen{GetTextColor(), 1});
    // Clipping costs a painter state; most labels and numbers fit.
    const bool fits = entry.width <= rect.width() && height <= rect.height() + 1;
    if (!fits) {
        m_painter->save();
        m_painter->setClipRect(rect, Qt::IntersectClip);
    }
    m_painter->drawStaticText(textBox.topLeft(), entry.text);
    if (!fits) {
        m_painter->restore();
        m_applied.reset();
    }
}
