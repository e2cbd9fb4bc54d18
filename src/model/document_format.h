#pragma once

#include <cstddef>

// The smallest number of bytes each record of a grammar document can take.
// A loader checks every count against these before it allocates, so a short
// file can never ask for a large allocation.
namespace document_format {

// Type, target, two empty strings, offset and label rectangle.
inline constexpr std::size_t kMinEdgeRecord = 1 + 4 + 1 + 1 + 4 + 16;
// Signed number, x, y, edge count and reference count.
inline constexpr std::size_t kMinNodeRecord = 5 * 4;
// A name of at least one length byte, node and last-number counts, and one
// node record.
inline constexpr std::size_t kMinGraphRecord = 1 + 4 + 4 + kMinNodeRecord;

}  // namespace document_format
