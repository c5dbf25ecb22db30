#pragma once
// The largest single allocation made while a harness calls into the program.
//
// A file's header may claim any length; the program must size what it
// allocates by what the file holds. Under AddressSanitizer the allocator tells
// the watch of every allocation; without it the watch sees nothing and
// Available() is false.

#include <cstddef>

namespace tonarel::fuzz {

class AllocationWatch {
public:
    /// Starts watching: the largest allocation seen so far is forgotten.
    AllocationWatch();
    ~AllocationWatch();
    AllocationWatch(const AllocationWatch&) = delete;
    AllocationWatch& operator=(const AllocationWatch&) = delete;

    /// The largest allocation, in bytes, since construction.
    std::size_t Largest() const;

    /// Whether allocations can be seen in this build.
    static bool Available();
};

}  // namespace tonarel::fuzz
