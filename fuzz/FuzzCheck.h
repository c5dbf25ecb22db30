#pragma once
// The invariants a fuzz harness checks beyond "no crash".
//
// A broken invariant is reported through BrokenInvariant, which each kind of
// executable supplies: the libFuzzer harnesses abort, so that the fuzzer keeps
// the input as a finding; the replay test throws, so that GoogleTest names the
// input and goes on with the next.

namespace tonarel::fuzz {

/// Reports that `condition` (source text) failed at `file`:`line`. Never returns.
[[noreturn]] void BrokenInvariant(const char* condition, const char* file, int line);

}  // namespace tonarel::fuzz

#define FUZZ_CHECK(condition)                                                     \
    do {                                                                          \
        if (!(condition)) {                                                       \
            ::tonarel::fuzz::BrokenInvariant(#condition, __FILE__, __LINE__);     \
        }                                                                         \
    } while (false)
