#pragma once

// Things on the plane by the square cells their boxes touch, so that what
// lies near a point, a segment or a label is found without looking at
// everything else.

#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "framework/geometry.h"

namespace ebnf::layout {

class SpatialGrid {
public:
    static constexpr double kCell = 96;

    void Insert(double left, double top, double right, double bottom, int id) {
        ForCells(left, top, right, bottom, [&](int64_t key) { m_cells[key].push_back(id); });
        if (id >= static_cast<int>(m_seen.size())) {
            m_seen.resize(static_cast<std::size_t>(id) + 1, 0);
        }
    }
    void Insert(const CRect& r, int id) { Insert(r.left, r.top, r.right, r.bottom, id); }

    // Calls visit(id) once for each thing whose cells meet the box; a new
    // query starts with NewQuery().
    template <class Visit>
    void Near(double left, double top, double right, double bottom, Visit&& visit) {
        ForCells(left, top, right, bottom, [&](int64_t key) {
            const auto found = m_cells.find(key);
            if (found == m_cells.end()) {
                return;
            }
            for (int id : found->second) {
                if (m_seen[static_cast<std::size_t>(id)] != m_query) {
                    m_seen[static_cast<std::size_t>(id)] = m_query;
                    visit(id);
                }
            }
        });
    }

    void NewQuery() { ++m_query; }
    // Lets the current query visit id again.
    void Forget(int id) { m_seen[static_cast<std::size_t>(id)] = 0; }

private:
    template <class F>
    static void ForCells(double left, double top, double right, double bottom, F&& f) {
        const auto x0 = static_cast<int64_t>(std::floor(left / kCell));
        const auto x1 = static_cast<int64_t>(std::floor(right / kCell));
        const auto y0 = static_cast<int64_t>(std::floor(top / kCell));
        const auto y1 = static_cast<int64_t>(std::floor(bottom / kCell));
        for (int64_t x = x0; x <= x1; ++x) {
            for (int64_t y = y0; y <= y1; ++y) {
                f(x * 0x100000000ll + (y & 0xFFFFFFFFll));
            }
        }
    }

    std::unordered_map<int64_t, std::vector<int>> m_cells;
    std::vector<uint32_t> m_seen;
    uint32_t m_query = 1;
};

}  // namespace ebnf::layout
