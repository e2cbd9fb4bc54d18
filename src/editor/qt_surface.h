#pragma once

#include <QFont>
#include <QPainter>

#include "framework/drawing_surface.h"

// Draws the graph through a QPainter, on the screen, the printer or an image.
// Shapes and text are never antialiased: the canvas must hold exactly the
// drawing colours, because the editor reads them back to tell what lies under
// the mouse. The caller sets the painter's transform (scrolling, printer
// scale) and says which part of the drawing, in logical units, is painted.
class CQtSurface : public CDC {
public:
    CQtSurface(QPainter* painter, const CRect& clip, const QFont& font);

    void Pie(const CRect& box, CPoint ray1, CPoint ray2) override;
    void Arc(const CRect& box, CPoint ray1, CPoint ray2) override;
    void DrawText(const std::string& text, const CRect& rc) override;
    CTextMetrics GetTextMetrics() const override { return m_metrics; }
    CRect GetClipBox() const override { return m_clip; }

    // The font the canvas draws with: the given one, without antialiasing.
    static QFont CanvasFont(const QFont& base);

protected:
    void Line(CPoint from, CPoint to) override;

private:
    void UsePen();
    void Curve(const CRect& box, CPoint ray1, CPoint ray2, bool filled);

    QPainter* m_painter;
    CRect m_clip;
    CTextMetrics m_metrics;
};
