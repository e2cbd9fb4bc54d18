#pragma once

#include <cstddef>

namespace lumo_test {

// Watches every allocation made through operator new while it lives. Link
// support/allocation_watch.cpp, which replaces the global allocation
// functions, into an executable of its own.
class AllocationWatch {
public:
    AllocationWatch();
    ~AllocationWatch();
    AllocationWatch(const AllocationWatch&) = delete;
    AllocationWatch& operator=(const AllocationWatch&) = delete;

    std::size_t Largest() const;
    std::size_t Total() const;
};

}  // namespace lumo_test
