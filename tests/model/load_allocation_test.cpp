// A short file must never make the loader ask for much memory, whatever
// counts and lengths it claims. Its own executable, since it replaces the
// global allocation functions to watch every request.

#include <gtest/gtest.h>

#include "support/allocation_watch.h"

#include "model/flat_grammar.h"
#include "support/grammar_builder.h"

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
        std::size_t largest = 0;
        std::size_t total = 0;
        {
            lumo_test::AllocationWatch watch;
            try {
                CArchive ar(file.data(), file.size());
                doc.Serialize(ar);
            } catch (const CArchiveException&) {
            }
            largest = watch.Largest();
            total = watch.Total();
        }
        EXPECT_LE(largest, 2048u);
        EXPECT_LE(total, 8192u);

        // lumo-gen's reading keeps the file, and nothing much beside it.
        std::string bytes = file;
        CFlatGrammar flat;
        {
            lumo_test::AllocationWatch watch;
            try {
                flat.Load(std::move(bytes));
            } catch (const CArchiveException&) {
            }
            largest = watch.Largest();
            total = watch.Total();
        }
        EXPECT_LE(largest, 2048u);
        EXPECT_LE(total, 8192u);
    }
}

}  // namespace
