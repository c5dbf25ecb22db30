// The entry point libFuzzer calls, one executable per harness: the build
// names the harness in TONAREL_FUZZ_TARGET. A broken invariant aborts, which
// libFuzzer reports and keeps the input of.

#include <cstdio>
#include <cstdlib>

#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzTargets.h"

#ifndef TONAREL_FUZZ_TARGET
#error "TONAREL_FUZZ_TARGET names the harness this executable runs"
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    tonarel::fuzz::TONAREL_FUZZ_TARGET(data, size);
    return 0;
}

namespace tonarel::fuzz {

void BrokenInvariant(const char* condition, const char* file, int line)
{
    std::fprintf(stderr, "\n==== broken invariant: %s\n     at %s:%d\n", condition, file, line);
    std::abort();
}

}  // namespace tonarel::fuzz
