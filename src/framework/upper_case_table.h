#pragma once

#include <cstddef>
#include <cstdint>

namespace upper_case_table {

// Code points first, first + stride, ... last each map to themselves plus
// delta. Sorted by first; the runs do not overlap.
struct CaseRun {
    uint32_t first;
    uint32_t last;
    int32_t stride;
    int32_t delta;
};

extern const CaseRun kRuns[];
extern const std::size_t kRunCount;

}  // namespace upper_case_table
