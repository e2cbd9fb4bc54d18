#pragma once

#include <QFont>
#include <QPainter>
#include <QStaticText>
#include <optional>
#include <string>
#include <unordered_map>

#include "framework/drawing_surface.h"

// Laid-out texts kept from one repaint to the next: laying text out costs more
// than drawing every shape of a screenful. Bounded; cleared when it fills up
// or the font changes.
class CQtTextCache {
public:
    struct Entry {
        QStaticText text;
        qreal width = 0;
    };
    const Entry& Get(const std::string& text, const QFont& font);

private:
    static constexpr size_t kMaxEntries = 20000;
    QFont m_font;
    std::unordered_map<std::string, Entry> m_entries;
};

// Draws the graph through a QPainter, on the screen, the printer or an image.
// Shapes and text are never antialiased: the canvas must hold exactly the
// drawing colours, because the editor reads them back to tell what lies under
// the mouse. The caller sets the painter's transform (scrolling, printer
// scale) and says which part of the drawing, in logical units, is painted.
class CQtSurface : public CDC {
public:
    // Without a cache of its own the surface keeps one for its lifetime.
    CQtSurface(QPainter* painter, const CRect& clip, const QFont& font,
               CQtTextCache* cache = nullptr);

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
    void ApplyPen(const CPen& pen);
    void Curve(const CRect& box, CPoint ray1, CPoint ray2, bool filled);

    QPainter* m_painter;
    CRect m_clip;
    QFont m_font;
    CQtTextCache m_ownCache;
    CQtTextCache* m_cache;
    std::optional<CPen> m_applied;
    CTextMetrics m_metrics;
};
