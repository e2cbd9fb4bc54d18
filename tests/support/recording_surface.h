#pragma once

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "framework/drawing_surface.h"

namespace lumo_test {

// A surface that keeps every drawing call with the state it was made in.
class RecordingSurface : public CDC {
public:
    struct Call {
        enum Kind { Pie, Arc, Line, Text } kind = Line;
        CRect box;
        CPoint a, b;  // rays, or line ends
        std::string text;
        CPen pen;
        CColor brush, textColor, bkColor;
    };

    RecordingSurface(int height = 16, int maxWidth = 8) : m_metrics{height, maxWidth} {}

    void Pie(const CRect& box, CPoint r1, CPoint r2) override { Add(Call::Pie, box, r1, r2); }
    void Arc(const CRect& box, CPoint r1, CPoint r2) override { Add(Call::Arc, box, r1, r2); }
    void DrawText(const std::string& text, const CRect& rc) override {
        Add(Call::Text, rc, {}, {}, text);
    }
    CTextMetrics GetTextMetrics() const override { return m_metrics; }
    CRect GetClipBox() const override { return m_clip; }

    void SetClip(const CRect& clip) { m_clip = clip; }
    std::vector<Call>& Calls() { return m_calls; }
    std::vector<Call> Of(Call::Kind kind) const {
        std::vector<Call> out;
        std::copy_if(m_calls.begin(), m_calls.end(), std::back_inserter(out),
                     [kind](const Call& c) { return c.kind == kind; });
        return out;
    }

protected:
    void Line(CPoint from, CPoint to) override { Add(Call::Line, {}, from, to); }

private:
    void Add(Call::Kind kind, const CRect& box, CPoint a, CPoint b, const std::string& text = "") {
        m_calls.push_back(
            Call{kind, box, a, b, text, GetPen(), GetBrush(), GetTextColor(), GetBkColor()});
    }

    CTextMetrics m_metrics;
    CRect m_clip = CDC::GetClipBox();
    std::vector<Call> m_calls;
};

}  // namespace lumo_test
