#pragma once

#include <cstdint>
#include <string>

#include "framework/geometry.h"

struct CColor {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;

    friend bool operator==(const CColor&, const CColor&) = default;
};

// The colours of the drawing. The editor tells nodes, labels and empty canvas
// apart by these exact values, so they are a contract, not a style.
namespace Colors {
inline constexpr CColor Black{0, 0, 0};
inline constexpr CColor White{255, 255, 255};
inline constexpr CColor Red{255, 0, 0};
inline constexpr CColor Yellow{255, 255, 0};
inline constexpr CColor Blue{0, 0, 255};
inline constexpr CColor Cyan{0, 255, 255};
}  // namespace Colors

// A solid pen; width 0 and 1 both draw one unit wide.
struct CPen {
    CColor color;
    int width = 1;

    friend bool operator==(const CPen&, const CPen&) = default;
};

struct CTextMetrics {
    int tmHeight = 0;        // H: the font's cell height
    int tmMaxCharWidth = 0;  // W: its widest character
};

// What the graph drawing needs of a drawing surface (screen, printer, SVG, or
// a recorder in tests), in integer logical units with y growing downwards.
// The surface keeps the current pen, brush, text and background colours and
// pen position; implementations draw with them.
class CDC {
public:
    CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    virtual ~CDC();

    CColor SetTextColor(CColor color);
    CColor SetBkColor(CColor color);
    // Solid brushes and pens; each returns the one it replaces.
    CColor SelectBrush(CColor color);
    CPen SelectPen(CPen pen);
    CColor GetTextColor() const { return m_text; }
    CColor GetBkColor() const { return m_bk; }
    CColor GetBrush() const { return m_brush; }
    CPen GetPen() const { return m_pen; }

    void MoveTo(CPoint pt) { m_pos = pt; }
    // A line with the current pen from the pen position to pt, which becomes
    // the new pen position.
    void LineTo(CPoint pt);

    // The part of the ellipse in box that runs counterclockwise (as seen on
    // the screen) from the ray through ray1 to the ray through ray2, filled
    // with the brush and outlined with the pen, with the two radii; the whole
    // ellipse when the rays coincide.
    virtual void Pie(const CRect& box, CPoint ray1, CPoint ray2) = 0;
    // The same curve, outlined with the pen only.
    virtual void Arc(const CRect& box, CPoint ray1, CPoint ray2) = 0;
    // One line of text centred both ways in rc and clipped to it, in the text
    // colour, on a box of the background colour behind the text itself.
    virtual void DrawText(const std::string& text, const CRect& rc) = 0;
    virtual CTextMetrics GetTextMetrics() const = 0;
    // The region being painted: drawing may skip items wholly outside it.
    virtual CRect GetClipBox() const;

protected:
    virtual void Line(CPoint from, CPoint to) = 0;

private:
    CColor m_text = Colors::Black;
    CColor m_bk = Colors::White;
    CColor m_brush = Colors::White;
    CPen m_pen;
    CPoint m_pos;
};

// True when the two rectangles share at least one point.
bool Intersects(const CRect& a, const CRect& b);
