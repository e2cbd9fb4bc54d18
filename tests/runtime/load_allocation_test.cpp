// 64 KiB of table never makes the loader ask for more memory. Its own
// executable, since it replaces the global allocation functions.

#include <gtest/gtest.h>

#include "runtime/parse_table.h"
#include "support/allocation_watch.h"
#include "support/grammar_builder.h"

namespace {

using lumo_test::I32;

TEST(LoadAllocation, CountsOneRecordPastTheBytesAskForNothing) {
    constexpr std::size_t kSize = 65536;
    const std::string main = "\x04MAIN", node = I32(-1) + I32(0);
    // Each count is one record (graph 13 bytes, node 8, edge 7) more than the bytes hold.
    for (std::string table : {I32((kSize - 4) / 13 + 1) + main + I32(1) + node,
                              I32(1) + main + I32((kSize - 13) / 8 + 1) + node,
                              I32(1) + main + I32(1) + I32(-1) + I32((kSize - 21) / 7 + 1)}) {
        table.resize(kSize, '\x01');
        lumo_test::AllocationWatch watch;
        EXPECT_THROW(lumo::ParseTable::FromBytes(table), lumo::TableError);
        EXPECT_LT(watch.Total(), kSize);
    }
}

}  // namespace
