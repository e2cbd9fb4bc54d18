#include "support/allocation_watch.h"

#include <algorithm>
#include <cstdlib>
#include <new>

// new[] and delete[] end here too, or are the sanitizer's own on both sides.
void* operator new(std::size_t n) {
    if (lumo_test::g_watching) {
        lumo_test::g_largest = std::max(lumo_test::g_largest, n);
        lumo_test::g_total += n;
    }
    if (void* p = std::malloc(n == 0 ? 1 : n)) {
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
