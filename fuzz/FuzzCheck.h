#pragma once

#include <cstdio>
#include <cstdlib>

// A broken promise of the code under test is a finding like a crash: the
// fuzzer stops and keeps the input.
#define FUZZ_CHECK(condition)                                                        \
    do {                                                                             \
        if (!(condition)) {                                                          \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #condition,      \
                         __FILE__, __LINE__);                                        \
            std::abort();                                                            \
        }                                                                            \
    } while (0)
