#include "fuzz/AllocationWatch.h"

#include <atomic>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TONAREL_FUZZ_SEES_ALLOCATIONS 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define TONAREL_FUZZ_SEES_ALLOCATIONS 1
#endif

#ifdef TONAREL_FUZZ_SEES_ALLOCATIONS
// The sanitizer runtime's hook interface (GCC ships no header for it).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*mallocHook)(const volatile void*, std::size_t),
                                                          void (*freeHook)(const volatile void*));
#endif

namespace tonarel::fuzz {
namespace {

// Written from inside the allocator: no allocation, no locks.
std::atomic<bool> watching{false};
std::atomic<std::size_t> largest{0};

#ifdef TONAREL_FUZZ_SEES_ALLOCATIONS
void OnAllocation(const volatile void* /*pointer*/, std::size_t size)
{
    if (!watching.load(std::memory_order_relaxed)) {
        return;
    }
    std::size_t seen = largest.load(std::memory_order_relaxed);
    while (size > seen && !largest.compare_exchange_weak(seen, size, std::memory_order_relaxed)) {
    }
}

void OnRelease(const volatile void* /*pointer*/) {}

bool InstallHooks()
{
    return __sanitizer_install_malloc_and_free_hooks(&OnAllocation, &OnRelease) != 0;
}
#else
bool InstallHooks()
{
    return false;
}
#endif

bool HooksInstalled()
{
    static const bool installed = InstallHooks();
    return installed;
}

}  // namespace

AllocationWatch::AllocationWatch()
{
    HooksInstalled();
    largest.store(0, std::memory_order_relaxed);
    watching.store(true, std::memory_order_relaxed);
}

AllocationWatch::~AllocationWatch()
{
    watching.store(false, std::memory_order_relaxed);
}

std::size_t AllocationWatch::Largest() const
{
    return largest.load(std::memory_order_relaxed);
}

bool AllocationWatch::Available()
{
    return HooksInstalled();
}

}  // namespace tonarel::fuzz
