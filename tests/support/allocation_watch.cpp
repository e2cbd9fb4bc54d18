#include "support/allocation_watch.h"

#include <algorithm>
#include <cstdlib>
#include <new>

namespace {

bool g_watching = false;
std::size_t g_largest = 0;
std::size_t g_total = 0;

void* Allocate(std::size_t n) {
    if (g_watching) {
        g_largest = std::max(g_largest, n);
        g_total += n;
    }
    if (void* p = std::malloc(n == 0 ? 1 : n)) {
        return p;
    }
    throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t n) {
    return Allocate(n);
}
void* operator new[](std::size_t n) {
    return Allocate(n);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

namespace lumo_test {

AllocationWatch::AllocationWatch() {
    g_largest = g_total = 0;
    g_watching = true;
}
AllocationWatch::~AllocationWatch() {
    g_watching = false;
}
std::size_t AllocationWatch::Largest() const {
    return g_largest;
}
std::size_t AllocationWatch::Total() const {
    return g_total;
}

}  // namespace lumo_test
