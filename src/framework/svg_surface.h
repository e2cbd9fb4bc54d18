#pragma once

#include <string>

#include "framework/drawing_surface.h"

// Draws into an SVG 1.1 document, cropped to what was drawn plus a margin.
// Text is set in the font named by kFontFamily at kFontSize, whose cell
// height and widest character are the metrics this surface reports, so the
// labels sit in their boxes as they do in the editor.
class CSvgSurface : public CDC {
public:
    static constexpr const char* kFontFamily = "DejaVu Sans Mono";
    static constexpr const char* kFontSize = "13.333px";  // 10 pt
    static constexpr int kFontHeight = 16;
    static constexpr int kFontMaxWidth = 8;
    static constexpr int kMargin = 12;
    // From the middle of the font's cell down to its baseline: half of
    // ascent minus descent. Not left to dominant-baseline, which renderers
    // treat differently.
    static constexpr double kBaselineShift = 4.6;

    CSvgSurface() = default;

    void Pie(const CRect& box, CPoint ray1, CPoint ray2) override;
    void Arc(const CRect& box, CPoint ray1, CPoint ray2) override;
    void DrawText(const std::string& text, const CRect& rc) override;
    CTextMetrics GetTextMetrics() const override { return {kFontHeight, kFontMaxWidth}; }

    // The whole document, with an optional title.
    std::string Document(const std::string& title) const;

protected:
    void Line(CPoint from, CPoint to) override;

private:
    void Curve(const CRect& box, CPoint ray1, CPoint ray2, bool filled);
    void Extend(double left, double top, double right, double bottom);
    std::string Stroke() const;

    std::string m_body;
    int m_clips = 0;
    bool m_empty = true;
    double m_left = 0, m_top = 0, m_right = 0, m_bottom = 0;
};

// Text made safe for XML: the bytes read as characters as everywhere else
// (framework/text.h), markup characters escaped, and characters XML forbids
// replaced.
std::string XmlEscape(const std::string& text);
