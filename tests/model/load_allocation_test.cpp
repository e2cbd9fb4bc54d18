// A short file must never make the loader ask for much memory, whatever
// counts and lengths it claims. Its own executable, since it replaces the
// global allocation functions to watch every request.

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "support/grammar_builder.h"

namespace {

bool g_watching = false;
size_t g_largest = 0;
size_t g_total = 0;

void* Allocate(size_t n) {
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

void* operator new(size_t n) {
    return Allocate(n);
}
void* operator new[](size_t n) {
    return Allocate(n);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, size_t) noexcept {
    std::free(p);
}

namespace {

using lumo_test::I32;
using lumo_test::Str;

TEST(LoadAllocation, HundredByteFilesStayWithinAFewKilobytes) {
    const std::string node = I32(1) + I32(0) + I32(0) + I32(0) + I32(0);
    const std::string files[] = {
        I32(0x7FFFFFF0) + Str("MAIN") + I32(1) + I32(1) + node,
        I32(1) + Str("MAIN") + I32(0x7FFFFFF0) + I32(1) + node,
        I32(1) + Str("MAIN") + I32(1) + I32(1) + I32(1) + I32(0) + I32(0) + I32(0x7FFFFFF0) +
            I32(0),
        I32(1) + std::string("\xFF\xFF\xFF\xF0\xFF\xFF\x7F", 7) + "MAIN",
        I32(1) + Str("MAIN") + I32(1) + I32(1) + I32(1) + I32(0) + I32(0) + I32(1) + I32(0) +
            std::string(1, '\0') + I32(1) + std::string("\xFF\xFE\xFF", 3),
        // Many small claims that each fit: the file's own size bounds them.
        I32(3) + (Str("G") + I32(1) + I32(1) + node) + (Str("H") + I32(1) + I32(1) + node) +
            (Str("I") + I32(1) + I32(1) + I32(1) + I32(0) + I32(0) + I32(3) + I32(0)),
    };
    for (const std::string& raw : files) {
        std::string file = raw;
        file.resize(100, '\x01');
        CGrammer doc;
        doc.DeleteContents();
        g_largest = 0;
        g_total = 0;
        g_watching = true;
        try {
            CArchive ar(file.data(), file.size());
            doc.Serialize(ar);
        } catch (const CArchiveException&) {
        }
        g_watching = false;
        EXPECT_LE(g_largest, 2048u);
        EXPECT_LE(g_total, 8192u);
    }
}

}  // namespace
