// A short table must never make the loader ask for much memory, whatever
// counts and lengths it claims. Its own executable, since it replaces the
// global allocation functions to watch every request.

#include <gtest/gtest.h>

#include "runtime/parse_table.h"
#include "support/allocation_watch.h"
#include "support/grammar_builder.h"

namespace {

using lumo_test::I32;

TEST(LoadAllocation, ShortTablesStayWithinAFewKilobytes) {
    const std::string main = "\x04MAIN", node = I32(-1) + I32(0);
    const std::string edge = std::string(1, '\0') + I32(1) +
                             std::string(
                                 "\x01"
                                 "a\0",
                                 3);
    constexpr std::size_t kSize = 65536;
    const std::string tables[] = {
        I32(0x7FFFFFF0) + main + I32(1) + node,
        I32(1) + main + I32(0x7FFFFFF0) + node,
        I32(1) + main + I32(1) + I32(1) + I32(0x7FFFFFF0),
        I32(1) + std::string("\xFF\xFF\xFF\xF0\xFF\xFF\x7F", 7) + "MAIN",
        I32(1) + main + I32(1) + I32(-1) + I32(1) + std::string(1, '\0') + I32(1) +
            std::string("\xFF\xFE\xFF", 3),
        // Counts within the bytes, but one record more than they can hold.
        I32((kSize - 4) / 13 + 1) + main + I32(1) + node,
        I32(1) + main + I32((kSize - 13) / 8 + 1) + node,
        I32(1) + main + I32(1) + I32(-1) + I32((kSize - 21) / 7 + 1) + edge,
    };
    for (const std::string& raw : tables) {
        std::string table = raw;
        table.resize(kSize, '\x01');
        std::size_t largest = 0, total = 0;
        {
            lumo_test::AllocationWatch watch;
            try {
                lumo::ParseTable::FromBytes(table);
            } catch (const lumo::TableError&) {
            }
            largest = watch.Largest();
            total = watch.Total();
        }
        EXPECT_LT(largest, 4096u) << testing::PrintToString(raw);
        EXPECT_LT(total, 65536u) << testing::PrintToString(raw);
    }
}

}  // namespace
