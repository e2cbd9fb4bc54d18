#pragma once

#include <cstddef>

namespace lumo_test {

inline bool g_watching = false;
inline std::size_t g_largest = 0, g_total = 0;

// Watches every operator new while it lives. support/allocation_watch.cpp
// replaces the global allocation functions: link it into its own executable.
struct AllocationWatch {
    AllocationWatch() { g_largest = g_total = 0, g_watching = true; }
    ~AllocationWatch() { g_watching = false; }
    std::size_t Largest() const { return g_largest; }
    std::size_t Total() const { return g_total; }
};

}  // namespace lumo_test
