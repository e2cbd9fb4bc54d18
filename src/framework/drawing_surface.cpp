#include "framework/drawing_surface.h"

#include <climits>
#include <utility>

CDC::~CDC() = default;

CColor CDC::SetTextColor(CColor color) {
    return std::exchange(m_text, color);
}

CColor CDC::SetBkColor(CColor color) {
    return std::exchange(m_bk, color);
}

CColor CDC::SelectBrush(CColor color) {
    return std::exchange(m_brush, color);
}

CPen CDC::SelectPen(CPen pen) {
    return std::exchange(m_pen, pen);
}

void CDC::LineTo(CPoint pt) {
    Line(m_pos, pt);
    m_pos = pt;
}

CRect CDC::GetClipBox() const {
    return CRect{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
}

bool Intersects(const CRect& a, const CRect& b) {
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}
