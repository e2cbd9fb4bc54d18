// Drawing the current graph: all edges first, then all nodes on top.

#include <algorithm>
#include <string>

#include "framework/drawing_surface.h"
#include "framework/text.h"
#include "model/edge_geometry.h"
#include "model/grammar.h"

namespace {

CPoint Drawable(CPoint p) {
    return CPoint{std::clamp(p.x, -kDrawLimit, kDrawLimit),
                  std::clamp(p.y, -kDrawLimit, kDrawLimit)};
}

EdgeEnds EndsOf(const CGraphNode& from, const CGraphNode& to) {
    return EdgeEnds{Drawable(from.GetCenter()), Drawable(to.GetCenter()),
                    to.GetNumber() <= from.GetNumber()};
}

CTextMetrics MetricsOf(const CDC& dc) {
    return dc.GetTextMetrics();
}

}  // namespace

void CGraphNode::Draw(CDC* pDC) const {
    const CPoint c = Drawable(m_ptCenter);
    const CRect box{c.x - kRadius, c.y - kRadius, c.x + kRadius, c.y + kRadius};
    if (!Intersects(box, pDC->GetClipBox())) {
        return;
    }
    const CPoint top{c.x, c.y - kRadius};
    if (m_bFinal) {
        const CColor oldBrush = pDC->SelectBrush(Colors::Red);
        const CPen oldPen = pDC->SelectPen(CPen{Colors::Red, 0});
        pDC->Pie(box, top, top);
        pDC->SelectBrush(oldBrush);
        pDC->SelectPen(oldPen);
        pDC->SetBkColor(Colors::Red);
    } else {
        pDC->SelectBrush(Colors::Black);
        pDC->Pie(box, top, top);
        pDC->SelectBrush(Colors::White);
        pDC->SetBkColor(Colors::Black);
    }
    pDC->SetTextColor(Colors::Yellow);
    pDC->DrawText(std::to_string(m_nNumber), box);
}

void CEdge::Draw(CDC* pDC) {
    if (m_pFrom == nullptr || m_pTo == nullptr) {
        return;
    }
    const CTextMetrics tm = MetricsOf(*pDC);
    const EdgeGeometry g = ComputeEdgeGeometry(EndsOf(*m_pFrom, *m_pTo), m_fOffset, tm.tmHeight,
                                               tm.tmMaxCharWidth, DisplayLength(m_strInput));
    // The label is the edge's hit area, so it is kept up to date even where
    // nothing is drawn.
    m_rcLabel = g.label;
    if (!Intersects(g.bounds, pDC->GetClipBox())) {
        return;
    }
    pDC->SetTextColor(Colors::Blue);
    pDC->SetBkColor(Colors::Cyan);
    if (g.arc) {
        pDC->Arc(g.arcBox, g.arcStart, g.arcEnd);
        if (g.barbs) {
            for (int i = 0; i < 2; ++i) {
                const CPen old = pDC->SelectPen(CPen{Colors::Black, 1});
                pDC->Arc(g.barbBox[i], g.barbStart[i], g.barbEnd[i]);
                pDC->SelectPen(old);
            }
        }
    } else {
        pDC->MoveTo(g.from);
        if (g.broken) {
            pDC->LineTo(g.middle);
        }
        pDC->LineTo(g.to);
        if (g.arrow) {
            for (const CPoint& end : g.arrowEnd) {
                pDC->MoveTo(g.to);
                pDC->LineTo(end);
            }
        }
    }
    pDC->DrawText(m_strInput, m_rcLabel);
}

void CEdge::HighlightLabel(CDC* pDC) {
    pDC->SetTextColor(Colors::White);
    pDC->SetBkColor(Colors::Blue);
    pDC->DrawText(m_strInput, m_rcLabel);
    m_bHighlighted = true;
}

bool CEdge::DropLabel(CDC* pDC, CPoint pt) {
    if (!m_bHighlighted) {
        return false;
    }
    m_bHighlighted = false;
    if (m_pFrom != nullptr && m_pTo != nullptr) {
        m_fOffset = ComputeDropOffset(EndsOf(*m_pFrom, *m_pTo), pt, MetricsOf(*pDC).tmHeight);
    }
    return true;
}

void CGraphElement::DrawEdges(CDC* pDC) {
    for (const auto& edge : m_pEdges) {
        edge->Draw(pDC);
    }
}

void CGraph::Draw(CDC* pDC) {
    for (const auto& element : m_pElements) {
        element->DrawEdges(pDC);
    }
    for (const auto& element : m_pElements) {
        element->CGraphNode::Draw(pDC);
    }
}

void CGrammer::Draw(CDC* pDC) {
    if (m_pCurrent != nullptr) {
        m_pCurrent->Draw(pDC);
    }
}
