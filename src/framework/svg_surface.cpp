#include "framework/svg_surface.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "framework/text.h"

namespace {

std::string Num(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    std::string s(buf);
    s.erase(s.find_last_not_of('0') + 1);
    if (s.back() == '.') {
        s.pop_back();
    }
    return s == "-0" ? "0" : s;
}

std::string Hex(CColor c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", c.r, c.g, c.b);
    return buf;
}

struct Ellipse {
    double cx, cy, rx, ry;
};

Ellipse EllipseOf(const CRect& box) {
    return Ellipse{(double(box.left) + box.right) / 2, (double(box.top) + box.bottom) / 2,
                   std::fabs(double(box.right) - box.left) / 2,
                   std::fabs(double(box.bottom) - box.top) / 2};
}

// Screen angle (counterclockwise, y down) of the ray through p.
double RayAngle(const Ellipse& e, CPoint p) {
    return std::atan2(-(p.y - e.cy), p.x - e.cx);
}

}  // namespace

std::string XmlEscape(const std::string& text) {
    std::u32string chars = DecodeText(text);
    for (char32_t& c : chars) {
        // Characters XML does not allow.
        if ((c < 0x20 && c != '\t') || c == 0xFFFE || c == 0xFFFF) {
            c = 0xFFFD;
        }
    }
    std::string out;
    for (const char c : EncodeUtf8(chars)) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

void CSvgSurface::Extend(double left, double top, double right, double bottom) {
    if (m_empty) {
        m_left = left, m_top = top, m_right = right, m_bottom = bottom;
        m_empty = false;
        return;
    }
    m_left = std::min(m_left, left);
    m_top = std::min(m_top, top);
    m_right = std::max(m_right, right);
    m_bottom = std::max(m_bottom, bottom);
}

std::string CSvgSurface::Stroke() const {
    return "stroke=\"" + Hex(GetPen().color) + "\" stroke-width=\"" +
           std::to_string(std::max(GetPen().width, 1)) + "\"";
}

void CSvgSurface::Line(CPoint from, CPoint to) {
    m_body += "<line x1=\"" + Num(from.x) + "\" y1=\"" + Num(from.y) + "\" x2=\"" + Num(to.x) +
              "\" y2=\"" + Num(to.y) + "\" " + Stroke() + "/>\n";
    Extend(std::min(from.x, to.x), std::min(from.y, to.y), std::max(from.x, to.x),
           std::max(from.y, to.y));
}

void CSvgSurface::Pie(const CRect& box, CPoint ray1, CPoint ray2) {
    Curve(box, ray1, ray2, true);
}

void CSvgSurface::Arc(const CRect& box, CPoint ray1, CPoint ray2) {
    Curve(box, ray1, ray2, false);
}

void CSvgSurface::Curve(const CRect& box, CPoint ray1, CPoint ray2, bool filled) {
    const Ellipse e = EllipseOf(box);
    const std::string fill = filled ? "fill=\"" + Hex(GetBrush()) + "\"" : "fill=\"none\"";
    if (ray1 == ray2) {
        m_body += "<ellipse cx=\"" + Num(e.cx) + "\" cy=\"" + Num(e.cy) + "\" rx=\"" + Num(e.rx) +
                  "\" ry=\"" + Num(e.ry) + "\" " + fill + " " + Stroke() + "/>\n";
        Extend(e.cx - e.rx, e.cy - e.ry, e.cx + e.rx, e.cy + e.ry);
        return;
    }
    const double a1 = RayAngle(e, ray1);
    double span = RayAngle(e, ray2) - a1;
    while (span <= 0) {
        span += 2 * std::numbers::pi;
    }
    const double x1 = e.cx + e.rx * std::cos(a1);
    const double y1 = e.cy - e.ry * std::sin(a1);
    const double x2 = e.cx + e.rx * std::cos(a1 + span);
    const double y2 = e.cy - e.ry * std::sin(a1 + span);
    // Counterclockwise on the screen is SVG's negative sweep direction.
    std::string d = "M" + Num(x1) + "," + Num(y1) + " A" + Num(e.rx) + "," + Num(e.ry) + " 0 " +
                    (span > std::numbers::pi ? "1" : "0") + ",0 " + Num(x2) + "," + Num(y2);
    if (filled) {
        d += " L" + Num(e.cx) + "," + Num(e.cy) + " Z";
    }
    m_body += "<path d=\"" + d + "\" " + fill + " " + Stroke() + "/>\n";
    // The extremes of the swept part: its ends and any axis point it passes.
    double left = std::min(x1, x2), right = std::max(x1, x2);
    double top = std::min(y1, y2), bottom = std::max(y1, y2);
    for (int quarter = 0; quarter < 4; ++quarter) {
        const double angle = quarter * std::numbers::pi / 2;
        const double along =
            std::fmod(std::fmod(angle - a1, 2 * std::numbers::pi) + 2 * std::numbers::pi,
                      2 * std::numbers::pi);
        if (along <= span) {
            const double x = e.cx + e.rx * std::cos(angle);
            const double y = e.cy - e.ry * std::sin(angle);
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = std::max(bottom, y);
        }
    }
    Extend(left, top, right, bottom);
}

void CSvgSurface::DrawText(const std::string& text, const CRect& rc) {
    const double width = double(rc.right) - rc.left;
    const double height = double(rc.bottom) - rc.top;
    if (width <= 0 || height <= 0) {
        return;
    }
    const double cx = rc.left + width / 2;
    const double cy = rc.top + height / 2;
    // Monospaced: every character is one advance wide.
    const double textWidth = double(DisplayLength(text)) * kFontMaxWidth;
    const double boxWidth = std::min(textWidth, width);
    const double boxHeight = std::min<double>(kFontHeight, height);
    std::string clip;
    if (textWidth > width || kFontHeight > height) {
        const std::string id = "c" + std::to_string(++m_clips);
        m_body += "<clipPath id=\"" + id + "\"><rect x=\"" + Num(rc.left) + "\" y=\"" +
                  Num(rc.top) + "\" width=\"" + Num(width) + "\" height=\"" + Num(height) +
                  "\"/></clipPath>\n";
        clip = " clip-path=\"url(#" + id + ")\"";
    }
    m_body += "<g" + clip + "><rect x=\"" + Num(cx - boxWidth / 2) + "\" y=\"" +
              Num(cy - boxHeight / 2) + "\" width=\"" + Num(boxWidth) + "\" height=\"" +
              Num(boxHeight) + "\" fill=\"" + Hex(GetBkColor()) + "\"/><text x=\"" + Num(cx) +
              "\" y=\"" + Num(cy + kBaselineShift) + "\" fill=\"" + Hex(GetTextColor()) + "\">" +
              XmlEscape(text) + "</text></g>\n";
    Extend(rc.left, rc.top, rc.right, rc.bottom);
}

std::string CSvgSurface::Document(const std::string& title) const {
    const double left = (m_empty ? 0 : m_left) - kMargin;
    const double top = (m_empty ? 0 : m_top) - kMargin;
    const double width = (m_empty ? 0 : m_right - m_left) + 2 * kMargin;
    const double height = (m_empty ? 0 : m_bottom - m_top) + 2 * kMargin;
    std::string doc =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" +
        Num(width) + "\" height=\"" + Num(height) + "\" viewBox=\"" + Num(left) + " " + Num(top) +
        " " + Num(width) + " " + Num(height) + "\">\n";
    if (!title.empty()) {
        doc += "<title>" + XmlEscape(title) + "</title>\n";
    }
    doc += "<g font-family=\"" + std::string(kFontFamily) + ", monospace\" font-size=\"" +
           kFontSize + "\" text-anchor=\"middle\" xml:space=\"preserve\">\n";
    doc += m_body;
    doc += "</g>\n</svg>\n";
    return doc;
}
